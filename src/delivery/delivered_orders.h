#pragma once
// The orders that have been delivered a card, kept on disk so that no order
// gets a second card, also after a restart or when the shop lists an order
// again before its consignment has taken effect.

#include "store/record_database.h"

#include <optional>

namespace zenvik {

Text deliveredStorePath(const Text& baseDirectory);  // "delivered.edb"
std::vector<FieldSpec> deliveredFields();             // "订单编号", "时间"

// Whether the order number is on record; nothing when the record cannot be
// opened or created. Leaves the record's store current.
std::optional<bool> wasDelivered(RecordDatabase& db, const Text& path, const Text& orderNumber);

} // namespace zenvik

#include "delivery/delivered_orders.h"

#include "delivery/store_access.h"

namespace zenvik {

Text deliveredStorePath(const Text& baseDirectory) { return baseDirectory + "delivered.edb"; }

std::vector<FieldSpec> deliveredFields() {
    return {FieldSpec{text::narrow("订单编号")}, FieldSpec{text::narrow("时间")}};
}

std::optional<bool> wasDelivered(RecordDatabase& db, const Text& path, const Text& orderNumber) {
    if (!openOrCreate(db, path, deliveredFields())) return std::nullopt;
    db.goFirst();
    return db.findRecord([&] { return db.readField(1) == orderNumber; });
}

} // namespace zenvik

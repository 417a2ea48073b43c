#pragma once
// The small dialog in which the seller changes an unsold card's number and
// password.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace zenvik {

struct CardEdit {
    QString number;
    QString password;
};

// Shows the card; the edited card on OK, nothing on Cancel.
using CardEditor = std::function<std::optional<CardEdit>(const CardEdit& shown)>;

std::optional<CardEdit> editCardInDialog(QWidget* parent, const CardEdit& shown);

} // namespace zenvik

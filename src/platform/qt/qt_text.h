#pragma once
// Narrow text at the edge of the widgets.

#include "text/narrow_text.h"

#include <QString>
#include <optional>

namespace zenvik {

QString toQString(const Text& narrow);                   // undecodable bytes become U+FFFD
std::optional<Text> toNarrow(const QString& shown);      // empty when code page 936 cannot hold it
Text toNarrowLossy(const QString& shown);                // such characters become "?"

} // namespace zenvik

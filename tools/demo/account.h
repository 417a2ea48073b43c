#pragma once
// The demo's readable account on stdout: one line per thing that happened,
// stamped with the seconds since the demo began.

#include <QString>

namespace zenvik::demo {

void tell(const QString& line);

} // namespace zenvik::demo

#pragma once
// "server.ini" in the program's directory: exactly the bytes of the delivery
// server address, nothing else (an empty address is a file of 0 bytes).

#include "text/narrow_text.h"

namespace zenvik {

// The file's bytes up to the first zero byte; empty when it is missing or
// cannot be read.
Text readServerAddress(const Text& baseDirectory);

// Replaces the file's content with the address. The bytes go to a temporary
// file beside it that is renamed over the old one, so a crash while writing
// leaves either the old or the new address, never a cut one.
bool writeServerAddress(const Text& baseDirectory, const Text& address);

} // namespace zenvik

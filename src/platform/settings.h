#pragma once
// The program's settings: one value that main() fills and passes down. Tests
// and tools fill their own (a temporary directory, a shop on 127.0.0.1).

#include "text/narrow_text.h"

namespace zenvik {

struct ProgramSettings {
    Text baseDirectory;  // the program's directory, ending in "/"
    Text shopHost;       // the shop's logistics host, with ":port" when needed
    Text utkn;           // the token of the order-list address
    Text homeUrl;        // the web site that the tray menu opens
};

// The settings compiled into the program for a given program directory.
ProgramSettings defaultSettings(const Text& baseDirectory);

} // namespace zenvik

#pragma once
// The start sequence of the process.

namespace zenvik {

// Starts the platform's services, shows MainWindow centred and runs the
// event loop until MainWindow is closed; the result is the process's exit
// code.
int runProgram(int argc, char** argv);

} // namespace zenvik

#pragma once

// Runs a child program to its end and collects what it printed, so that a
// benchmark can time each run in a process of its own.

#include <string>

namespace Bench {

// Starts the program with the command line (its first word the program,
// quoted), waits for its exit and gives its standard output. True when it
// ran and exited with 0.
bool RunChildForOutput(const std::wstring& program, const std::wstring& commandLine, std::string* output);

// This program's own path.
std::wstring OwnProgramPath();

} // namespace Bench

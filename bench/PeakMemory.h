// Peak memory of a piece of work measured in a fresh process, so that the
// figure holds nothing but that work.
#pragma once

#include <string>
#include <vector>

// Runs the program Argv[0] with the arguments and returns its peak resident
// memory in bytes; -1 when it could not run or did not exit with 0.
long PeakMemoryOfRun(const std::vector<std::string>& Argv);

// Peak memory of a piece of work measured in a fresh process, so that the
// figure holds nothing but that work.
#pragma once

#include <string>
#include <vector>

// Runs the program Argv[0] with the arguments and returns its peak resident
// memory in bytes, as the program handed it over with HandPeakMemoryOver;
// -1 when it could not run, did not exit with 0 or handed nothing over.
//
// The program's own figure is taken, not the one the system keeps for the
// child: that one starts from the runner's memory at the moment it starts
// the child, so a large runner would hide the figure.
long PeakMemoryOfRun(const std::vector<std::string>& Argv);

// For the program that PeakMemoryOfRun runs, at the end of its work: hands
// its peak resident memory over to the runner and returns Code (just Code
// when it was not started by PeakMemoryOfRun).
int HandPeakMemoryOver(int Code);

#pragma once

#include <string>
#include <vector>

namespace kadrano::bench {

// What a program run by runProgram cost.
struct ProgramRun {
    double seconds = 0;     // wall time from the start to its end
    double cpuSeconds = 0;  // user and system time of it and what it waited for
    long maxRssKiB = 0;     // its peak memory, or that of its largest descendant
    int exitCode = -1;      // -1: not started, or ended by a signal
};

struct ProgramOutput {
    // Where standard output goes: a file (truncated), /dev/null when empty.
    std::string stdoutPath;
    // Standard output through a pipe read to its end, as a caller reading it would.
    bool readStdout = false;
    bool quietStderr = false;  // standard error to /dev/null
    std::string workingDir;    // empty: this process's own
};

// Runs argv (the program looked up in PATH unless it holds a "/") with standard input from
// /dev/null, waits for it, and measures it. Every benchmark times other programs through
// this one function, so their figures are taken the same way.
ProgramRun runProgram(const std::vector<std::string>& argv, const ProgramOutput& output = {});

// This process's processor time (all threads), or that of the children it waited for, in
// seconds.
double cpuSeconds(bool children = false);
// The peak memory of this process, or with children of the programs it waited for, in KiB.
long peakKiB(bool children = false);

}  // namespace kadrano::bench

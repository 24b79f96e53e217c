#pragma once
// Runs one of the benchmark's child programs and collects the `name: value`
// lines it writes to its standard output.

#include <windows.h>

#include <map>
#include <vector>
#include <string>

namespace LauncherBench {

struct ChildResult
{
    bool started = false;
    bool ended = false;  // within the time limit; otherwise it was terminated
    DWORD exitCode = 0;
    std::map<std::string, double> figures;
    std::string output;
};

// commandLine's first word is the program; the child starts in this process's
// current folder with its standard output on a pipe.
ChildResult RunChild(const std::wstring& commandLine, DWORD timeLimitMs);

// The folder of the running benchmark executable, with its trailing separator.
std::wstring BenchFolder();

// The size of a file in KiB, or -1.
double FileKiB(const std::wstring& path);

// The middle value (the mean of the two middle ones for an even count); 0 for none.
double Median(std::vector<double> values);

}  // namespace LauncherBench

#pragma once
// Figures of the benchmark's child programs: `name: value` lines written to
// the standard output handle the benchmark gave them (a GUI program has no
// console; without a handle the lines are dropped).

#include <windows.h>

namespace ProbeReport {

// Milliseconds between two QueryPerformanceCounter readings.
double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to);

// The process's committed private bytes now (PagefileUsage: Wine leaves
// PrivateUsage at 0; Windows gives both the same value), in MiB.
double PrivateMiB();

// The process's user plus kernel time so far, in seconds.
double CpuSeconds();

void Line(const char* name, double value);

}  // namespace ProbeReport

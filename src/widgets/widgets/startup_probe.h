#pragma once
// A hook for the start-up benchmark.

class QWidget;

namespace pmkest {

// For the start-up benchmark: when PMKEST_STARTUP_PROBE is set, the first paint of the window
// prints "painted <monotonic ns> <peak RSS KiB>" and ends the process at once. Only builds with
// the benchmarks (-DPMKEST_BENCH=ON) have it; elsewhere the variable does nothing.
void InstallStartupProbe(QWidget* window);
bool StartupProbeBuilt();

}  // namespace pmkest

#pragma once
#include <string>

// Asks the benchmark run to print ours / yardstick real time once both have run.
// Names are full run names as Google Benchmark prints them.
void RegisterRatio(const std::string& ours, const std::string& yardstick);

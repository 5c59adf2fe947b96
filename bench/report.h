// One row of the benchmark report. Every benchmark prints its details as it
// likes, plus one such line per figure that has a target; scripts/bench
// gathers them from all benchmarks into one table.
#pragma once

#include <cstdio>

inline void ReportRow(const char* measure, double value, const char* target) {
  std::printf("ROW|%s|%.2f|%s\n", measure, value, target);
}

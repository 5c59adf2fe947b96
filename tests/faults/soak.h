// Many conversions in a row through the real window, with the program's
// resource figures taken along the way: a leak of handles, GDI or USER
// objects or memory per conversion shows as growth between two points.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/faults/program_window.h"

struct ProcessFigures {
  long long handles = -1;       // GetProcessHandleCount; -1 when the system gives none
  long long gdiObjects = -1;    // GetGuiResources GR_GDIOBJECTS
  long long userObjects = -1;   // GetGuiResources GR_USEROBJECTS
  long long privateBytes = -1;  // PROCESS_MEMORY_COUNTERS_EX PrivateUsage
};

ProcessFigures MeasureProcess(HANDLE process);

// How far a figure may move between the two points and still count as noise.
struct SoakMargins {
  long long handles;
  long long gdiObjects;
  long long userObjects;
  long long privateBytes;
};
// The margins the soak holds the program to (see soak.cpp for where they
// come from).
SoakMargins DefaultSoakMargins();

struct SoakSample {
  int conversions = 0;  // done when the figures were taken
  ProcessFigures figures;
};

struct SoakRun {
  std::vector<SoakSample> samples;
  int failed = 0;            // conversions that did not show a link the service knows
  std::string firstFailure;  // what the first of them showed
};

// Runs `count` conversions through `window`, each a new long address, and
// takes the figures after every `every` conversions (and before the first).
// `progress`, when given, sees every sample as it is taken.
SoakRun RunSoak(const ProgramWindow& window, int count, int every,
                const std::function<void(const SoakSample&)>& progress = {});

// The sample taken after exactly `conversions`; null when there is none.
const SoakSample* SampleAt(const SoakRun& run, int conversions);

// Empty when every figure grew by no more than its margin from `early` to
// `late` (a figure the system does not give is skipped); otherwise which grew
// and by how much.
std::string GrowthBeyondMargins(const ProcessFigures& early, const ProcessFigures& late,
                                const SoakMargins& margins);

// One line of figures, for the logs: "handles 123  gdi 4  user 5  private 6789 KB".
std::string Describe(const ProcessFigures& figures);

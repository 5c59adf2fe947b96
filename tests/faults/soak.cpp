#include "tests/faults/soak.h"

#include <psapi.h>

#include <cstdio>

#include "tests/support/service.h"

ProcessFigures MeasureProcess(HANDLE process) {
  ProcessFigures figures;
  DWORD handles = 0;
  if (GetProcessHandleCount(process, &handles)) figures.handles = handles;
  SetLastError(0);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  if (gdi != 0 || GetLastError() == 0) figures.gdiObjects = gdi;
  SetLastError(0);
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  if (user != 0 || GetLastError() == 0) figures.userObjects = user;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    figures.privateBytes = static_cast<long long>(memory.PrivateUsage);
  }
  return figures;
}

SoakMargins DefaultSoakMargins() {
  return {.handles = 8, .gdiObjects = 8, .userObjects = 8, .privateBytes = 2 << 20};
}

SoakRun RunSoak(const ProgramWindow& window, int count, int every,
                const std::function<void(const SoakSample&)>& progress) {
  SoakRun run;
  const auto sample = [&](int done) {
    WaitUntilIdle(window.program);
    run.samples.push_back({done, MeasureProcess(window.program.process.get())});
    if (progress) progress(run.samples.back());
  };
  sample(0);
  const std::string tag = UniqueTag();
  const std::string prefix = BareLinkPrefix();
  for (int i = 1; i <= count; ++i) {
    const std::string address = "http://example.com/soak/" + tag + "/" + std::to_string(i);
    const std::string shown = Convert(window, address);
    const bool converted = shown.size() > prefix.size() && shown.compare(0, prefix.size(), prefix) == 0 &&
                           RawHttpGet("/_links?code=" + shown.substr(prefix.size())) == address;
    if (!converted && run.failed++ == 0) run.firstFailure = shown;
    if (i % every == 0) sample(i);
  }
  return run;
}

const SoakSample* SampleAt(const SoakRun& run, int conversions) {
  for (const SoakSample& sample : run.samples) {
    if (sample.conversions == conversions) return &sample;
  }
  return nullptr;
}

std::string GrowthBeyondMargins(const ProcessFigures& early, const ProcessFigures& late,
                                const SoakMargins& margins) {
  std::string beyond;
  const auto check = [&](const char* name, long long before, long long after, long long margin) {
    if (before < 0 || after < 0) return;
    if (after - before > margin) {
      beyond += std::string(beyond.empty() ? "" : "; ") + name + " grew from " + std::to_string(before) +
                " to " + std::to_string(after) + " (margin " + std::to_string(margin) + ")";
    }
  };
  check("handles", early.handles, late.handles, margins.handles);
  check("GDI objects", early.gdiObjects, late.gdiObjects, margins.gdiObjects);
  check("USER objects", early.userObjects, late.userObjects, margins.userObjects);
  check("private bytes", early.privateBytes, late.privateBytes, margins.privateBytes);
  return beyond;
}

std::string Describe(const ProcessFigures& figures) {
  const auto shown = [](long long value) { return value < 0 ? std::string("n/a") : std::to_string(value); };
  char line[160];
  snprintf(line, sizeof line, "handles %5s  gdi %4s  user %4s  private %9s KB", shown(figures.handles).c_str(),
           shown(figures.gdiObjects).c_str(), shown(figures.userObjects).c_str(),
           figures.privateBytes < 0 ? "n/a" : std::to_string(figures.privateBytes / 1024).c_str());
  return line;
}

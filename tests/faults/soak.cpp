#include "tests/faults/soak.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/support/service.h"

namespace {

// The handle count in the system's process list. Wine answers
// GetProcessHandleCount with 0 for every process but keeps this one.
long long HandlesInProcessList(DWORD processId) {
  ULONG size = 1 << 20;
  std::vector<unsigned char> buffer;
  NTSTATUS status;
  do {
    buffer.resize(size);
    status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(), size, &size);
    size = std::max<ULONG>(size, static_cast<ULONG>(buffer.size()) * 2);
  } while (status == static_cast<NTSTATUS>(0xC0000004L) && buffer.size() < (64u << 20));  // too small
  if (status != 0) return -1;
  for (size_t at = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId)) == processId) {
      return entry->HandleCount;
    }
    if (entry->NextEntryOffset == 0) return -1;
    at += entry->NextEntryOffset;
  }
}

}  // namespace

ProcessFigures MeasureProcess(HANDLE process) {
  ProcessFigures figures;
  DWORD handles = 0;
  // A running process always holds some handles: 0 means the count is not kept.
  if (GetProcessHandleCount(process, &handles) && handles > 0) {
    figures.handles = handles;
  } else {
    figures.handles = HandlesInProcessList(GetProcessId(process));
  }
  SetLastError(0);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  if (gdi != 0 || GetLastError() == 0) figures.gdiObjects = gdi;
  SetLastError(0);
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  if (user != 0 || GetLastError() == 0) figures.userObjects = user;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    // PrivateUsage is the same figure as PagefileUsage (the commit charge);
    // Wine fills only the latter.
    const SIZE_T privateBytes = memory.PrivateUsage > 0 ? memory.PrivateUsage : memory.PagefileUsage;
    if (privateBytes > 0) figures.privateBytes = static_cast<long long>(privateBytes);
  }
  return figures;
}

// Measured under Wine 8 (figures every 10 conversions, three runs of 100 and
// one of 1,000): the handle count does not move at all once the window is
// up; private memory grows by about 2.4 MB over the first ten conversions
// (libraries and caches of the first exchange) and then wanders by at most
// 20 KB. The margins leave room for a handle or two still closing and for
// six times the largest wander, and still catch a leak of one handle, GDI or
// USER object per conversion, or of about 1.6 KB per conversion over 80
// conversions (150 bytes per conversion over 900).
SoakMargins DefaultSoakMargins() {
  return {.handles = 2, .gdiObjects = 2, .userObjects = 2, .privateBytes = 128 << 10};
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

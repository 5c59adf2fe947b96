// From process start to the window shown: the program against a minimal
// Win32 program that opens one empty window, both started the same way in
// the same run, alternately, under Wine with a warm wineserver. Run it inside
// scripts/with-test-env (it needs a display).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "bench/report.h"

namespace {

using Clock = std::chrono::steady_clock;

std::wstring WindowsPathOf(const char* unixPath) {
  if (unixPath[0] != '/') return std::wstring(unixPath, unixPath + strlen(unixPath));
  std::wstring path = L"Z:";
  for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds from CreateProcess to a visible top-level window of the new
// process; the process is closed afterwards. Negative on failure.
double TimeToWindow(const std::wstring& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  const auto start = Clock::now();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return -1;
  }
  Search search{info.dwProcessId, nullptr};
  double elapsed = -1;
  while (Clock::now() - start < std::chrono::seconds(20)) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(info.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

// Arguments, both optional: other programs to compare (Windows paths).
int main(int argc, char** argv) {
  const std::wstring program = WindowsPathOf(argc > 1 ? argv[1] : TAVRIN_EXE);
  const std::wstring yardstick = WindowsPathOf(argc > 2 ? argv[2] : EMPTY_WINDOW_EXE);
  constexpr int kRuns = 21;
  // One start of each first: DLLs in the page cache, fonts and classes known.
  TimeToWindow(program);
  TimeToWindow(yardstick);
  std::vector<double> programTimes, yardstickTimes;
  for (int i = 0; i < kRuns; ++i) {
    const double a = TimeToWindow(program);
    const double b = TimeToWindow(yardstick);
    if (a < 0 || b < 0) {
      std::printf("startup_bench: a program did not show its window\n");
      return 1;
    }
    programTimes.push_back(a);
    yardstickTimes.push_back(b);
  }
  const double programMedian = Median(programTimes);
  const double yardstickMedian = Median(yardstickTimes);
  std::printf("start to window shown, median of %d alternate runs:\n", kRuns);
  std::printf("  %-17s %7.1f ms\n", argc > 1 ? "program" : "tavrin.exe", programMedian);
  std::printf("  %-17s %7.1f ms\n", argc > 2 ? "yardstick" : "empty window", yardstickMedian);
  std::printf("  ratio             %7.2f (target <= 1.2)\n", programMedian / yardstickMedian);
  ReportRow("start-up to window shown / minimal one-window program (time)", programMedian / yardstickMedian,
            "<= 1.2");
  return 0;
}

// Opens the test run's desktop once, before any test, and holds it open with
// one hidden window until it is ended. Under Wine the first window of a run
// starts the desktop; two tests racing to do that at once have been seen to
// leave one of them hanging for minutes.
#include <windows.h>

#include <cstdio>

int main() {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

// tavrin_drive: works a running program's window from the outside, as the
// README's run command does on a machine without a display.
//
//   tavrin_drive convert ADDRESS   types ADDRESS into the input box, clicks the
//                                  button and prints the output box's text and
//                                  the window's screen rectangle
//   tavrin_drive close             closes the window as its close button does
#include <windows.h>

#include <cstdio>
#include <string>

#include "window_driver.h"

namespace {

using namespace std::chrono_literals;

HWND FindProgramWindow() {
  HWND window = nullptr;
  WaitFor([&] {
    window = FindWindowW(L"TavrinMainWindow", nullptr);
    return window && IsWindowVisible(window);
  }, 60s);
  return window;
}

HWND ControlAt(HWND window, LONG left, LONG top) {
  for (const ControlInfo& control : Controls(window)) {
    if (control.bounds.left == left && control.bounds.top == top) return control.handle;
  }
  return nullptr;
}

int Convert(const std::wstring& address) {
  HWND window = FindProgramWindow();
  if (!window) {
    std::fprintf(stderr, "tavrin_drive: the program's window did not appear\n");
    return 1;
  }
  HWND input = ControlAt(window, 136, 0);
  HWND button = ControlAt(window, 176, 48);
  HWND output = ControlAt(window, 136, 96);
  if (!input || !button || !output || !SetText(input, address)) {
    std::fprintf(stderr, "tavrin_drive: the window does not look like the program's\n");
    return 1;
  }
  const std::wstring before = ReadText(output);
  Click(button);
  if (!WaitFor([&] { return ReadText(output) != before; }, 60s)) {
    std::fprintf(stderr, "tavrin_drive: the output box did not change\n");
    return 1;
  }
  const std::string link = ReadTextBytes(output);
  RECT outer;
  GetWindowRect(window, &outer);
  std::printf("%s\nwindow %ld %ld %ld %ld\n", link.c_str(), outer.left, outer.top,
              outer.right - outer.left, outer.bottom - outer.top);
  return 0;
}

int Close() {
  HWND window = FindProgramWindow();
  if (!window) return 1;
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"convert" && argc == 3) return Convert(argv[2]);
  if (command == L"close" && argc == 2) return Close();
  std::fprintf(stderr, "usage: tavrin_drive convert ADDRESS | tavrin_drive close\n");
  return 2;
}

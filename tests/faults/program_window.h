// A started copy of the program with its controls found, and one conversion
// done through it the way a user does it: type, click, read the output box.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "tests/app/window_driver.h"

struct ProgramWindow {
  RunningProgram program;
  HWND input = nullptr;
  HWND button = nullptr;
  HWND output = nullptr;
};

// Starts the program file at unixPath; false (with the reason in `why`) when
// it did not show its window with the input box, button and output box.
bool OpenProgram(const std::string& unixPath, ProgramWindow& window, std::string& why);

// What the output box shows while a conversion has not yet written it.
inline constexpr wchar_t kWaitingMark[] = L"(waiting)";

// Marks the output box, types `address` into the input box and clicks the
// button. The program answers questions even while it converts, so the end
// of the conversion is seen by the output box changing.
bool StartConversion(const ProgramWindow& window, const std::string& address);
// The output box's text, read with a message that waits at most `limit` for
// the program; "" with answered false while the program is busy elsewhere
// (inside a blocking call its window does not answer).
std::wstring OutputText(const ProgramWindow& window, bool& answered,
                        std::chrono::milliseconds limit = std::chrono::milliseconds(500));
// Waits until the output box answers with something other than the mark;
// false on time-out.
bool WaitForConversion(const ProgramWindow& window, std::chrono::milliseconds limit);
// Both, returning what the output box shows as code page 936 bytes, or
// "<no result>" when it was not written within the limit.
std::string Convert(const ProgramWindow& window, const std::string& address,
                    std::chrono::milliseconds limit = std::chrono::seconds(40));

// True while the process runs.
bool IsRunning(const ProgramWindow& window);
// True when the only visible top-level window of the process is MainWindow:
// no message box, no other window.
bool OnlyMainWindowVisible(const ProgramWindow& window);

// "https://" + the service's link host + "/": what a failed conversion shows.
std::string BareLinkPrefix();

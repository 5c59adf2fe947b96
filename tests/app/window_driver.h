// Drives a running copy of the program the way a user does: finds its window,
// reads the window and its controls, types, clicks and presses keys through
// the program's own message loop, and looks at the pixels on the screen.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using ProcessHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// A started copy of the program. Ending the value kills the process if it is
// still running, so a failed test leaves nothing behind.
struct RunningProgram {
  ProcessHandle process;
  DWORD processId = 0;
  DWORD threadId = 0;
  HWND window = nullptr;  // MainWindow, once shown

  RunningProgram() = default;
  RunningProgram(RunningProgram&&) = default;
  RunningProgram& operator=(RunningProgram&&) = default;
  ~RunningProgram();
};

// Windows path of a program file given by its Unix path (Wine maps Z: to /).
std::wstring WindowsPathOf(const std::string& unixPath);

// Starts the program and waits until its main window is visible and the
// program waits for input. process is null when it did not start or show.
RunningProgram StartProgram(const std::wstring& exePath);

// The visible top-level windows of a process.
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);

struct ControlInfo {
  HWND handle = nullptr;
  std::wstring className;
  RECT bounds{};  // in client coordinates of the parent
  std::wstring text;
  LONG_PTR style = 0;
  LONG_PTR exStyle = 0;
  bool tabStop = false;
  bool visible = false;
  bool enabled = false;
};

// The child windows of window, in creation order.
// The direct child windows of window.
std::vector<ControlInfo> Controls(HWND window);

// The text of a control as the program sees it (WM_GETTEXT), UTF-16 and as
// code page 936 bytes.
std::wstring ReadText(HWND control);
std::string ReadTextBytes(HWND control);
// Replaces a box's text as typing over it would (WM_SETTEXT). False when the
// program did not answer within the time limit.
bool SetText(HWND control, const std::wstring& text,
             std::chrono::milliseconds limit = std::chrono::seconds(10));

// A left mouse click in the middle of a control, posted to the program's
// queue so it goes through the program's message loop like a real click.
void Click(HWND control);

// A key press (down and up) posted to the control that has the focus. With
// shift, the Shift key is held in the program's keyboard state meanwhile.
void PressKey(const RunningProgram& program, UINT virtualKey, bool shift = false);

// The control that has the keyboard focus in the program's GUI thread.
HWND FocusedWindow(const RunningProgram& program);

// Waits until the program waits for input and has answered a sent message.
// Sent messages overtake posted ones, so this does not prove that posted
// clicks and keys were handled: wait for their effect with WaitFor.
void WaitUntilIdle(const RunningProgram& program);

// Polls until done() holds or the time runs out; returns the last result.
bool WaitFor(const std::function<bool()>& done,
             std::chrono::milliseconds limit = std::chrono::seconds(10));

// Waits for the process to end; its exit code, or nothing on time-out.
bool WaitForExit(const RunningProgram& program, std::chrono::milliseconds limit, DWORD& exitCode);

// The screen's pixels under a rectangle in screen coordinates, row by row,
// as COLORREF values.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> colours;
  COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
};
Pixels CaptureScreen(RECT area);
// The client area of a window, as shown on the screen.
Pixels CaptureClient(HWND window);

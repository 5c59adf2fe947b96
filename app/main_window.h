// MainWindow: the program's one window with its four controls, and the
// button's click handler ConvertShortLink.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <span>
#include <type_traits>

struct IconCloser {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconCloser>;

// The window's state, reached from its HWND. It belongs to the start-up code
// and outlives the window: a conversion still running when the window is
// destroyed finds the handles cleared here rather than dangling.
struct MainWindow {
  HWND window = nullptr;
  HWND input = nullptr;    // 编辑框1
  HWND button = nullptr;   // 按钮1
  HWND output = nullptr;   // 编辑框2
  HWND picture = nullptr;  // 图片框1
  HWND lastFocus = nullptr;
  IconHandle bigIcon;
  IconHandle smallIcon;
  IconHandle pictureIcon;
};

// Outer size of the window, frame and caption bar included.
inline constexpr int kMainWindowWidth = 286;
inline constexpr int kMainWindowHeight = 166;

// Creates the window with its icons, font and controls, centred and shown.
// False when the window cannot be created.
bool CreateMainWindow(MainWindow& window, HINSTANCE instance);

// The MainWindow that window belongs to (the main window itself or one of its
// controls), or null.
[[nodiscard]] const MainWindow* FindMainWindow(HWND window);

// The controls of the focus cycle in tab position order.
[[nodiscard]] inline std::array<HWND, 3> FocusCycle(const MainWindow& window) {
  return {window.input, window.button, window.output};
}

// The click handler of 按钮1: reads 编辑框1, converts, writes 编辑框2.
void ConvertShortLink(MainWindow& window);

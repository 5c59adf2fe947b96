// The main window's keyboard handling: Tab and Shift+Tab move the focus
// through the focus cycle, Esc closes the window, Enter and F1 do nothing.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <type_traits>

// The handling for one message about to be dispatched. Returns true when the
// message was a key that the handling consumed.
// focusCycle: the controls in tab position order.
bool HandleKeyboard(const MSG& message, HWND mainWindow, std::span<const HWND> focusCycle);

// The control that Tab (forward) or Shift+Tab moves the focus to from
// current: the next or previous visible, enabled tab stop of the cycle,
// wrapping around; from outside the cycle, the first or the last one.
// Null when no control of the cycle can take the focus.
[[nodiscard]] HWND NextInFocusCycle(std::span<const HWND> focusCycle, HWND current, bool forward);

struct HookCloser {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using KeyboardHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookCloser>;

// Runs HandleKeyboard on every message this thread takes from its queue for
// the main window or its controls, before it is dispatched: in the main
// message loop and equally in the nested loop of ProcessEvents while a
// conversion waits. A consumed key is turned into WM_NULL.
KeyboardHook InstallKeyboardHandling();

#include "app/keyboard.h"

#include "app/main_window.h"

namespace {

bool TakesFocus(HWND control) {
  return control && IsWindowVisible(control) && IsWindowEnabled(control) &&
         (GetWindowLongPtrW(control, GWL_STYLE) & WS_TABSTOP) != 0;
}

bool IsDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

LRESULT CALLBACK GetMessageHook(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (message->hwnd && (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN)) {
      // The window is found from the message itself, so the hook keeps no state.
      if (const MainWindow* window = FindMainWindow(message->hwnd)) {
        if (HandleKeyboard(*message, window->window, FocusCycle(*window))) {
          *message = MSG{};
          message->message = WM_NULL;
        }
      }
    }
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

HWND NextInFocusCycle(std::span<const HWND> focusCycle, HWND current, bool forward) {
  const int count = static_cast<int>(focusCycle.size());
  int position = -1;
  for (int i = 0; i < count; ++i) {
    if (focusCycle[i] == current) position = i;
  }
  for (int step = 1; step <= count; ++step) {
    int index;
    if (position < 0) {
      index = forward ? step - 1 : count - step;
    } else {
      index = ((position + (forward ? step : -step)) % count + count) % count;
    }
    if (TakesFocus(focusCycle[index])) return focusCycle[index];
  }
  return nullptr;
}

bool HandleKeyboard(const MSG& message, HWND mainWindow, std::span<const HWND> focusCycle) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  if (!mainWindow || !message.hwnd ||
      (message.hwnd != mainWindow && !IsChild(mainWindow, message.hwnd))) {
    return false;
  }
  const bool control = IsDown(VK_CONTROL);
  const bool shift = IsDown(VK_SHIFT);
  const bool alt = message.message == WM_SYSKEYDOWN || IsDown(VK_MENU);
  switch (message.wParam) {
    case VK_TAB:
      if (control || alt) return false;
      if (HWND next = NextInFocusCycle(focusCycle, GetFocus(), !shift)) SetFocus(next);
      return true;
    case VK_ESCAPE:
      // Shift+Esc and the other combinations are different keys, with no action.
      if (control || shift || alt) return false;
      SendMessageW(mainWindow, WM_CLOSE, 0, 0);
      return true;
    default:
      // Enter and F1 have no program action: they go to the focused control,
      // which has no use for them (single-line boxes, not a default button).
      return false;
  }
}

KeyboardHook InstallKeyboardHandling() {
  return KeyboardHook(
      SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId()));
}

// The only part of the text toolkit that touches the platform.
#include <windows.h>

#include "text/text.h"

// Looks before taking: a WM_QUIT must stay in the queue so that the main
// message loop, not a nested call from inside a long operation, ends the
// program.
void ProcessEvents() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
      // Not expected after the look above, but never swallow a quit request.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

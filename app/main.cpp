// Start-up and the message loop of the program.
#include <ole2.h>
#include <windows.h>

#include <string>

#include "app/fatal.h"
#include "app/keyboard.h"
#include "app/main_window.h"

namespace {

// The current directory becomes the folder that holds the program file.
void EnterProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return;
  path.resize(slash);
  if (path.size() == 2 && path[1] == L':') path += L'\\';  // "C:" alone would mean C:'s current folder
  SetCurrentDirectoryW(path.c_str());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  InstallOutOfMemoryReport();
  OleInitialize(nullptr);  // the result is not looked at
  EnterProgramFolder();

  MainWindow window;
  // Keyboard handling runs before dispatch in this loop and in the nested
  // loop of ProcessEvents alike.
  const KeyboardHook keyboard = InstallKeyboardHandling();
  if (!CreateMainWindow(window, instance)) {
    ReportFatal(L"无法创建程序主窗口，程序即将退出。", 1);
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

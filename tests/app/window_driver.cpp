#include "window_driver.h"

#include <thread>

namespace {

constexpr wchar_t kMainWindowClass[] = L"TavrinMainWindow";

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
  return TRUE;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

}  // namespace

RunningProgram::~RunningProgram() {
  if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.get(), 99);
    WaitForSingleObject(process.get(), 5000);
  }
}

std::wstring WindowsPathOf(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return path;
}

RunningProgram StartProgram(const std::wstring& exePath) {
  RunningProgram program;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    return program;
  }
  CloseHandle(info.hThread);
  program.process.reset(info.hProcess);
  program.processId = info.dwProcessId;
  program.threadId = info.dwThreadId;
  WaitFor([&] {
    for (HWND window : VisibleTopLevelWindows(program.processId)) {
      if (ClassOf(window) == kMainWindowClass) program.window = window;
    }
    return program.window != nullptr;
  });
  if (!program.window) {
    program = RunningProgram{};
    return program;
  }
  WaitUntilIdle(program);
  return program;
}

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<ControlInfo> Controls(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChildren, reinterpret_cast<LPARAM>(&children));
  std::vector<ControlInfo> controls;
  for (HWND child : children) {
    if (GetParent(child) != window) continue;
    ControlInfo info;
    info.handle = child;
    info.className = ClassOf(child);
    GetWindowRect(child, &info.bounds);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&info.bounds), 2);
    info.text = ReadText(child);
    info.style = GetWindowLongPtrW(child, GWL_STYLE);
    info.exStyle = GetWindowLongPtrW(child, GWL_EXSTYLE);
    info.tabStop = (info.style & WS_TABSTOP) != 0;
    info.visible = IsWindowVisible(child) != FALSE;
    info.enabled = IsWindowEnabled(child) != FALSE;
    controls.push_back(info);
  }
  return controls;
}

std::wstring ReadText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) {
    return L"<no answer>";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 10000, &copied)) {
    return L"<no answer>";
  }
  text.resize(copied);
  return text;
}

std::string ReadTextBytes(HWND control) {
  const std::wstring wide = ReadText(control);
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(936, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(936, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
  return text;
}

bool SetText(HWND control, const std::wstring& text, std::chrono::milliseconds limit) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_NORMAL, static_cast<UINT>(limit.count()), &result) != 0;
}

void Click(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  const LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
}

void PressKey(const RunningProgram& program, UINT virtualKey, bool shift) {
  if (!shift) {
    HWND target = FocusedWindow(program);
    if (!target) target = program.window;
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    PostMessageW(target, WM_KEYUP, virtualKey, down | (1LL << 30) | (1LL << 31));
    return;
  }
  // A held Shift lives in the program's keyboard state, which only keyboard
  // input changes: the combination goes in as typed, to the active window.
  SetForegroundWindow(program.window);
  WaitUntilIdle(program);
  INPUT keys[4] = {};
  const WORD order[4] = {VK_SHIFT, static_cast<WORD>(virtualKey), static_cast<WORD>(virtualKey), VK_SHIFT};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i];
    keys[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(order[i], MAPVK_VK_TO_VSC));
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, keys, sizeof(INPUT));
}

HWND FocusedWindow(const RunningProgram& program) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(program.threadId, &info)) return nullptr;
  return info.hwndFocus;
}

void WaitUntilIdle(const RunningProgram& program) {
  if (!program.process) return;
  WaitForInputIdle(program.process.get(), 10000);
  // Answered once the program reads its queue again.
  DWORD_PTR result = 0;
  if (program.window && IsWindow(program.window)) {
    SendMessageTimeoutW(program.window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
  }
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool WaitForExit(const RunningProgram& program, std::chrono::milliseconds limit, DWORD& exitCode) {
  if (WaitForSingleObject(program.process.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return false;
  }
  return GetExitCodeProcess(program.process.get(), &exitCode) != 0;
}

Pixels CaptureScreen(RECT area) {
  Pixels pixels;
  pixels.width = area.right - area.left;
  pixels.height = area.bottom - area.top;
  if (pixels.width <= 0 || pixels.height <= 0) return Pixels{};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* bgra = static_cast<const unsigned char*>(bits);
  pixels.colours.resize(static_cast<size_t>(pixels.width) * pixels.height);
  for (size_t i = 0; i < pixels.colours.size(); ++i) {
    pixels.colours[i] = RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

Pixels CaptureClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  return CaptureScreen(client);
}

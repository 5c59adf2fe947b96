#include "tests/faults/program_window.h"

#include "tests/support/service.h"

namespace {

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

bool OpenProgram(const std::string& unixPath, ProgramWindow& window, std::string& why) {
  window.program = StartProgram(WindowsPathOf(unixPath));
  if (!window.program.process) {
    why = "the program did not show its window: " + unixPath;
    return false;
  }
  for (const ControlInfo& control : Controls(window.program.window)) {
    if (_wcsicmp(control.className.c_str(), L"Button") == 0) window.button = control.handle;
    if (_wcsicmp(control.className.c_str(), L"Edit") == 0) {
      (control.bounds.top == 0 ? window.input : window.output) = control.handle;
    }
  }
  if (!window.input || !window.button || !window.output) {
    why = "the window lacks its input box, button or output box";
    return false;
  }
  return true;
}

bool StartConversion(const ProgramWindow& window, const std::string& address) {
  if (!SetText(window.output, kWaitingMark) || !SetText(window.input, Wide(address))) return false;
  Click(window.button);
  return true;
}

std::wstring OutputText(const ProgramWindow& window, bool& answered, std::chrono::milliseconds limit) {
  answered = false;
  const auto timeout = static_cast<UINT>(limit.count());
  DWORD_PTR length = 0;
  // Not SMTO_ABORTIFHUNG: a window that has not read its queue for a few
  // seconds counts as hung, and the question would not even be asked.
  if (!SendMessageTimeoutW(window.output, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeout, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window.output, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_NORMAL, timeout, &copied)) {
    return {};
  }
  answered = true;
  text.resize(copied);
  return text;
}

bool WaitForConversion(const ProgramWindow& window, std::chrono::milliseconds limit) {
  return WaitFor(
      [&] {
        bool answered = false;
        const std::wstring text = OutputText(window, answered);
        return answered && text != kWaitingMark;
      },
      limit);
}

std::string Convert(const ProgramWindow& window, const std::string& address,
                    std::chrono::milliseconds limit) {
  if (!StartConversion(window, address) || !WaitForConversion(window, limit)) return "<no result>";
  return ReadTextBytes(window.output);
}

bool IsRunning(const ProgramWindow& window) {
  return window.program.process && WaitForSingleObject(window.program.process.get(), 0) == WAIT_TIMEOUT;
}

bool OnlyMainWindowVisible(const ProgramWindow& window) {
  const std::vector<HWND> visible = VisibleTopLevelWindows(window.program.processId);
  return visible.size() == 1 && visible.front() == window.program.window;
}

std::string BareLinkPrefix() { return "https://" + ServiceLinkHost() + "/"; }

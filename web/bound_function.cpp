#include "web/bound_function.h"

namespace {

std::wstring Widen(const char* ascii) {
  std::wstring out;
  for (const char* p = ascii; p != nullptr && *p != '\0'; ++p) {
    out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  }
  return out;
}

[[noreturn]] void ReportAndExit(const char* library, const char* function) {
  const std::wstring report = BindingFailureReport(library, function);
  MessageBoxW(nullptr, report.c_str(), L"Tavrin", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(2);
}

std::atomic<BindingFailureHandler> g_failureHandler{&ReportAndExit};

HMODULE LoadSystemLibrary(const std::wstring& library) {
  // Only the system folder: a file of the same name beside the program or in
  // the current folder must not stand in for a system library.
  HMODULE module = LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    // Systems without the restricted search flags: the ordinary search.
    module = LoadLibraryW(library.c_str());
  }
  return module;
}

}  // namespace

BindingFailureHandler SetBindingFailureHandler(BindingFailureHandler handler) {
  return g_failureHandler.exchange(handler != nullptr ? handler : &ReportAndExit);
}

std::wstring BindingFailureReport(const char* library, const char* function) {
  return L"无法使用系统函数库 " + Widen(library) + L" 中的函数 " + Widen(function) +
         L"。\n程序无法继续运行，即将退出。";
}

FARPROC BindPlatformFunction(const char* library, const char* function) {
  // The module stays loaded for the rest of the process: its functions are remembered.
  const HMODULE module = LoadSystemLibrary(Widen(library));
  FARPROC address = module != nullptr ? GetProcAddress(module, function) : nullptr;
  if (address == nullptr) g_failureHandler.load()(library, function);
  return address;
}

#include "app/fatal.h"

#include <windows.h>

#include <new>

void ReportFatal(const wchar_t* message, unsigned exitCode) {
  // Task-modal and ownerless: by now the main window may not exist.
  MessageBoxW(nullptr, message, L"Tavrin", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  ExitProcess(exitCode);
}

namespace {

void OnOutOfMemory() { ReportFatal(L"内存不足，程序无法继续运行，即将退出。", 3); }

}  // namespace

void InstallOutOfMemoryReport() { std::set_new_handler(OnOutOfMemory); }

#include "tests/support/message_probe.h"

namespace {
constexpr UINT kProbeMessage = WM_APP + 0x2A;
constexpr wchar_t kClassName[] = L"TavrinMessageProbe";
}  // namespace

MessageProbe::MessageProbe() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when an earlier probe registered it
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            windowClass.hInstance, nullptr);
  if (window_ != nullptr) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageProbe::~MessageProbe() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void MessageProbe::Post() const { PostMessageW(window_, kProbeMessage, 0, 0); }

LRESULT CALLBACK MessageProbe::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbeMessage) {
    auto* probe = reinterpret_cast<MessageProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (probe != nullptr) {
      ++probe->dispatched_;
      if (probe->onDispatch) probe->onDispatch();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

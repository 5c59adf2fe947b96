#include "app/control_text.h"

#include <string>

namespace {

// Text is code page 936 whatever the system's own ANSI code page is, so the
// conversion names it rather than using CP_ACP.
constexpr UINT kTextCodePage = 936;

}  // namespace

Text GetControlText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, wide.data(), length + 1);
  if (copied <= 0) return {};
  const int bytes = WideCharToMultiByte(kTextCodePage, 0, wide.data(), copied, nullptr, 0,
                                        nullptr, nullptr);
  if (bytes <= 0) return {};
  Text text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(kTextCodePage, 0, wide.data(), copied, text.data(), bytes, nullptr, nullptr);
  return text;
}

void SetControlText(HWND control, const Text& text) {
  std::wstring wide;
  if (!text.empty()) {
    const int size = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(kTextCodePage, 0, text.data(), size, nullptr, 0);
    if (chars > 0) {
      wide.resize(static_cast<size_t>(chars));
      MultiByteToWideChar(kTextCodePage, 0, text.data(), size, wide.data(), chars);
    }
  }
  SetWindowTextW(control, wide.c_str());
}

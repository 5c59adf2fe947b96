#include "automation/boundary.h"

#include <climits>

std::wstring TextToWide(std::string_view text) {
  // The conversion counts in int; a text beyond that is not a Text we make.
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<size_t>(units), L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), units);
  wide.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return wide;
}

BSTR TextToBstr(std::string_view text) {
  const std::wstring wide = TextToWide(text);
  if (wide.size() > UINT_MAX / sizeof(wchar_t)) return nullptr;
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

Text WideToText(std::wstring_view wide) {
  wide = wide.substr(0, wide.find(L'\0'));
  if (wide.empty() || wide.size() > INT_MAX) return {};
  const int units = static_cast<int>(wide.size());
  // A null default character means the code page's own.
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  Text text(static_cast<size_t>(size), '\0');
  const int written =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), units, text.data(), size, nullptr, nullptr);
  text.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return text;
}

Text BstrToText(BSTR value) {
  if (value == nullptr) return {};
  return WideToText(std::wstring_view(value, SysStringLen(value)));
}

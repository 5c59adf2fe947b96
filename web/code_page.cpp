#include "web/code_page.h"

#include <climits>
#include <cstring>
#include <string>

#include "web/platform.h"

namespace {
constexpr UINT kCodePage = 936;
}  // namespace

Bytes AnsiToWide(const Text& text, bool dropTerminator) {
  // Text never holds a zero byte, and a longer one than int can count is cut
  // at the first INT_MAX bytes: the conversion takes an int length.
  if (text.empty() || text.size() >= INT_MAX) return {};
  const int units = platform::MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, nullptr, 0);
  if (units <= 0 || units > INT_MAX / 2) return {};
  Bytes out = BlankBytes(units * 2);
  const int written = platform::MultiByteToWideChar(kCodePage, 0, text.c_str(), -1,
                                                    reinterpret_cast<wchar_t*>(out.data()), units);
  if (written <= 0) return {};
  out.resize(static_cast<size_t>(written) * 2);
  if (dropTerminator) out.resize(out.size() - 2);
  return out;
}

Text WideToAnsi(const Bytes& bytes) {
  const int units = BytesLength(bytes) / 2;
  if (units <= 0) return {};
  // Copied to an aligned buffer: Bytes gives no wchar_t alignment guarantee.
  std::wstring wide(static_cast<size_t>(units), L'\0');
  memcpy(wide.data(), bytes.data(), static_cast<size_t>(units) * 2);
  const int size = platform::WideCharToMultiByte(kCodePage, WC_COMPOSITECHECK, wide.data(), units,
                                                 nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  Bytes out = BlankBytes(size);
  const int written = platform::WideCharToMultiByte(kCodePage, WC_COMPOSITECHECK, wide.data(), units,
                                                    reinterpret_cast<char*>(out.data()), size,
                                                    nullptr, nullptr);
  if (written <= 0) return {};
  return BytesToText(BytesLeft(out, written));
}

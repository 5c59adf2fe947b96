// Code page 936 byte sequences used across the text tests (our sources are
// UTF-8, so these are spelled as escapes).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "text/text.h"

namespace gbk {
inline constexpr const char* kZhong = "\xD6\xD0";          // 中
inline constexpr const char* kWen = "\xCE\xC4";            // 文
inline constexpr const char* kFullSpace = "\xA1\xA1";      // full-width space
inline constexpr const char* kFullA = "\xA3\xC1";          // full-width A
inline constexpr const char* kFullSmallA = "\xA3\xE1";     // full-width a
inline constexpr const char* kTrailA = "\x81" "A";         // a character whose second byte is 'A'
inline constexpr const char* kTrailSmallA = "\x81" "a";
inline constexpr const char* kQuoteMarker = "#\xD2\xFD\xBA\xC5";  // #引号
}  // namespace gbk

// Readable failure output for texts holding bytes >= 0x80.
inline std::string Escaped(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

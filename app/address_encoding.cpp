#include "app/address_encoding.h"

#include <algorithm>

#include "web/code_page.h"

namespace {

// UTF-8 bytes of UTF-16LE code units; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const Bytes& wide) {
  std::string out;
  const size_t units = wide.size() / 2;
  const auto unit = [&](size_t i) -> char32_t { return wide[2 * i] | (wide[2 * i + 1] << 8); };
  for (size_t i = 0; i < units; ++i) {
    char32_t c = unit(i);
    if (c == 0) break;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void AppendEscaped(Text& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool NeedsEscape(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == ' ' || byte == '%' || byte == '&' || byte == '#' ||
         byte == '+';
}

}  // namespace

Text EncodeLongAddress(const Text& longAddress) {
  Text out;
  out.reserve(longAddress.size());
  size_t i = 0;
  while (i < longAddress.size()) {
    const auto byte = static_cast<unsigned char>(longAddress[i]);
    if (byte < 0x80) {
      if (NeedsEscape(byte)) {
        AppendEscaped(out, byte);
      } else {
        out += static_cast<char>(byte);
      }
      ++i;
      continue;
    }
    // A run of two-byte characters converts in one go; a lone lead byte at
    // the end converts to whatever the code page makes of it.
    size_t end = i;
    while (end < longAddress.size() && static_cast<unsigned char>(longAddress[end]) >= 0x80) {
      end += end + 1 < longAddress.size() ? 2 : 1;
    }
    end = std::min(end, longAddress.size());
    for (unsigned char utf8 : Utf8FromUtf16(AnsiToWide(longAddress.substr(i, end - i)))) {
      AppendEscaped(out, utf8);
    }
    i = end;
  }
  return out;
}

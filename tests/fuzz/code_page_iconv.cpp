// The code page 936 conversion at the WinHTTP boundary, for the native build:
// glibc's iconv in place of MultiByteToWideChar. A byte sequence that code
// page 936 does not define becomes U+FFFD, as the platform's replacement does.
#include <iconv.h>

#include "web/code_page.h"

Bytes AnsiToWide(const Text& text, bool dropTerminator) {
  if (text.empty()) return {};
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  Bytes out;
  char buffer[256];
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) && outPtr == buffer) {
      // Not convertible here: one replacement character, skip one byte.
      out.insert(out.end(), {0xFD, 0xFF});
      ++in;
      --inLeft;
      continue;
    }
    out.insert(out.end(), buffer, outPtr);
  }
  iconv_close(cd);
  if (!dropTerminator) out.insert(out.end(), {0, 0});
  return out;
}

// EncodeLongAddress: whatever the user types, the query value carries only
// safe bytes, and the service's percent-decoding gives the typed text back.
#include "app/address_encoding.h"
#include "fuzz_input.h"

static int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

static bool IsValidUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string typed = FuzzText(in, 1024);
  const Text encoded = EncodeLongAddress(typed);

  std::string decoded;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const auto c = static_cast<unsigned char>(encoded[i]);
    FUZZ_CHECK(c > 0x20 && c < 0x7F && c != '&' && c != '#' && c != '+');
    if (c == '%') {
      FUZZ_CHECK(i + 2 < encoded.size());
      const int high = HexValue(encoded[i + 1]);
      const int low = HexValue(encoded[i + 2]);
      FUZZ_CHECK(high >= 0 && low >= 0);
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += static_cast<char>(c);
    }
  }
  FUZZ_CHECK(IsValidUtf8(decoded));
  bool ascii = true;
  for (char c : typed) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) FUZZ_CHECK(decoded == typed);
  return 0;
}

// ParseResponseHeaders and TextBefore on arbitrary response heads.
#include "fuzz_input.h"
#include "web/response_headers.h"

// True when the text ends with the separator "; " as two characters of
// their own: in "\xFF; " the ";" is the second byte of a two-byte character.
static bool EndsWithSeparator(const std::string& s) {
  if (s.size() < 2 || s.compare(s.size() - 2, 2, "; ") != 0) return false;
  std::size_t at = 0;
  while (at < s.size() - 2) at += static_cast<unsigned char>(s[at]) >= 0x80 ? 2 : 1;
  return at == s.size() - 2;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string entryCookies = FuzzText(in, 32);
  const std::string entryTarget = FuzzText(in, 16);
  const std::string raw = FuzzText(in, 4096);

  Text status = "x";
  Text cookies = entryCookies;
  Text target = entryTarget;
  ParseResponseHeaders(raw, status, cookies, target);

  FUZZ_CHECK(status.empty() || raw.find(status) != std::string::npos);
  FUZZ_CHECK(target == entryTarget || raw.find(target) != std::string::npos);
  // Cookies are only ever added to what the caller had.
  FUZZ_CHECK(cookies.compare(0, entryCookies.size(), entryCookies) == 0);
  if (entryCookies.empty()) FUZZ_CHECK(!EndsWithSeparator(cookies));
  if (raw.find("Set-Cookie") == std::string::npos) FUZZ_CHECK(cookies == entryCookies);

  const Text before = TextBefore(raw, entryTarget, FuzzInt(in));
  FUZZ_CHECK(raw.compare(0, before.size(), before) == 0);
  return 0;
}

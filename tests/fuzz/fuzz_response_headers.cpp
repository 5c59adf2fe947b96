// ParseResponseHeaders and TextBefore on arbitrary response heads.
#include "fuzz_input.h"
#include "web/response_headers.h"

static bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
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
  // (A final ";" alone may be the second byte of a two-byte character.)
  if (entryCookies.empty()) FUZZ_CHECK(!EndsWith(cookies, "; "));
  if (raw.find("Set-Cookie") == std::string::npos) FUZZ_CHECK(cookies == entryCookies);

  const Text before = TextBefore(raw, entryTarget, FuzzInt(in));
  FUZZ_CHECK(raw.compare(0, before.size(), before) == 0);
  return 0;
}

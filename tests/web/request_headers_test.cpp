#include <gtest/gtest.h>

#include <string>

#include "web/request_headers.h"

namespace {

constexpr const char* kAgent =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n";
constexpr const char* kAccept = "Accept: text/html, application/xhtml+xml, */*\r\n";
constexpr const char* kEncoding = "Accept-Encoding: gbk, GB2312\r\n";
constexpr const char* kLanguage = "Accept-Language: zh-cn\r\n";
constexpr const char* kForm = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr const char* kCache = "Cache-Control: no-cache\r\n";

std::string Defaults() { return std::string(kAgent) + kAccept + kEncoding + kLanguage; }

struct HeaderCase {
  const char* name;
  Text extraHeaders;
  int method;
  Text cookies;
  std::string expected;
};

TEST(BuildRequestHeaders, Table) {
  const HeaderCase cases[] = {
      {"everything omitted: the five default lines", "", 0, "", Defaults() + kCache},
      {"caller's User-Agent in any case replaces the default", "user-agent: x", 0, "",
       std::string("user-agent: x\r\n") + kAccept + kEncoding + kLanguage + kCache},
      {"X-Accept counts as an Accept line", "X-Accept: 1", 0, "",
       std::string("X-Accept: 1\r\n") + kAgent + kEncoding + kLanguage + kCache},
      {"Accept-Encoding alone does not satisfy the Accept search", "Accept-Encoding: br", 0, "",
       std::string("Accept-Encoding: br\r\n") + kAgent + kAccept + kLanguage + kCache},
      {"a final CRLF of the caller's gives an empty line", "X-A: 1\r\n", 0, "",
       std::string("X-A: 1\r\n\r\n") + Defaults() + kCache},
      {"two caller lines keep their order", "X-A: 1\r\nX-B: 2", 0, "",
       std::string("X-A: 1\r\nX-B: 2\r\n") + Defaults() + kCache},
      {"caller's cache line in other case", "cache-control: max-age=0", 0, "",
       std::string("cache-control: max-age=0\r\n") + Defaults()},
      {"cookies: the cookie line is last", "", 0, "a=1; b=2",
       Defaults() + kCache + "Cookie: a=1; b=2\r\n"},
      {"cookies with a caller's Cookie line: not sent", "COOKIE: z=9", 0, "a=1",
       std::string("COOKIE: z=9\r\n") + Defaults() + kCache},
      {"a Set-Cookie line holds the searched text", "Set-Cookie: z=9", 0, "a=1",
       std::string("Set-Cookie: z=9\r\n") + Defaults() + kCache},
      {"POST without content type: form line before Cache-Control", "", 1, "",
       Defaults() + kForm + kCache},
      {"POST with lower-case content-type is normalised", "content-type: text/xml", 1, "",
       std::string("Content-Type: text/xml\r\n") + Defaults() + kCache},
      {"POST: every lower-case content-type is rewritten, values too",
       "content-type: text/content-type", 1, "",
       std::string("Content-Type: text/Content-Type\r\n") + Defaults() + kCache},
      {"POST with Content-type in another mix: kept, form line added", "Content-type: text/xml", 1, "",
       std::string("Content-type: text/xml\r\n") + Defaults() + kForm + kCache},
      {"POST with a correct Content-Type", "Content-Type: application/json", 1, "",
       std::string("Content-Type: application/json\r\n") + Defaults() + kCache},
      {"other methods pass content-type unchanged", "content-type: text/xml", 3, "",
       std::string("content-type: text/xml\r\n") + Defaults() + kCache},
      {"method out of range counts as GET", "", 8, "", Defaults() + kCache},
      {"method -1 counts as GET", "", -1, "", Defaults() + kCache},
      {"POST with cookies: form line, cache line, then cookie line", "", 1, "k=v",
       Defaults() + kForm + kCache + "Cookie: k=v\r\n"},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BuildRequestHeaders(c.extraHeaders, c.method, c.cookies), c.expected);
  }
}

TEST(BuildRequestHeaders, DefaultNamesMatchAnywhereIgnoringAsciiCaseOnly) {
  // The Accept search finds "accept: " inside a value: no default Accept line.
  const Text h = BuildRequestHeaders("X-Note: we accept: all", 0, "");
  EXPECT_EQ(h.find(kAccept), std::string::npos);
  EXPECT_NE(h.find(kAgent), std::string::npos);
}

TEST(MethodVerb, TableAndOutOfRange) {
  const char* const verbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(MethodVerb(i), verbs[i]) << i;
  for (int i : {-1, 8, 1000, INT_MIN}) EXPECT_EQ(MethodVerb(i), "GET") << i;
}

}  // namespace

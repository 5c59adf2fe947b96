// The response head through WebRequest against the local service: status,
// the server's cookies, the redirect target and the cookie merge, each as a
// scripted reply plus the outputs expected.
// Options are filled with designated initialisers; the members left out keep
// their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <optional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/support/service.h"
#include "web/web_request.h"

namespace {

// A /script query: the tag, then each name=value with the value percent-encoded.
std::string Script(const std::string& tag, std::initializer_list<std::pair<const char*, std::string>> params) {
  std::string query = "/script?tag=";
  query.append(tag);
  for (const auto& [name, value] : params) {
    query.append("&").append(name).append("=").append(PercentEncodeAll(value));
  }
  return query;
}

struct HeadOutputs {
  Text statusText = "entry status";
  Text returnedCookies;
  Text redirectTarget = "entry target";
  Text responseHeaders;
};

TEST(WebRequestHeadTest, RealHeadGivesStatusCookiesAndKeepsTheTarget) {
  const std::string tag = UniqueTag();
  HeadOutputs out;
  out.returnedCookies = "x=1";
  const Text body = WebRequest(
      ServiceHttpsUrl(Script(tag, {{"cookies", "2"},
                                   {"header", "Set-Cookie: s=1; Path=/; HttpOnly"},
                                   {"header", "set-cookie: lower=1"},
                                   {"body", "hello"}})),
      {.returnedCookies = &out.returnedCookies,
       .responseHeaders = &out.responseHeaders,
       .redirectTarget = &out.redirectTarget,
       .statusText = &out.statusText});
  EXPECT_EQ(body, "hello");
  EXPECT_EQ(out.statusText, "200 OK");
  EXPECT_EQ(out.redirectTarget, "entry target");
  // WinHTTP hands the head back in CRLF form, status line first, an empty line last.
  EXPECT_EQ(out.responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << out.responseHeaders;
  EXPECT_TRUE(out.responseHeaders.ends_with("\r\n\r\n")) << out.responseHeaders;
  // Cookies omitted: no merge. The entry value is joined to the received
  // cookies in the order the server sent them; "set-cookie" does not count.
  EXPECT_NE(out.responseHeaders.find("\r\nset-cookie: lower=1\r\n"), Text::npos);
  EXPECT_EQ(out.returnedCookies, "x=1; s=1; c1=v1; c2=v2");
}

// A body cut off by a reset still yields the status from the head, and it
// replaces whatever statusText held, a read-failure message included. (Under
// Wine the reset reaches the caller as the end of the data, not as a failed
// read, so the message is put there beforehand.)
TEST(WebRequestHeadTest, StatusFromTheHeadAfterABodyCutOff) {
  HeadOutputs out;
  out.statusText = "713 \xB6\xC1\xC8\xA1\xCA\xFD\xBE\xDD\xCA\xA7\xB0\xDC!";
  Bytes bytes;
  const std::string body(64 * 1024, 'b');
  const Text text = WebRequest(
      ServiceHttpUrl(Script(UniqueTag(), {{"close", "mid_body"}, {"reset", "1"}, {"body", body}})),
      {.returnedCookies = &out.returnedCookies,
       .responseHeaders = &out.responseHeaders,
       .statusText = &out.statusText,
       .responseBytes = &bytes});
  EXPECT_LT(bytes.size(), body.size());
  EXPECT_EQ(text.size(), bytes.size());
  EXPECT_EQ(out.statusText, "200 OK");
  EXPECT_EQ(out.responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

TEST(WebRequestHeadTest, RedirectNotFollowedGivesTheTarget) {
  const std::string tag = UniqueTag();
  const std::string target = std::string("/next-").append(tag);
  HeadOutputs out;
  (void)WebRequest(
      ServiceHttpUrl(Script(tag, {{"status", "302"}, {"header", std::string("Location: ").append(target)}})),
      {.noRedirect = true, .redirectTarget = &out.redirectTarget, .statusText = &out.statusText});
  EXPECT_EQ(out.statusText, "302 Found");
  EXPECT_EQ(out.redirectTarget, target);
}

TEST(WebRequestHeadTest, TargetAndStatusNotAskedForAreNotNeeded) {
  Text returnedCookies;
  const Text body = WebRequest(
      ServiceHttpUrl(Script(UniqueTag(), {{"status", "302"}, {"header", "Location: /x"}, {"cookies", "1"}})),
      {.returnedCookies = &returnedCookies, .noRedirect = true});
  EXPECT_EQ(returnedCookies, "c1=v1");
}

// How the caller's cookies and returnedCookies come back, depending on whether
// cookies were given and on autoMergeCookies.
struct MergeCase {
  const char* name;
  bool cookiesGiven;
  Text cookies;
  Text returnedOnEntry;
  std::optional<bool> autoMerge;
  Text cookiesAfter;
  Text returnedAfter;
  const char* cookieLineSent;  // null: no Cookie line
};

TEST(WebRequestHeadTest, CookieMergeDependsOnCookiesAndAutoMerge) {
  const MergeCase cases[] = {
      {"cookies omitted: no merge", false, "", "z = 1", std::nullopt, "", "z = 1; a=deleted; c1=v1",
       nullptr},
      {"cookies omitted, merge asked: no merge", false, "", "z = 1", true, "",
       "z = 1; a=deleted; c1=v1", nullptr},
      {"cookies given empty: merge runs", true, "", "z = 1", std::nullopt, "z=1; c1=v1",
       "z=1; c1=v1", nullptr},
      {"cookies given: received replace and delete", true, "a=1; c1=old; b = 2", "", std::nullopt,
       "c1=v1; b=2", "c1=v1; b=2", "Cookie: a=1; c1=old; b = 2"},
      {"merge switched off", true, "a=1; b = 2", "z=1", false, "a=1; b = 2",
       "z=1; a=deleted; c1=v1", "Cookie: a=1; b = 2"},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string tag = UniqueTag();
    Text cookies = c.cookies;
    Text returned = c.returnedOnEntry;
    Text status;
    (void)WebRequest(
        ServiceHttpsUrl(Script(tag, {{"cookies", "1"}, {"header", "Set-Cookie: a=deleted; path=/"}})),
        {.cookies = c.cookiesGiven ? &cookies : nullptr,
         .returnedCookies = &returned,
         .statusText = &status,
         .autoMergeCookies = c.autoMerge});
    EXPECT_EQ(status, "200 OK");
    EXPECT_EQ(cookies, c.cookiesAfter);
    EXPECT_EQ(returned, c.returnedAfter);

    const auto recorded = RecordedRequests(tag);
    ASSERT_EQ(recorded.size(), 1u);
    std::string cookieLine;
    for (const std::string& line : recorded[0].headerLines) {
      if (line.rfind("Cookie:", 0) == 0) cookieLine = line;
    }
    EXPECT_EQ(cookieLine, c.cookieLineSent == nullptr ? "" : c.cookieLineSent);
  }
}

TEST(WebRequestHeadTest, FailedRequestLeavesCookiesAlone) {
  Text cookies = "a = 1";
  Text returned = "r = 1";
  Text target = "entry";
  Text status;
  // Nothing listens on port 1 of the loopback address.
  const Text body = WebRequest("http://127.0.0.1:1/x", {.cookies = &cookies,
                                                       .returnedCookies = &returned,
                                                       .timeoutSeconds = 5,
                                                       .redirectTarget = &target,
                                                       .statusText = &status});
  EXPECT_EQ(body, "");
  EXPECT_EQ(status.substr(0, 4), "711 ");
  EXPECT_EQ(cookies, "a = 1");
  EXPECT_EQ(returned, "r = 1");
  EXPECT_EQ(target, "entry");
}

}  // namespace

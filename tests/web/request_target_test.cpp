#include <gtest/gtest.h>

#include "web/request_target.h"

namespace {

// What WinHttpCrackUrl gave for an address, on Windows and on Wine.
struct Crack {
  const wchar_t* host;
  const wchar_t* path;
  const wchar_t* extra;
};

struct TargetCase {
  const wchar_t* url;
  Crack windows;
  Crack wine;
  const wchar_t* host;
  const wchar_t* objectName;
};

TEST(MakeRequestTarget, SameResultFromEitherCrack) {
  const TargetCase cases[] = {
      // The query after an empty path is kept, not dropped.
      {L"https://host?x=1", {L"host", L"", L"?x=1"}, {L"host?x=1", L"", L""}, L"host", L"/?x=1"},
      // With a port Wine drops the query altogether.
      {L"http://127.0.0.1:18641?x=1", {L"127.0.0.1", L"", L"?x=1"}, {L"127.0.0.1", L"", L""},
       L"127.0.0.1", L"/?x=1"},
      {L"https://host:8443?x=1#f", {L"host", L"", L"?x=1#f"}, {L"host", L"", L""}, L"host",
       L"/?x=1#f"},
      // A slash inside the query is still query.
      {L"https://host?a/b", {L"host", L"", L"?a/b"}, {L"host?a", L"/b", L""}, L"host", L"/?a/b"},
      {L"https://host#frag", {L"host", L"", L"#frag"}, {L"host#frag", L"", L""}, L"host", L"/"},
      {L"https://host", {L"host", L"", L""}, {L"host", L"", L""}, L"host", L"/"},
      {L"https://host/p?q#f", {L"host", L"/p", L"?q#f"}, {L"host", L"/p", L"?q#f"}, L"host",
       L"/p?q#f"},
      {L"http://h:81/?a", {L"h", L"/", L"?a"}, {L"h", L"/", L"?a"}, L"h", L"/?a"},
      {L"https://user:pw@host?q=1", {L"host", L"", L"?q=1"}, {L"host?q=1", L"", L""}, L"host",
       L"/?q=1"},
  };
  for (const TargetCase& c : cases) {
    for (const Crack& crack : {c.windows, c.wine}) {
      SCOPED_TRACE(testing::Message() << "url " << testing::PrintToString(std::wstring(c.url))
                                      << " host " << testing::PrintToString(std::wstring(crack.host)));
      const RequestTarget t = MakeRequestTarget(c.url, crack.host, crack.path, crack.extra);
      EXPECT_EQ(t.host, c.host);
      EXPECT_EQ(t.objectName, c.objectName);
    }
  }
}

}  // namespace

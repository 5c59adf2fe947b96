#include "web/response_headers.h"

#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

// One canned response head and what it leaves in the three outputs.
struct HeadCase {
  const char* name;
  Text raw;
  Text cookiesOnEntry;
  Text statusText;
  Text returnedCookies;
  Text redirectTarget;  // "entry" means the entry value was kept
};

constexpr const char* kEntryStatus = "713 entry";
constexpr const char* kEntryTarget = "entry";

TEST(ParseResponseHeadersTest, CannedHeads) {
  const HeadCase cases[] = {
      {"status with reason phrase", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "", "200 OK",
       "", kEntryTarget},
      {"status with a two-word reason", "HTTP/1.1 404 Not Found\r\n\r\n", "", "404 Not Found", "",
       kEntryTarget},
      {"status code and space, no reason", "HTTP/1.1 204 \r\nX: y\r\n\r\n", "", "204 ", "",
       kEntryTarget},
      {"status code alone", "HTTP/1.1 204\r\n\r\n", "", "204", "", kEntryTarget},
      {"cookie with attributes",
       "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/; HttpOnly\r\n\r\n", "", "200 OK", "a=1",
       kEntryTarget},
      {"cookie without attributes", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n", "", "200 OK",
       "a=1", kEntryTarget},
      {"cookie value trimmed", "HTTP/1.1 200 OK\r\nSet-Cookie:   a=1   ; path=/\r\n\r\n", "",
       "200 OK", "a=1", kEntryTarget},
      {"two cookies", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nX: 1\r\nSet-Cookie: b=2\r\n\r\n",
       "", "200 OK", "a=1; b=2", kEntryTarget},
      {"double-byte cookie value",
       "HTTP/1.1 200 OK\r\nSet-Cookie: n=\xD6\xD0\xCE\xC4; path=/\r\n\r\n", "", "200 OK",
       "n=\xD6\xD0\xCE\xC4", kEntryTarget},
      {"lower-case set-cookie not collected",
       "HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSET-COOKIE: b=2\r\n\r\n", "", "200 OK", "",
       kEntryTarget},
      {"other names holding Set-Cookie not collected",
       "HTTP/1.1 200 OK\r\nSet-Cookie2: a=1\r\nX-Set-Cookie: b=2\r\nSet-Cookie:c=3\r\n\r\n", "",
       "200 OK", "", kEntryTarget},
      {"location", "HTTP/1.1 302 Found\r\nLocation: /next\r\n\r\n", "", "302 Found", "", "/next"},
      {"location in lower case", "HTTP/1.1 302 Found\r\nlocation: /next\r\n\r\n", "", "302 Found",
       "", "/next"},
      {"location in upper case", "HTTP/1.1 301 Moved\r\nLOCATION: http://h:8/a?b=c\r\n\r\n", "",
       "301 Moved", "", "http://h:8/a?b=c"},
      {"second location wins",
       "HTTP/1.1 302 Found\r\nLocation: /first\r\nLocation: /second\r\n\r\n", "", "302 Found", "",
       "/second"},
      {"empty location", "HTTP/1.1 302 Found\r\nLocation: \r\n\r\n", "", "302 Found", "", ""},
      {"content-location is not a location",
       "HTTP/1.1 200 OK\r\nContent-Location: /c\r\n\r\n", "", "200 OK", "", kEntryTarget},
      {"block without line breaks", "HTTP/1.1 200 OK", "", "", "", kEntryTarget},
      {"single cookie line without line breaks", "Set-Cookie: a=1; path=/", "", "", "a=1",
       kEntryTarget},
      {"single location line without line breaks", "Location: /x", "", "", "", "/x"},
      {"empty block", "", "", "", "", kEntryTarget},

      // An entry value is kept whole when nothing arrives, and joined to the
      // first received cookie with a separator.
      {"entry kept without cookies", "HTTP/1.1 200 OK\r\n\r\n", "a=1; b=2", "200 OK", "a=1; b=2",
       kEntryTarget},
      {"entry ending in a separator kept", "HTTP/1.1 200 OK\r\n\r\n", "a=1; ", "200 OK", "a=1; ",
       kEntryTarget},
      {"entry joined with a separator", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n", "x=1",
       "200 OK", "x=1; a=1", kEntryTarget},
      {"entry and two cookies",
       "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2; path=/\r\n\r\n", "x=1", "200 OK",
       "x=1; a=1; b=2", kEntryTarget},
      {"entry ending in a semicolon", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n", "x=1;",
       "200 OK", "x=1;a=1", kEntryTarget},
      {"entry ending in a separator", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n", "x=1; ",
       "200 OK", "x=1; a=1", kEntryTarget},
      {"cookie line without a name=value adds nothing",
       "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie:  ; path=/\r\n\r\n", "", "200 OK", "a=1",
       kEntryTarget},
      {"only empty cookie lines keep the entry",
       "HTTP/1.1 200 OK\r\nSet-Cookie: \r\nSet-Cookie: ;x\r\n\r\n", "x=1", "200 OK", "x=1",
       kEntryTarget},
  };
  for (const HeadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Text statusText = kEntryStatus;
    Text returnedCookies = c.cookiesOnEntry;
    Text redirectTarget = kEntryTarget;
    ParseResponseHeaders(c.raw, statusText, returnedCookies, redirectTarget);
    EXPECT_EQ(statusText, c.statusText);
    EXPECT_EQ(returnedCookies, c.returnedCookies);
    EXPECT_EQ(redirectTarget, c.redirectTarget);
  }
}

TEST(ParseResponseHeadersTest, ManyCookiesAllCollectedInOrder) {
  Text raw = "HTTP/1.1 200 OK\r\n";
  Text expected;
  for (int i = 0; i < 20000; ++i) {
    std::string cookie = "c";
    cookie.append(std::to_string(i)).append("=v").append(std::to_string(i));
    raw.append("Set-Cookie: ").append(cookie).append("; path=/\r\n");
    expected.append(i == 0 ? "" : "; ").append(cookie);
  }
  raw += "\r\n";
  Text statusText, returnedCookies, redirectTarget;
  ParseResponseHeaders(raw, statusText, returnedCookies, redirectTarget);
  EXPECT_EQ(statusText, "200 OK");
  EXPECT_EQ(returnedCookies, expected);
  EXPECT_EQ(redirectTarget, "");
}

// The head read line by line as SplitText cuts it, each step as the system
// describes it, with the cookie separator put in front of each cookie after
// the first (or after an entry value that does not end in one).
void ReferenceParse(const Text& raw, Text& statusText, Text& returnedCookies, Text& redirectTarget) {
  statusText = TextMid(raw, 10, FindText(raw, "\r\n", 10) - 10);
  Text appended;
  for (const Text& line : SplitText(raw, "\r\n")) {
    if (TextEquals(TextBefore(line, ": "), "Set-Cookie")) {
      const Text v = FindText(line, ";") != -1 ? TextBetween(line, "Set-Cookie:", ";")
                                               : ReplaceText(line, "Set-Cookie:", "", 1, -1, false);
      if (!TrimSpaces(v).empty()) appended = ConcatText(appended, TrimSpaces(v), "; ");
    }
    if (CompareText(TextLeft(line, 10), "Location: ", false) == 0) {
      redirectTarget = TextMid(line, 11, TextLength(line) - 10);
    }
  }
  if (appended.empty()) return;
  appended = TextLeft(appended, TextLength(appended) - 2);
  const bool open = !returnedCookies.empty() && !returnedCookies.ends_with(";") &&
                    !returnedCookies.ends_with("; ");
  returnedCookies = ConcatText(returnedCookies, open ? "; " : "", appended);
}

TEST(ParseResponseHeadersTest, AgreesWithTheLineByLineReadingOnRandomHeads) {
  static const char* const kPieces[] = {"\r\n", "\r\n", "Set-Cookie: ", "set-cookie: ",
                                        "Set-Cookie:", "Location: ", "LOCATION: ", ";", "a=1", " ",
                                        "\xB0", "\xD6\xD0", "\r", "HTTP/1.1 200 OK", ": "};
  static const char* const kEntries[] = {"", "x=1", "x=1;", "x=1; ", "x=1;  "};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(0, 14);
  std::uniform_int_distribution<int> piece(0, static_cast<int>(std::size(kPieces)) - 1);
  std::uniform_int_distribution<int> entry(0, static_cast<int>(std::size(kEntries)) - 1);
  for (int round = 0; round < 5000; ++round) {
    Text raw;
    for (int n = length(random); n > 0; --n) raw += kPieces[piece(random)];
    const Text entryCookies = kEntries[entry(random)];
    SCOPED_TRACE("head [" + raw + "] entry [" + entryCookies + "]");
    Text status = "s", cookies = entryCookies, target = "t";
    Text expectedStatus = "s", expectedCookies = entryCookies, expectedTarget = "t";
    ParseResponseHeaders(raw, status, cookies, target);
    ReferenceParse(raw, expectedStatus, expectedCookies, expectedTarget);
    ASSERT_EQ(status, expectedStatus);
    ASSERT_EQ(cookies, expectedCookies);
    ASSERT_EQ(target, expectedTarget);
  }
}

TEST(TextBeforeTest, Table) {
  struct Case {
    const char* text;
    const char* separator;
    int start;
    bool ignoreCase;
    const char* expected;
  };
  const Case cases[] = {
      {"Set-Cookie: a=1", ": ", 1, false, "Set-Cookie"},
      {"a: b: c", ": ", 1, false, "a"},
      {"no separator", ": ", 1, false, ""},
      {": leading", ": ", 1, false, ""},
      {"", ": ", 1, false, ""},
      {"a: b: c", ": ", 3, false, "a: b"},
      {"a: b", ": ", 0, false, "a"},
      {"a: b", ": ", -5, false, "a"},
      {"xAbCy", "abc", 1, true, "x"},
      {"xAbCy", "abc", 1, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " | " + c.separator + " | " + std::to_string(c.start));
    EXPECT_EQ(TextBefore(c.text, c.separator, c.start, c.ignoreCase), c.expected);
  }
}

}  // namespace

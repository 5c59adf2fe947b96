#include "web/response_headers.h"

#include <climits>

namespace {

constexpr std::string_view kSetCookieName = "Set-Cookie";
constexpr std::string_view kSetCookieMarker = "Set-Cookie:";
constexpr std::string_view kLocationPrefix = "Location: ";
constexpr std::string_view kCookieSeparator = "; ";

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The name=value of a Set-Cookie line; its attributes after the first ";" go.
Text CookieOfLine(std::string_view line) {
  Text value;
  if (FindText(line, ";") != -1) {
    value = TextBetween(line, kSetCookieMarker, ";");
  } else {
    value = ReplaceText(line, kSetCookieMarker, {}, 1, -1, false);
  }
  return TrimSpaces(value);
}

}  // namespace

Text TextBefore(std::string_view text, std::string_view separator, int start, bool ignoreCase) {
  const int at = FindText(text, separator, start < 1 ? 1 : start, ignoreCase);
  if (at == -1) return {};
  return TextLeft(text, at - 1);
}

void ParseResponseHeaders(const Text& rawHeaders, Text& statusText, Text& returnedCookies,
                          Text& redirectTarget) {
  // The status code starts at position 10, after "HTTP/1.1 ".
  const int statusEnd = FindText(rawHeaders, "\r\n", 10);
  statusText = TextMid(rawHeaders, 10, statusEnd - 10);

  // Cookies are appended in place, so a head with thousands of Set-Cookie
  // lines costs linear time. A separator goes in front of each cookie rather
  // than behind it: nothing received leaves the entry value as it was, and
  // an entry value is never glued to the first cookie without a separator.
  bool needSeparator = !returnedCookies.empty() && !EndsWith(returnedCookies, ";") &&
                       !EndsWith(returnedCookies, kCookieSeparator);
  // The lines SplitText(rawHeaders, "\r\n") gives, found the same way (an
  // empty line between two line breaks counts, nothing after the last one),
  // one at a time instead of as a copy of the whole head.
  const std::string_view head = rawHeaders;
  std::size_t lineStart = 0;
  while (lineStart < head.size()) {
    const int breakAt = lineStart < static_cast<std::size_t>(INT_MAX)
                            ? FindText(head, "\r\n", static_cast<int>(lineStart) + 1)
                            : -1;
    const std::size_t lineEnd = breakAt == -1 ? head.size() : static_cast<std::size_t>(breakAt) - 1;
    const std::string_view line = head.substr(lineStart, lineEnd - lineStart);
    lineStart = breakAt == -1 ? head.size() : lineEnd + 2;

    if (TextEquals(TextBefore(line, ": "), kSetCookieName)) {
      const Text cookie = CookieOfLine(line);
      // A line without a name=value carries no cookie; an empty item here
      // would only leave a dangling separator.
      if (!cookie.empty()) {
        if (needSeparator) returnedCookies.append(kCookieSeparator);
        returnedCookies.append(cookie);
        needSeparator = true;
      }
    }
    if (CompareText(TextLeft(line, 10), kLocationPrefix, false) == 0) {
      redirectTarget = TextMid(line, 11, TextLength(line) - 10);
    }
    ProcessEvents();
  }
}

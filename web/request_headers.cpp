#include "web/request_headers.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 8> kVerbs = {"GET",     "POST",   "HEAD",  "PUT",
                                                    "OPTIONS", "DELETE", "TRACE", "CONNECT"};

struct DefaultLine {
  std::string_view searched;  // matched ignoring the letter case of A to Z
  std::string_view line;
};

constexpr std::array<DefaultLine, 4> kBrowserLines = {{
    {"User-Agent: ",
     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"},
    {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n"},
    {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n"},
    {"Accept-Language: ", "Accept-Language: zh-cn\r\n"},
}};

constexpr int kPost = 1;

}  // namespace

Text MethodVerb(int method) {
  if (method < 0 || method >= static_cast<int>(kVerbs.size())) return Text(kVerbs[0]);
  return Text(kVerbs[static_cast<size_t>(method)]);
}

Text BuildRequestHeaders(const Text& extraHeaders, int method, const Text& cookies) {
  Text h;
  if (TextLength(extraHeaders) > 0) h = ConcatText(extraHeaders, "\r\n");
  for (const DefaultLine& d : kBrowserLines) {
    if (FindText(h, d.searched, 1, true) == -1) h = ConcatText(std::move(h), d.line);
  }
  if (method == kPost) {
    // Only the all-lower-case spelling is normalised, wherever it stands.
    if (FindText(h, "content-type:", 1, false) != -1) {
      h = ReplaceText(h, "content-type", "Content-Type", 1, -1, true);
    }
    if (FindText(h, "Content-Type:", 1, false) == -1) {
      h = ConcatText(std::move(h), "Content-Type: application/x-www-form-urlencoded\r\n");
    }
  }
  if (FindText(h, "Cache-Control: ", 1, true) == -1) {
    h = ConcatText(std::move(h), "Cache-Control: no-cache\r\n");
  }
  if (FindText(h, "Cookie: ", 1, true) == -1 && TextLength(cookies) > 0) {
    h = ConcatText(std::move(h), "Cookie: ", cookies, "\r\n");
  }
  return h;
}

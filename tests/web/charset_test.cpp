// The charset step: pages declaring a character set in a meta tag come back
// from WebRequest as code page 936 text, and the body bytes stay as sent.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <string>
#include <thread>

#include "app/short_link.h"
#include "tests/support/message_probe.h"
#include "tests/support/service.h"
#include "web/charset_step.h"
#include "web/web_request.h"

namespace {

// "中文" in UTF-8, Big5 and code page 936.
#define UTF8_ZHONGWEN "\xE4\xB8\xAD\xE6\x96\x87"
#define BIG5_ZHONGWEN "\xA4\xA4\xA4\xE5"
#define GBK_ZHONGWEN "\xD6\xD0\xCE\xC4"

std::string Page(std::string_view charset, std::string_view content) {
  return ConcatText("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=", charset,
                    "\"></head><body>", content, "</body></html>");
}

Bytes AsBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// The body text WebRequest gives for a reply carrying exactly these bytes;
// the body bytes it hands back must be the sent ones, unchanged.
Text Fetch(std::string_view bodyBytes) {
  const std::string url =
      ServiceHttpUrl(ConcatText("/script?tag=", UniqueTag(), "&body=", PercentEncodeAll(bodyBytes)));
  Bytes responseBytes;
  Text statusText;
  const Text bodyText = WebRequest(url, {.statusText = &statusText, .responseBytes = &responseBytes});
  EXPECT_EQ(statusText.substr(0, 3), "200");
  EXPECT_EQ(responseBytes, AsBytes(bodyBytes));
  return bodyText;
}

struct Case {
  const char* name;
  std::string page;
  std::string expected;  // the body text in code page 936
};

TEST(CharsetStep, DeclaredCharacterSetsThroughWebRequest) {
  const std::string plainUtf8 = Page("utf-8", UTF8_ZHONGWEN);
  const std::string padding = ConcatText("<!--", std::string(1100, '-'), "-->");
  const Case cases[] = {
      {"UTF-8 with Chinese", plainUtf8, Page("utf-8", GBK_ZHONGWEN)},
      {"UTF-8 named in capitals", Page("UTF-8", UTF8_ZHONGWEN), Page("UTF-8", GBK_ZHONGWEN)},
      {"Big5", Page("big5", BIG5_ZHONGWEN), Page("big5", GBK_ZHONGWEN)},
      // 日本語
      {"Shift_JIS", Page("shift_jis", "\x93\xFA\x96\x7B\x8C\xEA"), Page("shift_jis", "\xC8\xD5\xB1\xBE\xD5\x5A")},
      // Привет
      {"KOI8-R", Page("koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4"),
       Page("koi8-r", "\xA7\xB1\xA7\xE2\xA7\xDA\xA7\xD3\xA7\xD6\xA7\xE4")},
      // café ÿ: code page 936 has é, but not ÿ, which becomes its default character.
      {"ISO-8859-1", Page("iso-8859-1", "caf\xE9 \xFF"), Page("iso-8859-1", "caf\xA8\xA6 ?")},
      {"invalid UTF-8 becomes default characters", Page("utf-8", "a\xC3(b\xE4\xB8z"), Page("utf-8", "a?(b?z")},
      {"decoded text ends at its first NUL", Page("utf-8", std::string_view(UTF8_ZHONGWEN "\0tail", 11)),
       Page("utf-8", GBK_ZHONGWEN).substr(0, Page("utf-8", GBK_ZHONGWEN).find("</body>"))},
      // Wine's character-set registry does not know euc-kr: an unknown name.
      {"euc-kr", Page("euc-kr", "\xC7\xD1\xB1\xB9"), Page("euc-kr", "\xC7\xD1\xB1\xB9")},
      {"unknown name", Page("x-no-such-set", UTF8_ZHONGWEN), Page("x-no-such-set", UTF8_ZHONGWEN)},
      // The local names in capitals are decoded: an invalid two-byte
      // sequence shows it. In lower case the bytes pass through as they are.
      {"GBK in capitals decoded", Page("GBK", "x\x81 w"), Page("GBK", "x?w")},
      {"gbk passed through", Page("gbk", "x\x81 w"), Page("gbk", "x\x81 w")},
      {"gb2312 passed through", Page("gb2312", "x\x81 w"), Page("gb2312", "x\x81 w")},
      {"declaration beyond byte 1024 not seen", padding + plainUtf8, padding + plainUtf8},
      {"space before the equals sign", "<meta charset =utf-8>" UTF8_ZHONGWEN,
       "<meta charset =utf-8>" UTF8_ZHONGWEN},
      {"one quote before the name", "<meta charset=\"utf-8\">" UTF8_ZHONGWEN,
       "<meta charset=\"utf-8\">" GBK_ZHONGWEN},
      {"charset on the line after <meta", "<meta\ncharset=utf-8>" UTF8_ZHONGWEN,
       "<meta\ncharset=utf-8>" UTF8_ZHONGWEN},
      {"no declaration", "<p>" UTF8_ZHONGWEN, "<p>" UTF8_ZHONGWEN},
      // Names the registry maps to code pages the system cannot decode
      // (1200, 54936): an empty decoding keeps the page as it came.
      {"unicode declared", Page("unicode", "abc"), Page("unicode", "abc")},
      {"gb18030 declared", Page("gb18030", GBK_ZHONGWEN), Page("gb18030", GBK_ZHONGWEN)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Fetch(c.page), c.expected);
  }
}

TEST(CharsetStep, LongUtf8PageDecodedWhole) {
  std::string content;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    content += UTF8_ZHONGWEN "ab";
    expected += GBK_ZHONGWEN "ab";
  }
  EXPECT_EQ(Fetch(Page("utf-8", content)), Page("utf-8", expected));
}

TEST(CharsetStep, ShortLinkWithChineseCodeFromAUtf8Reply) {
  // The conversion "host" points at a scripted reply: the service answers it
  // and ignores the "/dwz.php?longurl=..." that follows as one more value.
  const std::string reply =
      "<meta charset=\"utf-8\">{\"code\":0,\"url\":\"https:\\/\\/t.example\\/" UTF8_ZHONGWEN "\"}";
  const ShortLinkHosts hosts{
      ConcatText("localhost:", std::to_string(ServiceHttpsPort()), "/script?tag=", UniqueTag(),
                 "&body=", PercentEncodeAll(reply), "&rest="),
      "t.example"};
  EXPECT_EQ(MakeShortLink("http://example.com/a", hosts), "https://t.example/" GBK_ZHONGWEN);
}

// ---- The step on its own ----------------------------------------------------

TEST(CharsetStep, QueuedMessagesRunWhenThePatternSearchRan) {
  MessageProbe probe;
  ASSERT_TRUE(probe.ok());

  const std::string pages[] = {"<p>no declaration", Page("gbk", "x"), Page("utf-8", UTF8_ZHONGWEN)};
  for (const std::string& page : pages) {
    SCOPED_TRACE(page);
    CharsetStep step;
    const Bytes body = AsBytes(page);
    probe.Post();
    const int before = probe.dispatched();
    (void)ConvertBodyCharset(step, BytesToText(body), body);
    EXPECT_EQ(probe.dispatched(), before + 1);
    EXPECT_TRUE(step.stream.IsEmpty());  // the stream is released within the step
  }
}

// True when CoInitialize finds the calling thread initialised already;
// leaves the count as it found it.
bool ComAlreadyInitialised() {
  const HRESULT hr = CoInitialize(nullptr);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr == S_FALSE;
}

TEST(CharsetStep, EveryCallLeavesTheThreadsComStateAsItWas) {
  std::thread([] {
    const std::string page = Page("utf-8", UTF8_ZHONGWEN);
    EXPECT_FALSE(ComAlreadyInitialised());
    {
      CharsetStep step;
      EXPECT_TRUE(ComAlreadyInitialised());  // made on entry, before anything else
      (void)ConvertBodyCharset(step, page, AsBytes(page));
    }
    EXPECT_FALSE(ComAlreadyInitialised());
    // Through WebRequest: a complete exchange, and a call that ends early.
    EXPECT_EQ(Fetch(page), Page("utf-8", GBK_ZHONGWEN));
    EXPECT_FALSE(ComAlreadyInitialised());
    Text statusText;
    EXPECT_EQ(WebRequest("no address", {.statusText = &statusText}), "");
    EXPECT_EQ(statusText.substr(0, 3), "701");
    EXPECT_FALSE(ComAlreadyInitialised());
  }).join();
}

}  // namespace

// The conversion command: its fixed texts, the encoding of the long address,
// cutting the code out of a reply, and whole conversions against the local
// service.
#include <gtest/gtest.h>

#include <string>

#include "app/short_link.h"
#include "tests/support/service.h"

namespace {

const ShortLinkHosts kHosts{"convert.example:8443", "s.example"};

TEST(ShortLinkTexts, BuiltFromTheHosts) {
  EXPECT_EQ(RequestPrefix(kHosts), "https://convert.example:8443/dwz.php?longurl=");
  EXPECT_EQ(EscapedLinkMarker(kHosts), "https:\\/\\/s.example\\/");
  EXPECT_EQ(LinkPrefix(kHosts), "https://s.example/");
  EXPECT_STREQ(kLinkClosingMarker, "\"");
}

TEST(EncodeLongAddress, EscapesOnlyWhatWouldChangeTheValue) {
  const struct {
    Text input;
    Text expected;
  } cases[] = {
      {"", ""},
      {"https://a.example/p?x=1", "https://a.example/p?x=1"},  // ordinary addresses unchanged
      {" a b ", "%20a%20b%20"},
      {"a&b=c#d+e%f", "a%26b=c%23d%2Be%25f"},
      {"/:?=;,@!$'()*~_-.[]", "/:?=;,@!$'()*~_-.[]"},
      {"\t\r\n\x1F\x7F", "%09%0D%0A%1F%7F"},
      {"\xD6\xD0\xCE\xC4", "%E4%B8%AD%E6%96%87"},  // 中文 as UTF-8
      {"x\xD6\xD0y", "x%E4%B8%ADy"},
      {"\x81" "A", "%E4%B8%84"},  // 丄: a character whose second byte is 'A'
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(EncodeLongAddress(c.input), c.expected);
  }
}

TEST(ShortLinkFromReply, CodeBetweenMarkerAndQuote) {
  const struct {
    const char* name;
    Text reply;
    Text expected;
  } cases[] = {
      {"usual reply", R"({"code":0,"url":"https:\/\/s.example\/Ab12"})", "https://s.example/Ab12"},
      {"marker twice: the first code", R"("https:\/\/s.example\/one" "https:\/\/s.example\/two")",
       "https://s.example/one"},
      {"marker directly followed by a quote", R"("https:\/\/s.example\/")", "https://s.example/"},
      {"code holding an escaped slash keeps the backslash", R"("https:\/\/s.example\/a\/b")",
       "https://s.example/a\\/b"},
      {"no marker", R"({"code":1,"msg":"bad"})", "https://s.example/"},
      {"no closing quote", R"({"url":"https:\/\/s.example\/abc)", "https://s.example/"},
      {"marker in other letter case", R"("HTTPS:\/\/S.EXAMPLE\/abc")", "https://s.example/"},
      {"empty reply", "", "https://s.example/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ShortLinkFromReply(c.reply, kHosts), c.expected);
  }
}

// ---- Against the local service ---------------------------------------------

ShortLinkHosts ServiceHosts() {
  return {ConcatText("localhost:", std::to_string(ServiceHttpsPort())), ServiceLinkHost()};
}

std::string CodeOf(const Text& link, const ShortLinkHosts& hosts) {
  const Text prefix = LinkPrefix(hosts);
  return link.rfind(prefix, 0) == 0 ? link.substr(prefix.size()) : std::string();
}

TEST(MakeShortLink, ServiceDecodesEveryAddressBackToTheInput) {
  const ShortLinkHosts hosts = ServiceHosts();
  const struct {
    Text input;
    std::string stored;  // what the service keeps: the input's characters in UTF-8
  } cases[] = {
      {"https://example.com/a/b?x=1&y=2", "https://example.com/a/b?x=1&y=2"},
      {"  spaced  out  ", "  spaced  out  "},
      {"a&longurl=evil", "a&longurl=evil"},
      {"page#fragment", "page#fragment"},
      {"1+1=2", "1+1=2"},
      {"100%25 and 100%", "100%25 and 100%"},
      {"what?why?", "what?why?"},
      {"https://\xD6\xD0\xCE\xC4.example/\xB2\xE2\xCA\xD4?q=\xD6\xD0",  // 中文 测试 中
       "https://\xE4\xB8\xAD\xE6\x96\x87.example/\xE6\xB5\x8B\xE8\xAF\x95?q=\xE4\xB8\xAD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const Text link = MakeShortLink(c.input, hosts);
    const std::string code = CodeOf(link, hosts);
    ASSERT_FALSE(code.empty()) << link;
    EXPECT_EQ(RawHttpGet(ConcatText("/_links?code=", code)), c.stored);
  }
}

TEST(MakeShortLink, EmptyAddressGivesThePrefixAlone) {
  // The service answers an empty longurl without a link.
  const ShortLinkHosts hosts = ServiceHosts();
  EXPECT_EQ(MakeShortLink("", hosts), LinkPrefix(hosts));
}

TEST(MakeShortLink, SendsTheFiveDefaultLinesAndNoCookie) {
  const ShortLinkHosts hosts = ServiceHosts();
  const std::string tag = UniqueTag();
  const Text link = MakeShortLink(ConcatText("https://example.com/", tag), hosts);
  EXPECT_FALSE(CodeOf(link, hosts).empty());
  const std::vector<RecordedRequest> recorded = RecordedRequests(tag);
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].requestLine,
            ConcatText("GET /dwz.php?longurl=https://example.com/", tag, " HTTP/1.1"));
  const std::vector<std::string> expected = {
      "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
      "Accept: text/html, application/xhtml+xml, */*",
      "Accept-Encoding: gbk, GB2312",
      "Accept-Language: zh-cn",
      "Cache-Control: no-cache",
      ConcatText("Host: ", hosts.conversionHost),
      "Connection: Keep-Alive",
  };
  EXPECT_EQ(recorded[0].headerLines, expected);
}

TEST(MakeShortLink, FollowsTheShortLinkBackToTheLongAddress) {
  const ShortLinkHosts hosts = ServiceHosts();
  const Text link = MakeShortLink("https://example.com/target?a=1&b=2", hosts);
  const std::string code = CodeOf(link, hosts);
  ASSERT_FALSE(code.empty());
  const std::string reply = RawExchange(
      ServiceHttpPort(), ConcatText("GET /", code, " HTTP/1.0\r\nHost: localhost\r\n\r\n"));
  EXPECT_NE(reply.find("\r\nLocation: https://example.com/target?a=1&b=2\r\n"), std::string::npos) << reply;
}

TEST(MakeShortLink, ScriptedReplies) {
  // The conversion host may carry a path: the request then reaches a scripted
  // reply, and "/dwz.php?longurl=..." becomes the value of an ignored key.
  const struct {
    const char* name;
    const char* status;
    std::string body;
    std::string expectedCode;
  } cases[] = {
      {"a 404 holding the marker still gives its code", "404",
       R"({"url":"https:\/\/s.example\/nf1"})", "nf1"},
      {"a 500 without the marker", "500", "server error", ""},
      {"marker twice", "200", R"("https:\/\/s.example\/first","https:\/\/s.example\/second")", "first"},
      {"no closing quote", "200", R"(https:\/\/s.example\/open)", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string tag = UniqueTag();
    const ShortLinkHosts hosts{
        ConcatText("localhost:", std::to_string(ServiceHttpsPort()), "/script?tag=", tag, "&status=", c.status,
                   "&body=", PercentEncodeAll(c.body), "&ignored="),
        "s.example"};
    EXPECT_EQ(MakeShortLink("https://example.com/", hosts), ConcatText("https://s.example/", c.expectedCode));
    EXPECT_EQ(RecordedRequests(tag).size(), 1u);
  }
}

TEST(MakeShortLink, NetworkFailuresGiveThePrefixAlone) {
  // Nothing listens on the service's HTTPS port + 9; reached over plain HTTP
  // the HTTPS port gives no usable reply either.
  const ShortLinkHosts unreachable{ConcatText("localhost:", std::to_string(ServiceHttpsPort() + 9)), "s.example"};
  EXPECT_EQ(MakeShortLink("https://example.com/", unreachable), "https://s.example/");
  const ShortLinkHosts closesEarly{
      ConcatText("localhost:", std::to_string(ServiceHttpsPort()), "/script?close=before&ignored="), "s.example"};
  EXPECT_EQ(MakeShortLink("https://example.com/", closesEarly), "https://s.example/");
}

}  // namespace

#include <gtest/gtest.h>

#include "web/code_page.h"

namespace {

Bytes Utf16(std::u16string_view units) {
  Bytes out;
  for (char16_t u : units) {
    out.push_back(static_cast<unsigned char>(u & 0xFF));
    out.push_back(static_cast<unsigned char>(u >> 8));
  }
  return out;
}

TEST(AnsiToWide, TerminatedUtf16OfCodePage936) {
  EXPECT_EQ(AnsiToWide(""), Bytes());
  EXPECT_EQ(AnsiToWide("", true), Bytes());
  EXPECT_EQ(AnsiToWide("A"), Utf16(std::u16string_view(u"A\0", 2)));
  // 中文 in code page 936, then ASCII.
  EXPECT_EQ(AnsiToWide("\xD6\xD0\xCE\xC4x"), Utf16(std::u16string_view(u"中文x\0", 4)));
  EXPECT_EQ(AnsiToWide("\xD6\xD0\xCE\xC4x", true), Utf16(u"中文x"));
}

TEST(WideToAnsi, CodePage936UpToFirstZero) {
  EXPECT_EQ(WideToAnsi(Bytes()), "");
  EXPECT_EQ(WideToAnsi(Utf16(u"中文x")), "\xD6\xD0\xCE\xC4x");
  // Not terminated, terminated, and stopping at an inner zero.
  EXPECT_EQ(WideToAnsi(Utf16(std::u16string_view(u"ab\0cd", 5))), "ab");
  // A trailing odd byte is ignored.
  Bytes odd = Utf16(u"ok");
  odd.push_back('!');
  EXPECT_EQ(WideToAnsi(odd), "ok");
  EXPECT_EQ(WideToAnsi(Bytes{'A'}), "");
}

TEST(CodePage, RoundTrip) {
  const Text text = "GET /\xB2\xE2\xCA\xD4?a=1&b=\xD6\xD0";  // 测试, 中
  EXPECT_EQ(WideToAnsi(AnsiToWide(text)), text);
}

}  // namespace

#include <climits>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

struct CutCase {
  const char* name;
  std::string text;
  int start;  // TextMid only
  int count;
  std::string left;
  std::string right;
  std::string mid;
};

TEST(TextCut, LeftRightMidClampByBytes) {
  const std::string zhongwen = std::string(gbk::kZhong) + gbk::kWen;
  const std::vector<CutCase> cases = {
      {"count within", "abcdef", 2, 3, "abc", "def", "bcd"},
      {"count past the end", "ab", 1, 5, "ab", "ab", "ab"},
      {"count exactly the length", "abc", 1, 3, "abc", "abc", "abc"},
      {"count zero", "abc", 1, 0, "", "", ""},
      {"count negative", "abc", 1, -1, "", "", ""},
      {"count INT_MAX", "abc", 2, INT_MAX, "abc", "abc", "bc"},
      {"mid start 0 is not moved to 1", "abc", 0, 2, "ab", "bc", ""},
      {"mid start negative", "abc", -3, 2, "ab", "bc", ""},
      {"mid start on the last byte", "abc", 3, 5, "abc", "abc", "c"},
      {"mid start past the end", "abc", 4, 1, "a", "c", ""},
      {"mid start INT_MAX", "abc", INT_MAX, 1, "a", "c", ""},
      {"mid start INT_MIN", "abc", INT_MIN, 1, "a", "c", ""},
      {"empty text", "", 1, 3, "", "", ""},
      {"count cuts a two-byte character in two", zhongwen, 2, 1, "\xD6", "\xC4", "\xD0"},
      {"count covers whole characters", zhongwen, 3, 2, gbk::kZhong, gbk::kWen, gbk::kWen},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Escaped(TextLeft(c.text, c.count)), Escaped(c.left));
    EXPECT_EQ(Escaped(TextRight(c.text, c.count)), Escaped(c.right));
    EXPECT_EQ(Escaped(TextMid(c.text, c.start, c.count)), Escaped(c.mid));
  }
}

TEST(TextCut, LengthCountsBytesNotCharacters) {
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("abc"), 3);
  EXPECT_EQ(TextLength(std::string(gbk::kZhong) + "a" + gbk::kWen), 5);
  EXPECT_EQ(TextLength(Text(70000, 'x')), 70000);
}

}  // namespace

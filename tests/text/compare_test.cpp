#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

struct CompareCase {
  const char* name;
  std::string a;
  std::string b;
  bool caseSensitive;
  int expectedSign;
};

TEST(CompareText, Table) {
  const std::vector<CompareCase> cases = {
      {"equal", "gbk", "gbk", true, 0},
      {"both empty", "", "", true, 0},
      {"empty sorts first", "", "a", true, -1},
      {"prefix sorts first", "ab", "abc", false, -1},
      {"case differs, case-sensitive", "GBK", "gbk", true, -1},
      {"case differs, folded", "GBK", "gbk", false, 0},
      {"folded mixed case", "Content-Type", "content-TYPE", false, 0},
      {"different letters stay different when folded", "gbk", "gb2312", false, 1},
      {"letters against non-letters are not folded", "[", "{", false, -1},
      {"two-byte characters equal", gbk::kZhong, gbk::kZhong, false, 0},
      {"two-byte characters differ", gbk::kZhong, gbk::kWen, false, 1},
      {"a two-byte character is one unit", "\xB0" "A", "\xB0" "a", false, -1},
      {"two-byte characters sort after ASCII", gbk::kZhong, "z", true, 1},
      {"lone lead byte compares as a byte", "a\xB0", "a\xB0", true, 0},
  };
  for (const CompareCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Sign(CompareText(c.a, c.b, c.caseSensitive)), c.expectedSign);
    EXPECT_EQ(Sign(CompareText(c.b, c.a, c.caseSensitive)), -c.expectedSign);
  }
}

TEST(CompareText, DefaultFoldsCase) { EXPECT_EQ(CompareText("UTF-8", "utf-8"), 0); }

TEST(TextEquals, ExactBytesOnly) {
  EXPECT_TRUE(TextEquals("", Text()));
  EXPECT_TRUE(TextEquals(gbk::kZhong, gbk::kZhong));
  EXPECT_FALSE(TextEquals("gbk", "GBK"));
  EXPECT_FALSE(TextEquals("ab", "abc"));
  EXPECT_FALSE(TextEquals("", " "));
}

}  // namespace

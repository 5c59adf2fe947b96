#include <climits>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

struct ReplaceCase {
  const char* name;
  std::string text;
  std::string search;
  std::string replacement;
  int start;
  int count;
  bool caseSensitive;
  std::string expected;
};

TEST(ReplaceText, Table) {
  const std::string z = gbk::kZhong;
  const std::vector<ReplaceCase> cases = {
      {"every occurrence", "a-b-c", "-", "+", 1, -1, true, "a+b+c"},
      {"empty replacement deletes", "a-b-c", "-", "", 1, -1, true, "abc"},
      {"count 1 replaces only the first", "a-b-c", "-", "+", 1, 1, true, "a+b-c"},
      {"count 0 returns the text unchanged", "a-b-c", "-", "+", 1, 0, true, "a-b-c"},
      {"count larger than the occurrences", "a-b-c", "-", "+", 1, INT_MAX, true, "a+b+c"},
      {"any negative count means all", "a-b-c", "-", "+", 1, INT_MIN, true, "a+b+c"},
      {"empty search returns the text unchanged", "abc", "", "x", 1, -1, true, "abc"},
      {"empty text", "", "a", "x", 1, -1, true, ""},
      {"the scan never looks at emitted text", "aaaa", "aa", "a", 1, -1, true, "aa"},
      {"replacement containing the search", "ab", "a", "aa", 1, -1, true, "aab"},
      {"occurrences never overlap", "aaa", "aa", "b", 1, -1, true, "ba"},
      {"start keeps the bytes before it", "a-b-c", "-", "+", 3, -1, true, "a-b+c"},
      {"start 0 means 1", "a-b", "-", "+", 0, -1, true, "a+b"},
      {"start past the end", "a-b", "-", "+", 4, -1, true, "a-b"},
      {"start INT_MAX", "a-b", "-", "+", INT_MAX, -1, true, "a-b"},
      {"case folding when not case-sensitive", "xAbxab", "AB", "-", 1, -1, false, "x-x-"},
      {"case-sensitive compares exactly", "xAbxab", "AB", "-", 1, -1, true, "xAbxab"},
      {"second bytes are never matched", gbk::kTrailA + std::string("A"), "A", "-", 1, -1, true,
       gbk::kTrailA + std::string("-")},
      {"two-byte search", "a" + z + "b" + z, z, "-", 1, -1, true, "a-b-"},
      {"stepping restarts right after a match, even inside a character", "\xB0\xB0\xB0", "\xB0",
       "-", 1, -1, true, "---"},
      {"a rest shorter than the search is copied", "\xB0\xB1\xB2\xB3", "\xB0\xB1\xB2", "", 1, -1,
       true, "\xB3"},
      {"a one-byte scan drops a lone lead byte it reaches", "ab\xB0", "x", "y", 1, -1, true, "ab"},
      {"a lone lead byte matching a one-byte search is replaced", "ab\xB0", "\xB0", "y", 1, -1, true,
       "aby"},
      {"a longer search copies the lone lead byte", "ab\xB0", "xy", "z", 1, -1, true, "ab\xB0"},
      {"a used-up count copies the lone lead byte", "ab\xB0", "a", "-", 1, 1, true, "-b\xB0"},
      {"a lone lead byte inside a character is not lone", "a\xB0\xB1", "x", "y", 2, -1, true, "a\xB0\xB1"},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Escaped(ReplaceText(c.text, c.search, c.replacement, c.start, c.count, c.caseSensitive)),
              Escaped(c.expected));
  }
}

TEST(ReplaceText, DefaultsDeleteEveryOccurrenceFoldingCase) {
  EXPECT_EQ(ReplaceText("a-A-a", "a"), "--");
}

TEST(ReplaceText, LongInputIsCopiedCompletely) {
  Text text;
  for (int i = 0; i < 20000; ++i) text += std::string(gbk::kZhong) + "ab\r\n";
  const Text out = ReplaceText(text, "\r\n", "\n", 1, -1, true);
  ASSERT_EQ(out.size(), 20000u * 5);
  EXPECT_EQ(out.substr(0, 10), std::string(gbk::kZhong) + "ab\n" + gbk::kZhong + "ab\n");
  EXPECT_EQ(FindText(out, "\r"), -1);
}

}  // namespace

#include <climits>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

struct BetweenCase {
  const char* name;
  std::string text;
  std::string left;
  std::string right;
  int start;
  bool ignoreCase;
  std::string expected;
};

TEST(TextBetween, Table) {
  const std::string q = gbk::kQuoteMarker;
  const std::string reply = R"({"code":"abc123","tinyurl":"http:\/\/t.example\/xyz"})";
  const std::vector<BetweenCase> cases = {
      {"plain markers", "<a>text</a>", "<a>", "</a>", 1, false, "text"},
      {"placeholder stands for a double quote", "x=\"1\"", "=" + q, q, 1, false, "1"},
      {"placeholder in a JSON reply", reply, q + "tinyurl" + q + ":" + q, q, 1, false,
       R"(http:\/\/t.example\/xyz)"},
      {"every placeholder in a marker", "a\"\"b\"", q + q, q, 1, false, "b"},
      {"right marker directly after the left", "<a></a>", "<a>", "</a>", 1, false, ""},
      {"empty right marker", "<a>text</a>", "<a>", "", 1, false, ""},
      {"empty left marker and a start inside the text", "abc;def;", "", ";", 5, false, "abc"},
      {"left marker missing", "abc", "<", ">", 1, false, ""},
      {"right marker missing", "<abc", "<", ">", 1, false, ""},
      {"start skips the first left marker", "<1><2>", "<", ">", 2, false, "2"},
      {"start 0 behaves as 1", "<1>", "<", ">", 0, false, "1"},
      {"start INT_MAX", "<1>", "<", ">", INT_MAX, false, ""},
      {"markers are not trimmed", "a = 1;", "a =", ";", 1, false, " 1"},
      {"ignoreCase folds the markers", "<TD>x</td>", "<td>", "</TD>", 1, true, "x"},
      {"case-sensitive by default", "<TD>x</td>", "<td>", "</td>", 1, false, ""},
      {"two-byte content", std::string("[") + gbk::kZhong + "]", "[", "]", 1, false, gbk::kZhong},
      {"empty text", "", "<", ">", 1, false, ""},
  };
  for (const BetweenCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Escaped(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase)),
              Escaped(c.expected));
  }
}

TEST(TextBetween, DefaultsAreStartOneAndCaseSensitive) {
  EXPECT_EQ(TextBetween("k=\"v\"", "k=" + std::string(gbk::kQuoteMarker), gbk::kQuoteMarker), "v");
  EXPECT_EQ(TextBetween("K=v;", "k=", ";"), "");
}

}  // namespace

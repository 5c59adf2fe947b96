#include <climits>
#include <optional>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

struct SplitCase {
  const char* name;
  std::string text;
  std::string separator;
  std::optional<int> maxCount;
  TextArray expected;
};

TEST(SplitText, Table) {
  const std::string z = gbk::kZhong;
  const std::vector<SplitCase> cases = {
      {"plain", "a;b;c", ";", std::nullopt, {"a", "b", "c"}},
      {"adjacent separators give an empty piece", "a;;b", ";", std::nullopt, {"a", "", "b"}},
      {"trailing separator gives no trailing piece", "a;b;", ";", std::nullopt, {"a", "b"}},
      {"leading separator gives an empty first piece", ";a", ";", std::nullopt, {"", "a"}},
      {"only a separator", ";", ";", std::nullopt, {""}},
      {"two separators", ";;", ";", std::nullopt, {"", ""}},
      {"no separator", "abc", ";", std::nullopt, {"abc"}},
      {"empty text", "", ";", std::nullopt, {}},
      {"empty separator gives the whole text", "a;b", "", std::nullopt, {"a;b"}},
      {"multi-byte separator", "a\r\nb\r\n\r\nc", "\r\n", std::nullopt, {"a", "b", "", "c"}},
      {"separator is never overlapped", "aaa", "aa", std::nullopt, {"", "a"}},
      {"maxCount drops the rest", "a;b;c", ";", 2, {"a", "b"}},
      {"maxCount counts the last piece", "a;b", ";", 2, {"a", "b"}},
      {"maxCount larger than the pieces", "a;b", ";", INT_MAX, {"a", "b"}},
      {"maxCount 1 without a separator", "ab", ";", 1, {"ab"}},
      {"maxCount 0", "a;b", ";", 0, {}},
      {"negative maxCount counts as 0", "a;b", ";", -1, {}},
      {"case-sensitive always", "aXbxc", "x", std::nullopt, {"aXb", "c"}},
      {"second bytes are not separators", gbk::kTrailA + std::string("A1"), "A", std::nullopt,
       {gbk::kTrailA, "1"}},
      {"two-byte pieces", z + ";" + z, ";", std::nullopt, {z, z}},
      {"lone lead byte stays in the rest", "a;\xB0", ";", std::nullopt, {"a", "\xB0"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitText(c.text, c.separator, c.maxCount), c.expected);
  }
}

}  // namespace

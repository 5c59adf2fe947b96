#include <climits>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

struct FindCase {
  const char* name;
  std::string text;
  std::string search;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(FindText, Table) {
  const std::string z = gbk::kZhong;
  const std::vector<FindCase> cases = {
      {"first occurrence", "abcabc", "bc", 1, false, 2},
      {"start skips earlier occurrence", "abcabc", "bc", 3, false, 5},
      {"start on the match", "abcabc", "bc", 5, false, 5},
      {"not found", "abcabc", "bd", 1, false, -1},
      {"search longer than the rest", "abcabc", "bca", 5, false, -1},
      {"match at the very end", "abcabc", "c", 6, false, 6},
      {"start 0 searches from the first byte", "abc", "a", 0, false, 1},
      {"negative start searches from the first byte", "abc", "a", -7, false, 1},
      {"INT_MIN start searches from the first byte", "abc", "a", INT_MIN, false, 1},
      {"start past the end", "abc", "a", 4, false, -1},
      {"INT_MAX start", "abc", "a", INT_MAX, false, -1},
      {"empty search gives 1 whatever the start", "0123456789", "", 5, false, 1},
      {"empty search on the last byte", "0123456789", "", 10, false, 1},
      {"empty search past the end", "0123456789", "", 11, false, -1},
      {"empty text and empty search", "", "", 1, false, -1},
      {"empty text", "", "a", 1, false, -1},
      {"ASCII search never matches a second byte", gbk::kTrailA + std::string("A"), "A", 1, false, 3},
      {"second byte skipped also when folding", gbk::kTrailA + std::string("xa"), "a", 1, true, 4},
      {"start on a second byte scans from that byte", gbk::kTrailA + std::string("A"), "A", 2, false, 2},
      {"two-byte search on a boundary", "a" + z + "b" + z, z, 3, false, 5},
      {"two-byte search straddling two characters is skipped",
       std::string("\xB0\xD6\xD0\xB0"), z, 1, false, -1},
      {"folding finds a lower-case header name", "Content-Type: text/html", "content-type", 1, true, 1},
      {"folding works both ways", "set-cookie: a", "SET-COOKIE", 1, true, 1},
      {"case-sensitive does not fold", "Content-Type", "content-type", 1, false, -1},
      {"full-width letters are not folded", gbk::kFullA, gbk::kFullSmallA, 1, true, -1},
      {"folding also applies to a second byte inside the search", gbk::kTrailA, gbk::kTrailSmallA, 1, true, 1},
      {"lone lead byte ends the scan", "ab\xB0", "\xB0x", 1, false, -1},
      {"lone lead byte itself can match", "ab\xB0", "\xB0", 1, false, 3},
      {"repeated partial matches", "aaaaaaab", "aaab", 1, false, 5},
      {"overlapping candidates", "abababac", "ababac", 1, false, 3},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindText(c.text, c.search, c.start, c.ignoreCase), c.expected);
  }
}

TEST(FindText, DefaultsAreStartOneAndCaseSensitive) {
  EXPECT_EQ(FindText("xAbab", "ab"), 4);
  EXPECT_EQ(FindText("xAbab", "ab", 1, true), 2);
}

// Boundaries are counted from the start offset over long runs of two-byte
// characters: the fast path that looks back over a run must agree with
// stepping from the start.
TEST(FindText, BoundariesOverLongTwoByteRuns) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += gbk::kZhong;  // D6 D0 D6 D0 ...
  text += "x";
  EXPECT_EQ(FindText(text, "\xD0\xD6"), -1);         // only ever across two characters
  EXPECT_EQ(FindText(text, "\xD0\xD6", 2), 2);       // start on a second byte shifts the stepping
  EXPECT_EQ(FindText(text, "\xD6\xD0x"), 1999);
  EXPECT_EQ(FindText(text, "\xD0x"), -1);
  EXPECT_EQ(FindText(text, "\xD0x", 2), 2000);
}

}  // namespace

// Every operation on inputs that callers should not send but may: empty
// values, texts of bytes >= 0x80 only, a lone lead byte at the end, and
// counts and positions at 0, negative and the integer limits. Each must give
// a bounded result made of the input's own bytes, and never crash.
#include <algorithm>
#include <climits>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

bool IsSubstring(std::string_view part, std::string_view whole) {
  return whole.find(part) != std::string_view::npos;
}

// Every byte of `part`, in order, appears in `whole` (a subsequence).
bool IsSubsequence(std::string_view part, std::string_view whole) {
  std::size_t at = 0;
  for (char c : part) {
    at = whole.find(c, at);
    if (at == std::string_view::npos) return false;
    ++at;
  }
  return true;
}

const std::vector<std::string> kTexts = {
    "",       "\xB0",          "\xA1",       "\xB0\xB1\xB2",   "\xB0\xB1\xB2\xB3",
    "ab\xB0", "\xA1\xA1\xA1", " \xA1\xA1 ", "\xFF\xFF\xFF\xFF", std::string("a\"") + gbk::kQuoteMarker,
};
const std::vector<std::string> kSearches = {"", "\xB0", "\xB1\xB2", "a", "\xA1\xA1", "\xFF", gbk::kQuoteMarker};
const std::vector<int> kNumbers = {INT_MIN, -2, -1, 0, 1, 2, 3, INT_MAX - 1, INT_MAX};

TEST(HostileInputs, TextOperationsStayInBounds) {
  for (const std::string& text : kTexts) {
    const std::size_t n = text.size();
    SCOPED_TRACE("text=" + Escaped(text));
    EXPECT_EQ(TextLength(text), static_cast<int>(n));
    EXPECT_TRUE(IsSubsequence(TrimSpaces(text), text));
    EXPECT_TRUE(IsSubstring(TrimSpaces(text), text));
    EXPECT_TRUE(IsSubsequence(RemoveAllSpaces(text), text));
    EXPECT_EQ(CompareText(text, text, false), 0);
    EXPECT_EQ(CompareText(text, text, true), 0);
    EXPECT_TRUE(TextEquals(text, text));
    EXPECT_EQ(ConcatText(text, text), text + text);
    const Bytes bytes = TextToBytes(text);
    EXPECT_EQ(BytesToText(bytes), text);

    for (int number : kNumbers) {
      SCOPED_TRACE("number=" + std::to_string(number));
      const Text left = TextLeft(text, number);
      const Text right = TextRight(text, number);
      EXPECT_LE(left.size(), n);
      EXPECT_EQ(left, text.substr(0, left.size()));
      EXPECT_LE(right.size(), n);
      EXPECT_EQ(right, text.substr(n - right.size()));
      EXPECT_LE(BytesLeft(bytes, number).size(), n);
      if (number != INT_MAX && number != INT_MAX - 1) {
        // Larger requests ask for 2 GB, which ends the program like any failed allocation.
        EXPECT_EQ(BlankBytes(number).size(), static_cast<std::size_t>(std::max(number, 0)));
      }
      EXPECT_EQ(BytesFromMemory(text.data(), std::min<int>(number, static_cast<int>(n))).size(),
                static_cast<std::size_t>(std::clamp<int>(number, 0, static_cast<int>(n))));
      for (int other : kNumbers) {
        const Text mid = TextMid(text, number, other);
        EXPECT_LE(mid.size(), n);
        EXPECT_TRUE(IsSubstring(mid, text));
        const Bytes midBytes = BytesMid(bytes, number, other);
        EXPECT_LE(midBytes.size(), n);
        EXPECT_TRUE(IsSubstring(Text(midBytes.begin(), midBytes.end()), text));
      }
    }

    for (const std::string& search : kSearches) {
      SCOPED_TRACE("search=" + Escaped(search));
      EXPECT_TRUE(SplitText(text, search).size() <= n + 1);
      for (int number : kNumbers) {
        SCOPED_TRACE("number=" + std::to_string(number));
        for (bool flag : {false, true}) {
          const int found = FindText(text, search, number, flag);
          EXPECT_TRUE(found == -1 || (found >= 1 && found <= static_cast<int>(n)));
          if (found >= 1 && !search.empty()) {
            EXPECT_EQ(CompareText(text.substr(found - 1, search.size()), search, !flag), 0);
          }
          const Text deleted = ReplaceText(text, search, "", number, number, flag);
          EXPECT_LE(deleted.size(), n);
          EXPECT_TRUE(IsSubsequence(deleted, text));
          const Text between = TextBetween(text, search, search, number, flag);
          EXPECT_LE(between.size(), n);
          EXPECT_TRUE(IsSubstring(between, text));
        }
        const TextArray pieces = SplitText(text, search, number);
        EXPECT_LE(pieces.size(), n + 1);
        std::size_t total = 0;
        for (const Text& piece : pieces) {
          EXPECT_TRUE(IsSubstring(piece, text));
          total += piece.size();
        }
        EXPECT_LE(total, n);
      }
    }
  }
}

TEST(HostileInputs, ByteOperationsOnEmptyAndZeroBytes) {
  const Bytes zeros(5, 0);
  EXPECT_EQ(BytesToText(zeros), "");
  EXPECT_EQ(BytesLength(zeros), 5);
  EXPECT_EQ(ConcatBytes(zeros, Bytes(), zeros).size(), 10u);
  EXPECT_EQ(BytesToText(Bytes()), "");
  EXPECT_EQ(BytesFromMemory(nullptr, 10), Bytes());
  EXPECT_EQ(BytesFromMemory(zeros.data(), -1), Bytes());
  EXPECT_EQ(BitOr(INT_MIN, INT_MAX), -1);
}

}  // namespace

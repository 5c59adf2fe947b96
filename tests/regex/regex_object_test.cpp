// RegexObject over the platform's VBScript.RegExp.
#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>

#include "regex/regex_object.h"

namespace {

// The meta-tag pattern the web routine uses to find a page's character set.
constexpr const char* kMetaPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
// "#引号" and "中", "文" in code page 936.
constexpr const char* kMarker = "#\xD2\xFD\xBA\xC5";
#define ZHONG "\xD6\xD0"
#define WEN "\xCE\xC4"

// A RegexObject brings its own COM set-up: the tests make none.

TEST(RegexObjectTest, SubjectWithoutAnyMatch) {
  RegexObject regex;
  EXPECT_TRUE(regex.Create("x", "abc"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.SubMatchText(1, 1), "");
}

TEST(RegexObjectTest, PatternTheObjectRejects) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("b", "abc"));
  EXPECT_FALSE(regex.Create("(", "a(b"));
  EXPECT_EQ(regex.MatchCount(), 0);  // the earlier matches are gone
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.GetPattern(), "(");  // the write itself went through
}

TEST(RegexObjectTest, BeforeTheFirstCreateEverythingIsEmpty) {
  const RegexObject regex;
  int position = 99;
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.Replace("x"), "");
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1, &position), "");
  EXPECT_EQ(regex.SubMatchText(1, 1), "");
}

TEST(RegexObjectTest, OptionsAsWritten) {
  struct Case {
    const char* name;
    const char* pattern;
    const char* subject;
    bool caseSensitive, multiline, global;
    int count;
  };
  const Case cases[] = {
      {"case folded by default", "ab", "xAByab", false, true, true, 2},
      {"case sensitive", "ab", "xAByab", true, true, true, 1},
      {"multiline anchors at each line", "^b", "a\nb\nb", false, true, true, 2},
      {"single-line anchors at the start only", "^b", "a\nb\nb", false, false, true, 0},
      {"not global: first match only", "b", "bbb", false, true, false, 1},
      // "Singleline" is written but the object has no such member: the dot
      // still stops at a line feed.
      {"dot never crosses a line feed", "a.b", "a\nb", false, true, true, 0},
      {"dot takes other characters", "a.b", "a" ZHONG "b a-b", false, true, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    EXPECT_TRUE(regex.Create(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global));
    EXPECT_EQ(regex.MatchCount(), c.count);
  }
}

TEST(RegexObjectTest, MetaTagPatternFindsTheCharsetInAnyCase) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create(kMetaPattern, "<HTML><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=UTF-8\">"));
  EXPECT_EQ(regex.SubMatchText(1, 1), "UTF-8");
  EXPECT_EQ(regex.SubMatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1).substr(0, 5), "<META");
  ASSERT_TRUE(regex.Create(kMetaPattern, "<meta charset=\"big5\">"));
  EXPECT_EQ(regex.SubMatchText(1, 1), "big5");
}

TEST(RegexObjectTest, QuoteMarker) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create(std::string("=") + kMarker + "(\\w+)" + kMarker, "a=\"v\" b", false, true, true, true));
  EXPECT_EQ(regex.GetPattern(), "=\"(\\w+)\"");
  EXPECT_EQ(regex.SubMatchText(1, 1), "v");
  // Left out, the marker is literal text and matches only itself.
  ASSERT_TRUE(regex.Create(std::string("=") + kMarker, std::string("a=\" b=") + kMarker));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1), std::string("=") + kMarker);
}

TEST(RegexObjectTest, MatchesSubMatchesAndPositions) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a", "aaa"));
  ASSERT_EQ(regex.MatchCount(), 3);
  int position = 99;
  EXPECT_EQ(regex.MatchText(2, &position), "a");
  EXPECT_EQ(position, 1);
  EXPECT_EQ(regex.MatchText(4, &position), "");  // outside the collection

  ASSERT_TRUE(regex.Create("(\\w)(\\d)?-(\\w+)", "x a-bc y1-z"));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.SubMatchCount(), 3);
  EXPECT_EQ(regex.SubMatchText(1, 1), "a");
  EXPECT_EQ(regex.SubMatchText(1, 2), "");  // the group took no part
  EXPECT_EQ(regex.SubMatchText(2, 2, &position), "1");
  EXPECT_EQ(position, 8);
  EXPECT_EQ(regex.SubMatchText(2, 3, &position), "z");
  EXPECT_EQ(position, 10);
  EXPECT_EQ(regex.SubMatchText(2, 4), "");
  EXPECT_EQ(regex.SubMatchText(0, 1), "");
}

// Not global: Wine's RegExp never returns from a global Execute whose
// pattern matches the empty text.
TEST(RegexObjectTest, EmptyMatchesAndTheirPositions) {
  RegexObject regex;
  int position = 99;
  // An empty match text is found right where the search starts, so its
  // position reads 0 wherever the match lies.
  ASSERT_TRUE(regex.Create("(?=b)", "ab", false, true, false));
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1, &position), "");
  EXPECT_EQ(position, 0);
  // A match at the very end starts the search past the last byte.
  ASSERT_TRUE(regex.Create("$", "ab", false, false, false));
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1, &position), "");
  EXPECT_EQ(position, -2);
}

TEST(RegexObjectTest, PositionsAfterTwoByteCharacters) {
  RegexObject regex;
  int position = 99;
  // FirstIndex 1 counts "中" as one unit; the match lies at byte 2.
  ASSERT_TRUE(regex.Create("b", ZHONG "b"));
  EXPECT_EQ(regex.MatchText(1, &position), "b");
  EXPECT_EQ(position, 2);
  ASSERT_TRUE(regex.Create("b", ZHONG WEN "ab" WEN "b"));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.MatchText(1, &position), "b");
  EXPECT_EQ(position, 5);
  EXPECT_EQ(regex.MatchText(2, &position), "b");
  EXPECT_EQ(position, 8);
  // Two-byte match text after two-byte characters, and an earlier look-alike.
  ASSERT_TRUE(regex.Create(WEN "(c)", WEN "x" ZHONG WEN "c"));
  EXPECT_EQ(regex.MatchText(1, &position), WEN "c");
  EXPECT_EQ(position, 5);
  EXPECT_EQ(regex.SubMatchText(1, 1, &position), "c");
  EXPECT_EQ(position, 7);
}

TEST(RegexObjectTest, ReplaceLeavesTheSubjectAsItWas) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("b", "abcB" ZHONG));
  EXPECT_EQ(regex.Replace("X"), "aXcX" ZHONG);
  EXPECT_EQ(regex.Replace(), "ac" ZHONG);
  EXPECT_EQ(regex.Replace("[$&]"), "a[b]c[B]" ZHONG);
  EXPECT_EQ(regex.MatchCount(), 2);
}

// COM state of the calling thread: true when CoInitialize finds it already
// initialised. Leaves the count as it found it.
bool ComAlreadyInitialised() {
  const HRESULT hr = CoInitialize(nullptr);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr == S_FALSE;
}

TEST(RegexObjectTest, PairsCoInitializeWithCoUninitializeAlsoWhenMoved) {
  // On a thread of its own, so that nothing else holds COM there.
  std::thread([] {
    EXPECT_FALSE(ComAlreadyInitialised());
    {
      RegexObject regex;
      EXPECT_TRUE(ComAlreadyInitialised());
      EXPECT_TRUE(regex.Create("b", "abc"));  // no set-up by the caller needed
    }
    EXPECT_FALSE(ComAlreadyInitialised());

    // Moved objects: exactly one CoUninitialize per CoInitialize.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));  // the caller's own
    {
      RegexObject first;
      ASSERT_TRUE(first.Create("b", "abc"));
      RegexObject second(std::move(first));
      EXPECT_EQ(second.MatchCount(), 1);
      EXPECT_EQ(first.MatchCount(), 0);  // NOLINT(bugprone-use-after-move): moved-from is empty
      RegexObject third;
      ASSERT_TRUE(third.Create("c", "cc"));
      third = std::move(second);
      EXPECT_EQ(third.MatchCount(), 1);
    }
    EXPECT_TRUE(ComAlreadyInitialised());  // the caller's CoInitialize still stands
    CoUninitialize();
    EXPECT_FALSE(ComAlreadyInitialised());
  }).join();
}

}  // namespace

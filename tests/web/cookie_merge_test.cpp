#include "web/cookie_merge.h"

#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

struct MergeCase {
  const char* name;
  Text submitted;
  Text received;
  Text merged;
  Text receivedAfter;
};

TEST(MergeCookiesTest, Table) {
  const MergeCase cases[] = {
      {"both empty", "", "", "", ""},
      {"received replaces by name", "a=1; b=2", "b=3", "b=3; a=1", "b=3"},
      {"received first, then the rest submitted", "b=9; c=3;a=7", "a=1; b=2", "a=1; b=2; c=3",
       "a=1;b=2"},
      {"only submitted", "a=1;b=2", "", "a=1; b=2", ""},
      {"only received", "", "a=1; b=2", "a=1; b=2", "a=1;b=2"},
      {"deleted cookie gone", "a=1;c=2", "a=deleted", "c=2", "a=deleted"},
      {"deleted blocks every same-named submitted item", "a=1; a=2", "a=deleted", "", "a=deleted"},
      {"deleted compared with case", "", "a=DELETED", "a=DELETED", "a=DELETED"},
      {"only the last eight bytes count", "", "x=y=deleted; z=1", "z=1", "x=y=deleted;z=1"},
      {"deleted in the middle of a value stays", "", "a=deletedx", "a=deletedx", "a=deletedx"},
      {"deleted submitted item dropped too", "a=deleted; b=1", "", "b=1", ""},
      {"spaces removed inside values", "x=hello world", "", "x=helloworld", ""},
      {"full-width spaces removed", "x=a\xA1\xA1" "b", "y =\xA1\xA1" "1", "y=1; x=ab", "y=1"},
      {"first of two submitted same-named items", "a=1; a=2", "", "a=1", ""},
      {"received duplicates with different values kept", "a=9", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
      {"identical received items appear once", "", "a=1; a=1", "a=1", "a=1;a=1"},
      {"names are case-sensitive", "SID=1", "sid=2", "sid=2; SID=1", "sid=2"},
      {"item without = dropped when its name is received", "flag", "flag", "flag", "flag"},
      {"item without = dropped by a named value", "flag; b=1", "flag=1", "flag=1; b=1", "flag=1"},
      {"item without = kept otherwise", "flag", "a=1", "a=1; flag", "a=1"},
      {"empty item between two semicolons stays", "", "a=1;;b=2", "a=1; ; b=2", "a=1;;b=2"},
      {"empty items appear once", "", "a=1;;b=2;;c=3", "a=1; ; b=2; c=3", "a=1;;b=2;;c=3"},
      {"trailing semicolon adds nothing", "a=1;", "b=2;", "b=2; a=1", "b=2;"},
      {"empty item last never leaves a separator", "a=1;;", "", "a=1", ""},
      {"several empty items last never leave a separator", "", "a=1;;;", "a=1", "a=1;;;"},
      {"empty items last in both texts", "b=2;;;", "a=1;;;", "a=1; ; b=2", "a=1;;;"},
      {"only separators", ";;", "; ;", "", ";;"},
      {"empty name", "=x; =y", "", "=x", ""},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    Text submitted = c.submitted;
    Text received = c.received;
    const Text merged = MergeCookies(submitted, received);
    EXPECT_EQ(merged, c.merged);
    EXPECT_EQ(submitted, c.merged);
    EXPECT_EQ(received, c.receivedAfter);
  }
}

TEST(CookieHelpersTest, CookieName) {
  EXPECT_EQ(CookieName("a=1"), "a");
  EXPECT_EQ(CookieName(" a =1=2"), "a");
  EXPECT_EQ(CookieName("=x"), "");
  EXPECT_EQ(CookieName(" flag "), "flag");
  EXPECT_EQ(CookieName(""), "");
}

TEST(CookieHelpersTest, HasCookieNameAndIndexOfText) {
  const TextArray items{"a=1", "flag", "b=2", "a=1"};
  EXPECT_TRUE(HasCookieName(items, "a"));
  EXPECT_TRUE(HasCookieName(items, "flag"));
  EXPECT_FALSE(HasCookieName(items, "A"));
  EXPECT_FALSE(HasCookieName(items, "1"));
  EXPECT_FALSE(HasCookieName({}, ""));

  EXPECT_EQ(IndexOfText(items, "a=1"), 1);
  EXPECT_EQ(IndexOfText(items, "b=2"), 3);
  EXPECT_EQ(IndexOfText(items, "b"), -1);
  EXPECT_EQ(IndexOfText({}, ""), -1);
  EXPECT_EQ(IndexOfText({"x", ""}, ""), 2);
}

TEST(CookieHelpersTest, JoinDistinct) {
  EXPECT_EQ(JoinDistinct("a; b; a; c; b", "; "), "a; b; c");
  EXPECT_EQ(JoinDistinct("a; b; a; ", "; "), "a; b");
  EXPECT_EQ(JoinDistinct("", "; "), "");
  EXPECT_EQ(JoinDistinct("x;;x;", ";"), "x;");
  EXPECT_EQ(JoinDistinct("A;a", ";"), "A;a");
  EXPECT_EQ(JoinDistinct("abc", ""), "abc");
}

// The merge step by step, with the list lookups done naively: MergeCookies
// must give the same texts on any input.
Text ReferenceMerge(Text& submitted, Text& received) {
  submitted = RemoveAllSpaces(submitted);
  received = RemoveAllSpaces(received);
  const TextArray s = SplitText(submitted, ";");
  TextArray r = SplitText(received, ";");
  for (const Text& a : s) {
    if (!HasCookieName(r, CookieName(a))) r.push_back(a);
  }
  submitted.clear();
  for (const Text& b : r) {
    if (TextRight(b, 8) != "=deleted") submitted = ConcatText(submitted, b, "; ");
  }
  submitted = TextLeft(submitted, TextLength(submitted) - 2);
  // JoinDistinct spelled out with IndexOfText.
  TextArray seen;
  Text out;
  for (const Text& x : SplitText(submitted, "; ")) {
    if (IndexOfText(seen, x) == -1) {
      seen.push_back(x);
      out = ConcatText(out, x, "; ");
    }
  }
  submitted = TextLeft(out, TextLength(out) - 2);
  // Then no separator at the end, whatever empty items stood last.
  while (TextRight(submitted, 2) == "; ") submitted = TextLeft(submitted, TextLength(submitted) - 2);
  return submitted;
}

Text RandomCookieText(std::mt19937& random) {
  static const char* const kPieces[] = {"a", "b", "A", "=", "1", "2", "=deleted", " ", ";", ";",
                                        "; ", "\xA1\xA1", "flag", "=DELETED", "\xB0"};
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<int> piece(0, static_cast<int>(std::size(kPieces)) - 1);
  Text text;
  for (int n = length(random); n > 0; --n) text += kPieces[piece(random)];
  return text;
}

TEST(MergeCookiesTest, AgreesWithTheStepByStepMergeOnRandomInput) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 5000; ++round) {
    const Text submittedIn = RandomCookieText(random);
    const Text receivedIn = RandomCookieText(random);
    SCOPED_TRACE("submitted [" + submittedIn + "] received [" + receivedIn + "]");
    Text submitted = submittedIn, received = receivedIn;
    Text expectedSubmitted = submittedIn, expectedReceived = receivedIn;
    const Text merged = MergeCookies(submitted, received);
    const Text expected = ReferenceMerge(expectedSubmitted, expectedReceived);
    ASSERT_EQ(merged, expected);
    ASSERT_EQ(submitted, expectedSubmitted);
    ASSERT_EQ(received, expectedReceived);
  }
}

TEST(MergeCookiesTest, TwentyThousandCookiesEachWay) {
  Text submitted, received;
  for (int i = 0; i < 20000; ++i) {
    received.append("r").append(std::to_string(i)).append(i % 2 == 0 ? "=deleted; " : "=v; ");
    submitted.append("r").append(std::to_string(i * 2)).append("=s;");
  }
  const Text merged = MergeCookies(submitted, received);
  const TextArray items = SplitText(merged, "; ");
  // 10,000 received survivors, then the submitted names the response did not set.
  ASSERT_EQ(items.size(), 10000u + 10000u);
  EXPECT_EQ(items.front(), "r1=v");
  EXPECT_EQ(items[9999], "r19999=v");
  EXPECT_EQ(items[10000], "r20000=s");
  EXPECT_EQ(items.back(), "r39998=s");
}

}  // namespace

#include <climits>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(Bytes, TextConversions) {
  EXPECT_EQ(TextToBytes(""), Bytes());
  EXPECT_EQ(TextToBytes(gbk::kZhong), B("\xD6\xD0"));  // no terminating zero
  EXPECT_EQ(BytesToText(Bytes()), "");
  EXPECT_EQ(BytesToText(B(std::string_view("\0ab", 3))), "");
  EXPECT_EQ(BytesToText(B(std::string_view("ab\0cd", 5))), "ab");
  EXPECT_EQ(BytesToText(B("\xD6\xD0x")), "\xD6\xD0x");
  EXPECT_EQ(BytesLength(Bytes()), 0);
  EXPECT_EQ(BytesLength(B(std::string_view("a\0b", 3))), 3);
}

struct BytesCutCase {
  const char* name;
  int start;  // BytesMid only
  int count;
  std::string left;
  std::string mid;
};

TEST(Bytes, LeftAndMidClamp) {
  const Bytes data = B("abcde");
  const std::vector<BytesCutCase> cases = {
      {"within", 2, 3, "abc", "bcd"},
      {"count past the end", 4, 10, "abcde", "de"},
      {"count INT_MAX", 2, INT_MAX, "abcde", "bcde"},
      {"count zero", 1, 0, "", ""},
      {"count negative", 1, -5, "", ""},
      {"count INT_MIN", 1, INT_MIN, "", ""},
      {"start 0 begins at the first byte", 0, 2, "ab", "ab"},
      {"start negative begins at the first byte", -4, 2, "ab", "ab"},
      {"start INT_MIN begins at the first byte", INT_MIN, 2, "ab", "ab"},
      {"start on the last byte", 5, 2, "ab", "e"},
      {"start past the end", 6, 2, "ab", ""},
      {"start INT_MAX", INT_MAX, 2, "ab", ""},
  };
  for (const BytesCutCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BytesLeft(data, c.count), B(c.left));
    EXPECT_EQ(BytesMid(data, c.start, c.count), B(c.mid));
  }
  EXPECT_EQ(BytesLeft(Bytes(), 3), Bytes());
  EXPECT_EQ(BytesMid(Bytes(), 1, 3), Bytes());
}

TEST(Bytes, BlankAndFromMemory) {
  EXPECT_EQ(BlankBytes(3), Bytes(3, 0));
  EXPECT_EQ(BlankBytes(0), Bytes());
  EXPECT_EQ(BlankBytes(-1), Bytes());
  const char memory[] = {'a', '\0', 'b', 'c'};
  EXPECT_EQ(BytesFromMemory(memory, 4), B(std::string_view(memory, 4)));
  EXPECT_EQ(BytesFromMemory(memory, 0), Bytes());
  EXPECT_EQ(BytesFromMemory(nullptr, 0), Bytes());
}

TEST(Concat, BytesAndText) {
  EXPECT_EQ(ConcatBytes(Bytes(), Bytes()), Bytes());
  EXPECT_EQ(ConcatBytes(B("a"), Bytes(), B(std::string_view("\0b", 2))), B(std::string_view("a\0b", 3)));
  EXPECT_EQ(ConcatText("", ""), "");
  EXPECT_EQ(ConcatText("a", Text(), "b", std::string_view(gbk::kZhong)), "ab\xD6\xD0");
  const Text lvalue = "x";
  EXPECT_EQ(ConcatText(lvalue, lvalue), "xx");
  EXPECT_EQ(lvalue, "x");  // arguments are left unchanged
  const Bytes bytes = B("y");
  EXPECT_EQ(ConcatBytes(bytes, bytes), B("yy"));
  EXPECT_EQ(bytes, B("y"));
}

// Growing a value chunk by chunk keeps its buffer: the moved-in value is
// appended to in place, so capacity grows geometrically rather than per call.
TEST(Concat, MovedAccumulatorGrowsInPlace) {
  Text text;
  Bytes bytes;
  const Text chunk(100, 't');
  const Bytes byteChunk(100, 'b');
  int textReallocations = 0;
  int bytesReallocations = 0;
  for (int i = 0; i < 1000; ++i) {
    const auto textCapacity = text.capacity();
    const auto bytesCapacity = bytes.capacity();
    text = ConcatText(std::move(text), chunk);
    bytes = ConcatBytes(std::move(bytes), byteChunk);
    textReallocations += text.capacity() != textCapacity;
    bytesReallocations += bytes.capacity() != bytesCapacity;
  }
  EXPECT_EQ(text, Text(100000, 't'));
  EXPECT_EQ(bytes, Bytes(100000, 'b'));
  EXPECT_LT(textReallocations, 40);
  EXPECT_LT(bytesReallocations, 40);
}

TEST(BitOr, OrsAllArguments) {
  static_assert(BitOr(1, 2) == 3);
  EXPECT_EQ(BitOr(0x100, 0x2000, 0x100, 0x1), 0x2101);
  EXPECT_EQ(BitOr(INT_MIN, 1), INT_MIN + 1);
  EXPECT_EQ(BitOr(0, 0), 0);
  EXPECT_EQ(BitOr(-1, 5), -1);
}

}  // namespace

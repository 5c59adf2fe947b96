// Variant on its own: the values it makes at the boundary.
#include <gtest/gtest.h>

#include "automation/boundary.h"
#include "automation/variant.h"
#include "tests/automation/fixture.h"

namespace {

using VariantTest = ComApartment;

TEST_F(VariantTest, KindsAndTheirText) {
  Variant fresh;
  EXPECT_EQ(fresh.Type(), VT_I4);
  EXPECT_EQ(fresh.GetText(), "0");
  EXPECT_EQ(Variant(true).Type(), VT_BOOL);
  EXPECT_EQ(Variant(true).GetText(), "-1");
  EXPECT_EQ(Variant(false).GetText(), "0");
  EXPECT_EQ(Variant(2.5).Type(), VT_R8);
  EXPECT_EQ(Variant(std::int32_t{-7}).GetText(), "-7");
  // Code page 936 text crosses as a BSTR and comes back byte for byte.
  const Variant chinese(std::string_view("\xD6\xD0\xCE\xC4 text"));
  EXPECT_EQ(chinese.Type(), VT_BSTR);
  EXPECT_EQ(SysStringLen(chinese.Get().bstrVal), 7u);
  EXPECT_EQ(chinese.GetText(), "\xD6\xD0\xCE\xC4 text");
  Variant cleared(std::string_view("x"));
  cleared.Clear();
  EXPECT_EQ(cleared.Type(), VT_EMPTY);
  EXPECT_EQ(cleared.GetText(), "");
}

TEST_F(VariantTest, CopyMoveAndRelease) {
  Variant source(std::string_view("abc"));
  Variant copy;
  copy.Copy(source);
  EXPECT_EQ(copy.GetText(), "abc");
  EXPECT_NE(copy.Get().bstrVal, source.Get().bstrVal);  // its own BSTR
  Variant moved(std::move(source));
  EXPECT_EQ(moved.GetText(), "abc");
  EXPECT_EQ(source.Type(), VT_EMPTY);  // NOLINT(bugprone-use-after-move): moved-from is defined
  moved = std::move(copy);
  EXPECT_EQ(moved.GetText(), "abc");
  VARIANT handed = moved.Release();
  EXPECT_EQ(handed.vt, VT_BSTR);
  EXPECT_EQ(moved.Type(), VT_EMPTY);
  VariantClear(&handed);
}

TEST_F(VariantTest, TextCutAtFirstNulAndMissingCharactersBecomeDefault) {
  Variant value;
  VARIANT* raw = value.Receive();
  raw->vt = VT_BSTR;
  raw->bstrVal = SysAllocStringLen(L"ab\0cd", 5);
  EXPECT_EQ(value.GetText(), "ab");
  // Thai letters have no place in code page 936: its default character.
  EXPECT_EQ(WideToText(L"x\u0E01y"), "x?y");
  EXPECT_EQ(WideToText(std::wstring_view(L"\0z", 2)), "");
  EXPECT_EQ(BstrToText(nullptr), "");
}

TEST_F(VariantTest, BytesBecomeAByteArrayWithLowerBoundOne) {
  const Bytes bytes{0x00, 0xFF, 0x41, 0x00};
  Variant value(bytes);
  LONG lower = 0, upper = 0;
  EXPECT_EQ(ArrayBytes(value.Get(), &lower, &upper), bytes);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 4);

  value.Assign(Bytes{});
  ASSERT_EQ(value.Type(), VT_ARRAY | VT_UI1);
  SafeArrayGetLBound(value.Get().parray, 1, &lower);
  SafeArrayGetUBound(value.Get().parray, 1, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 0);  // no elements

  // Assigning text releases the array and holds a BSTR instead.
  value.Assign(std::string_view("t"));
  EXPECT_EQ(value.Type(), VT_BSTR);
}

}  // namespace

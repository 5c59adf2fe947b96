// The bridge over real automation objects that carry type information:
// VBScript.RegExp and Scripting.Dictionary.
#include <gtest/gtest.h>

#include <optional>

#include "automation/com_object.h"
#include "automation/outcome.h"
#include "tests/automation/fixture.h"

namespace {

using BridgeTest = ComApartment;

ComObject Made(std::string_view progId) {
  ComObject object;
  EXPECT_TRUE(object.Create(progId)) << progId;
  return object;
}

// Two references name the same object when their IUnknowns agree.
bool SameObject(const ComObject& a, const ComObject& b) {
  IUnknown* left = nullptr;
  IUnknown* right = nullptr;
  if (a.IsEmpty() || b.IsEmpty()) return false;
  a.Get()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&left));
  b.Get()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&right));
  const bool same = left != nullptr && left == right;
  if (left != nullptr) left->Release();
  if (right != nullptr) right->Release();
  return same;
}

TEST_F(BridgeTest, CreatesByProgIdInAnyCaseAndByBracedClsid) {
  ComObject byProgId;
  EXPECT_TRUE(byProgId.Create("vbscript.REGEXP"));
  EXPECT_FALSE(byProgId.IsEmpty());
  ComObject byClsid;
  EXPECT_TRUE(byClsid.Create("{3F4DACA4-160D-11D2-A8E9-00104B365C9F}"));
  EXPECT_TRUE(byClsid.SetProperty("Pattern", "x"));
}

TEST_F(BridgeTest, FailedCreateKeepsThePreviousObject) {
  ComObject object = Made("VBScript.RegExp");
  ASSERT_TRUE(object.SetProperty("Pattern", "kept"));
  for (const char* name : {"No.Such.Object", "{00000000-0000-0000-0000-0000000000AB}", "{not a clsid}", ""}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(object.Create(name));
    EXPECT_FALSE(LastAutomationOutcome().succeeded);
    EXPECT_EQ(object.GetTextProperty("Pattern"), "kept");
  }
  // A successful Create replaces it.
  EXPECT_TRUE(object.Create("VBScript.RegExp"));
  EXPECT_EQ(object.GetTextProperty("Pattern"), "");
}

TEST_F(BridgeTest, ReadsWritesAndCallsOnARegExp) {
  const ComObject regExp = Made("VBScript.RegExp");
  EXPECT_TRUE(regExp.SetProperty("Pattern", "b+"));
  EXPECT_EQ(regExp.GetTextProperty("Pattern"), "b+");
  // By-value arguments are converted by the object's Invoke: an integer
  // for a Boolean property, an integer for a string parameter.
  EXPECT_TRUE(regExp.SetProperty("Global", 1));
  EXPECT_EQ(regExp.GetTextProperty("Global"), "-1");
  EXPECT_EQ(regExp.GetNumberProperty("Global"), -1);
  EXPECT_TRUE(regExp.SetProperty("IgnoreCase", false));
  EXPECT_EQ(regExp.GetProperty("IgnoreCase").Type(), VT_BOOL);
  EXPECT_EQ(regExp.CallText("Test", "abbc"), "-1");
  EXPECT_EQ(regExp.CallText("Test", "ABBC"), "0");
  EXPECT_EQ(regExp.CallText("Replace", "abbcb", "X"), "aXcX");
  EXPECT_TRUE(regExp.SetProperty("Pattern", "3"));
  EXPECT_EQ(regExp.CallText("Replace", 12345, "-"), "12-45");
  // Code page 936 text goes in and comes out unchanged.
  EXPECT_TRUE(regExp.SetProperty("Pattern", "\xD6\xD0(\xCE\xC4)"));
  EXPECT_EQ(regExp.CallText("Replace", "a\xD6\xD0\xCE\xC4z", "[$1]"), "a[\xCE\xC4]z");
}

TEST_F(BridgeTest, ObjectResultsAndTheirMembers) {
  const ComObject regExp = Made("VBScript.RegExp");
  regExp.SetProperty("Global", true);
  regExp.SetProperty("Pattern", "(b)(x)?");
  const ComObject matches = regExp.CallObject("Execute", "abcab");
  ASSERT_FALSE(matches.IsEmpty());
  EXPECT_EQ(matches.GetNumberProperty("Count"), 2);
  const ComObject second = matches.GetObjectProperty("Item", 1);
  EXPECT_EQ(second.GetTextProperty("Value"), "b");
  EXPECT_EQ(second.GetNumberProperty("FirstIndex"), 4);
  const ComObject groups = second.GetObjectProperty("SubMatches");
  EXPECT_EQ(groups.GetNumberProperty("Count"), 2);
  EXPECT_EQ(groups.GetTextProperty("Item", 0), "b");
  EXPECT_EQ(groups.GetProperty("Item", 1).Type(), VT_EMPTY);  // the group took no part
  // An index outside the collection is a failed read.
  EXPECT_TRUE(matches.GetObjectProperty("Item", 2).IsEmpty());
  // A result that is not an object does not make one.
  EXPECT_TRUE(regExp.GetObjectProperty("Pattern").IsEmpty());
  EXPECT_FALSE(LastAutomationOutcome().succeeded);
}

TEST_F(BridgeTest, DictionaryPropertiesWithArgumentsAndObjects) {
  const ComObject dictionary = Made("Scripting.Dictionary");
  // Add, Item and Exists take their keys by reference: the bridge passes a
  // reference to a copy of each value.
  dictionary.Call("Add", "k", "v");
  dictionary.Call("Add", 7, "seven");
  EXPECT_EQ(dictionary.GetNumberProperty("Count"), 2);
  EXPECT_EQ(dictionary.GetTextProperty("Item", "k"), "v");
  EXPECT_EQ(dictionary.GetTextProperty("Item", 7), "seven");
  EXPECT_EQ(dictionary.CallText("Exists", "k"), "-1");
  EXPECT_EQ(dictionary.CallText("Exists", "7"), "0");  // the key 7 is a number, not a text
  EXPECT_TRUE(dictionary.SetProperty("Item", "k", "w"));
  EXPECT_EQ(dictionary.GetTextProperty("Item", "k"), "w");
  // Keys is an array: no text, number or object can be made of it.
  EXPECT_EQ(dictionary.GetTextProperty("Keys"), "");
  EXPECT_FALSE(LastAutomationOutcome().succeeded);
  EXPECT_EQ(dictionary.GetProperty("Keys").Type(), VT_ARRAY | VT_VARIANT);

  // An object goes in as an argument and comes back out as the same object.
  const ComObject regExp = Made("VBScript.RegExp");
  regExp.SetProperty("Pattern", "inside");
  dictionary.Call("Add", "re", regExp);
  const ComObject stored = dictionary.GetObjectProperty("Item", "re");
  EXPECT_TRUE(SameObject(stored, regExp));
  EXPECT_EQ(stored.GetTextProperty("Pattern"), "inside");
  dictionary.Call("RemoveAll");
  EXPECT_EQ(dictionary.GetNumberProperty("Count"), 0);
}

TEST_F(BridgeTest, UnknownMembersAndTooManyArgumentsGiveEmptyResults) {
  const ComObject regExp = Made("VBScript.RegExp");
  ASSERT_TRUE(regExp.SetProperty("Pattern", "p"));
  EXPECT_FALSE(regExp.SetProperty("Singleline", true));
  EXPECT_EQ(LastAutomationOutcome().result, DISP_E_UNKNOWNNAME);
  EXPECT_EQ(regExp.GetTextProperty("Singleline"), "");
  EXPECT_EQ(regExp.GetNumberProperty("NoSuchMember"), 0);
  EXPECT_TRUE(regExp.CallObject("NoSuchMember", 1).IsEmpty());
  EXPECT_EQ(regExp.GetProperty("NoSuchMember").Type(), VT_EMPTY);
  regExp.Call("NoSuchMember");
  EXPECT_FALSE(LastAutomationOutcome().succeeded);

  // One argument too many, for a method and for a property in both directions.
  EXPECT_EQ(regExp.CallText("Test", "p", "extra"), "");
  EXPECT_FALSE(LastAutomationOutcome().succeeded);
  EXPECT_EQ(regExp.GetTextProperty("Pattern", 1), "");
  EXPECT_FALSE(regExp.SetProperty("Pattern", 1, "q"));
  EXPECT_EQ(regExp.GetTextProperty("Pattern"), "p");
  // A trailing argument that is not given is not passed at all.
  EXPECT_EQ(regExp.GetTextProperty("Pattern", std::optional<int>()), "p");
  EXPECT_TRUE(LastAutomationOutcome().succeeded);
  EXPECT_EQ(regExp.CallText("Test", "p", std::optional<Text>()), "-1");
  // A write without a value writes nothing.
  EXPECT_FALSE(regExp.SetProperty("Pattern", std::optional<Text>()));
  EXPECT_EQ(regExp.GetTextProperty("Pattern"), "p");
}

TEST_F(BridgeTest, AnEmptyObjectGivesTheEmptyValueOfEachKind) {
  const ComObject empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_FALSE(empty.SetProperty("Pattern", "x"));
  EXPECT_EQ(empty.GetTextProperty("Pattern"), "");
  EXPECT_EQ(empty.GetNumberProperty("Count"), 0);
  EXPECT_TRUE(empty.GetObjectProperty("Item", 0).IsEmpty());
  EXPECT_EQ(empty.GetProperty("Pattern").Type(), VT_EMPTY);
  empty.Call("Execute", "x");
  EXPECT_EQ(empty.CallText("Replace", "a", "b"), "");
  EXPECT_TRUE(empty.CallObject("Execute", "x").IsEmpty());
  EXPECT_FALSE(LastAutomationOutcome().succeeded);
}

TEST_F(BridgeTest, ResultsAreCutAtTheirFirstNul) {
  const ComObject dictionary = Made("Scripting.Dictionary");
  Variant withNul;
  VARIANT* raw = withNul.Receive();
  raw->vt = VT_BSTR;
  raw->bstrVal = SysAllocStringLen(L"ab\0cd", 5);
  dictionary.Call("Add", "k", withNul);
  EXPECT_EQ(dictionary.GetTextProperty("Item", "k"), "ab");
  EXPECT_EQ(dictionary.CallText("Item", "k"), "ab");
  // The value itself crossed whole: the cut happens when it becomes Text.
  EXPECT_EQ(SysStringLen(dictionary.GetProperty("Item", "k").Get().bstrVal), 5u);
}

TEST_F(BridgeTest, BytesArriveAsAnArrayWithLowerBoundOne) {
  const ComObject dictionary = Made("Scripting.Dictionary");
  const Bytes bytes{'a', 0x00, 0xD6, 0xD0};
  dictionary.Call("Add", "b", bytes);
  dictionary.Call("Add", "v", Variant(bytes));
  for (const char* key : {"b", "v"}) {
    SCOPED_TRACE(key);
    const Variant back = dictionary.GetProperty("Item", key);
    LONG lower = 0, upper = 0;
    EXPECT_EQ(ArrayBytes(back.Get(), &lower, &upper), bytes);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 4);
  }
}

TEST_F(BridgeTest, CopySharesTheObjectAndClearReleasesIt) {
  const ComObject regExp = Made("VBScript.RegExp");
  ComObject shared;
  shared.Copy(regExp);
  EXPECT_TRUE(SameObject(shared, regExp));
  shared.SetProperty("Pattern", "both");
  EXPECT_EQ(regExp.GetTextProperty("Pattern"), "both");
  shared.Copy(shared);  // onto itself: still holds it
  EXPECT_EQ(shared.GetTextProperty("Pattern"), "both");
  shared.Clear();
  EXPECT_TRUE(shared.IsEmpty());
  EXPECT_EQ(regExp.GetTextProperty("Pattern"), "both");
  ComObject moved = std::move(shared);
  EXPECT_TRUE(moved.IsEmpty());
}

}  // namespace

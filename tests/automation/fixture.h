// What the automation tests share: COM set up on the test's thread for the
// length of one test, and a look inside a byte array VARIANT.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>

#include "text/text.h"

class ComApartment : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

// The bytes of a one-dimensional VT_UI1 array and its bounds; empty Bytes and
// untouched bounds for anything else.
inline Bytes ArrayBytes(const VARIANT& value, LONG* lower, LONG* upper) {
  if (value.vt != (VT_ARRAY | VT_UI1) || SafeArrayGetDim(value.parray) != 1) return {};
  SafeArrayGetLBound(value.parray, 1, lower);
  SafeArrayGetUBound(value.parray, 1, upper);
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(value.parray, &data))) return {};
  const auto* first = static_cast<const unsigned char*>(data);
  Bytes bytes(first, first + (*upper - *lower + 1));
  SafeArrayUnaccessData(value.parray);
  return bytes;
}

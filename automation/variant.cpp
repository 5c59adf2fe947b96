#include "automation/variant.h"

#include <climits>
#include <cstring>

#include "automation/boundary.h"

Variant::Variant() {
  VariantInit(&value_);
  value_.vt = VT_I4;
  value_.lVal = 0;
}

Variant::Variant(std::string_view text) : Variant() { Assign(text); }

Variant::Variant(const Bytes& bytes) : Variant() { Assign(bytes); }

Variant::Variant(std::int32_t number) : Variant() { value_.lVal = number; }

Variant::Variant(bool flag) : Variant() {
  value_.vt = VT_BOOL;
  value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(double number) : Variant() {
  value_.vt = VT_R8;
  value_.dblVal = number;
}

Variant::Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

Variant::~Variant() { VariantClear(&value_); }

void Variant::Assign(std::string_view text) {
  Clear();
  BSTR bstr = TextToBstr(text);
  if (bstr == nullptr) return;
  value_.vt = VT_BSTR;
  value_.bstrVal = bstr;
}

void Variant::Assign(const Bytes& bytes) {
  Clear();
  if (bytes.size() > LONG_MAX) return;
  SAFEARRAYBOUND bound{};
  bound.cElements = static_cast<ULONG>(bytes.size());
  bound.lLbound = 1;
  SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
  if (array == nullptr) return;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    return;
  }
  if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  value_.vt = VT_ARRAY | VT_UI1;
  value_.parray = array;
}

void Variant::Copy(const Variant& source) {
  if (this == &source) return;
  Clear();
  if (FAILED(VariantCopy(&value_, SourceOf(source.value_)))) Clear();
}

void Variant::Clear() {
  VariantClear(&value_);
  value_.vt = VT_EMPTY;
}

Text Variant::GetText() const {
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, SourceOf(value_), 0, VT_BSTR))) return {};
  Text result = text.vt == VT_BSTR ? BstrToText(text.bstrVal) : Text();
  VariantClear(&text);
  return result;
}

VARIANT* Variant::Receive() {
  Clear();
  return &value_;
}

VARIANT Variant::Release() {
  const VARIANT out = value_;
  VariantInit(&value_);
  return out;
}

Variant OmittedArgument() {
  Variant omitted;
  VARIANT* value = omitted.Receive();
  value->vt = VT_ERROR;
  value->scode = DISP_E_PARAMNOTFOUND;
  return omitted;
}

bool IsOmittedArgument(const VARIANT& value) {
  return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

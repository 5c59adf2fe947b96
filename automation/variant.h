// One OLE VARIANT, owned: copying is deleted, moving hands the value on, and
// destruction clears it.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string_view>

#include "text/text.h"

class Variant {
 public:
  // The 32-bit integer 0 (VT_I4).
  Variant();
  // A BSTR of the text (code page CP_ACP).
  explicit Variant(std::string_view text);
  explicit Variant(const Bytes& bytes);
  explicit Variant(std::int32_t number);
  explicit Variant(bool flag);
  explicit Variant(double number);
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  // The old value is released first. A text becomes a BSTR; bytes become a
  // one-dimensional SAFEARRAY of VT_UI1 with lower bound 1. When the new
  // value cannot be made the Variant is left VT_EMPTY.
  void Assign(std::string_view text);
  void Assign(const Bytes& bytes);
  // VariantCopy of the source's value; VT_EMPTY when that fails.
  void Copy(const Variant& source);
  // VariantClear, then VT_EMPTY.
  void Clear();
  // The value changed to a BSTR (VariantChangeType, no flags) as Text, cut at
  // its first NUL. Example: VARIANT_TRUE gives "-1". Empty when not convertible.
  [[nodiscard]] Text GetText() const;

  [[nodiscard]] const VARIANT& Get() const { return value_; }
  [[nodiscard]] VARTYPE Type() const { return value_.vt; }
  // Clears the value and hands out its address for a callee to fill.
  [[nodiscard]] VARIANT* Receive();
  // Hands the value over to the caller, who must VariantClear it; this
  // Variant is left VT_EMPTY.
  [[nodiscard]] VARIANT Release();

 private:
  VARIANT value_;
};

// A trailing argument of this value is not passed; elsewhere it travels as
// the standard "parameter not given" marker (VT_ERROR, DISP_E_PARAMNOTFOUND).
[[nodiscard]] Variant OmittedArgument();
[[nodiscard]] bool IsOmittedArgument(const VARIANT& value);

// VariantCopy and VariantChangeType only read their source, but some headers
// declare it without const.
[[nodiscard]] inline VARIANTARG* SourceOf(const VARIANT& value) { return const_cast<VARIANTARG*>(&value); }

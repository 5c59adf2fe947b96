// Late-bound access by member name to OLE Automation objects.
//
// A ComObject holds at most one counted reference to an object. Its member
// operations find the member by name in the object's type information and
// call IDispatch::Invoke. Nothing throws and nothing is shown: a failed
// operation yields the empty value of its kind (empty Text, 0, an empty
// ComObject, a VT_EMPTY Variant), and SetProperty and Create return false.
//
// Arguments of any count follow the member name, in the member's order:
// Text (any string type), 32-bit integers (VT_I4), bool (VT_BOOL), double
// (VT_R8), Bytes (a VT_UI1 array with lower bound 1), a Variant (a copy of its
// value), a ComObject, or a std::optional of one of these, where nullopt
// means "not given" and is not passed at all when it trails.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

#include "automation/variant.h"
#include "text/text.h"

class ComObject;

namespace automation_detail {

// Reads try a property getter, then a method; writes a property setter, a
// by-reference setter, then a method; calls a method, then a property getter.
enum class MemberAccess { Read, Write, Call };

// Finds `name` on the object and invokes it with `arguments` in calling order
// (for Write the last one is the value). The result goes to `result` when it
// is not null. Records the outcome for the thread and returns it.
HRESULT InvokeMember(IUnknown* object, std::string_view name, MemberAccess access,
                     std::span<Variant> arguments, Variant* result);

// Result conversions; each records a failed conversion as the outcome.
[[nodiscard]] Text TextResult(HRESULT invoked, const Variant& result);
[[nodiscard]] double NumberResult(HRESULT invoked, const Variant& result);
[[nodiscard]] ComObject ObjectResult(HRESULT invoked, const Variant& result);

[[nodiscard]] Variant ObjectArgument(const ComObject& object);

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};
template <class T>
inline constexpr bool kUnsupportedArgument = false;

template <class T>
[[nodiscard]] Variant ToArgument(const T& value) {
  if constexpr (IsOptional<T>::value) {
    return value.has_value() ? ToArgument(*value) : OmittedArgument();
  } else if constexpr (std::is_same_v<T, bool>) {
    return Variant(value);
  } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    static_assert(sizeof(T) < 4 || (sizeof(T) == 4 && std::is_signed_v<T>) || std::is_enum_v<T>,
                  "integers cross as VT_I4: pass a 32-bit signed value");
    return Variant(static_cast<std::int32_t>(value));
  } else if constexpr (std::is_floating_point_v<T>) {
    return Variant(static_cast<double>(value));
  } else if constexpr (std::is_same_v<T, Bytes>) {
    return Variant(value);
  } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
    return Variant(std::string_view(value));
  } else if constexpr (std::is_same_v<T, Variant>) {
    Variant copy;
    copy.Copy(value);
    return copy;
  } else if constexpr (std::is_same_v<T, ComObject>) {
    return ObjectArgument(value);
  } else {
    static_assert(kUnsupportedArgument<T>, "this kind of value cannot be passed to an automation member");
  }
}

template <class... Args>
[[nodiscard]] std::array<Variant, sizeof...(Args)> ToArguments(const Args&... args) {
  return {ToArgument(args)...};
}

}  // namespace automation_detail

class ComObject {
 public:
  ComObject() = default;
  // Takes over a reference the caller holds; null gives an empty ComObject.
  [[nodiscard]] static ComObject Adopt(IUnknown* object);
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  ComObject(ComObject&&) noexcept = default;
  ComObject& operator=(ComObject&&) noexcept = default;
  ~ComObject() = default;

  // Makes an object from a ProgID (not case-sensitive) or a braced CLSID.
  // On success the new object replaces, and releases, the previous one; on
  // failure the previous object stays.
  bool Create(std::string_view progIdOrClsid);
  // This object then shares the source's object (one more reference).
  void Copy(const ComObject& source);
  void Clear();
  [[nodiscard]] bool IsEmpty() const { return object_ == nullptr; }
  [[nodiscard]] IUnknown* Get() const { return object_.get(); }

  // Writes a property: index arguments first, the value last.
  template <class... Args>
  bool SetProperty(std::string_view name, const Args&... indexesThenValue) const {
    static_assert(sizeof...(Args) >= 1, "a property write needs a value");
    auto arguments = automation_detail::ToArguments(indexesThenValue...);
    automation_detail::InvokeMember(Get(), name, automation_detail::MemberAccess::Write, arguments,
                                    nullptr);
    return LastSucceeded();
  }

  template <class... Args>
  [[nodiscard]] Text GetTextProperty(std::string_view name, const Args&... indexes) const {
    Variant result;
    return automation_detail::TextResult(Invoke(name, automation_detail::MemberAccess::Read, result, indexes...),
                                         result);
  }
  template <class... Args>
  [[nodiscard]] double GetNumberProperty(std::string_view name, const Args&... indexes) const {
    Variant result;
    return automation_detail::NumberResult(
        Invoke(name, automation_detail::MemberAccess::Read, result, indexes...), result);
  }
  template <class... Args>
  [[nodiscard]] ComObject GetObjectProperty(std::string_view name, const Args&... indexes) const;
  template <class... Args>
  [[nodiscard]] Variant GetProperty(std::string_view name, const Args&... indexes) const {
    Variant result;
    if (FAILED(Invoke(name, automation_detail::MemberAccess::Read, result, indexes...))) result.Clear();
    return result;
  }

  // Calls a method and releases its result.
  template <class... Args>
  void Call(std::string_view name, const Args&... args) const {
    Variant result;
    Invoke(name, automation_detail::MemberAccess::Call, result, args...);
  }
  template <class... Args>
  [[nodiscard]] Text CallText(std::string_view name, const Args&... args) const {
    Variant result;
    return automation_detail::TextResult(Invoke(name, automation_detail::MemberAccess::Call, result, args...),
                                         result);
  }
  template <class... Args>
  [[nodiscard]] ComObject CallObject(std::string_view name, const Args&... args) const;

 private:
  struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
  };

  template <class... Args>
  HRESULT Invoke(std::string_view name, automation_detail::MemberAccess access, Variant& result,
                 const Args&... args) const {
    auto arguments = automation_detail::ToArguments(args...);
    const HRESULT invoked = automation_detail::InvokeMember(Get(), name, access, arguments, &result);
    if (FAILED(invoked)) result.Clear();
    return invoked;
  }
  [[nodiscard]] static bool LastSucceeded();

  std::unique_ptr<IUnknown, Releaser> object_;
};

template <class... Args>
ComObject ComObject::GetObjectProperty(std::string_view name, const Args&... indexes) const {
  Variant result;
  return automation_detail::ObjectResult(Invoke(name, automation_detail::MemberAccess::Read, result, indexes...),
                                         result);
}

template <class... Args>
ComObject ComObject::CallObject(std::string_view name, const Args&... args) const {
  Variant result;
  return automation_detail::ObjectResult(Invoke(name, automation_detail::MemberAccess::Call, result, args...),
                                         result);
}

// The late-bound call: the member is found by name in the object's type
// information, its parameters are read from its description, and
// IDispatch::Invoke runs it.
#include <memory>
#include <optional>
#include <vector>

#include "automation/boundary.h"
#include "automation/com_object.h"
#include "automation/outcome.h"

namespace {

using automation_detail::MemberAccess;

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface>
using ComPtr = std::unique_ptr<Interface, Releaser>;

struct TypeAttrReleaser {
  ITypeInfo* info;
  void operator()(TYPEATTR* attr) const { info->ReleaseTypeAttr(attr); }
};
struct FuncDescReleaser {
  ITypeInfo* info;
  void operator()(FUNCDESC* desc) const { info->ReleaseFuncDesc(desc); }
};
struct VarDescReleaser {
  ITypeInfo* info;
  void operator()(VARDESC* desc) const { info->ReleaseVarDesc(desc); }
};

// Deep enough for any real interface chain; guards against a cyclic library.
constexpr int kMaxBaseDepth = 8;

struct ParameterShape {
  bool byReference = false;
  // For a by-reference parameter, the type the value is coerced to;
  // VT_EMPTY when the bridge cannot make such a value.
  VARTYPE target = VT_EMPTY;
};

struct MemberShape {
  INVOKEKIND kind = INVOKE_FUNC;
  std::vector<ParameterShape> parameters;
  bool variableCount = false;
};

ComPtr<ITypeInfo> ReferencedInfo(ITypeInfo* info, HREFTYPE reference) {
  ITypeInfo* referenced = nullptr;
  if (FAILED(info->GetRefTypeInfo(reference, &referenced))) return nullptr;
  return ComPtr<ITypeInfo>(referenced);
}

// The VARIANT type of a value of the described type; VT_EMPTY when there is none.
VARTYPE VariantTypeOf(ITypeInfo* info, const TYPEDESC& desc, int depth = 0) {
  if (depth > kMaxBaseDepth) return VT_EMPTY;
  switch (desc.vt) {
    case VT_USERDEFINED: {
      const ComPtr<ITypeInfo> user = ReferencedInfo(info, desc.hreftype);
      if (!user) return VT_EMPTY;
      TYPEATTR* raw = nullptr;
      if (FAILED(user->GetTypeAttr(&raw)) || raw == nullptr) return VT_EMPTY;
      const std::unique_ptr<TYPEATTR, TypeAttrReleaser> attr(raw, TypeAttrReleaser{user.get()});
      switch (attr->typekind) {
        case TKIND_ENUM: return VT_I4;
        case TKIND_ALIAS: return VariantTypeOf(user.get(), attr->tdescAlias, depth + 1);
        case TKIND_DISPATCH: return VT_DISPATCH;
        case TKIND_INTERFACE:
        case TKIND_COCLASS: return VT_UNKNOWN;
        default: return VT_EMPTY;
      }
    }
    case VT_SAFEARRAY: {
      if (desc.lptdesc == nullptr) return VT_EMPTY;
      const VARTYPE element = VariantTypeOf(info, *desc.lptdesc, depth + 1);
      return element == VT_EMPTY ? static_cast<VARTYPE>(VT_EMPTY) : static_cast<VARTYPE>(VT_ARRAY | element);
    }
    case VT_PTR:
    case VT_CARRAY:
    case VT_VOID:
    case VT_HRESULT:
    case VT_LPSTR:
    case VT_LPWSTR:
      return VT_EMPTY;
    case VT_INT: return VT_I4;
    case VT_UINT: return VT_UI4;
    default: return desc.vt;
  }
}

ParameterShape ShapeOf(ITypeInfo* info, const TYPEDESC& desc) {
  if (desc.vt != VT_PTR || desc.lptdesc == nullptr) return {};
  // A pointer to an interface is how an object goes by value.
  const VARTYPE pointee = VariantTypeOf(info, *desc.lptdesc);
  if (desc.lptdesc->vt == VT_USERDEFINED && (pointee == VT_DISPATCH || pointee == VT_UNKNOWN)) return {};
  return ParameterShape{true, pointee};
}

MemberShape FunctionShape(ITypeInfo* info, const FUNCDESC& desc) {
  MemberShape shape;
  shape.kind = desc.invkind;
  shape.variableCount = desc.cParamsOpt == -1;
  for (SHORT i = 0; i < desc.cParams; ++i) {
    const ELEMDESC& param = desc.lprgelemdescParam[i];
    // The return value and locale slots of a plain interface are not arguments.
    if ((param.paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)) != 0) continue;
    shape.parameters.push_back(ShapeOf(info, param.tdesc));
  }
  return shape;
}

std::optional<MemberShape> FindMember(ITypeInfo* info, MEMBERID id, INVOKEKIND kind, int depth = 0) {
  if (depth > kMaxBaseDepth) return std::nullopt;
  TYPEATTR* raw = nullptr;
  if (FAILED(info->GetTypeAttr(&raw)) || raw == nullptr) return std::nullopt;
  const std::unique_ptr<TYPEATTR, TypeAttrReleaser> attr(raw, TypeAttrReleaser{info});

  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* rawDesc = nullptr;
    if (FAILED(info->GetFuncDesc(i, &rawDesc)) || rawDesc == nullptr) continue;
    const std::unique_ptr<FUNCDESC, FuncDescReleaser> desc(rawDesc, FuncDescReleaser{info});
    if (desc->memid == id && desc->invkind == kind) return FunctionShape(info, *desc);
  }
  // Properties of a dispinterface declared as plain variables.
  if (kind == INVOKE_PROPERTYGET || kind == INVOKE_PROPERTYPUT) {
    for (UINT i = 0; i < attr->cVars; ++i) {
      VARDESC* rawDesc = nullptr;
      if (FAILED(info->GetVarDesc(i, &rawDesc)) || rawDesc == nullptr) continue;
      const std::unique_ptr<VARDESC, VarDescReleaser> desc(rawDesc, VarDescReleaser{info});
      if (desc->memid != id || desc->varkind != VAR_DISPATCH) continue;
      if (kind == INVOKE_PROPERTYGET) return MemberShape{kind, {}, false};
      if ((desc->wVarFlags & VARFLAG_FREADONLY) == 0) return MemberShape{kind, {ParameterShape{}}, false};
    }
  }
  for (UINT i = 0; i < attr->cImplTypes; ++i) {
    HREFTYPE reference = 0;
    if (FAILED(info->GetRefTypeOfImplType(i, &reference))) continue;
    const ComPtr<ITypeInfo> base = ReferencedInfo(info, reference);
    if (!base) continue;
    if (auto shape = FindMember(base.get(), id, kind, depth + 1)) return shape;
  }
  return std::nullopt;
}

std::vector<INVOKEKIND> KindsFor(MemberAccess access) {
  switch (access) {
    case MemberAccess::Read: return {INVOKE_PROPERTYGET, INVOKE_FUNC};
    case MemberAccess::Write: return {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
    case MemberAccess::Call: return {INVOKE_FUNC, INVOKE_PROPERTYGET};
  }
  return {};
}

WORD DispatchFlags(INVOKEKIND kind) {
  switch (kind) {
    case INVOKE_PROPERTYGET: return DISPATCH_PROPERTYGET;
    case INVOKE_PROPERTYPUT: return DISPATCH_PROPERTYPUT;
    case INVOKE_PROPERTYPUTREF: return DISPATCH_PROPERTYPUTREF;
    default: return DISPATCH_METHOD;
  }
}

// Fills `slot` with the argument passed for one parameter: a plain copy of
// the value's VARIANT for a by-value parameter (Invoke coerces those), or a
// reference to a coerced value held in `coerced`.
HRESULT PrepareArgument(const Variant& argument, const ParameterShape& shape, Variant& coerced,
                        VARIANT& slot) {
  if (!shape.byReference || IsOmittedArgument(argument.Get())) {
    slot = argument.Get();  // borrowed: Invoke does not free its in-arguments
    return S_OK;
  }
  if (shape.target == VT_EMPTY) return DISP_E_TYPEMISMATCH;
  VARIANT* value = coerced.Receive();
  if (shape.target == VT_VARIANT) {
    const HRESULT copied = VariantCopy(value, SourceOf(argument.Get()));
    if (FAILED(copied)) return copied;
    slot.vt = VT_BYREF | VT_VARIANT;
    slot.pvarVal = value;
    return S_OK;
  }
  const HRESULT changed = VariantChangeType(value, SourceOf(argument.Get()), 0, shape.target);
  if (FAILED(changed)) return changed;
  slot.vt = static_cast<VARTYPE>(VT_BYREF | shape.target);
  // Every member of the value union starts at the same address; a DECIMAL
  // fills the whole VARIANT.
  slot.byref = shape.target == VT_DECIMAL ? static_cast<void*>(&value->decVal) : static_cast<void*>(&value->lVal);
  return S_OK;
}

void FreeExceptionInfo(EXCEPINFO& info) {
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
}

// The arguments of one Invoke, last first as Invoke takes them, and the
// coerced values that by-reference arguments point to.
struct PreparedCall {
  std::vector<VARIANT> slots;
  std::vector<Variant> coerced;
  bool namedValue = false;
};

// `parameters` is null when the member's description is unknown: then every
// argument goes by value and Invoke alone judges the count.
HRESULT Prepare(INVOKEKIND kind, const MemberShape* shape, MemberAccess access, std::span<Variant> arguments,
                PreparedCall& call) {
  // A property write passes its value as the named argument; everything
  // else goes by position.
  call.namedValue = kind == INVOKE_PROPERTYPUT || kind == INVOKE_PROPERTYPUTREF;
  if (call.namedValue && access != MemberAccess::Write) return DISP_E_MEMBERNOTFOUND;
  if (access == MemberAccess::Write && (arguments.empty() || IsOmittedArgument(arguments.back().Get()))) {
    return DISP_E_PARAMNOTOPTIONAL;
  }
  std::span<Variant> positional = call.namedValue ? arguments.first(arguments.size() - 1) : arguments;
  // Omitted arguments at the end are not passed at all.
  while (!positional.empty() && IsOmittedArgument(positional.back().Get())) {
    positional = positional.first(positional.size() - 1);
  }

  static const std::vector<ParameterShape> kUnknown;
  const std::vector<ParameterShape>& parameters = shape != nullptr ? shape->parameters : kUnknown;
  if (shape != nullptr && !shape->variableCount) {
    const size_t declared = parameters.size() - (call.namedValue && !parameters.empty() ? 1 : 0);
    if (positional.size() > declared) return DISP_E_BADPARAMCOUNT;
  }

  const size_t count = positional.size() + (call.namedValue ? 1 : 0);
  call.slots.assign(count, VARIANT{});
  call.coerced = std::vector<Variant>(count);
  for (size_t i = 0; i < positional.size(); ++i) {
    const ParameterShape parameter = i < parameters.size() ? parameters[i] : ParameterShape{};
    const HRESULT hr = PrepareArgument(positional[i], parameter, call.coerced[i], call.slots[count - 1 - i]);
    if (FAILED(hr)) return hr;
  }
  if (call.namedValue) {
    const ParameterShape parameter = parameters.empty() ? ParameterShape{} : parameters.back();
    return PrepareArgument(arguments.back(), parameter, call.coerced[count - 1], call.slots[0]);
  }
  return S_OK;
}

HRESULT Run(IDispatch* dispatch, DISPID id, INVOKEKIND kind, PreparedCall& call, Variant* result) {
  DISPID namedId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = call.slots.empty() ? nullptr : call.slots.data();
  params.cArgs = static_cast<UINT>(call.slots.size());
  params.rgdispidNamedArgs = call.namedValue ? &namedId : nullptr;
  params.cNamedArgs = call.namedValue ? 1 : 0;

  Variant discarded;
  VARIANT* out = call.namedValue ? nullptr : (result != nullptr ? result : &discarded)->Receive();
  EXCEPINFO exception{};
  UINT argumentError = 0;
  const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DispatchFlags(kind), &params, out,
                                      &exception, &argumentError);
  FreeExceptionInfo(exception);
  return hr;
}

// An object that offers no type information of its own (Wine's match
// collections, for one) may still know its members by name: each access
// kind is tried in turn until the object accepts one.
HRESULT InvokeUndescribed(IDispatch* dispatch, LPOLESTR name, MemberAccess access, std::span<Variant> arguments,
                          Variant* result) {
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  for (INVOKEKIND kind : KindsFor(access)) {
    PreparedCall call;
    hr = Prepare(kind, nullptr, access, arguments, call);
    if (SUCCEEDED(hr)) hr = Run(dispatch, id, kind, call, result);
    if (hr != DISP_E_MEMBERNOTFOUND) return hr;
  }
  return hr;
}

HRESULT Invoke(IUnknown* object, std::string_view name, MemberAccess access, std::span<Variant> arguments,
               Variant* result) {
  if (object == nullptr) return E_POINTER;
  IDispatch* rawDispatch = nullptr;
  HRESULT hr = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&rawDispatch));
  if (FAILED(hr) || rawDispatch == nullptr) return FAILED(hr) ? hr : E_NOINTERFACE;
  const ComPtr<IDispatch> dispatch(rawDispatch);

  std::wstring wideName = TextToWide(name);
  if (wideName.empty()) return DISP_E_UNKNOWNNAME;
  LPOLESTR names[] = {wideName.data()};

  ITypeInfo* rawInfo = nullptr;
  hr = dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &rawInfo);
  if (FAILED(hr) || rawInfo == nullptr) return InvokeUndescribed(dispatch.get(), names[0], access, arguments, result);
  const ComPtr<ITypeInfo> info(rawInfo);

  MEMBERID id = MEMBERID_NIL;
  hr = info->GetIDsOfNames(names, 1, &id);
  if (FAILED(hr)) return hr;
  for (INVOKEKIND kind : KindsFor(access)) {
    const std::optional<MemberShape> shape = FindMember(info.get(), id, kind);
    if (!shape) continue;
    PreparedCall call;
    hr = Prepare(kind, &*shape, access, arguments, call);
    return SUCCEEDED(hr) ? Run(dispatch.get(), id, kind, call, result) : hr;
  }
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace

namespace automation_detail {

HRESULT InvokeMember(IUnknown* object, std::string_view name, MemberAccess access, std::span<Variant> arguments,
                     Variant* result) {
  const HRESULT hr = Invoke(object, name, access, arguments, result);
  RecordAutomationOutcome(hr);
  return hr;
}

Text TextResult(HRESULT invoked, const Variant& result) {
  if (FAILED(invoked)) return {};
  VARIANT text;
  VariantInit(&text);
  const HRESULT changed = VariantChangeType(&text, SourceOf(result.Get()), 0, VT_BSTR);
  if (FAILED(changed) || text.vt != VT_BSTR) {
    RecordAutomationOutcome(FAILED(changed) ? changed : DISP_E_TYPEMISMATCH);
    VariantClear(&text);
    return {};
  }
  Text converted = BstrToText(text.bstrVal);
  VariantClear(&text);
  return converted;
}

double NumberResult(HRESULT invoked, const Variant& result) {
  if (FAILED(invoked)) return 0;
  VARIANT number;
  VariantInit(&number);
  const HRESULT changed = VariantChangeType(&number, SourceOf(result.Get()), 0, VT_R8);
  if (FAILED(changed) || number.vt != VT_R8) {
    RecordAutomationOutcome(FAILED(changed) ? changed : DISP_E_TYPEMISMATCH);
    VariantClear(&number);
    return 0;
  }
  return number.dblVal;
}

ComObject ObjectResult(HRESULT invoked, const Variant& result) {
  if (FAILED(invoked)) return {};
  const VARIANT& value = result.Get();
  IUnknown* object = nullptr;
  if (value.vt == VT_DISPATCH) object = value.pdispVal;
  if (value.vt == VT_UNKNOWN) object = value.punkVal;
  if (object == nullptr) {
    RecordAutomationOutcome(DISP_E_TYPEMISMATCH);
    return {};
  }
  object->AddRef();
  return ComObject::Adopt(object);
}

Variant ObjectArgument(const ComObject& object) {
  Variant argument;
  VARIANT* value = argument.Receive();
  IDispatch* dispatch = nullptr;
  if (object.Get() != nullptr &&
      SUCCEEDED(object.Get()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) &&
      dispatch != nullptr) {
    value->vt = VT_DISPATCH;
    value->pdispVal = dispatch;
  } else if (object.Get() != nullptr) {
    object.Get()->AddRef();
    value->vt = VT_UNKNOWN;
    value->punkVal = object.Get();
  } else {
    value->vt = VT_DISPATCH;  // an empty object passes as "Nothing"
    value->pdispVal = nullptr;
  }
  return argument;
}

}  // namespace automation_detail

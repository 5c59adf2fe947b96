#include "automation/com_object.h"

#include "automation/boundary.h"
#include "automation/outcome.h"

namespace {

HRESULT CreateObject(std::string_view progIdOrClsid, IUnknown** object) {
  const std::wstring name = TextToWide(progIdOrClsid);
  CLSID clsid{};
  HRESULT result = !progIdOrClsid.empty() && progIdOrClsid.front() == '{'
                       ? CLSIDFromString(name.c_str(), &clsid)
                       : CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(result)) return result;
  result = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(object));
  // Some systems refuse the remote-server bit outright; ask again without it.
  if (result == E_INVALIDARG) {
    result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, reinterpret_cast<void**>(object));
  }
  if (FAILED(result)) return result;
  if (*object == nullptr) return E_POINTER;
  result = OleRun(*object);
  if (FAILED(result)) {
    (*object)->Release();
    *object = nullptr;
  }
  return result;
}

}  // namespace

ComObject ComObject::Adopt(IUnknown* object) {
  ComObject adopted;
  adopted.object_.reset(object);
  return adopted;
}

bool ComObject::Create(std::string_view progIdOrClsid) {
  IUnknown* object = nullptr;
  const HRESULT result = CreateObject(progIdOrClsid, &object);
  RecordAutomationOutcome(result);
  if (FAILED(result)) return false;
  object_.reset(object);
  return true;
}

void ComObject::Copy(const ComObject& source) {
  IUnknown* shared = source.Get();
  if (shared != nullptr) shared->AddRef();  // before the reset: the source may be this object
  object_.reset(shared);
}

void ComObject::Clear() { object_.reset(); }

bool ComObject::LastSucceeded() { return LastAutomationOutcome().succeeded; }

#include "SimDispatch.h"

#include <oleauto.h>

#include <string>

#include "../SimHost.h"
#include "ObjectLifetime.h"
#include "SimClass.h"
#include "sim/core/SimError.h"
#include "win32/Boundary.h"
#include "win32/Owned.h"
#include "win32/Utf.h"

namespace zsim::win32 {
namespace {

using focura::win32::Narrow;
using focura::win32::Widen;

// Null when the text cannot be made (out of memory); never throws, as it also reports failures.
BSTR ToBstr(const std::string& utf8) noexcept {
  try {
    const std::wstring wide = Widen(utf8);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

SimDispatch::SimDispatch(SimHost& host, ObjectLifetime& lifetime)
    : host_(host), lifetime_(lifetime) {
  lifetime_.Lock();
}

SimDispatch::~SimDispatch() {
  lifetime_.Unlock();
}

HRESULT STDMETHODCALLTYPE SimDispatch::QueryInterface(REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr)
    return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE SimDispatch::AddRef() noexcept {
  return ++refs_;
}

// COM's own release of this object, not a release of one we hold.
ULONG STDMETHODCALLTYPE SimDispatch::Release() noexcept {
  const ULONG left = --refs_;
  if (left == 0)
    delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE SimDispatch::GetTypeInfoCount(UINT* count) noexcept {
  if (count == nullptr)
    return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SimDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info != nullptr)
    *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE SimDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                                     DISPID* ids) noexcept {
  if (names == nullptr || ids == nullptr)
    return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    // Late binding matches names without regard to case.
    if (i == 0 && names[i] != nullptr &&
        CompareStringOrdinal(names[i], -1, L"Exec", -1, TRUE) == CSTR_EQUAL) {
      ids[i] = kExecDispId;
    } else {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE SimDispatch::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                              UINT* argErr) noexcept {
  if (!IsEqualIID(riid, IID_NULL))
    return DISP_E_UNKNOWNINTERFACE;
  if (id != kExecDispId)
    return DISP_E_MEMBERNOTFOUND;
  if ((flags & DISPATCH_METHOD) == 0)
    return DISP_E_MEMBERNOTFOUND;
  if (params == nullptr || params->cArgs != 1)
    return DISP_E_BADPARAMCOUNT;
  if (params->cNamedArgs != 0)
    return DISP_E_NONAMEDARGS;
  return focura::win32::Guarded([&] { return Exec(params, result, argErr); },
                                [excep](const std::string& message) {
                                  if (excep != nullptr) {
                                    *excep = EXCEPINFO{};
                                    excep->scode = E_FAIL;
                                    excep->bstrSource = SysAllocString(kSimProgId);
                                    excep->bstrDescription = ToBstr(message);
                                  }
                                  return DISP_E_EXCEPTION;
                                });
}

HRESULT SimDispatch::Exec(DISPPARAMS* params, VARIANT* result, UINT* argErr) {
  focura::win32::UniqueVariant arg;
  // A caller may pass the text by reference or as another type that reads as text.
  if (FAILED(VariantChangeType(arg.get(), &params->rgvarg[0], 0, VT_BSTR))) {
    if (argErr != nullptr)
      *argErr = 0;
    return DISP_E_TYPEMISMATCH;
  }
  const std::string command =
      arg->bstrVal == nullptr ? std::string()
                              : Narrow(std::wstring_view(arg->bstrVal, SysStringLen(arg->bstrVal)));

  std::string reply;
  try {
    reply = host_.Exec(command);
  } catch (const SimBusy&) {
    return RPC_E_SERVERCALL_RETRYLATER;
  }
  if (result != nullptr) {
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal = ToBstr(reply);
    if (result->bstrVal == nullptr)
      return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace zsim::win32

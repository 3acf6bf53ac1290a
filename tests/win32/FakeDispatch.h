#pragma once
// An automation object in this process with one method, Exec, whose behaviour a test scripts.

#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

namespace focura::win32::testing {

class FakeDispatch : public IDispatch {
 public:
  static constexpr DISPID kExecId = 7;

  // Fills `result` (and `excep` for DISP_E_EXCEPTION) and returns the HRESULT of the call.
  using Behaviour =
      std::function<HRESULT(const std::wstring& command, VARIANT* result, EXCEPINFO* excep)>;
  Behaviour behaviour;
  std::vector<std::wstring> commands;
  bool hasExec = true;
  ULONG refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!hasExec || count != 1 || lstrcmpiW(names[0], L"Exec") != 0) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = kExecId;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT*) override {
    if (id != kExecId)
      return DISP_E_MEMBERNOTFOUND;
    if ((flags & DISPATCH_METHOD) == 0)
      return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr || params->cArgs != 1)
      return DISP_E_BADPARAMCOUNT;
    if (params->rgvarg[0].vt != VT_BSTR)
      return DISP_E_TYPEMISMATCH;
    const BSTR arg = params->rgvarg[0].bstrVal;
    std::wstring command(arg, SysStringLen(arg));
    commands.push_back(command);
    if (!behaviour)
      return S_OK;
    return behaviour(command, result, excep);
  }
};

inline HRESULT ReplyText(VARIANT* result, const wchar_t* text) {
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocString(text);
  return S_OK;
}

}  // namespace focura::win32::testing

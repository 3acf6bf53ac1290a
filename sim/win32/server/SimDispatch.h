#pragma once
// The automation object: IDispatch with the one method "Exec" (a string in, a string out). It
// lives in the multithreaded apartment; the simulator behind it is shared by every object of the
// process and guarded by the host's lock.

#include <windows.h>

#include <oaidl.h>

#include <atomic>

namespace zsim::win32 {

class SimHost;
class ObjectLifetime;

class SimDispatch final : public IDispatch {
 public:
  SimDispatch(SimHost& host, ObjectLifetime& lifetime);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                   UINT* argErr) noexcept override;

 private:
  // Invoke's work; what it throws becomes DISP_E_EXCEPTION at the boundary.
  HRESULT Exec(DISPPARAMS* params, VARIANT* result, UINT* argErr);

  ~SimDispatch();

  std::atomic<ULONG> refs_{1};
  SimHost& host_;
  ObjectLifetime& lifetime_;
};

}  // namespace zsim::win32

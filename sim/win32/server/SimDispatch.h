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

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                   UINT* argErr) override;

 private:
  ~SimDispatch();

  std::atomic<ULONG> refs_{1};
  SimHost& host_;
  ObjectLifetime& lifetime_;
};

}  // namespace zsim::win32

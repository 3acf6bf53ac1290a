#pragma once
// Makes automation objects for COM; one factory per process, registered for many clients.

#include <windows.h>

#include <unknwn.h>

namespace zsim::win32 {

class SimHost;
class ServerLifetime;

class ClassFactory final : public IClassFactory {
 public:
  ClassFactory(SimHost& host, ServerLifetime& lifetime) : host_(host), lifetime_(lifetime) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override;
  // The factory lives as long as the process's main function; COM's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                           void** ppv) noexcept override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

 private:
  SimHost& host_;
  ServerLifetime& lifetime_;
};

}  // namespace zsim::win32

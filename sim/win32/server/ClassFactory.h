#pragma once
// Makes automation objects for COM: one factory per process (or per loaded DLL), for many clients.

#include <windows.h>

#include <unknwn.h>

namespace zsim::win32 {

class SimHost;
class ObjectLifetime;

class ClassFactory final : public IClassFactory {
 public:
  ClassFactory(SimHost& host, ObjectLifetime& lifetime) : host_(host), lifetime_(lifetime) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  // The factory outlives every client (the local server's main function, or the DLL while it is
  // loaded); COM's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  SimHost& host_;
  ObjectLifetime& lifetime_;
};

}  // namespace zsim::win32

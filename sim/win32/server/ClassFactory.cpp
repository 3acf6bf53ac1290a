#include "ClassFactory.h"

#include <new>

#include "ObjectLifetime.h"
#include "SimDispatch.h"

namespace zsim::win32 {

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  auto* object = new (std::nothrow) SimDispatch(host_, lifetime_);
  if (object == nullptr)
    return E_OUTOFMEMORY;
  const HRESULT hr = object->QueryInterface(riid, ppv);
  object->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
  if (lock)
    lifetime_.Lock();
  else
    lifetime_.Unlock();
  return S_OK;
}

}  // namespace zsim::win32

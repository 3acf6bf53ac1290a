#include "ClassFactory.h"

#include <new>

#include "ObjectLifetime.h"
#include "SimDispatch.h"
#include "win32/Owned.h"

namespace zsim::win32 {

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr)
    return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID riid,
                                                       void** ppv) noexcept {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  const auto object = focura::win32::AdoptCom(new (std::nothrow) SimDispatch(host_, lifetime_));
  if (object == nullptr)
    return E_OUTOFMEMORY;
  return object->QueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) noexcept {
  if (lock)
    lifetime_.Lock();
  else
    lifetime_.Unlock();
  return S_OK;
}

}  // namespace zsim::win32

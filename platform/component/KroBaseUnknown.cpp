#include "KroBaseUnknown.h"

#include <atomic>
#include <cstdlib>

#include "KroDispatch.h"
#include "KroMetaClass.h"
#include "KroVar.h"

namespace {
long g_liveObjects = 0;
}

KroBaseUnknown::KroBaseUnknown() { ++g_liveObjects; }

KroBaseUnknown::~KroBaseUnknown() { --g_liveObjects; }

long KroBaseUnknown::LiveObjects() { return g_liveObjects; }

void* KroBaseUnknown::operator new(std::size_t size) { return ::operator new(size); }

void* KroBaseUnknown::operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return ::operator new(size, std::nothrow);
}

void KroBaseUnknown::operator delete(void* p) noexcept { ::operator delete(p); }

void KroBaseUnknown::operator delete(void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }

HRESULT KroBaseUnknown::QueryInterface(const IID& iid, void** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  // An extension answers for the object it extends, so that reaching that object is one query away.
  if (m_extended) return m_extended->QueryInterface(iid, out);
  if (iid == IID_KroBaseUnknown) {
    AddRef();
    *out = this;
    return S_OK;
  }
  return E_NOINTERFACE;
}

HRESULT KroBaseUnknown::GetTypeInfoCount(unsigned int* count) {
  if (!count) return E_INVALIDARG;
  *count = 0;
  return S_OK;
}

HRESULT KroBaseUnknown::GetTypeInfo(unsigned int, unsigned long, void** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

// A component without dispatch methods of its own is dispatched through the interface the caller names
// (riid): its table, called on the interface this component answers for it.
HRESULT KroBaseUnknown::GetIDsOfNames(const IID& riid, const char** names, unsigned int count, unsigned long,
                                      long* dispIds) {
  if (count && (!names || !dispIds)) return E_INVALIDARG;
  if (const KroDispatchTable* table = KroFindDispatchTable(riid)) return table->GetIDsOfNames(names, count, dispIds);
  for (unsigned int i = 0; i < count; ++i) dispIds[i] = -1;
  return count ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT KroBaseUnknown::Invoke(long dispId, const IID& riid, unsigned long, unsigned short,
                               const KroDispParams* params, KroVariant* result, KroExcepInfo* exception,
                               unsigned int* argErr) {
  const KroDispatchTable* table = KroFindDispatchTable(riid);
  KroToBaseFn toBase = KroFindInterfaceToBase(riid);
  if (!table || !toBase) return DISP_E_UNKNOWNINTERFACE;
  void* self = nullptr;
  if (FAILED(QueryInterface(riid, &self)) || !self) return E_NOINTERFACE;
  HRESULT hr = table->Invoke(self, dispId, params, result, exception, argErr);
  toBase(self)->Release();
  return hr;
}

KroMetaClass* KroBaseUnknown::MetaObject() {
  static KroMetaClass* meta =
      fct_RetrieveMetaObject("KroBaseUnknown", KroTypeOfClass_Component, nullptr, "", "", sizeof(KroBaseUnknown));
  return meta;
}

KroMetaClass* KroBaseUnknown::GetMetaObject() const { return MetaObject(); }

const char* KroBaseUnknown::IsA() const { return GetMetaObject()->ClassName(); }

int KroBaseUnknown::IsAKindOf(const char* className) const { return GetMetaObject()->IsAKindOf(className); }

KroBaseUnknown* KroBaseUnknown::GetImpl() const { return m_extended; }

void KroBaseUnknown::SetImpl(KroBaseUnknown* extended) { m_extended = extended; }

int KroBaseUnknown::IsNull() const { return 0; }

int KroBaseUnknown::IsEqual(KroBaseUnknown* other) {
  if (!other) return 0;
  KroBaseUnknown_var a = this;
  KroBaseUnknown_var b = other;
  return a.ptr() == b.ptr() ? 1 : 0;
}

KroBaseUnknown* KroBaseUnknown::QueryInterface(const char* interfaceName) {
  const IID* iid = KroFindInterfaceId(interfaceName);
  if (!iid) return nullptr;
  KroToBaseFn toBase = KroFindInterfaceToBase(*iid);
  void* out = nullptr;
  if (!toBase || FAILED(QueryInterface(*iid, &out)) || !out) return nullptr;
  return toBase(out);
}

HRESULT KroBaseUnknown::ChangeComponentState(int state) {
  m_state = state;
  return S_OK;
}

void ThrowErrorNullVar(const char* interfaceName) {
  throw KroNullVarError(std::string("null handle dereferenced: ") + (interfaceName ? interfaceName : "?") + "_var");
}

// The component model's tie services. A tie presents one implementation object, bound to one spec
// object (the "second" object), through one interface; its methods forward to the implementation.
#pragma once

#include "KroExport.h"

#include "KroExtensionHost.h"
#include "KroMetaClass.h"

// Returns the existing tie of this interface on the second object, or null.
KRO_PLATFORM_API KroBaseUnknown* Tie_Link(KroBaseUnknown* implementation, KroBaseUnknown* second, const IID& iid);
// Binds a new tie: finds or creates (through createItself) the implementation object on the second
// object, stores it in *implField, records the tie on the second object (*link) and takes a reference
// on the second object. Returns the per-class context word.
KRO_PLATFORM_API void* Tie_Construct(KroBaseUnknown* tie, KroMetaClass* tieMeta, KroBaseUnknown** implField, int flags,
                    KroBaseUnknown* implementation, const CLSID& implClassId, int implTypeOfClass, void* ptstat,
                    KroCreateItselfFn createItself, KroBaseUnknown* second, void** link);
// Drops the tie's reference on the second object.
KRO_PLATFORM_API void Tie_Destruct(KroBaseUnknown* tie, KroBaseUnknown** implField, int typeOfClass, long count);
KRO_PLATFORM_API HRESULT Tie_Query(KroBaseUnknown* tie, KroBaseUnknown* implementation, void* link, KroMetaClass* tieMeta,
                  int flags, const IID& iid, void** out);
KRO_PLATFORM_API ULONG Tie_AddRef(KroBaseUnknown* implementation, int typeOfClass, long* count);
// When the count reaches zero, unlinks the tie and sets *deleteFlag: the tie then deletes itself.
KRO_PLATFORM_API ULONG Tie_Release(int* deleteFlag, KroBaseUnknown** implField, void* link, int typeOfClass, long* count);

// The dispatch services of a tie, served by its interface's dispatch table (see KroDispatch.h). The type
// information is a KroTypeInfo owned by the platform; self is the tie as its interface.
KRO_PLATFORM_API HRESULT Tie_GetTypeInfoCount(KroMetaClass* tieMeta, unsigned int* count);
KRO_PLATFORM_API HRESULT Tie_GetTypeInfo(KroMetaClass* tieMeta, unsigned int index, unsigned long locale, void** info);
KRO_PLATFORM_API HRESULT Tie_GetIDsOfNames(KroMetaClass* tieMeta, const char** names, unsigned int count, long* dispIds);
KRO_PLATFORM_API HRESULT Tie_Invoke(KroMetaClass* tieMeta, void* self, long dispId, const KroDispParams* params,
                                    KroVariant* result, KroExcepInfo* exception, unsigned int* argErr);

// Opens a call context: Run records the implementation as the one being called on this thread and
// returns it; the destructor restores what was there before.
class KRO_PLATFORM_API Tie_StackCtx {
 public:
  Tie_StackCtx() = default;
  ~Tie_StackCtx();
  Tie_StackCtx(const Tie_StackCtx&) = delete;
  Tie_StackCtx& operator=(const Tie_StackCtx&) = delete;
  static KroBaseUnknown* Run(Tie_StackCtx& context, void* ptstat, KroBaseUnknown* implementation);
  // The implementation object currently being called through a tie on this thread, or null.
  static KroBaseUnknown* Current();

 private:
  KroBaseUnknown* m_saved = nullptr;
  bool m_open = false;
};

#include "KroDocumentScripting.h"

#include "KroDocument.h"

KRO_STATIC_DISPATCH_DEFINE(KroDocumentScripting, KroDocumentScripting_METHODS)

namespace {

// A script reports a failure itself, from LastError, and only the failure of the call it just made.
struct ScriptCall {
  ScriptCall() : wasQuiet(KroDocumentServices::SetQuiet(true)) { KroDocumentServices::ClearLastError(); }
  ~ScriptCall() { KroDocumentServices::SetQuiet(wasQuiet); }
  bool wasQuiet;
};

}  // namespace

HRESULT KroDocumentScripting::Open(const KroUnicodeString& path, KroIContainer_var& container,
                                   KroListValKroISpecObject_var& roots) {
  ScriptCall call;
  container = nullptr;
  roots.RemoveAll();
  KroDocument* document = nullptr;
  HRESULT hr = KroDocumentServices::Open(path.ConvertToChar(), document, 0);
  if (FAILED(hr) || !document) return FAILED(hr) ? hr : E_FAIL;
  container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
  document->GetRoots(roots);
  KroDocumentServices::Close(document);
  return S_OK;
}

HRESULT KroDocumentScripting::Save(const KroListValKroISpecObject_var& roots, const KroUnicodeString& path) {
  ScriptCall call;
  return KroDocumentServices::Save(roots, path.ConvertToChar());
}

HRESULT KroDocumentScripting::SaveContainer(const KroIContainer_var& container, const KroUnicodeString& path) {
  ScriptCall call;
  return KroDocumentServices::Save(container, path.ConvertToChar());
}

HRESULT KroDocumentScripting::LastError(KroUnicodeString& message) {
  message = KroDocumentServices::LastError();
  return S_OK;
}

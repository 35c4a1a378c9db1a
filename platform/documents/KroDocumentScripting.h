// Documents for scripting clients: the document services as a class of statics with a dispatch list,
// reached through KroCreateStaticDispatch("KroDocumentScripting"). Paths are text and an opened
// document hands over its container and roots at once, since a document itself is no component.
#pragma once

#include "KroExport.h"

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

#define KroDocumentScripting_METHODS(M)                                                                \
  M(HRESULT, Open, ,                                                                                   \
    ((const KroUnicodeString&, path), (KroIContainer_var&, container), (KroListValKroISpecObject_var&, roots))) \
  M(HRESULT, Save, , ((const KroListValKroISpecObject_var&, roots), (const KroUnicodeString&, path)))   \
  M(HRESULT, SaveContainer, , ((const KroIContainer_var&, container), (const KroUnicodeString&, path))) \
  M(HRESULT, LastError, , ((KroUnicodeString&, message)))

class KroDocumentScripting {
 public:
  // Open reads the file and closes the document at once: the container and the roots stay valid for
  // as long as the caller holds them. Result codes are those of KroDocumentServices; after a failure
  // LastError gives the message that names the file (and line), which these calls do not print. Each
  // call starts with LastError empty.
  KRO_STATIC_DISPATCH_METHODS(KroDocumentScripting, KroDocumentScripting_METHODS)
};

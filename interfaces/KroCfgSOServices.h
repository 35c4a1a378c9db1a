// Static attribute-access services: typed get, set, clear, test, add, remove and dump on a spec
// object's attributes, by attribute name or by attribute key, and a few entry points to the factory,
// the configuration manager and uuid binding.
#pragma once

#include "KroCfgSOExport.h"

#include "DMXSession.h"
#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"
#include "KroICfgSOUuidList.h"

class KRO_CFGSO_API KroCfgSOServices {
 public:
  KroCfgSOServices() = delete;

  // Setup and entry points.
  static HRESULT GetFactoryObject(const SEQUENCE_octet& uuid, KroIDmxFactoryObject_var& out);
  static HRESULT CreateSpecObject(const KroIContainer_var& container, KroISpecObject_var& out);
  static HRESULT GetContainer(KroIContainer_var& out);
  static HRESULT CreateUuidList(KroICfgSOUuidList_var& out);
  static KroICfgManager_var GetCfgManager();
  static HRESULT AddAttribute(KroISpecObject_var& so, const KroUnicodeString& name, TCKind kind,
                              KroISpecAttribute_var& out);
  static HRESULT AddAttribute(KroISpecObject_var& so, const KroUnicodeString& name, TCKind kind, TCKind secondKind,
                              KroISpecAttribute_var& out);
  static HRESULT AddAttribute(KroISpecObject_var& so, const KroUnicodeString& name, TCKind kind,
                              const KroUnicodeString& text, KroISpecAttribute_var& out);
  static HRESULT Instanciate(const KroISpecObject_var& startup, KroISpecObject_var& out, const KroUnicodeString& name,
                             const KroIContainer_var& container);
  static HRESULT GetAttrAccessAndKey(const KroISpecObject_var& so, const KroUnicodeString& name,
                                     KroISpecAttrAccess_var& access, KroISpecAttrKey_var& key);
  static HRESULT TestAttribute(const KroISpecObject_var& so, const KroUnicodeString& name, boolean& out);
  static HRESULT ClearAttribute(KroISpecObject_var& so, const KroUnicodeString& name);
  static HRESULT ClearSpecObject(KroISpecObject_var& so);
  static HRESULT RemoveAttribute(KroISpecObject_var& so, const KroUnicodeString& name);
  static HRESULT Dump(const KroISpecObject_var& so);

  // Typed accessors by name.
  static HRESULT SetBooleanValue(KroISpecObject_var& so, const KroUnicodeString& name, boolean value);
  static HRESULT SetIntegerValue(KroISpecObject_var& so, const KroUnicodeString& name, int value);
  static HRESULT SetDoubleValue(KroISpecObject_var& so, const KroUnicodeString& name, double value);
  static HRESULT SetStringValue(KroISpecObject_var& so, const KroUnicodeString& name, const KroUnicodeString& value);
  static HRESULT SetByteArrayValue(KroISpecObject_var& so, const KroUnicodeString& name, const SEQUENCE_octet& value);
  static HRESULT SetSOValue(KroISpecObject_var& so, const KroUnicodeString& name, const KroISpecObject_var& value);
  static HRESULT SetListIntegerValue(KroISpecObject_var& so, const KroUnicodeString& name, const KroRawCollint& value);
  static HRESULT SetListDoubleValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                    const KroRawColldouble& value);
  static HRESULT SetListStringValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                    const KroListValKroUnicodeString& value);
  static HRESULT SetListSOValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                const KroListValKroISpecObject_var& value);
  static HRESULT GetBooleanValue(const KroISpecObject_var& so, const KroUnicodeString& name, boolean& out);
  static HRESULT GetIntegerValue(const KroISpecObject_var& so, const KroUnicodeString& name, int& out);
  static HRESULT GetDoubleValue(const KroISpecObject_var& so, const KroUnicodeString& name, double& out);
  static HRESULT GetStringValue(const KroISpecObject_var& so, const KroUnicodeString& name, KroUnicodeString& out);
  static HRESULT GetSOValue(const KroISpecObject_var& so, const KroUnicodeString& name, KroISpecObject_var& out);
  static HRESULT GetByteArrayValue(const KroISpecObject_var& so, const KroUnicodeString& name, SEQUENCE_octet& out);
  static HRESULT GetListIntegerValue(const KroISpecObject_var& so, const KroUnicodeString& name, KroRawCollint& out);
  static HRESULT GetListDoubleValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                    KroRawColldouble& out);
  static HRESULT GetListStringValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                    KroListValKroUnicodeString& out);
  static HRESULT GetListSOValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                KroListValKroISpecObject_var& out);

  // Typed accessors by key (a key obtained once with GetAttrAccessAndKey).
  static HRESULT SetBooleanValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, boolean value);
  static HRESULT SetIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, int value);
  static HRESULT SetStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, const KroUnicodeString& value);
  static HRESULT SetByteArrayValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, const SEQUENCE_octet& value);
  static HRESULT SetSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, const KroISpecObject_var& value);
  static HRESULT SetListIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                     const KroRawCollint& value);
  static HRESULT SetListStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                    const KroListValKroUnicodeString& value);
  static HRESULT SetListSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                const KroListValKroISpecObject_var& value);
  static HRESULT GetBooleanValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, boolean& out);
  static HRESULT GetIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, int& out);
  static HRESULT GetStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, KroUnicodeString& out);
  static HRESULT GetSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, KroISpecObject_var& out);
  static HRESULT GetByteArrayValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, SEQUENCE_octet& out);
  static HRESULT GetListIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, KroRawCollint& out);
  static HRESULT GetListStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                    KroListValKroUnicodeString& out);
  static HRESULT GetListSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                KroListValKroISpecObject_var& out);
};

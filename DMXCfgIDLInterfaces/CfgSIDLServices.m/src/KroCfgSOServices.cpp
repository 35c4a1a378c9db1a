#include "KroCfgSOServices.h"

#include <memory>
#include <utility>

#include "KroCfgSOFactory.h"
#include "KroCfgSOFramework.h"
#include "KroCfgUuid.h"
#include "KroPlatformServices.h"

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgIDLInterfaces");
KRO_LIBRARY_STATIC(KroICfgManager_var, s_cfgManager);  // _CfgManager: null until the first GetCfgManager

KroDmxTrace& Trace() { return s_trace.get(); }

bool HasNul(const KroUnicodeString& name) { return name.view().find('\0') != std::string::npos; }

const char* const kNoAccessByQuery = "QueryInterface KroISpecObject => KroIAttrAccess failed.";

// The by-name pattern: find access and key, run the modeler operation, trace the result.
template <class Op>
HRESULT ByName(const char* step, const KroISpecObject_var& so, const KroUnicodeString& name, Op&& op) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep traceStep(trace, step);
  KroISpecAttrAccess_var access;
  KroISpecAttrKey_var key;
  if (FAILED(KroCfgSOServices::GetAttrAccessAndKey(so, name, access, key))) {
    KRO_TRACE_LINE(trace, "Unable to access the attribute " << name);
    return KroTraceReturns(trace, E_FAIL);
  }
  HRESULT hr = op(access, key.ptr());
  return KroTraceReturns(trace, hr);
}

// The by-key pattern: the access comes from the spec object, the key from the caller.
template <class Op>
HRESULT ByKey(const char* step, const KroISpecObject_var& so, Op&& op) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep traceStep(trace, step);
  KroISpecAttrAccess_var access = so.ptr();
  if (!access) {
    KRO_TRACE_LINE(trace, "Unable to access the attribute.");
    return KroTraceReturns(trace, E_FAIL);
  }
  HRESULT hr = op(access);
  return KroTraceReturns(trace, hr);
}

// Appends the content of a container the modeler handed over, then deletes it.
template <class List>
void AppendAndDelete(List& out, List* fetched) {
  std::unique_ptr<List> owned(fetched);
  if (owned) out.Append(*owned);
}

HRESULT AppendSpecObjects(KroListValKroISpecObject_var& out, KroListValKroBaseUnknown_var* fetched) {
  std::unique_ptr<KroListValKroBaseUnknown_var> owned(fetched);
  if (!owned) {
    KRO_TRACE_LINE(Trace(), "Unable to get a list of SpecObject.");
    return E_FAIL;
  }
  out.Reserve(out.Size() + owned->Size());
  for (int i = 1; i <= owned->Size(); ++i) out.Append(KroISpecObject_var((*owned)[i]));
  return S_OK;
}

void StoreSpecObjects(const KroISpecAttrAccess_var& access, KroISpecAttrKey* key,
                      const KroListValKroISpecObject_var& value) {
  access->UnsetAttribute(key);
  for (int i = 1; i <= value.Size(); ++i) access->SetSpecObject(key, value[i], 0, 0, 0);
}

template <class Result>
HRESULT Added(Result* made, KroVar<Result>& out, const char* failure) {
  KroDmxTrace& trace = Trace();
  if (!made) {
    KRO_TRACE_LINE(trace, failure);
    return KroTraceReturns(trace, E_FAIL);
  }
  out = KroVar<Result>::Adopt(made);
  return KroTraceReturns(trace, S_OK);
}

}  // namespace

// ---- setup and entry points -------------------------------------------------------------------------

HRESULT KroCfgSOServices::GetFactoryObject(const SEQUENCE_octet& uuid, KroIDmxFactoryObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::GetFactoryObject");
  KroILinkableObject_var bound;
  HRESULT hr = KroCfgUuid(uuid).bindObject(bound);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Failed to bind the uuid.");
    return KroTraceReturns(trace, hr);
  }
  out = bound;
  if (!out) {
    KRO_TRACE_LINE(trace, "oFactObj == NULL");
    hr = E_FAIL;
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOServices::CreateSpecObject(const KroIContainer_var& /*container*/, KroISpecObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::CreateSpecObject");
  out = nullptr;
  HRESULT hr = KroCfgSOFactory::createSpecObject(out);
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOServices::GetContainer(KroIContainer_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::GetContainer");
  out = nullptr;
  HRESULT hr = KroCfgSOFactory::getContainer(out);
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOServices::CreateUuidList(KroICfgSOUuidList_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::CreateUuidList");
  out = nullptr;
  HRESULT hr = KroCfgSOFactory::createUuidList(out);
  return KroTraceReturns(trace, hr);
}

KroICfgManager_var KroCfgSOServices::GetCfgManager() {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::GetCfgManager");
  KroICfgManager_var& manager = s_cfgManager.get();
  if (!manager) {
    KRO_TRACE_LINE(trace, "First time the method is called => initialization of the static member.");
    DMXSession* session = DMXSession::OpenSession();
    if (!session)
      KroFatalError("AssertionFailed:Session", 0, 0, 0, "DMXCfgIDLInterfaces/CfgSIDLServices.m/src/KroCfgSOServices",
                    125);
    KroIDmxFactoryManager_var factory;
    session->GetDMXObjectFactory(factory);
    manager = factory;
  }
  return manager;
}

HRESULT KroCfgSOServices::AddAttribute(KroISpecObject_var& so, const KroUnicodeString& name, TCKind kind,
                                       KroISpecAttribute_var& out) {
  KroDmxTraceStep step(Trace(), "KroCfgSOServices::AddAttribute");
  return Added(so->AddAttribute(name, kind, 0), out, "Unable to add an attribute to the SpecObject.");
}

HRESULT KroCfgSOServices::AddAttribute(KroISpecObject_var& so, const KroUnicodeString& name, TCKind kind,
                                       TCKind secondKind, KroISpecAttribute_var& out) {
  KroDmxTraceStep step(Trace(), "KroCfgSOServices::AddAttribute");
  return Added(so->AddAttribute(name, kind, secondKind, 0), out, "Unable to add an attribute to the SpecObject.");
}

HRESULT KroCfgSOServices::AddAttribute(KroISpecObject_var& so, const KroUnicodeString& name, TCKind kind,
                                       const KroUnicodeString& text, KroISpecAttribute_var& out) {
  KroDmxTraceStep step(Trace(), "KroCfgSOServices::AddAttribute");
  return Added(so->AddAttribute(name, kind, text, 0), out, "Unable to add an attribute to the SpecObject.");
}

HRESULT KroCfgSOServices::Instanciate(const KroISpecObject_var& startup, KroISpecObject_var& out,
                                      const KroUnicodeString& name, const KroIContainer_var& container) {
  KroDmxTraceStep step(Trace(), "KroCfgSOServices::Instanciate");
  return Added(startup->Instanciate(name, container, 0), out, "Unable to instanciate a SpecObject.");
}

HRESULT KroCfgSOServices::GetAttrAccessAndKey(const KroISpecObject_var& so, const KroUnicodeString& name,
                                              KroISpecAttrAccess_var& access, KroISpecAttrKey_var& key) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::GetAttrAccessAndKey");
  if (!so) ThrowErrorNullVar(KroISpecObject::InterfaceName());
  KroISpecAttrAccess_var queried = so.ptr();
  if (!queried) {
    KRO_TRACE_LINE(trace, kNoAccessByQuery);
    return KroTraceReturns(trace, E_FAIL);
  }
  access = std::move(queried);
  // By the platform string, not its C string: a name with a NUL byte then finds no attribute, rather
  // than the one its text up to the NUL names.
  KroISpecAttrKey* found = access->GetAttrKey(name);
  if (!found) {
    KRO_TRACE_LINE(trace, "Unable to retrieve attribute key for: " << name);
    return KroTraceReturns(trace, E_FAIL);
  }
  key = KroISpecAttrKey_var::Adopt(found);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOServices::TestAttribute(const KroISpecObject_var& so, const KroUnicodeString& name, boolean& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::TestAttribute");
  out = 0;
  KroISpecAttrAccess_var access = so.ptr();
  if (!access) {
    KRO_TRACE_LINE(trace, kNoAccessByQuery);
    return KroTraceReturns(trace, E_FAIL);
  }
  out = HasNul(name) ? 0 : access->TestAttribute(name.ConvertToChar());
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOServices::ClearAttribute(KroISpecObject_var& so, const KroUnicodeString& name) {
  return ByName("KroCfgSOServices::ClearAttribute", so, name, [](auto& access, KroISpecAttrKey* key) {
    access->UnsetAttribute(key);
    return S_OK;
  });
}

HRESULT KroCfgSOServices::ClearSpecObject(KroISpecObject_var& so) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::ClearSpecObject");
  std::unique_ptr<KroListValKroISpecAttribute_var> attributes(so->ListAttributes());
  if (!attributes) {
    KRO_TRACE_LINE(trace, "No attibutes.");
    return KroTraceReturns(trace, S_FALSE);
  }
  for (int i = 1; i <= attributes->Size(); ++i) so->RemoveAttribute((*attributes)[i]);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOServices::RemoveAttribute(KroISpecObject_var& so, const KroUnicodeString& name) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::RemoveAttribute");
  KroISpecAttribute_var attribute = KroISpecAttribute_var::Adopt(so->GetAttribute(name));
  if (!attribute) {
    KRO_TRACE_LINE(trace, "No attibute named " << name.ConvertToChar());
    return KroTraceReturns(trace, S_FALSE);
  }
  so->RemoveAttribute(attribute);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOServices::Dump(const KroISpecObject_var& so) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOServices::Dump");
  KroISpecAttrAccess_var access = so.ptr();
  if (!access) {
    KRO_TRACE_LINE(trace, kNoAccessByQuery);
    return E_FAIL;
  }
  if (!trace.IsActive()) return S_OK;  // the table is only ever written to the trace
  KroListValKroISpecAttrKey_var keys;
  access->ListAttrKeys(keys);
  trace << "Nombre attributs : " << keys.Size() << KroDmxTrace_nl;
  for (int i = 1; i <= keys.Size(); ++i)
    trace << "Attribut " << i << " : Nom = " << keys[i]->GetName() << " Type = " << keys[i]->GetType()
          << KroDmxTrace_nl;
  return S_OK;
}

// ---- by name ----------------------------------------------------------------------------------------

HRESULT KroCfgSOServices::SetBooleanValue(KroISpecObject_var& so, const KroUnicodeString& name, boolean value) {
  return ByName("KroCfgSOServices::SetBooleanValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetBoolean(k, value, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetIntegerValue(KroISpecObject_var& so, const KroUnicodeString& name, int value) {
  return ByName("KroCfgSOServices::SetIntergerValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetInteger(k, value, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetDoubleValue(KroISpecObject_var& so, const KroUnicodeString& name, double value) {
  return ByName("KroCfgSOServices::SetDoubleValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetDouble(k, value, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetStringValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                         const KroUnicodeString& value) {
  return ByName("KroCfgSOServices::SetStringValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetString(k, value, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetByteArrayValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                            const SEQUENCE_octet& value) {
  return ByName("KroCfgSOServices::SetByteArrayValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetOctets(k, value); return S_OK; });
}

HRESULT KroCfgSOServices::SetSOValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                     const KroISpecObject_var& value) {
  return ByName("KroCfgSOServices::SetSOValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetSpecObject(k, value, 0, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetListIntegerValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                              const KroRawCollint& value) {
  return ByName("KroCfgSOServices::SetListIntergerValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetListInteger(k, value); return S_OK; });
}

HRESULT KroCfgSOServices::SetListDoubleValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                             const KroRawColldouble& value) {
  return ByName("KroCfgSOServices::SetListDoubleValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetListDouble(k, value); return S_OK; });
}

HRESULT KroCfgSOServices::SetListStringValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                             const KroListValKroUnicodeString& value) {
  return ByName("KroCfgSOServices::SetListStringValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { a->SetListString(k, value); return S_OK; });
}

HRESULT KroCfgSOServices::SetListSOValue(KroISpecObject_var& so, const KroUnicodeString& name,
                                         const KroListValKroISpecObject_var& value) {
  return ByName("KroCfgSOServices::SetListSOValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { StoreSpecObjects(a, k, value); return S_OK; });
}

HRESULT KroCfgSOServices::GetBooleanValue(const KroISpecObject_var& so, const KroUnicodeString& name, boolean& out) {
  return ByName("KroCfgSOServices::GetBooleanValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { out = a->GetBoolean(k, 0); return S_OK; });
}

HRESULT KroCfgSOServices::GetIntegerValue(const KroISpecObject_var& so, const KroUnicodeString& name, int& out) {
  return ByName("KroCfgSOServices::GetIntegerValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { out = a->GetInteger(k, 0); return S_OK; });
}

HRESULT KroCfgSOServices::GetDoubleValue(const KroISpecObject_var& so, const KroUnicodeString& name, double& out) {
  return ByName("KroCfgSOServices::GetDoubleValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { out = a->GetDouble(k, 0); return S_OK; });
}

HRESULT KroCfgSOServices::GetStringValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                         KroUnicodeString& out) {
  return ByName("KroCfgSOServices::GetStringValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { out = a->GetString(k, 0); return S_OK; });
}

HRESULT KroCfgSOServices::GetSOValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                     KroISpecObject_var& out) {
  return ByName("KroCfgSOServices::GetSOValue", so, name, [&](auto& a, KroISpecAttrKey* k) {
    out = KroISpecObject_var::Adopt(a->GetSpecObject(k, 0));
    return S_OK;
  });
}

HRESULT KroCfgSOServices::GetByteArrayValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                            SEQUENCE_octet& out) {
  out.length(0);
  return ByName("KroCfgSOServices::GetByteArrayValue", so, name, [&](auto& a, KroISpecAttrKey* k) {
    std::unique_ptr<SEQUENCE_octet> octets(a->GetOctets(k));
    if (octets) out = *octets;
    return S_OK;
  });
}

HRESULT KroCfgSOServices::GetListIntegerValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                              KroRawCollint& out) {
  out.RemoveAll();
  return ByName("KroCfgSOServices::GetListIntegerValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { AppendAndDelete(out, a->GetListInteger(k)); return S_OK; });
}

HRESULT KroCfgSOServices::GetListDoubleValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                             KroRawColldouble& out) {
  out.RemoveAll();
  return ByName("KroCfgSOServices::GetListDoubleValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { AppendAndDelete(out, a->GetListDouble(k)); return S_OK; });
}

HRESULT KroCfgSOServices::GetListStringValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                             KroListValKroUnicodeString& out) {
  out.RemoveAll();
  return ByName("KroCfgSOServices::GetListStringValue", so, name,
                [&](auto& a, KroISpecAttrKey* k) { AppendAndDelete(out, a->GetListString(k)); return S_OK; });
}

HRESULT KroCfgSOServices::GetListSOValue(const KroISpecObject_var& so, const KroUnicodeString& name,
                                         KroListValKroISpecObject_var& out) {
  out.RemoveAll();
  return ByName("KroCfgSOServices::GetListSOValue", so, name, [&](auto& a, KroISpecAttrKey* k) {
    return AppendSpecObjects(out, a->GetListSpecObject(k, IID_KroISpecObject));
  });
}

// ---- by key -----------------------------------------------------------------------------------------

HRESULT KroCfgSOServices::SetBooleanValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, boolean value) {
  return ByKey("KroCfgSOServices::SetBooleanValue", so, [&](auto& a) { a->SetBoolean(key, value, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, int value) {
  return ByKey("KroCfgSOServices::SetIntergerValue", so, [&](auto& a) { a->SetInteger(key, value, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                         const KroUnicodeString& value) {
  return ByKey("KroCfgSOServices::SetStringValue", so, [&](auto& a) { a->SetString(key, value, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetByteArrayValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                            const SEQUENCE_octet& value) {
  return ByKey("KroCfgSOServices::SetByteArrayValue", so, [&](auto& a) { a->SetOctets(key, value); return S_OK; });
}

HRESULT KroCfgSOServices::SetSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                     const KroISpecObject_var& value) {
  return ByKey("KroCfgSOServices::SetSOValue", so, [&](auto& a) { a->SetSpecObject(key, value, 0, 0); return S_OK; });
}

HRESULT KroCfgSOServices::SetListIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                              const KroRawCollint& value) {
  return ByKey("KroCfgSOServices::SetListIntergerValue", so,
               [&](auto& a) { a->SetListInteger(key, value); return S_OK; });
}

HRESULT KroCfgSOServices::SetListStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                             const KroListValKroUnicodeString& value) {
  return ByKey("KroCfgSOServices::SetListStringValue", so, [&](auto& a) { a->SetListString(key, value); return S_OK; });
}

HRESULT KroCfgSOServices::SetListSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                         const KroListValKroISpecObject_var& value) {
  return ByKey("KroCfgSOServices::SetListSOValue", so, [&](auto& a) { StoreSpecObjects(a, key, value); return S_OK; });
}

HRESULT KroCfgSOServices::GetBooleanValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, boolean& out) {
  return ByKey("KroCfgSOServices::GetBooleanValue", so, [&](auto& a) { out = a->GetBoolean(key, 0); return S_OK; });
}

HRESULT KroCfgSOServices::GetIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, int& out) {
  return ByKey("KroCfgSOServices::GetIntegerValue", so, [&](auto& a) { out = a->GetInteger(key, 0); return S_OK; });
}

HRESULT KroCfgSOServices::GetStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                         KroUnicodeString& out) {
  return ByKey("KroCfgSOServices::GetStringValue", so, [&](auto& a) { out = a->GetString(key, 0); return S_OK; });
}

HRESULT KroCfgSOServices::GetSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key, KroISpecObject_var& out) {
  return ByKey("KroCfgSOServices::GetSOValue", so, [&](auto& a) {
    out = KroISpecObject_var::Adopt(a->GetSpecObject(key, 0));
    return S_OK;
  });
}

HRESULT KroCfgSOServices::GetByteArrayValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                            SEQUENCE_octet& out) {
  return ByKey("KroCfgSOServices::GetByteArrayValue", so, [&](auto& a) {
    std::unique_ptr<SEQUENCE_octet> octets(a->GetOctets(key));
    if (octets) out = *octets;
    return S_OK;
  });
}

HRESULT KroCfgSOServices::GetListIntegerValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                              KroRawCollint& out) {
  return ByKey("KroCfgSOServices::GetListIntegerValue", so,
               [&](auto& a) { AppendAndDelete(out, a->GetListInteger(key)); return S_OK; });
}

HRESULT KroCfgSOServices::GetListStringValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                             KroListValKroUnicodeString& out) {
  out.RemoveAll();
  return ByKey("KroCfgSOServices::GetListStringValue", so,
               [&](auto& a) { AppendAndDelete(out, a->GetListString(key)); return S_OK; });
}

HRESULT KroCfgSOServices::GetListSOValue(KroISpecObject_var& so, const KroISpecAttrKey_var& key,
                                         KroListValKroISpecObject_var& out) {
  return ByKey("KroCfgSOServices::GetListSOValue", so,
               [&](auto& a) { return AppendSpecObjects(out, a->GetListSpecObject(key, IID_KroISpecObject)); });
}

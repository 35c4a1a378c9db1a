#include "KroCfgSOModification.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOModificationKroCfgSOModification.h"

KRO_DISPATCH_DEFINE(KroICfgSOModification, KroICfgSOModification_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOModification, KroBaseUnknown, "CfgSOModification", KroCfgSOFramework::Name);

KRO_LIBRARY_STATIC(KroISpecAttrKey_var, KroCfgSOModification::m_sp_ModName_Key);
KRO_LIBRARY_STATIC(KroISpecAttrKey_var, KroCfgSOModification::m_sp_ModUid_Key);
KRO_LIBRARY_STATIC(KroISpecAttrKey_var, KroCfgSOModification::m_sp_ActName_Key);
KRO_LIBRARY_STATIC(KroISpecAttrKey_var, KroCfgSOModification::m_sp_EffStr_Key);
KRO_LIBRARY_STATIC(KroISpecAttrKey_var, KroCfgSOModification::m_sp_UnderAct_Key);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

KroDmxTrace& Trace() { return s_trace.get(); }

// This record's spec object, after the keys are set. The class-wide keys, taken from the first record
// used, are valid on every instance of the modification startup.
struct Record {
  explicit Record(KroCfgSOModification* self) : so(self) { KroCfgSOModification::initKeys(so); }
  KroISpecObject_var so;
};

// A string getter: the read, its failure message, and the "extracted" line even after a failure.
HRESULT ReadString(KroCfgSOModification* self, const char* step, const KroISpecAttrKey_var& shared,
                   const char* failure, const char* label, KroUnicodeString& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep traceStep(trace, step);
  Record record(self);
  out = KroUnicodeString();
  HRESULT hr = KroCfgSOServices::GetStringValue(record.so, shared, out);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, failure);
  KRO_TRACE_LINE(trace, label << out);
  return KroTraceReturns(trace, hr);
}

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOModification, KroICfgSOModification, TIEKroICfgSOModificationKroCfgSOModification);

void KroCfgSOModification::initKeys(const KroISpecObject_var& specObject) {
  KroDmxTraceStep step(Trace(), "KroCfgSOModification::initKeys");
  if (m_sp_ModName_Key.get()) return;
  KroISpecAttrAccess_var access = specObject;
  const KroUnicodeString* names[] = {&KroCfgSOStrings::MOD_NAME, &KroCfgSOStrings::MOD_UID,
                                     &KroCfgSOStrings::MOD_ACTION_NAME, &KroCfgSOStrings::MOD_EFF_STRING,
                                     &KroCfgSOStrings::MOD_UNDER_ACTION};
  KroLibraryStatic<KroISpecAttrKey_var>* keys[] = {&m_sp_ModName_Key, &m_sp_ModUid_Key, &m_sp_ActName_Key,
                                                   &m_sp_EffStr_Key, &m_sp_UnderAct_Key};
  // All five or none: a partly filled set would pass the test above and leave null keys behind.
  KroISpecAttrKey_var found[5];
  for (int i = 0; i < 5; ++i) {
    found[i] = KroISpecAttrKey_var::Adopt(access->GetAttrKey(names[i]->ConvertToChar()));
    if (!found[i]) ThrowErrorNullVar(KroISpecAttrKey::InterfaceName());
  }
  for (int i = 0; i < 5; ++i) keys[i]->get() = found[i];
}

void KroCfgSOModification::clear() {
  KroDmxTraceStep step(Trace(), "KroCfgSOModification::clear");
  KroISpecObject_var so = this;
  initKeys(so);
  KroISpecAttrAccess_var access = so;
  for (auto* shared : {&m_sp_ModName_Key, &m_sp_ModUid_Key, &m_sp_ActName_Key, &m_sp_EffStr_Key, &m_sp_UnderAct_Key})
    access->UnsetAttribute(shared->get());
}

HRESULT KroCfgSOModification::getName(KroUnicodeString& name) {
  return ReadString(this, "KroCfgSOModification::getName", m_sp_ModName_Key.get(),
                    "Unable to extract the Modification name.", "Modification name extracted: ", name);
}

HRESULT KroCfgSOModification::getActionName(KroUnicodeString& actionName) {
  return ReadString(this, "KroCfgSOModification::getActionName", m_sp_ActName_Key.get(),
                    "Unable to extract the Action name.", "Action name extracted: ", actionName);
}

HRESULT KroCfgSOModification::getEffectivityString(KroUnicodeString& effectivity) {
  return ReadString(this, "KroCfgSOModification::getEffectivityString", m_sp_EffStr_Key.get(),
                    "Unable to extract the effectivity string.", "Effectivity string extracted: ", effectivity);
}

HRESULT KroCfgSOModification::getUuid(KroCfgUuid& uuid) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOModification::getUuid");
  Record record(this);
  SEQUENCE_octet octets;
  uuid = octets;
  HRESULT hr = KroCfgSOServices::GetByteArrayValue(record.so, m_sp_ModUid_Key.get(), octets);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to extract the Modification uuid.");
  uuid = octets;
  KRO_TRACE_LINE(trace, "Modification uuid extracted: " << uuid);
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOModification::isUnderAction() {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOModification::isUnderAction");
  Record record(this);
  boolean flag = 0;
  HRESULT hr = KroCfgSOServices::GetBooleanValue(record.so, m_sp_UnderAct_Key.get(), flag);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable determine if the Modification is under an Action.");
    return KroTraceReturns(trace, hr);
  }
  return KroTraceReturns(trace, flag == 1 ? S_OK : S_FALSE);
}

HRESULT KroCfgSOModification::setModification(const KroICfgModification_var& modification) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOModification::setModification");
  clear();
  Record record(this);
  if (!modification) {
    KRO_TRACE_LINE(trace, "The Modification argument is null. Nothing to do and returning S_FALSE.");
    return KroTraceReturns(trace, S_FALSE);
  }
  // Stops at the first failure, keeping what was already written.
  auto failed = [&](HRESULT hr, const char* message) {
    if (FAILED(hr)) KRO_TRACE_LINE(trace, message);
    return FAILED(hr);
  };

  KroUnicodeString name;
  modification->getName(name);
  HRESULT hr = KroCfgSOServices::SetStringValue(record.so, m_sp_ModName_Key.get(), name);
  if (failed(hr, "Unable to set the name of the Modification into the SpecObject.")) return KroTraceReturns(trace, hr);

  SEQUENCE_octet octets;
  KroCfgUuid(KroILinkableObject_var(modification)).getUuid(octets);
  hr = KroCfgSOServices::SetByteArrayValue(record.so, m_sp_ModUid_Key.get(), octets);
  if (failed(hr, "Unable to set the uuid of the Modification into the SpecObject.")) return KroTraceReturns(trace, hr);

  KroUnicodeString first, second;
  hr = modification->getEffectivityString(first, second);
  if (failed(hr, "Unable to get the Modification effectivity string.")) return KroTraceReturns(trace, hr);
  second.Append(" (").Append(first).Append(")");
  hr = KroCfgSOServices::SetStringValue(record.so, m_sp_EffStr_Key.get(), second);
  if (failed(hr, "Unable to set the Modification effectivity string into the SpecObject.")) return KroTraceReturns(trace, hr);

  KroICfgGroupMod_var group;
  hr = modification->getGroupMod(group);
  if (failed(hr, "Unable to get the Modification GroupMod.")) return KroTraceReturns(trace, hr);
  KroISpecAttrKey_var underAction = m_sp_UnderAct_Key.get();
  if (!group) {
    hr = KroCfgSOServices::SetBooleanValue(record.so, underAction, 0);
    failed(hr, "Unable to set the UnderAction flag to FALSE.");
    return KroTraceReturns(trace, hr);
  }
  hr = KroCfgSOServices::SetBooleanValue(record.so, underAction, 1);
  if (failed(hr, "Unable to set the UnderAction flag to TRUE.")) return KroTraceReturns(trace, hr);

  KroListValQuorISubScribeGroupMod_var subscribers;
  hr = group->getSubscribers(subscribers);
  if (failed(hr, "Unable to get the GroupMod subscriber list.")) return KroTraceReturns(trace, hr);
  KroUnicodeString actionNames;
  for (const QuorISubScribeGroupMod_var& subscriber : subscribers) {
    if (!KroIDmxAFLAction_var(subscriber)) continue;
    QuorINamedObject_var named = subscriber;
    if (!named) continue;  // an action always has a name; nothing to append without one
    KroUnicodeString actionName;
    named->getName(actionName);
    actionNames.Append(actionName);
  }
  hr = KroCfgSOServices::SetStringValue(record.so, m_sp_ActName_Key.get(), actionNames);
  failed(hr, "Unable to set the Modification GroupMod name into the SpecObject.");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOModification::getModification(KroICfgModification_var& modification) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOModification::getModification");
  modification = nullptr;
  KroCfgSOModification::initKeys(KroISpecObject_var(this));
  KroCfgUuid uuid;
  HRESULT hr = getUuid(uuid);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the Modification Uuid.");
    return KroTraceReturns(trace, hr);
  }
  KroILinkableObject_var bound;
  hr = uuid.bindObject(bound);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to bind the Modification Uuid.");
    return KroTraceReturns(trace, hr);
  }
  modification = bound;  // null when the object is no modification; still the bind's success
  return KroTraceReturns(trace, hr);
}

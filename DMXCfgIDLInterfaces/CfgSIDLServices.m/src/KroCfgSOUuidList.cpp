#include "KroCfgSOUuidList.h"

#include <memory>

#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOUuidListKroCfgSOUuidList.h"

KRO_DISPATCH_DEFINE(KroICfgSOUuidList, KroICfgSOUuidList_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOUuidList, KroBaseUnknown, "CfgSOUuidList", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSOUuidList");

KroDmxTrace& Trace() { return s_trace.get(); }

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOUuidList, KroICfgSOUuidList, TIEKroICfgSOUuidListKroCfgSOUuidList);

// Lists still held by the container at unload die after the trace: trace only while it exists.
KroCfgSOUuidList::KroCfgSOUuidList() {
  if (s_trace_counter > 0) KroDmxTraceStep step(Trace(), "Constructor");
}

KroCfgSOUuidList::~KroCfgSOUuidList() {
  if (s_trace_counter > 0) KroDmxTraceStep step(Trace(), "Destructor");
}

void KroCfgSOUuidList::updateAttrKeyList() const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "updateAttrKeyList");
  if (m_upToDate) {
    KRO_TRACE_LINE(trace, "The attribute list is up-to-date. Nothing to do.");
  } else {
    KRO_TRACE_LINE(trace, "The attribute list is obsolete. Updating it.");
    m_keys.RemoveAll();
    KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
    if (access) {
      access->ListAttrKeys(m_keys);
      m_upToDate = 1;
    }
  }
  KRO_TRACE_LINE(trace, "Attribute count: " << m_keys.Size());
}

KroISpecAttrKey* KroCfgSOUuidList::keyAt(long position) const {
  updateAttrKeyList();
  return position >= 1 && position <= m_keys.Size() ? m_keys[static_cast<int>(position)].ptr() : nullptr;
}

int KroCfgSOUuidList::Size() const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "Size");
  updateAttrKeyList();
  int size = m_keys.Size();
  KRO_TRACE_RETURNS(trace, size);  // the count in place of a result code
  return size;
}

HRESULT KroCfgSOUuidList::Append(const SEQUENCE_octet& uuid) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "Append");
  updateAttrKeyList();
  KroUnicodeString name(KroCfgSOStrings::UID_ELT);
  name.AppendNum(m_keys.Size());
  KRO_TRACE_LINE(trace, "Adding the attribute: " << name);

  KroISpecObject_var so = this;
  KroISpecAttribute* added = so ? so->AddAttribute(name, tk_list, tk_octet, 0) : nullptr;
  if (!added) {
    KRO_TRACE_LINE(trace, "Unable to add the attribute: " << name);
    m_upToDate = 0;
    return KroTraceReturns(trace, E_FAIL);
  }
  added->Release();
  KroISpecAttrAccess_var access = so;
  KroISpecAttrKey_var key = access ? KroISpecAttrKey_var::Adopt(access->GetAttrKey(name.ConvertToChar())) : nullptr;
  if (!key) {
    KRO_TRACE_LINE(trace, "Unable to retrieve attribute key for: " << name);
    m_upToDate = 0;
    return KroTraceReturns(trace, E_FAIL);
  }
  // The cache gains the new key itself, so a run of appends never rebuilds it.
  m_keys.Append(key);
  access->SetOctets(key, uuid);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::ElementAt(long position, SEQUENCE_octet& uuid) const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "ElementAt");
  std::unique_ptr<SEQUENCE_octet> octets;
  if (KroISpecAttrKey* key = keyAt(position)) {
    KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
    if (access) octets.reset(access->GetOctets(key));
  }
  if (!octets) {
    KRO_TRACE_LINE(trace, "Unable to access the attribute #" << position);
    return KroTraceReturns(trace, E_FAIL);
  }
  uuid = *octets;
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::SetElementAt(long position, const SEQUENCE_octet& uuid) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "SetElementAt");
  KroISpecAttrKey* key = keyAt(position);
  if (!key) return KroTraceReturns(trace, E_FAIL);
  KroISpecAttrAccess_var access = this;
  if (access) access->SetOctets(key, uuid);  // what the write did is not reported
  return KroTraceReturns(trace, S_OK);
}

bool KroCfgSOUuidList::appendOne(KroISpecObject* so, KroISpecAttrAccess* access, const SEQUENCE_octet& uuid) {
  KroUnicodeString name(KroCfgSOStrings::UID_ELT);
  name.AppendNum(m_keys.Size());
  KroISpecAttribute_var added = KroISpecAttribute_var::Adopt(so->AddAttribute(name, tk_list, tk_octet, 0));
  // The new attribute is its own key: no lookup by name.
  KroISpecAttrKey_var key = added;
  if (!key) return false;
  m_keys.Append(key);
  access->SetOctets(key, uuid);
  return true;
}

HRESULT KroCfgSOUuidList::AppendAll(const KroList<SEQUENCE_octet>& uuids) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "AppendAll");
  updateAttrKeyList();
  KroISpecObject_var so = this;
  KroISpecAttrAccess_var access = so;
  if (!so || !access) return KroTraceReturns(trace, E_FAIL);
  for (const SEQUENCE_octet& uuid : uuids)
    if (!appendOne(so, access, uuid)) {
      KRO_TRACE_LINE(trace, "Unable to add the attribute #" << m_keys.Size() + 1);
      m_upToDate = 0;
      return KroTraceReturns(trace, E_FAIL);
    }
  KRO_TRACE_LINE(trace, "Appended: " << uuids.Size());
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::GetAll(KroList<SEQUENCE_octet>& uuids) const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "GetAll");
  uuids.RemoveAll();
  updateAttrKeyList();
  KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
  for (int i = 1; access && i <= m_keys.Size(); ++i) {
    std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(m_keys[i].ptr()));
    if (!octets) {
      KRO_TRACE_LINE(trace, "Unable to access the attribute #" << i);
      uuids.RemoveAll();
      return KroTraceReturns(trace, E_FAIL);
    }
    uuids.Append(std::move(*octets));
  }
  return KroTraceReturns(trace, access ? S_OK : E_FAIL);
}

void KroCfgSOUuidList::Empty() {
  KroDmxTraceStep step(Trace(), "Empty");
  KroISpecObject_var so = this;
  if (!so) return;
  std::unique_ptr<KroListValKroISpecAttribute_var> attributes(so->ListAttributes());
  if (attributes)
    for (int i = 1; i <= attributes->Size(); ++i) so->RemoveAttribute((*attributes)[i]);
  m_upToDate = 0;
  m_keys.RemoveAll();
}

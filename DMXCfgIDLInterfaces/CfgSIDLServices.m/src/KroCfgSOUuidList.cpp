#include "KroCfgSOUuidList.h"

#include <algorithm>
#include <cstring>
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

namespace {

constexpr std::size_t kUuidLength = 16;
// The prefix of run attributes; the names table keeps the wrappers' historical names only.
constexpr const char* kRunPrefix = "uidRun";

bool IsRun(KroISpecAttrKey* key) {
  return key->GetName().view().rfind(kRunPrefix, 0) == 0;
}

}  // namespace

void KroCfgSOUuidList::updateAttrKeyList() const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "updateAttrKeyList");
  if (m_upToDate) {
    KRO_TRACE_LINE(trace, "The attribute list is up-to-date. Nothing to do.");
  } else {
    KRO_TRACE_LINE(trace, "The attribute list is obsolete. Updating it.");
    m_keys.RemoveAll();
    m_elements.clear();
    KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
    if (access) {
      access->ListAttrKeys(m_keys);
      for (const KroISpecAttrKey_var& key : m_keys) {
        if (!IsRun(key.ptr())) {
          m_elements.push_back({key.ptr(), -1});
          continue;
        }
        // A run holds as many whole uuids as its octets do; an unset one holds none.
        std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key.ptr()));
        const std::size_t count = octets ? octets->length() / kUuidLength : 0;
        for (std::size_t i = 0; i < count; ++i) m_elements.push_back({key.ptr(), static_cast<int>(i * kUuidLength)});
      }
      m_upToDate = 1;
    }
  }
  KRO_TRACE_LINE(trace, "Attribute count: " << m_keys.Size());
}

const KroCfgSOUuidList::Element* KroCfgSOUuidList::elementAt(long position) const {
  updateAttrKeyList();
  return position >= 1 && position <= static_cast<long>(m_elements.size()) ? &m_elements[position - 1] : nullptr;
}

int KroCfgSOUuidList::Size() const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "Size");
  updateAttrKeyList();
  int size = static_cast<int>(m_elements.size());
  KRO_TRACE_RETURNS(trace, size);  // the count in place of a result code
  return size;
}

bool KroCfgSOUuidList::appendAttribute(KroISpecObject* so, KroISpecAttrAccess* access, const SEQUENCE_octet& octets,
                                       bool run) {
  KroUnicodeString name(run ? kRunPrefix : KroCfgSOStrings::UID_ELT);
  name.AppendNum(static_cast<int>(m_elements.size()));
  KroISpecAttribute_var added = KroISpecAttribute_var::Adopt(so->AddAttribute(name, tk_list, tk_octet, 0));
  // The new attribute is its own key: no lookup by name.
  KroISpecAttrKey_var key = added;
  if (!key) {
    KRO_TRACE_LINE(Trace(), "Unable to add the attribute: " << name);
    m_upToDate = 0;
    return false;
  }
  // The cache gains the new key itself, so a run of appends never rebuilds it.
  m_keys.Append(key);
  access->SetOctets(key, octets);
  if (!run) {
    m_elements.push_back({key.ptr(), -1});
  } else {
    for (std::size_t i = 0; i < octets.length() / kUuidLength; ++i)
      m_elements.push_back({key.ptr(), static_cast<int>(i * kUuidLength)});
  }
  return true;
}

HRESULT KroCfgSOUuidList::Append(const SEQUENCE_octet& uuid) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "Append");
  updateAttrKeyList();
  KroUnicodeString name(KroCfgSOStrings::UID_ELT);
  name.AppendNum(static_cast<int>(m_elements.size()));
  KRO_TRACE_LINE(trace, "Adding the attribute: " << name);
  KroISpecObject_var so = this;
  KroISpecAttrAccess_var access = so;
  if (!so || !access || !appendAttribute(so, access, uuid, false)) return KroTraceReturns(trace, E_FAIL);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::AppendAll(const KroList<SEQUENCE_octet>& uuids) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "AppendAll");
  updateAttrKeyList();
  KroISpecObject_var so = this;
  KroISpecAttrAccess_var access = so;
  if (!so || !access) return KroTraceReturns(trace, E_FAIL);
  const int count = uuids.Size();
  m_elements.reserve(m_elements.size() + static_cast<std::size_t>(count));
  for (int first = 1; first <= count; first += kRunLength) {
    const int last = std::min(count, first + kRunLength - 1);
    bool uniform = true;
    for (int i = first; i <= last && uniform; ++i) uniform = uuids[i].length() == kUuidLength;
    if (!uniform) {
      // Uuids of other lengths keep an attribute each, as Append gives them.
      for (int i = first; i <= last; ++i)
        if (!appendAttribute(so, access, uuids[i], false)) return KroTraceReturns(trace, E_FAIL);
      continue;
    }
    SEQUENCE_octet run;
    run.length(static_cast<unsigned long>(last - first + 1) * kUuidLength);
    for (int i = first; i <= last; ++i)
      std::memcpy(&run[static_cast<unsigned long>(i - first) * kUuidLength], uuids[i].data(), kUuidLength);
    if (!appendAttribute(so, access, run, true)) return KroTraceReturns(trace, E_FAIL);
  }
  KRO_TRACE_LINE(trace, "Appended: " << count);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::ElementAt(long position, SEQUENCE_octet& uuid) const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "ElementAt");
  std::unique_ptr<SEQUENCE_octet> octets;
  const Element* element = elementAt(position);
  if (element) {
    KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
    if (access) octets.reset(access->GetOctets(element->key));
  }
  if (octets && element->offset >= 0) {
    const auto offset = static_cast<std::size_t>(element->offset);
    if (offset + kUuidLength <= octets->length())
      octets = std::make_unique<SEQUENCE_octet>(octets->data() + offset, kUuidLength);
    else
      octets.reset();
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
  const Element* element = elementAt(position);
  if (!element) return KroTraceReturns(trace, E_FAIL);
  KroISpecAttrAccess_var access = this;
  if (!access) return KroTraceReturns(trace, S_OK);
  if (element->offset < 0) {
    access->SetOctets(element->key, uuid);  // what the write did is not reported
    return KroTraceReturns(trace, S_OK);
  }
  // Within a run only a uuid of the run's length fits.
  if (uuid.length() != kUuidLength) return KroTraceReturns(trace, E_INVALIDARG);
  std::unique_ptr<SEQUENCE_octet> run(access->GetOctets(element->key));
  const auto offset = static_cast<std::size_t>(element->offset);
  if (!run || offset + kUuidLength > run->length()) return KroTraceReturns(trace, E_FAIL);
  std::memcpy(&(*run)[offset], uuid.data(), kUuidLength);
  access->SetOctets(element->key, *run);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::GetAll(KroList<SEQUENCE_octet>& uuids) const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "GetAll");
  uuids.RemoveAll();
  updateAttrKeyList();
  KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
  if (!access) return KroTraceReturns(trace, E_FAIL);
  std::unique_ptr<SEQUENCE_octet> octets;
  KroISpecAttrKey* read = nullptr;
  for (std::size_t i = 0; i < m_elements.size(); ++i) {
    const Element& element = m_elements[i];
    // A run's elements follow one another: its octets are read once.
    if (element.key != read || element.offset < 0) {
      octets.reset(access->GetOctets(element.key));
      read = element.key;
    }
    const auto offset = static_cast<std::size_t>(element.offset < 0 ? 0 : element.offset);
    if (!octets || (element.offset >= 0 && offset + kUuidLength > octets->length())) {
      KRO_TRACE_LINE(trace, "Unable to access the attribute #" << i + 1);
      uuids.RemoveAll();
      return KroTraceReturns(trace, E_FAIL);
    }
    if (element.offset < 0)
      uuids.Append(*octets);
    else
      uuids.Append(SEQUENCE_octet(octets->data() + offset, kUuidLength));
  }
  return KroTraceReturns(trace, S_OK);
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
  m_elements.clear();
}

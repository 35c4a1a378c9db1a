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
    m_segments.clear();
    m_size = 0;
    KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
    if (access) {
      access->ListAttrKeys(m_keys);
      for (const KroISpecAttrKey_var& key : m_keys) {
        if (!IsRun(key.ptr())) {
          addSegment(key.ptr(), 1, false);
          continue;
        }
        // A run holds as many whole uuids as its octets do; an unset one holds none.
        std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key.ptr()));
        addSegment(key.ptr(), octets ? static_cast<int>(octets->length() / kUuidLength) : 0, true);
      }
      m_upToDate = 1;
    }
  }
  KRO_TRACE_LINE(trace, "Attribute count: " << m_keys.Size());
}

void KroCfgSOUuidList::addSegment(KroISpecAttrKey* key, int count, bool run) const {
  m_segments.push_back({key, m_size, count, run});
  m_size += count;
}

const KroCfgSOUuidList::Segment* KroCfgSOUuidList::segmentAt(long position, std::size_t& offset) const {
  updateAttrKeyList();
  if (position < 1 || position > m_size) return nullptr;
  const int index = static_cast<int>(position - 1);
  // The last segment that starts at or before the position (runs may hold none).
  auto it = std::upper_bound(m_segments.begin(), m_segments.end(), index,
                             [](int i, const Segment& s) { return i < s.first; });
  while (it != m_segments.begin() && (it - 1)->count == 0) --it;
  const Segment& segment = *(it - 1);
  offset = static_cast<std::size_t>(index - segment.first) * kUuidLength;
  return &segment;
}

int KroCfgSOUuidList::Size() const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "Size");
  updateAttrKeyList();
  KRO_TRACE_RETURNS(trace, m_size);  // the count in place of a result code
  return m_size;
}

bool KroCfgSOUuidList::appendAttribute(KroISpecObject* so, KroISpecAttrAccess* access, const SEQUENCE_octet& octets,
                                       bool run) {
  KroUnicodeString name(run ? kRunPrefix : KroCfgSOStrings::UID_ELT);
  name.AppendNum(m_size);
  KroISpecAttribute_var added = KroISpecAttribute_var::Adopt(so->AddAttribute(name, tk_list, tk_octet, 0));
  // The cache keeps the attribute's bare key, not the handle AddAttribute gives: a handle holds the
  // spec object, which holds this list, and the cycle would keep both alive.
  KroISpecAttrKey_var key;
  if (added) key = KroISpecAttrKey_var::Adopt(access->GetAttrKey(name.ConvertToChar()));
  if (!key) {
    KRO_TRACE_LINE(Trace(), "Unable to add the attribute: " << name);
    m_upToDate = 0;
    return false;
  }
  // The cache gains the new key itself, so a run of appends never rebuilds it.
  m_keys.Append(key);
  access->SetOctets(key, octets);
  addSegment(key.ptr(), run ? static_cast<int>(octets.length() / kUuidLength) : 1, run);
  return true;
}

HRESULT KroCfgSOUuidList::Append(const SEQUENCE_octet& uuid) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "Append");
  updateAttrKeyList();
  KroUnicodeString name(KroCfgSOStrings::UID_ELT);
  name.AppendNum(m_size);
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
  const std::vector<SEQUENCE_octet>& items = uuids.items();
  const std::size_t count = items.size();
  SEQUENCE_octet run;
  for (std::size_t first = 0; first < count; first += kRunLength) {
    const std::size_t last = std::min(count, first + kRunLength);
    bool uniform = true;
    for (std::size_t i = first; i < last && uniform; ++i) uniform = items[i].length() == kUuidLength;
    if (!uniform) {
      // Uuids of other lengths keep an attribute each, as Append gives them.
      for (std::size_t i = first; i < last; ++i)
        if (!appendAttribute(so, access, items[i], false)) return KroTraceReturns(trace, E_FAIL);
      continue;
    }
    run.length(static_cast<unsigned long>((last - first) * kUuidLength));
    for (std::size_t i = first; i < last; ++i)
      std::memcpy(&run[static_cast<unsigned long>((i - first) * kUuidLength)], items[i].data(), kUuidLength);
    if (!appendAttribute(so, access, run, true)) return KroTraceReturns(trace, E_FAIL);
  }
  KRO_TRACE_LINE(trace, "Appended: " << count);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::ElementAt(long position, SEQUENCE_octet& uuid) const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "ElementAt");
  std::unique_ptr<SEQUENCE_octet> octets;
  std::size_t offset = 0;
  const Segment* segment = segmentAt(position, offset);
  if (segment) {
    KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
    if (access) octets.reset(access->GetOctets(segment->key));
  }
  if (octets && segment->run) {
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
  std::size_t offset = 0;
  const Segment* segment = segmentAt(position, offset);
  if (!segment) return KroTraceReturns(trace, E_FAIL);
  KroISpecAttrAccess_var access = this;
  if (!access) return KroTraceReturns(trace, S_OK);
  if (!segment->run) {
    access->SetOctets(segment->key, uuid);  // what the write did is not reported
    return KroTraceReturns(trace, S_OK);
  }
  // Within a run only a uuid of the run's length fits.
  if (uuid.length() != kUuidLength) return KroTraceReturns(trace, E_INVALIDARG);
  std::unique_ptr<SEQUENCE_octet> run(access->GetOctets(segment->key));
  if (!run || offset + kUuidLength > run->length()) return KroTraceReturns(trace, E_FAIL);
  std::memcpy(&(*run)[offset], uuid.data(), kUuidLength);
  access->SetOctets(segment->key, *run);
  return KroTraceReturns(trace, S_OK);
}

HRESULT KroCfgSOUuidList::GetAll(KroList<SEQUENCE_octet>& uuids) const {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "GetAll");
  uuids.RemoveAll();
  updateAttrKeyList();
  KroISpecAttrAccess_var access = const_cast<KroCfgSOUuidList*>(this);
  if (!access) return KroTraceReturns(trace, E_FAIL);
  uuids.Reserve(m_size);
  for (const Segment& segment : m_segments) {
    if (segment.count == 0) continue;
    std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(segment.key));
    const std::size_t need = segment.run ? static_cast<std::size_t>(segment.count) * kUuidLength : 0;
    if (!octets || octets->length() < need) {
      KRO_TRACE_LINE(trace, "Unable to access the attribute #" << segment.first + 1);
      uuids.RemoveAll();
      return KroTraceReturns(trace, E_FAIL);
    }
    if (!segment.run) {
      uuids.Append(std::move(*octets));
      continue;
    }
    for (int i = 0; i < segment.count; ++i)
      uuids.Append(SEQUENCE_octet(octets->data() + static_cast<std::size_t>(i) * kUuidLength, kUuidLength));
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
  m_segments.clear();
  m_size = 0;
}

#include "KroTieServices.h"

#include "KroDispatch.h"

#include <string>
#include <utility>
#include <unordered_map>

namespace {

using InterfaceMap = std::unordered_map<IID, KroDictionaryEntry, KroGUIDHash>;

// Late type -> interface -> extension. Leaked on purpose: registrations of other libraries are
// unregistered from their static destructors, which may run after ours.
std::unordered_map<std::string, InterfaceMap>& Dictionary() {
  static auto* dictionary = new std::unordered_map<std::string, InterfaceMap>();
  return *dictionary;
}
// Counts the dictionary's changes, so that a remembered answer is known to be still good.
unsigned long g_dictionaryChanges = 0;

// These few words of thread-local state (64 bytes) live in the static TLS block, reached without a
// call, as every forwarded method and every tie made reaches them. A library opened later (the Python
// module opens this one) gets such room from what the C library keeps spare for it (512 bytes).
#define KRO_STATIC_TLS __attribute__((tls_model("initial-exec")))

KRO_STATIC_TLS thread_local KroBaseUnknown* t_currentImplementation = nullptr;

// The host that the tie being made extends, as QueryExtension knows it: the tie services then need no
// cast to find it from the object.
struct HostHint {
  KroBaseUnknown* self = nullptr;
  KroExtensionHost* host = nullptr;
};
KRO_STATIC_TLS thread_local HostHint t_hostHint;

// The last extension found: objects are presented one after another through the same interface. The
// late type is the dictionary's own key, valid until the dictionary changes.
struct ExtensionMemo {
  unsigned long changes = ~0ul;
  const std::string* lateType = nullptr;
  IID iid{};
  const KroDictionaryEntry* entry = nullptr;
};
KRO_STATIC_TLS thread_local ExtensionMemo t_extensionMemo;

KroExtensionHost* HostOf(KroBaseUnknown* second) {
  if (second && second == t_hostHint.self) return t_hostHint.host;
  return dynamic_cast<KroExtensionHost*>(second);
}

// The context word handed to tie classes; it only has to be non-null and stable.
int g_tieContext = 0;

}  // namespace

// ---- dictionary -------------------------------------------------------------------------------------

KroFillDictionary::KroFillDictionary(KroMetaClass* implMeta, KroMetaClass* interfaceMeta,
                                     KroCreateTieFn createTie, int /*flags*/, int enabled)
    : m_implMeta(implMeta), m_interfaceMeta(interfaceMeta) {
  if (!enabled || !implMeta || !interfaceMeta || !createTie) return;
  Dictionary()[implMeta->GetLateType()][interfaceMeta->GetIID()] = {implMeta, interfaceMeta, createTie};
  ++g_dictionaryChanges;
}

KroFillDictionary::~KroFillDictionary() {
  if (!m_implMeta || !m_interfaceMeta) return;
  auto types = Dictionary().find(m_implMeta->GetLateType());
  if (types == Dictionary().end()) return;
  auto it = types->second.find(m_interfaceMeta->GetIID());
  if (it != types->second.end() && it->second.implMeta == m_implMeta) {
    types->second.erase(it);
    ++g_dictionaryChanges;
  }
}

const KroDictionaryEntry* KroFindExtension(const std::string& lateType, const IID& iid) {
  ExtensionMemo& last = t_extensionMemo;
  if (last.changes == g_dictionaryChanges && last.iid == iid && *last.lateType == lateType) return last.entry;
  auto types = Dictionary().find(lateType);
  if (types == Dictionary().end()) return nullptr;
  auto it = types->second.find(iid);
  if (it == types->second.end()) return nullptr;
  last = ExtensionMemo{g_dictionaryChanges, &types->first, iid, &it->second};
  return &it->second;
}

// ---- host -------------------------------------------------------------------------------------------

std::vector<KroBaseUnknown*> KroExtensionHost::takeImplementations() {
  std::vector<KroBaseUnknown*> taken;
  if (m_state->firstImplementation) taken.push_back(std::exchange(m_state->firstImplementation, nullptr));
  for (auto& [classId, implementation] : m_state->implementations) taken.push_back(implementation);
  m_state->implementations.clear();
  return taken;
}

KroExtensionHost::~KroExtensionHost() {
  if (!m_state) return;
  for (KroBaseUnknown* implementation : takeImplementations()) {
    implementation->SetImpl(nullptr);
    implementation->Release();
  }
}

void KroExtensionHost::ReleaseIfIdle() {
  if (!m_state || m_state->presented()) return;
  // Taken off first: an implementation's destructor that presents the object again starts afresh. The
  // side record stays while it holds the object's own part.
  KroBaseUnknown* only = nullptr;
  std::vector<KroBaseUnknown*> more;
  if (m_state->implementations.empty())
    only = std::exchange(m_state->firstImplementation, nullptr);
  else
    more = takeImplementations();
  if (!m_state->extra) dropState();
  auto release = [](KroBaseUnknown* implementation) {
    implementation->SetImpl(nullptr);
    implementation->Release();
  };
  if (only) release(only);
  for (KroBaseUnknown* implementation : more) release(implementation);
}

void KroExtensionHost::SetExtra(std::unique_ptr<KroHostExtra> extra) {
  if (!extra && !m_state) return;
  std::unique_ptr<KroHostExtra> old = std::move(state().extra);
  m_state->extra = std::move(extra);
  if (!m_state->extra && !m_state->presented() && !m_state->hasImplementations()) dropState();
  old.reset();  // after the record is consistent: its destruction may call back
}

namespace {
// The side record kept for the next presentation on this thread, freed with the thread.
struct SpareState {
  void* state = nullptr;
  void (*free)(void*) = nullptr;
  ~SpareState() {
    if (state) free(state);
  }
};
KRO_STATIC_TLS thread_local SpareState t_spareState;
}  // namespace

KroExtensionHost::State& KroExtensionHost::state() {
  if (!m_state) {
    if (void* spare = std::exchange(t_spareState.state, nullptr))
      m_state.reset(static_cast<State*>(spare));
    else
      m_state = std::make_unique<State>();
  }
  return *m_state;
}

void KroExtensionHost::dropState() {
  // Only an empty record is kept: no implementation, no tie, nothing of the object's own.
  if (!t_spareState.state && !m_state->extra && !m_state->presented() && !m_state->hasImplementations()) {
    t_spareState.state = m_state.release();
    t_spareState.free = [](void* state) { delete static_cast<State*>(state); };
  } else {
    m_state.reset();
  }
}

HRESULT KroExtensionHost::QueryExtension(KroBaseUnknown* self, const char* lateType, const IID& iid, void** out) {
  return QueryExtension(self, std::string(lateType ? lateType : ""), iid, out);
}

HRESULT KroExtensionHost::QueryExtension(KroBaseUnknown* self, const std::string& lateType, const IID& iid,
                                         void** out) {
  const KroDictionaryEntry* entry = KroFindExtension(lateType, iid);
  if (!entry) return E_NOINTERFACE;
  KroBaseUnknown* implementation = FindImplementation(entry->implMeta->ClassId());
  const HostHint saved = std::exchange(t_hostHint, HostHint{self, this});
  KroBaseUnknown* tie = entry->createTie(implementation, self);
  t_hostHint = saved;
  if (!tie) return E_OUTOFMEMORY;
  return tie->QueryInterface(iid, out);
}

KroBaseUnknown* KroExtensionHost::FindImplementation(const CLSID& classId) const {
  if (!m_state) return nullptr;
  if (m_state->firstImplementation && m_state->firstClass == classId) return m_state->firstImplementation;
  for (const auto& [id, implementation] : m_state->implementations)
    if (id == classId) return implementation;
  return nullptr;
}

void KroExtensionHost::AddImplementation(const CLSID& classId, KroBaseUnknown* implementation) {
  if (FindImplementation(classId)) return;
  State& s = state();
  if (!s.firstImplementation) {
    s.firstClass = classId;
    s.firstImplementation = implementation;
  } else {
    s.implementations.emplace_back(classId, implementation);
  }
}

KroBaseUnknown* KroExtensionHost::FindTie(const IID& iid) const {
  if (!m_state) return nullptr;
  if (m_state->firstLink.tie && m_state->firstLink.iid == iid) return m_state->firstLink.tie;
  for (const auto& link : m_state->ties)
    if (link->iid == iid) return link->tie;
  return nullptr;
}

KroTieLink* KroExtensionHost::AddTie(KroBaseUnknown* self, const IID& iid, KroBaseUnknown* tie) {
  State& s = state();
  if (s.firstLink.tie && s.firstLink.iid == iid) {
    s.firstLink.tie = tie;
    return &s.firstLink;
  }
  for (auto& link : s.ties)
    if (link->iid == iid) {
      link->tie = tie;
      return link.get();
    }
  if (!s.firstLink.tie) {
    s.firstLink = KroTieLink{this, self, iid, tie};
    return &s.firstLink;
  }
  s.ties.push_back(std::make_unique<KroTieLink>(KroTieLink{this, self, iid, tie}));
  return s.ties.back().get();
}

void KroExtensionHost::RemoveTie(KroTieLink* link) {
  if (!m_state) return;
  if (link == &m_state->firstLink) {
    m_state->firstLink.tie = nullptr;
    return;
  }
  auto& ties = m_state->ties;
  for (auto it = ties.begin(); it != ties.end(); ++it)
    if (it->get() == link) {
      ties.erase(it);
      return;
    }
}

// ---- tie services -----------------------------------------------------------------------------------

KroBaseUnknown* Tie_Link(KroBaseUnknown* /*implementation*/, KroBaseUnknown* second, const IID& iid) {
  KroExtensionHost* host = HostOf(second);
  return host ? host->FindTie(iid) : nullptr;
}

void* Tie_Construct(KroBaseUnknown* tie, KroMetaClass* tieMeta, KroBaseUnknown** implField, int /*flags*/,
                    KroBaseUnknown* implementation, const CLSID& implClassId, int /*implTypeOfClass*/,
                    void* ptstat, KroCreateItselfFn createItself, KroBaseUnknown* second, void** link) {
  KroExtensionHost* host = HostOf(second);
  *link = nullptr;
  if (!implementation && host) implementation = host->FindImplementation(implClassId);
  if (!implementation) {
    implementation = createItself ? createItself() : nullptr;
    // A new implementation belongs to the host it extends; without a host the tie owns it.
    if (implementation && host) {
      implementation->SetImpl(second);
      host->AddImplementation(implClassId, implementation);
    }
  } else if (!host) {
    implementation->AddRef();
  }
  *implField = implementation;
  if (host && implementation) {
    *link = host->AddTie(second, tieMeta->GetIID(), tie);
    second->AddRef();  // the spec object outlives every tie on it
  }
  return ptstat ? ptstat : &g_tieContext;
}

void Tie_Destruct(KroBaseUnknown* /*tie*/, KroBaseUnknown** implField, int /*typeOfClass*/, long /*count*/) {
  KroBaseUnknown* implementation = *implField;
  *implField = nullptr;
  if (!implementation) return;
  if (KroBaseUnknown* extended = implementation->GetImpl())
    extended->Release();
  else
    implementation->Release();
}

HRESULT Tie_Query(KroBaseUnknown* /*tie*/, KroBaseUnknown* implementation, void* link, KroMetaClass* /*tieMeta*/,
                  int /*flags*/, const IID& iid, void** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  // Every other interface, the identity included, is the extended object's.
  if (link) return static_cast<KroTieLink*>(link)->self->QueryInterface(iid, out);
  if (implementation) return implementation->QueryInterface(iid, out);
  return E_NOINTERFACE;
}

ULONG Tie_AddRef(KroBaseUnknown* /*implementation*/, int /*typeOfClass*/, long* count) {
  return static_cast<ULONG>(++*count);
}

ULONG Tie_Release(int* deleteFlag, KroBaseUnknown** implField, void* link, int /*typeOfClass*/, long* count) {
  *deleteFlag = 0;
  if (--*count > 0) return static_cast<ULONG>(*count);
  *count = 0;
  if (link) {
    auto* tieLink = static_cast<KroTieLink*>(link);
    KroExtensionHost* host = tieLink->host;
    KroBaseUnknown* self = tieLink->self;
    host->RemoveTie(tieLink);
    // The host owns the implementation, so the tie's destructor has nothing left to let go of. The last
    // tie's going frees the implementations; its reference on the spec object goes last.
    *implField = nullptr;
    host->ReleaseIfIdle();
    self->Release();
  }
  *deleteFlag = 1;
  return 0;
}

HRESULT Tie_GetTypeInfoCount(KroMetaClass* tieMeta, unsigned int* count) {
  if (!count) return E_INVALIDARG;
  *count = tieMeta && KroFindDispatchTable(tieMeta->GetIID()) ? 1 : 0;
  return S_OK;
}

HRESULT Tie_GetTypeInfo(KroMetaClass* tieMeta, unsigned int index, unsigned long /*locale*/, void** info) {
  if (!info) return E_INVALIDARG;
  *info = nullptr;
  const KroDispatchTable* table = tieMeta ? KroFindDispatchTable(tieMeta->GetIID()) : nullptr;
  if (!table || index != 0) return DISP_E_BADINDEX;
  *info = const_cast<KroTypeInfo*>(&table->TypeInfo());
  return S_OK;
}

HRESULT Tie_GetIDsOfNames(KroMetaClass* tieMeta, const char** names, unsigned int count, long* dispIds) {
  if (!tieMeta || (count && (!names || !dispIds))) return E_INVALIDARG;
  if (const KroDispatchTable* table = KroFindDispatchTable(tieMeta->GetIID()))
    return table->GetIDsOfNames(names, count, dispIds);
  for (unsigned int i = 0; i < count; ++i) dispIds[i] = -1;
  return count ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT Tie_Invoke(KroMetaClass* tieMeta, void* self, long dispId, const KroDispParams* params, KroVariant* result,
                   KroExcepInfo* exception, unsigned int* argErr) {
  const KroDispatchTable* table = tieMeta ? KroFindDispatchTable(tieMeta->GetIID()) : nullptr;
  if (!table) return DISP_E_MEMBERNOTFOUND;
  return table->Invoke(self, dispId, params, result, exception, argErr);
}

// ---- call context -----------------------------------------------------------------------------------

KroBaseUnknown* Tie_StackCtx::Run(Tie_StackCtx& context, void* /*ptstat*/, KroBaseUnknown* implementation) {
  context.m_saved = t_currentImplementation;
  context.m_open = true;
  t_currentImplementation = implementation;
  return implementation;
}

Tie_StackCtx::~Tie_StackCtx() {
  if (m_open) t_currentImplementation = m_saved;
}

KroBaseUnknown* Tie_StackCtx::Current() { return t_currentImplementation; }

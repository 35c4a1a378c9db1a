// The side of a spec object that carries extensions: the implementation object of each extension class
// bound to it, and the live tie of each extension interface.
#pragma once

#include "KroExport.h"

#include <memory>
#include <string>
#include <vector>

#include "KroBaseUnknown.h"

class KroMetaClass;

using KroCreateTieFn = KroBaseUnknown* (*)(KroBaseUnknown* implementation, KroBaseUnknown* second);
using KroCreateItselfFn = KroBaseUnknown* (*)();

class KroExtensionHost;

// What the object a host is part of keeps beside its extensions, in the host's side record: one
// pointer per object for both.
struct KRO_PLATFORM_API KroHostExtra {
  virtual ~KroHostExtra() = default;
};

// What a tie's link word points to: the host it is recorded on, the object it extends, and under
// which interface.
struct KRO_PLATFORM_API KroTieLink {
  KroExtensionHost* host;
  KroBaseUnknown* self;
  IID iid;
  KroBaseUnknown* tie;
};

class KRO_PLATFORM_API KroExtensionHost {
 public:
  // The host keeps no pointer to the object it is part of (a word per object): the object passes itself
  // where a tie is made, and each tie's link records it.
  KroExtensionHost() = default;
  // Releases the implementation objects. Ties hold a reference on the host, so none is alive here.
  ~KroExtensionHost();
  KroExtensionHost(const KroExtensionHost&) = delete;
  KroExtensionHost& operator=(const KroExtensionHost&) = delete;

  // The registered extension interface of this late type for `self` (the object this host is part of),
  // through its tie; E_NOINTERFACE when none.
  HRESULT QueryExtension(KroBaseUnknown* self, const char* lateType, const IID& iid, void** out);
  HRESULT QueryExtension(KroBaseUnknown* self, const std::string& lateType, const IID& iid, void** out);

  KroBaseUnknown* FindImplementation(const CLSID& classId) const;
  void AddImplementation(const CLSID& classId, KroBaseUnknown* implementation);
  KroBaseUnknown* FindTie(const IID& iid) const;
  KroTieLink* AddTie(KroBaseUnknown* self, const IID& iid, KroBaseUnknown* tie);
  void RemoveTie(KroTieLink* link);
  // Once no tie presents the object, its implementation objects (which keep nothing but caches) and the
  // side record go: a record whose handles were dropped keeps only its attributes.
  void ReleaseIfIdle();
  int CountImplementations() const {
    return m_state ? (m_state->firstImplementation ? 1 : 0) + static_cast<int>(m_state->implementations.size()) : 0;
  }
  // The object's own side record, or null. SetExtra replaces it (null frees it); the host keeps it
  // while its ties come and go, and frees it with itself.
  KroHostExtra* Extra() const { return m_state ? m_state->extra.get() : nullptr; }
  void SetExtra(std::unique_ptr<KroHostExtra> extra);

 private:
  // Most hosts never get an extension, and those that do get one or two: a small side record, made on
  // first use (or when the object needs its own side record). The first implementation and the first
  // tie live in the record itself, so that presenting an object through one interface, as the factory's
  // clients do, allocates the record alone.
  struct State {
    CLSID firstClass{};
    KroBaseUnknown* firstImplementation = nullptr;  // owned, one reference; then the vector's
    KroTieLink firstLink{};                          // free while its tie is null
    std::vector<std::pair<CLSID, KroBaseUnknown*>> implementations;  // owned, one reference each
    std::vector<std::unique_ptr<KroTieLink>> ties;                   // ties not owned; links stay put
    std::unique_ptr<KroHostExtra> extra;
    bool presented() const { return firstLink.tie || !ties.empty(); }
    bool hasImplementations() const { return firstImplementation || !implementations.empty(); }
  };
  State& state();
  // Takes every implementation out of the side record, which is left without any.
  std::vector<KroBaseUnknown*> takeImplementations();
  // Lets the side record go; one per thread is kept for the next object presented, so that presenting
  // records one after another allocates no side record.
  void dropState();

  std::unique_ptr<State> m_state;
};

// Registers, for the late type of implMeta, that interfaceMeta is provided by the ties that createTie
// makes. Kept for as long as the object lives (registrations are statics of the extension libraries).
class KRO_PLATFORM_API KroFillDictionary {
 public:
  KroFillDictionary(KroMetaClass* implMeta, KroMetaClass* interfaceMeta, KroCreateTieFn createTie, int flags,
                    int enabled);
  ~KroFillDictionary();
  KroFillDictionary(const KroFillDictionary&) = delete;
  KroFillDictionary& operator=(const KroFillDictionary&) = delete;

 private:
  KroMetaClass* m_implMeta;
  KroMetaClass* m_interfaceMeta;
};

// The registered extension of (late type, interface), or null.
struct KRO_PLATFORM_API KroDictionaryEntry {
  KroMetaClass* implMeta;
  KroMetaClass* interfaceMeta;
  KroCreateTieFn createTie;
};
KRO_PLATFORM_API const KroDictionaryEntry* KroFindExtension(const std::string& lateType, const IID& iid);

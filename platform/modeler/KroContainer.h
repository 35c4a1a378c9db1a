// A container of startups and instances, with the collector that reclaims what is no longer listed (and,
// in the transient mode, listed instances that nothing outside holds).
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "KroSpecObject.h"
#include "KroStringMemo.h"

class KroContainer final : public KroIContainer {
 public:
  explicit KroContainer(std::string name);
  ~KroContainer() override;

  // While the container closes, references taken by code it calls back cannot destroy it twice.
  ULONG AddRef() override { return m_closing ? 1 : KroIContainer::AddRef(); }
  ULONG Release() override { return m_closing ? 1 : KroIContainer::Release(); }

  HRESULT QueryInterface(const IID& iid, void** out) override;
  KroUnicodeString GetName() const override { return KroUnicodeString(m_name); }
  KroISpecObject* FindStartUpByName(const KroUnicodeString& name) override;
  KroListValKroISpecObject_var ListStartUps() override;
  KroListValKroISpecObject_var ListObjects() override;
  int CountObjects() const override { return static_cast<int>(m_listedCount); }
  HRESULT RemoveObject(KroISpecObject* object) override;
  int Collect() override;
  KroContainer* GetModelerContainer() override { return this; }
  HRESULT SetTransient(boolean transient) override;
  boolean IsTransient() const override { return m_transient ? 1 : 0; }
  HRESULT RemoveTree(KroISpecObject* root, int& removed) override;

  // Takes one reference on the instance and lists it last. A pinned instance (read from a document)
  // is a root in either mode until removed.
  void adopt(KroSpecObject* object, bool pinned = false);
  // Takes one reference on the startup; false when the name is taken.
  bool addStartUp(KroSpecObject* startUp);
  KroSpecObject* findStartUp(std::string_view name) const;
  // The same, remembering the answer for the string object asked through: instantiation looks its
  // startup up by name on every record.
  KroSpecObject* findStartUpRemembered(const KroUnicodeString& name);
  const std::vector<KroSpecObject*>& startUps() const { return m_startUpOrder; }
  // Listed instances in order.
  template <class F>
  void forEachObject(F&& f) const {
    for (KroSpecObject* object : m_listed)
      if (object) f(object);
  }
  // True once the container has listed an instance whose startup is not one of its own (another
  // container's, or none): a save then looks at every instance's startup before writing its head.
  bool hadForeignInstances() const { return m_hadForeign; }
  // Instances known to the collector: listed ones, and removed ones still alive.
  std::size_t tracked() const { return m_listedCount + m_unlistedCount; }
  // True from the start of the container's destruction: it takes no new instance.
  bool closing() const { return m_closing; }

  // The smallest number of collectable objects at which a collection runs by itself; after each run
  // the next one waits until that number has doubled. Collectable are the unlisted objects in the store
  // mode, all tracked ones in the transient mode. KRO_GC_FLOOR in the environment sets the default.
  void setCollectionFloor(std::size_t floor);
  static std::size_t DefaultCollectionFloor();
  // KRO_CONTAINER_MODE ("store" or "transient"): true for transient. An unknown value is reported on
  // standard error once, and the store mode stays.
  static bool TransientFromEnvironment();

  // Called by an instance that dies while tracked (a removed one).
  void untrack(KroSpecObject* object);

 private:
  using Objects = std::vector<KroSpecObject*>;
  std::size_t collectable() const { return m_transient ? tracked() : m_unlistedCount; }
  void scheduleNextCollection();
  // Moves a listed instance to the unlisted ones and drops the container's reference.
  void unlist(KroSpecObject* object);
  void dropFrom(Objects& objects, std::size_t& count, KroSpecObject* object);
  static void compact(Objects& objects);
  struct MarkOptions {
    bool startUpEdges = false;      // an instance's hold on its startup is internal, and reaches it
    bool pins = false;              // pinned listed objects are roots
    KroSpecObject* notRoot = nullptr;  // never a root, whoever holds it
  };
  // Marks (kMarked) what the roots among the candidates reach among them. A candidate is a root when
  // references other than the container's and the candidates' own attributes hold it. Candidates carry
  // kCandidate while this runs.
  static void MarkHeld(const Objects& candidates, const MarkOptions& options);

  std::string m_name;
  std::vector<KroSpecObject*> m_startUpOrder;  // one reference each
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::unordered_map<std::string, KroSpecObject*, NameHash, std::equal_to<>> m_startUps;
  KroStringMemo<KroSpecObject*, 4> m_startUpMemo;  // forgotten whenever a startup is added
  Objects m_listed;    // creation order, one reference each; null where an object left
  Objects m_unlisted;  // removed but alive, no reference; null where an object died
  std::size_t m_listedCount = 0;
  std::size_t m_unlistedCount = 0;
  std::size_t m_floor;
  std::size_t m_nextCollection;
  bool m_transient = false;
  bool m_collecting = false;
  bool m_closing = false;
  bool m_hadForeign = false;
};

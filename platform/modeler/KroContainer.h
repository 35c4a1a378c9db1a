// A container of startups and instances, with the collector that reclaims instances nothing holds.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "KroSpecObject.h"
#include "KroStringMemo.h"

class KRO_PLATFORM_API KroContainer final : public KroIContainer {
 public:
  explicit KroContainer(std::string name);
  ~KroContainer() override;

  HRESULT QueryInterface(const IID& iid, void** out) override;
  KroUnicodeString GetName() const override { return KroUnicodeString(m_name); }
  KroISpecObject* FindStartUpByName(const KroUnicodeString& name) override;
  KroListValKroISpecObject_var ListStartUps() override;
  KroListValKroISpecObject_var ListObjects() override;
  int CountObjects() const override { return static_cast<int>(m_listed); }
  HRESULT RemoveObject(KroISpecObject* object) override;
  int Collect() override;
  KroContainer* GetModelerContainer() override { return this; }

  // Takes one reference on the instance and lists it last. A pinned instance (read from a document)
  // stays until removed.
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
    for (KroSpecObject* object : m_tracked)
      if (object && (object->m_flags & KroSpecObject::kListed)) f(object);
  }
  // Instances tracked by the collector: listed ones, and removed ones still alive.
  std::size_t tracked() const { return m_trackedCount; }

  // The smallest number of tracked instances at which a collection runs by itself; after each run the
  // next one waits until the number has doubled. KRO_GC_FLOOR in the environment sets the default.
  void setCollectionFloor(std::size_t floor);
  static std::size_t DefaultCollectionFloor();

  // Called by an instance that dies while tracked (a removed one).
  void untrack(KroSpecObject* object);

 private:
  void compact();

  std::string m_name;
  std::vector<KroSpecObject*> m_startUpOrder;  // one reference each
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::unordered_map<std::string, KroSpecObject*, NameHash, std::equal_to<>> m_startUps;
  KroStringMemo<KroSpecObject*, 4> m_startUpMemo;  // forgotten whenever a startup is added
  std::vector<KroSpecObject*> m_tracked;  // creation order; null where an object left
  std::size_t m_trackedCount = 0;
  std::size_t m_listed = 0;
  std::size_t m_floor;
  std::size_t m_nextCollection;
  bool m_collecting = false;
};

#include "KroContainer.h"

#include <cstdlib>

KroContainer::KroContainer(std::string name) : m_name(std::move(name)) {
  m_floor = DefaultCollectionFloor();
  m_nextCollection = m_floor;
}

KroContainer::~KroContainer() {
  // What nothing outside holds goes first, removed objects in cycles included.
  Collect();
  m_collecting = true;
  std::vector<KroSpecObject*> listed;
  for (KroSpecObject*& object : m_tracked) {
    if (!object) continue;
    object->m_flags &= static_cast<std::uint8_t>(~KroSpecObject::kTracked);
    if (object->m_flags & KroSpecObject::kListed) listed.push_back(object);
    object->m_container = nullptr;
    object = nullptr;
  }
  // Objects still held by clients stay valid but detached, without references into the container.
  for (KroSpecObject* object : listed) object->dropReferences();
  for (KroSpecObject* object : listed) {
    object->m_flags &= static_cast<std::uint8_t>(~KroSpecObject::kListed);
    object->Release();
  }
  for (KroSpecObject* startUp : m_startUpOrder) startUp->dropReferences();
  for (KroSpecObject* startUp : m_startUpOrder) {
    startUp->m_container = nullptr;
    startUp->m_flags &= static_cast<std::uint8_t>(~KroSpecObject::kListed);
    startUp->Release();
  }
}

HRESULT KroContainer::QueryInterface(const IID& iid, void** out) {
  return KroQueryInterfaces<KroIContainer>(this, iid, out);
}

std::size_t KroContainer::DefaultCollectionFloor() {
  static const std::size_t floor = [] {
    const char* text = std::getenv("KRO_GC_FLOOR");
    long value = text ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? static_cast<std::size_t>(value) : std::size_t{4096};
  }();
  return floor;
}

void KroContainer::setCollectionFloor(std::size_t floor) {
  m_floor = floor ? floor : 1;
  m_nextCollection = std::max(m_floor, 2 * m_trackedCount);
}

void KroContainer::adopt(KroSpecObject* object, bool pinned) {
  if (m_trackedCount >= m_nextCollection && !m_collecting) Collect();
  object->AddRef();
  object->m_container = this;
  object->m_position = static_cast<std::uint32_t>(m_tracked.size());
  object->m_flags |= KroSpecObject::kListed | KroSpecObject::kTracked;
  if (pinned) object->m_flags |= KroSpecObject::kPinned;
  m_tracked.push_back(object);
  ++m_trackedCount;
  ++m_listed;
}

bool KroContainer::addStartUp(KroSpecObject* startUp) {
  if (!m_startUps.emplace(std::string(startUp->name()), startUp).second) return false;
  m_startUpMemo.forget();
  startUp->AddRef();
  startUp->m_container = this;
  startUp->m_flags |= KroSpecObject::kListed;
  m_startUpOrder.push_back(startUp);
  return true;
}

KroSpecObject* KroContainer::findStartUp(std::string_view name) const {
  auto it = m_startUps.find(name);
  return it == m_startUps.end() ? nullptr : it->second;
}

KroSpecObject* KroContainer::findStartUpRemembered(const KroUnicodeString& name) {
  KroSpecObject* startUp;
  if (m_startUpMemo.recall(name, startUp)) return startUp;
  startUp = findStartUp(name.view());
  m_startUpMemo.remember(name, startUp);
  return startUp;
}

KroISpecObject* KroContainer::FindStartUpByName(const KroUnicodeString& name) {
  KroSpecObject* startUp = findStartUpRemembered(name);
  if (startUp) startUp->AddRef();
  return startUp;
}

KroListValKroISpecObject_var KroContainer::ListStartUps() {
  KroListValKroISpecObject_var list;
  for (KroSpecObject* startUp : m_startUpOrder) list.Append(KroISpecObject_var(startUp));
  return list;
}

KroListValKroISpecObject_var KroContainer::ListObjects() {
  KroListValKroISpecObject_var list;
  list.Reserve(static_cast<int>(m_listed));
  forEachObject([&](KroSpecObject* object) { list.Append(KroISpecObject_var(object)); });
  return list;
}

HRESULT KroContainer::RemoveObject(KroISpecObject* object) {
  KroSpecObject* concrete = object ? object->GetModelerObject() : nullptr;
  if (!concrete || concrete->container() != this || concrete->isStartUp()) return S_FALSE;
  // It stays tracked, without the container's reference, so that a cycle it is part of is still seen.
  concrete->m_flags &= static_cast<std::uint8_t>(~(KroSpecObject::kListed | KroSpecObject::kPinned));
  --m_listed;
  concrete->Release();
  return S_OK;
}

void KroContainer::untrack(KroSpecObject* object) {
  if (!(object->m_flags & KroSpecObject::kTracked)) return;
  object->m_flags &= static_cast<std::uint8_t>(~KroSpecObject::kTracked);
  if (object->m_position < m_tracked.size() && m_tracked[object->m_position] == object) {
    m_tracked[object->m_position] = nullptr;
    --m_trackedCount;
  }
  object->m_container = nullptr;
  if (!m_collecting && m_tracked.size() > 64 && m_trackedCount * 2 < m_tracked.size()) compact();
}

void KroContainer::compact() {
  std::size_t kept = 0;
  for (KroSpecObject* object : m_tracked) {
    if (!object) continue;
    object->m_position = static_cast<std::uint32_t>(kept);
    m_tracked[kept++] = object;
  }
  m_tracked.resize(kept);
}

// References held by the container and by attributes of tracked objects are internal; an object with
// more references than that is held from outside and is a root. What no root reaches is garbage.
// Three passes over the tracked objects: count, mark, sweep.
int KroContainer::Collect() {
  if (m_collecting) return 0;
  m_collecting = true;
  using O = KroSpecObject;
  auto here = [this](KroISpecObject* value) -> O* {
    O* o = value->GetModelerObject();
    return o && o->m_container == this && (o->m_flags & O::kTracked) ? o : nullptr;
  };
  auto count = [](O* o) {
    o->m_gcRefs = static_cast<std::int32_t>(o->GetRefCount()) - ((o->m_flags & O::kListed) ? 1 : 0);
    o->m_flags = static_cast<std::uint8_t>((o->m_flags | O::kCounted) & ~O::kMarked);
  };

  for (O* object : m_tracked) {
    if (!object) continue;
    if (!(object->m_flags & O::kCounted)) count(object);
    object->forEachReference([&](KroISpecObject* value) {
      if (O* target = here(value)) {
        if (!(target->m_flags & O::kCounted)) count(target);
        --target->m_gcRefs;
      }
    });
  }

  std::vector<O*> pending;
  for (O* object : m_tracked) {
    if (!object || (object->m_flags & O::kMarked)) continue;
    const bool pinned = (object->m_flags & O::kPinned) && (object->m_flags & O::kListed);
    if (object->m_gcRefs <= 0 && !pinned) continue;
    object->m_flags |= O::kMarked;
    pending.push_back(object);
    while (!pending.empty()) {
      O* reached = pending.back();
      pending.pop_back();
      reached->forEachReference([&](KroISpecObject* value) {
        O* target = here(value);
        if (target && !(target->m_flags & O::kMarked)) {
          target->m_flags |= O::kMarked;
          pending.push_back(target);
        }
      });
    }
  }

  // Survivors close up in order; garbage leaves the container, then lets go of its references, then
  // of itself.
  std::vector<std::pair<O*, bool>> garbage;
  std::size_t kept = 0;
  for (O* object : m_tracked) {
    if (!object) continue;
    if (object->m_flags & O::kMarked) {
      object->m_flags &= static_cast<std::uint8_t>(~(O::kMarked | O::kCounted));
      object->m_position = static_cast<std::uint32_t>(kept);
      m_tracked[kept++] = object;
      continue;
    }
    const bool listed = object->m_flags & O::kListed;
    object->AddRef();
    object->m_flags &= static_cast<std::uint8_t>(~(O::kTracked | O::kListed | O::kCounted));
    object->m_container = nullptr;
    garbage.emplace_back(object, listed);
    if (listed) --m_listed;
  }
  m_tracked.resize(kept);
  m_trackedCount = kept;
  for (auto& [object, listed] : garbage) object->dropReferences();
  for (auto& [object, listed] : garbage)
    if (listed) object->Release();
  for (auto& [object, listed] : garbage) object->Release();

  // A floor of 1 collects before every instantiation: a debugging aid that finds objects used
  // without a reference of their own.
  m_nextCollection = m_floor == 1 ? 0 : std::max(m_floor, 2 * m_trackedCount);
  m_collecting = false;
  return static_cast<int>(garbage.size());
}

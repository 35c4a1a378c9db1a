#include "KroContainer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using O = KroSpecObject;

constexpr std::size_t kDefaultFloor = 4096;
constexpr long kLargestFloor = 1L << 30;

}  // namespace

KroContainer::KroContainer(std::string name) : m_name(std::move(name)) {
  m_floor = DefaultCollectionFloor();
  m_nextCollection = m_floor;
}

std::size_t KroContainer::DefaultCollectionFloor() {
  static const std::size_t floor = [] {
    const char* text = std::getenv("KRO_GC_FLOOR");
    if (!text || !*text) return kDefaultFloor;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno || end == text || *end || value < 1 || value > kLargestFloor) {
      std::fprintf(stderr, "KRO_GC_FLOOR=\"%s\" ignored: expected a whole number from 1 to %ld; the floor stays %zu\n",
                   text, kLargestFloor, kDefaultFloor);
      return kDefaultFloor;
    }
    return static_cast<std::size_t>(value);
  }();
  return floor;
}

bool KroContainer::TransientFromEnvironment() {
  static const bool transient = [] {
    const char* text = std::getenv("KRO_CONTAINER_MODE");
    if (!text || !*text || !std::strcmp(text, "store")) return false;
    if (!std::strcmp(text, "transient")) return true;
    std::fprintf(stderr, "KRO_CONTAINER_MODE=\"%s\" ignored: expected \"store\" or \"transient\"; the mode stays store\n",
                 text);
    return false;
  }();
  return transient;
}

// ---- closing ----------------------------------------------------------------------------------------

// Objects that a client still holds, and what they reach, keep their values and leave unlisted; the
// rest have their spec-object references emptied, which frees them even when they refer to each other.
KroContainer::~KroContainer() {
  m_closing = true;
  Objects all;
  all.reserve(tracked() + m_startUpOrder.size());
  for (O* object : m_listed)
    if (object) all.push_back(object);
  for (O* object : m_unlisted)
    if (object) all.push_back(object);
  all.insert(all.end(), m_startUpOrder.begin(), m_startUpOrder.end());
  MarkHeld(all, {.startUpEdges = true});

  // Nothing points back here any more before any client code runs (releases reach clients' objects).
  Objects listed, unheld;
  for (O* object : all) {
    if (object->m_flags & (O::kListed | O::kStartUp)) listed.push_back(object);
    if (!(object->m_flags & O::kMarked)) {
      object->AddRef();
      unheld.push_back(object);
    }
    object->m_flags = static_cast<std::uint8_t>((object->m_flags & (O::kStartUp | O::kOwnLayout)) | O::kDetached);
    object->m_container = nullptr;
  }
  m_listed.clear();
  m_unlisted.clear();
  m_listedCount = m_unlistedCount = 0;
  m_startUpOrder.clear();
  m_startUps.clear();
  m_startUpMemo.forget();

  for (O* object : unheld) object->dropReferences();
  for (O* object : listed) object->Release();
  for (O* object : unheld) object->Release();
}

HRESULT KroContainer::QueryInterface(const IID& iid, void** out) {
  return KroQueryInterfaces<KroIContainer>(this, iid, out);
}

// ---- listing ----------------------------------------------------------------------------------------

void KroContainer::setCollectionFloor(std::size_t floor) {
  m_floor = floor ? floor : 1;
  scheduleNextCollection();
}

void KroContainer::scheduleNextCollection() {
  // A floor of 1 collects before every instantiation: a debugging aid that finds objects used
  // without a reference of their own.
  m_nextCollection = m_floor == 1 ? 0 : std::max(m_floor, 2 * collectable());
}

HRESULT KroContainer::SetTransient(boolean transient) {
  m_transient = transient != 0;
  scheduleNextCollection();
  return S_OK;
}

void KroContainer::adopt(KroSpecObject* object, bool pinned) {
  if (collectable() >= m_nextCollection && !m_collecting) Collect();
  object->AddRef();
  if (KroSpecObject* startUp = object->startUp(); !startUp || startUp->container() != this) m_hadForeign = true;
  object->m_container = this;
  object->m_position = static_cast<std::uint32_t>(m_listed.size());
  object->m_flags |= O::kListed | O::kTracked;
  if (pinned) object->m_flags |= O::kPinned;
  m_listed.push_back(object);
  ++m_listedCount;
}

bool KroContainer::addStartUp(KroSpecObject* startUp) {
  if (!m_startUps.emplace(std::string(startUp->name()), startUp).second) return false;
  m_startUpMemo.forget();
  startUp->AddRef();
  startUp->m_container = this;
  startUp->m_flags |= O::kListed;
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
  list.Reserve(static_cast<int>(m_listedCount));
  forEachObject([&](KroSpecObject* object) { list.Append(KroISpecObject_var(object)); });
  return list;
}

void KroContainer::compact(Objects& objects) {
  std::size_t kept = 0;
  for (O* object : objects) {
    if (!object) continue;
    object->m_position = static_cast<std::uint32_t>(kept);
    objects[kept++] = object;
  }
  objects.resize(kept);
}

void KroContainer::dropFrom(Objects& objects, std::size_t& count, KroSpecObject* object) {
  if (object->m_position < objects.size() && objects[object->m_position] == object) {
    objects[object->m_position] = nullptr;
    --count;
  }
  if (!m_collecting && objects.size() > 64 && count * 2 < objects.size()) compact(objects);
}

void KroContainer::unlist(KroSpecObject* object) {
  dropFrom(m_listed, m_listedCount, object);
  object->m_flags &= static_cast<std::uint8_t>(~(O::kListed | O::kPinned));
  object->m_position = static_cast<std::uint32_t>(m_unlisted.size());
  m_unlisted.push_back(object);
  ++m_unlistedCount;
  object->Release();  // may destroy it, which untracks it
}

HRESULT KroContainer::RemoveObject(KroISpecObject* object) {
  KroSpecObject* concrete = object ? object->GetModelerObject() : nullptr;
  if (!concrete || concrete->container() != this || concrete->isStartUp()) return S_FALSE;
  // It stays tracked, without the container's reference, so that a cycle it is part of is still seen.
  unlist(concrete);
  return S_OK;
}

HRESULT KroContainer::RemoveTree(KroISpecObject* root, int& removed) {
  removed = 0;
  KroSpecObject* top = root ? root->GetModelerObject() : nullptr;
  if (!top || top->container() != this || top->isStartUp()) return S_FALSE;
  // The tree: the listed instances that the root reaches. A startup held in an attribute is not part of
  // any record's tree: the container's other instances still need it.
  Objects tree{top};
  top->m_flags |= O::kCandidate;
  for (std::size_t i = 0; i < tree.size(); ++i)
    tree[i]->forEachReference([&](KroISpecObject* value) {
      O* target = O::Real(value);
      if (target && target->container() == this && !target->isStartUp() && !(target->m_flags & O::kCandidate)) {
        target->m_flags |= O::kCandidate;
        tree.push_back(target);
      }
    });
  // The root goes whoever holds it; inside the tree, what is held from outside it stays with all it
  // reaches.
  MarkHeld(tree, {.notRoot = top});
  Objects going{top};
  for (O* object : tree) {
    if (object != top && !(object->m_flags & O::kMarked)) going.push_back(object);
    object->m_flags &= static_cast<std::uint8_t>(~O::kMarked);
  }
  for (O* object : going) object->AddRef();
  for (O* object : going) unlist(object);
  for (O* object : going) object->Release();
  removed = static_cast<int>(going.size());
  return S_OK;
}

void KroContainer::untrack(KroSpecObject* object) {
  if (!(object->m_flags & O::kTracked)) return;
  object->m_flags &= static_cast<std::uint8_t>(~O::kTracked);
  if (object->m_flags & O::kListed)
    dropFrom(m_listed, m_listedCount, object);
  else
    dropFrom(m_unlisted, m_unlistedCount, object);
  object->m_container = nullptr;
}

// ---- collecting -------------------------------------------------------------------------------------

void KroContainer::MarkHeld(const Objects& candidates, const MarkOptions& options) {
  const bool startUpEdges = options.startUpEdges;
  // Each candidate's count of references from outside lives in its position field while this runs
  // (nothing is listed or unlisted meanwhile); the positions wait here.
  std::vector<std::uint32_t> positions;
  positions.reserve(candidates.size());
  auto refs = [](O* object) -> std::int32_t& { return reinterpret_cast<std::int32_t&>(object->m_position); };
  for (O* object : candidates) {
    object->m_flags |= O::kCandidate;
    object->m_flags &= static_cast<std::uint8_t>(~O::kMarked);
    positions.push_back(object->m_position);
    refs(object) = static_cast<std::int32_t>(object->GetRefCount()) - ((object->m_flags & O::kListed) ? 1 : 0);
  }
  // Only a reference to the modeler object itself is internal: a client's object that wraps one holds
  // it from outside.
  auto internal = [](KroISpecObject* value) -> O* {
    O* target = O::Real(value);
    return target && (target->m_flags & O::kCandidate) ? target : nullptr;
  };
  for (O* object : candidates) {
    object->forEachReference([&](KroISpecObject* value) {
      if (O* target = internal(value)) --refs(target);
    });
    if (O* made = startUpEdges ? object->startUp() : nullptr; made && (made->m_flags & O::kCandidate)) --refs(made);
  }
  Objects pending;
  auto reach = [&](O* target) {
    if (target && !(target->m_flags & O::kMarked)) {
      target->m_flags |= O::kMarked;
      pending.push_back(target);
    }
  };
  if (options.notRoot && (options.notRoot->m_flags & O::kCandidate)) refs(options.notRoot) = 0;
  for (O* object : candidates) {
    const bool pinned = options.pins && (object->m_flags & O::kPinned) && (object->m_flags & O::kListed);
    if (refs(object) <= 0 && !pinned) continue;
    reach(object);
    while (!pending.empty()) {
      O* reached = pending.back();
      pending.pop_back();
      reached->forEachReference([&](KroISpecObject* value) { reach(internal(value)); });
      if (O* made = startUpEdges ? reached->startUp() : nullptr; made && (made->m_flags & O::kCandidate)) reach(made);
    }
  }
  // Backwards, so that a candidate listed twice gets the position saved first.
  for (std::size_t i = candidates.size(); i-- > 0;) {
    candidates[i]->m_flags &= static_cast<std::uint8_t>(~O::kCandidate);
    candidates[i]->m_position = positions[i];
  }
}

// In the store mode only unlisted objects can be garbage: listed ones are roots, and so is whatever they
// refer to. In the transient mode every tracked object is a candidate but the pinned ones.
int KroContainer::Collect() {
  if (m_collecting || m_closing) return 0;
  m_collecting = true;
  Objects candidates;
  candidates.reserve(collectable());
  if (m_transient)
    for (O* object : m_listed)
      if (object && !(object->m_flags & O::kPinned)) candidates.push_back(object);
  for (O* object : m_unlisted)
    if (object) candidates.push_back(object);
  MarkHeld(candidates, {.pins = true});

  // Garbage leaves the container, then lets go of its references, then of itself.
  Objects garbage;
  std::vector<bool> wasListed;
  for (O* object : candidates) {
    if (object->m_flags & O::kMarked) {
      object->m_flags &= static_cast<std::uint8_t>(~O::kMarked);
      continue;
    }
    const bool listed = object->m_flags & O::kListed;
    object->AddRef();
    if (listed)
      dropFrom(m_listed, m_listedCount, object);
    else
      dropFrom(m_unlisted, m_unlistedCount, object);
    object->m_flags &= static_cast<std::uint8_t>(~(O::kTracked | O::kListed | O::kPinned));
    object->m_container = nullptr;
    garbage.push_back(object);
    wasListed.push_back(listed);
  }
  if (m_transient) compact(m_listed);
  compact(m_unlisted);
  for (O* object : garbage) object->dropReferences();
  for (std::size_t i = 0; i < garbage.size(); ++i)
    if (wasListed[i]) garbage[i]->Release();
  for (O* object : garbage) object->Release();

  scheduleNextCollection();
  m_collecting = false;
  return static_cast<int>(garbage.size());
}

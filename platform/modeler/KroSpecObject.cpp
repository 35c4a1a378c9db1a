#include "KroSpecObject.h"

#include <charconv>
#include <new>

#include "KroContainer.h"

namespace {

bool UsableName(std::string_view name) { return !name.empty() && name.find('\0') == std::string_view::npos; }

// Parses an initial value given as text: numbers in decimal, booleans as true/false/1/0, strings as
// they stand, octets in hexadecimal, list elements separated by commas.
template <class T>
bool ParseNumber(std::string_view text, T& out) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return false;
  auto res = std::from_chars(text.data(), text.data() + text.size(), out);
  return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

template <class T, class F>
bool ParseList(std::string_view text, std::vector<T>& out, F element) {
  if (text.find_first_not_of(' ') == std::string_view::npos) return true;
  while (true) {
    std::size_t comma = text.find(',');
    T value{};
    if (!element(text.substr(0, comma), value)) return false;
    out.push_back(std::move(value));
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool ParseInitialValue(KroValueKind kind, std::string_view text, KroAttrValue& out) {
  auto number = [](auto t, auto& x) { return ParseNumber(t, x); };
  switch (kind) {
    case KroValue_Long: { std::int32_t v; if (!ParseNumber(text, v)) return false; out = v; return true; }
    case KroValue_Double: { double v; if (!ParseNumber(text, v)) return false; out = v; return true; }
    case KroValue_Boolean:
      if (text == "true" || text == "1") return out = true, true;
      if (text == "false" || text == "0") return out = false, true;
      return false;
    case KroValue_String: out = std::string(text); return true;
    case KroValue_LongList: { std::vector<std::int32_t> v; if (!ParseList(text, v, number)) return false; out = std::move(v); return true; }
    case KroValue_DoubleList: { std::vector<double> v; if (!ParseList(text, v, number)) return false; out = std::move(v); return true; }
    case KroValue_StringList: {
      std::vector<std::string> v;
      ParseList(text, v, [](auto t, auto& x) { x = std::string(t); return true; });
      out = std::move(v);
      return true;
    }
    default: return false;  // spec objects have no text form
  }
}

}  // namespace

// ---- making -----------------------------------------------------------------------------------------

KroSpecObject::KroSpecObject(KroSpecLayout* layout, KroSpecObject* startUp, bool isStartUp, std::string_view name,
                             std::uint32_t slotCount)
    : m_name(name),
      m_startUp(startUp),
      m_slotCount(slotCount) {
  if (isStartUp) m_flags |= kStartUp;
  if (startUp) {
    startUp->AddRef();
  } else {
    m_ownLayout = layout;
    m_flags |= kOwnLayout;
  }
}

void* KroSpecObject::Allocate(std::uint32_t slotCount) {
  return KroBaseUnknown::operator new(sizeof(KroSpecObject) + slotCount * sizeof(KroSlot));
}

KroSpecObject* KroSpecObject::NewStartUp(std::string_view name, std::string lateType) {
  auto* layout = new KroSpecLayout(std::move(lateType));
  auto* object = ::new (Allocate(0)) KroSpecObject(layout, nullptr, true, name, 0);
  return object;
}

KroSpecObject* KroSpecObject::NewInstance(KroSpecObject* startUp, std::string_view name) {
  const std::uint32_t count = startUp->m_slotCount;
  void* memory = Allocate(count);
  auto* slots = reinterpret_cast<KroSlot*>(static_cast<char*>(memory) + sizeof(KroSpecObject));
  const KroSlot* initial = startUp->slots();
  for (std::uint32_t i = 0; i < count; ++i) KroSlot::CopyConstruct(&slots[i], initial[i]);
  auto* object = ::new (memory) KroSpecObject(nullptr, startUp, false, name, count);
  if (const Side* s = startUp->own(); s && s->hasLateType) object->setLateType(s->lateType);
  return object;
}

KroSpecObject* KroSpecObject::NewLoose(std::string_view name, std::string lateType) {
  auto* layout = new KroSpecLayout(std::move(lateType));
  return ::new (Allocate(0)) KroSpecObject(layout, nullptr, false, name, 0);
}

namespace {
// References that dying objects held, released one after another by the outermost destruction, so that
// letting go of a long chain of objects takes a loop rather than one stack frame per link. The list
// lives in the outermost destructor's frame.
thread_local std::vector<KroISpecObject*>* t_pending = nullptr;
}  // namespace

KroSpecObject::~KroSpecObject() {
  if ((m_flags & kTracked) && m_container) m_container->untrack(this);
  std::vector<KroISpecObject*> local;
  const bool outermost = t_pending == nullptr;
  if (outermost) t_pending = &local;
  std::vector<KroISpecObject*>& pending = *t_pending;
  if (own())
    for (KroOwnAttribute& a : own()->attributes) {
      if (a.key) a.key->detach();
      a.slot.takeObjects(pending);
    }
  if (!isStartUp())
    for (std::uint32_t i = 0; i < m_slotCount; ++i) {
      slots()[i].takeObjects(pending);
      slots()[i].~KroSlot();
    }
  else if (own())
    for (KroSlot& slot : own()->startUpSlots) slot.takeObjects(pending);
  SetExtra(nullptr);
  if (m_flags & kOwnLayout) m_ownLayout->Release();
  if (outermost) {
    while (!local.empty()) {
      KroISpecObject* object = local.back();
      local.pop_back();
      object->Release();
    }
    t_pending = nullptr;
  }
  // A startup outlives its container's instances unless the container has closed; no chain forms here.
  if (!(m_flags & kOwnLayout) && m_startUp) m_startUp->Release();
}

KroSpecObject* KroSpecObject::Real(KroISpecObject* value) {
  KroSpecObject* object = value ? value->GetModelerObject() : nullptr;
  return object && static_cast<KroISpecObject*>(object) == value ? object : nullptr;
}

KroSpecObject::Side& KroSpecObject::side() {
  if (Side* s = own()) return *s;
  auto made = std::make_unique<Side>();
  Side& s = *made;
  SetExtra(std::move(made));
  return s;
}

const std::string& KroSpecObject::lateType() const {
  const Side* s = own();
  return s && s->hasLateType ? s->lateType : layout()->lateType();
}

void KroSpecObject::setLateType(std::string lateType) {
  if (lateType == layout()->lateType()) {
    if (Side* s = own()) s->hasLateType = false;
    return;
  }
  Side& s = side();
  s.lateType = std::move(lateType);
  s.hasLateType = true;
}

HRESULT KroSpecObject::QueryInterface(const IID& iid, void** out) {
  HRESULT hr = KroQueryInterfaces<KroISpecObject, KroISpecAttrAccess>(this, iid, out);
  return hr == E_NOINTERFACE
             ? QueryExtension(static_cast<KroBaseUnknown*>(static_cast<KroISpecObject*>(this)), lateType(), iid, out)
             : hr;
}

KroISpecObject* KroSpecObject::Instanciate(const KroUnicodeString& name, const KroIContainer_var& container, int) {
  if (!isStartUp()) return nullptr;
  KroContainer* target = container ? container->GetModelerContainer() : m_container;
  if (container && !target) return nullptr;  // a container of other origin cannot hold our objects
  // A closing container takes nothing new, nor does a startup whose container has closed.
  if (target ? target->closing() : (m_flags & kDetached) != 0) return nullptr;
  KroSpecObject* instance = NewInstance(this, name.view());
  if (target) target->adopt(instance);
  return instance;
}

// ---- places -----------------------------------------------------------------------------------------

KroAttrPlace KroSpecObject::ownPlace(std::uint32_t index) const {
  KroOwnAttribute& a = own()->attributes[index];
  return KroAttrPlace{&a.slot, a.kind, a.elementKind, a.valueKind, a.name, index, true};
}

std::uint32_t KroSpecObject::findOwn(std::string_view name, std::uint64_t hash) const {
  if (!own() || own()->live == 0) return KroNameIndex::kNone;
  return own()->index.find(name, hash, [this](std::uint32_t p) -> std::string_view { return own()->attributes[p].name; });
}

KroAttrPlace KroSpecObject::find(std::string_view name) {
  bool hasNul;
  const std::uint64_t hash = KroNameIndex::Hash(name, hasNul);
  if (hasNul || name.empty()) return {};
  return placeOf(name, layout()->find(name, hash), &hash);
}

KroAttrPlace KroSpecObject::findRemembered(const KroUnicodeString& name) {
  std::uint32_t head;
  if (layout()->recall(name, head)) return placeOf(name.view(), head, nullptr);
  bool hasNul;
  const std::uint64_t hash = KroNameIndex::Hash(name.view(), hasNul);
  if (hasNul || name.IsEmpty()) return {};
  head = layout()->find(name.view(), hash);
  layout()->remember(name, head);
  return placeOf(name.view(), head, &hash);
}

KroAttrPlace KroSpecObject::placeOf(std::string_view name, std::uint32_t head, const std::uint64_t* hash) const {
  for (std::uint32_t i = head; i != KroNameIndex::kNone; i = layout()->entry(i).previous)
    if (i < m_slotCount && !slots()[i].isAbsent()) return layoutPlace(i);
  if (!own() || own()->live == 0) return {};
  std::uint32_t own = findOwn(name, hash ? *hash : KroNameIndex::Hash(name));
  return own == KroNameIndex::kNone ? KroAttrPlace{} : ownPlace(own);
}

KroAttrPlace KroSpecObject::add(std::string_view name, TCKind kind, TCKind elementKind) {
  if (!UsableName(name) || !KroIsValidKind(kind, elementKind) || find(name)) return {};
  if (isStartUp()) {
    if (m_slotCount >= kMaxSlots) return {};
    // A startup owns its layout alone: instances made earlier keep their fewer slots.
    const std::uint32_t index = layout()->append(name, kind, elementKind);
    Side& s = side();
    s.startUpSlots.emplace_back();
    m_slotCount = static_cast<std::uint32_t>(s.startUpSlots.size());
    return layoutPlace(index);
  }
  Side& s = side();
  const auto index = static_cast<std::uint32_t>(s.attributes.size());
  KroOwnAttribute attribute;
  attribute.name = std::string(name);
  attribute.kind = kind;
  attribute.elementKind = elementKind;
  attribute.valueKind = KroValueKindOf(kind, elementKind);
  s.attributes.push_back(std::move(attribute));
  s.index.insert(index, KroNameIndex::Hash(name),
                 [this](std::uint32_t p) -> std::string_view { return own()->attributes[p].name; });
  ++s.live;
  return ownPlace(index);
}

KroAttrPlace KroSpecObject::resolve(KroISpecAttrKey* key) {
  if (!key) return {};
  KroSpecAttrRef* ref = key->GetModelerRef();
  if (!ref) return find(key->GetName().view());
  if (ref->layout() == layout()) {
    const std::uint32_t i = ref->index();
    if (i < m_slotCount && !slots()[i].isAbsent()) return layoutPlace(i);
  } else if (ref->owner() == this) {
    // A removed own attribute detaches its key, so an attached key names a live attribute.
    return ownPlace(ref->index());
  }
  // A key of another layout or object (another startup's, a closed document's) works by its name.
  return find(ref->name());
}

KroSpecAttrRef* KroSpecObject::keyOf(const KroAttrPlace& place) {
  if (!place.own) return layout()->key(place.index);
  KroOwnAttribute& a = own()->attributes[place.index];
  if (a.key) {
    a.key->AddRef();
    return a.key;
  }
  a.key = new KroSpecAttrRef(this, place.index, a.name, a.kind, a.elementKind);
  return a.key;
}

void KroSpecObject::forgetOwnKey(std::uint32_t index, const KroSpecAttrRef* key) {
  if (own() && index < own()->attributes.size() && own()->attributes[index].key == key)
    own()->attributes[index].key = nullptr;
}

KroISpecAttribute* KroSpecObject::handleOf(const KroAttrPlace& place) {
  KroSpecAttrRef* key = keyOf(place);
  auto* handle = new KroSpecAttrHandle(this, key);
  key->Release();
  return handle;
}

void KroSpecObject::removeOwn(std::uint32_t index) {
  KroOwnAttribute& a = own()->attributes[index];
  own()->index.erase(a.name, KroNameIndex::Hash(a.name),
                     [this](std::uint32_t p) -> std::string_view { return own()->attributes[p].name; });
  a.removed = true;
  a.slot.unset();
  if (a.key) {
    a.key->detach();
    a.key = nullptr;
  }
  --own()->live;
  // Compact once removed entries outnumber live ones, keeping removal O(1) amortised.
  if (own()->attributes.size() > 32 && own()->live * 2 < own()->attributes.size()) compactOwn();
}

void KroSpecObject::compactOwn() {
  std::deque<KroOwnAttribute> live;
  for (KroOwnAttribute& a : own()->attributes) {
    if (a.removed) continue;
    if (a.key) a.key->moveTo(static_cast<std::uint32_t>(live.size()));
    live.push_back(std::move(a));
  }
  own()->attributes = std::move(live);
  own()->index.rebuild(static_cast<std::uint32_t>(own()->attributes.size()),
                       [this](std::uint32_t p) -> std::string_view { return own()->attributes[p].name; });
}

// ---- KroISpecObject ---------------------------------------------------------------------------------

KroISpecAttribute* KroSpecObject::AddAttribute(const KroUnicodeString& name, TCKind kind, int) {
  KroAttrPlace place = add(name.view(), kind, tk_null);
  return place ? handleOf(place) : nullptr;
}

KroISpecAttribute* KroSpecObject::AddAttribute(const KroUnicodeString& name, TCKind kind, TCKind secondKind, int) {
  KroAttrPlace place = add(name.view(), kind, secondKind);
  return place ? handleOf(place) : nullptr;
}

KroISpecAttribute* KroSpecObject::AddAttribute(const KroUnicodeString& name, TCKind kind,
                                               const KroUnicodeString& text, int) {
  const TCKind element = kind == tk_list ? tk_string : tk_null;  // a list given by text alone holds its texts
  KroAttrValue value;
  if (!UsableName(name.view()) || !ParseInitialValue(KroValueKindOf(kind, element), text.view(), value)) return nullptr;
  KroAttrPlace place = add(name.view(), kind, element);
  if (!place) return nullptr;
  place.slot->assign(value, place.valueKind);
  return handleOf(place);
}

KroISpecAttribute* KroSpecObject::GetAttribute(const KroUnicodeString& name) {
  KroAttrPlace place = findRemembered(name);
  return place ? handleOf(place) : nullptr;
}

HRESULT KroSpecObject::RemoveAttribute(KroISpecAttribute* attribute) {
  auto* handle = dynamic_cast<KroSpecAttrHandle*>(attribute);
  if (!handle || handle->object() != this) return S_FALSE;
  KroAttrPlace place = resolve(handle->key());
  if (!place) return S_FALSE;
  if (place.own)
    removeOwn(place.index);
  else
    place.slot->setAbsent();
  return S_OK;
}

KroListValKroISpecAttribute_var* KroSpecObject::ListAttributes() {
  auto* list = new KroListValKroISpecAttribute_var();
  list->Reserve(CountAttributes());
  forEachAttribute([&](const KroAttrPlace& place) { list->Append(KroISpecAttribute_var::Adopt(handleOf(place))); });
  return list;
}

int KroSpecObject::CountAttributes() const {
  int count = 0;
  for (std::uint32_t i = 0; i < m_slotCount; ++i)
    if (!slots()[i].isAbsent()) ++count;
  return count + (own() ? static_cast<int>(own()->live) : 0);
}

KroISpecObject* KroSpecObject::GetStartUp() {
  KroSpecObject* made = startUp();
  if (!made) return nullptr;
  made->AddRef();
  return made;
}

KroIContainer* KroSpecObject::GetContainer() {
  KroContainer* listedIn = container();
  if (!listedIn) return nullptr;
  listedIn->AddRef();
  return listedIn;
}

void KroSpecObject::dropReferences() {
  for (std::uint32_t i = 0; i < m_slotCount; ++i)
    if (slots()[i].holdsObjects()) slots()[i].unset();
  if (own())
    for (KroOwnAttribute& a : own()->attributes)
      if (a.slot.holdsObjects()) a.slot.unset();
}

// ---- typed access -----------------------------------------------------------------------------------

namespace {

template <class T>
constexpr KroValueKind ScalarKind() {
  if constexpr (std::is_same_v<T, std::int32_t>) return KroValue_Long;
  else if constexpr (std::is_same_v<T, double>) return KroValue_Double;
  else if constexpr (std::is_same_v<T, bool>) return KroValue_Boolean;
  else return KroValue_String;
}

template <class T>
constexpr KroValueKind ListKind() {
  if constexpr (std::is_same_v<T, std::int32_t>) return KroValue_LongList;
  else if constexpr (std::is_same_v<T, double>) return KroValue_DoubleList;
  else return KroValue_StringList;
}

}  // namespace

// A single value set on a list attribute of its kind is appended, as the Append operations do.
template <class T>
HRESULT KroSpecObject::setScalar(KroISpecAttrKey* key, T value) {
  KroAttrPlace place = resolve(key);
  if (!place) return E_INVALIDARG;
  KroSlot& slot = *place.slot;
  if constexpr (!std::is_same_v<T, bool>) {
    if (place.kind == tk_list) {
      if (place.valueKind != ListKind<T>()) return E_FAIL;
      if constexpr (std::is_same_v<T, std::int32_t>) slot.longList().push_back(value);
      else if constexpr (std::is_same_v<T, double>) slot.doubleList().push_back(value);
      else slot.stringList().emplace_back(value);
      return S_OK;
    }
  }
  if (place.valueKind != ScalarKind<T>()) return E_FAIL;
  if constexpr (std::is_same_v<T, std::int32_t>) slot.setLong(value);
  else if constexpr (std::is_same_v<T, double>) slot.setDouble(value);
  else if constexpr (std::is_same_v<T, bool>) slot.setBool(value);
  else slot.setString(value);
  return S_OK;
}

KroISpecAttrKey* KroSpecObject::GetAttrKey(const char* name) {
  KroAttrPlace place = find(name ? std::string_view(name) : std::string_view());
  return place ? keyOf(place) : nullptr;
}

KroISpecAttrKey* KroSpecObject::GetAttrKey(const KroUnicodeString& name) {
  // The usual case without building a place: a remembered name whose newest entry is present here.
  std::uint32_t head;
  if (layout()->recall(name, head) && head < m_slotCount && !slots()[head].isAbsent()) return layout()->key(head);
  KroAttrPlace place = findRemembered(name);
  return place ? keyOf(place) : nullptr;
}

HRESULT KroSpecObject::ListAttrKeys(KroListValKroISpecAttrKey_var& keys) {
  keys.RemoveAll();
  keys.Reserve(CountAttributes());
  forEachAttribute([&](const KroAttrPlace& place) { keys.Append(KroISpecAttrKey_var::Adopt(keyOf(place))); });
  return S_OK;
}

boolean KroSpecObject::TestAttribute(const char* name) {
  KroAttrPlace place = find(name ? std::string_view(name) : std::string_view());
  return place && place.slot->isSet() ? 1 : 0;
}

HRESULT KroSpecObject::SetDouble(KroISpecAttrKey* key, double value, int) { return setScalar(key, value); }
HRESULT KroSpecObject::SetInteger(KroISpecAttrKey* key, int value, int) { return setScalar<std::int32_t>(key, value); }
HRESULT KroSpecObject::SetBoolean(KroISpecAttrKey* key, boolean value, int) { return setScalar<bool>(key, value != 0); }
HRESULT KroSpecObject::SetString(KroISpecAttrKey* key, const KroUnicodeString& value, int) {
  return setScalar<std::string_view>(key, value.view());
}

HRESULT KroSpecObject::SetSpecObject(KroISpecAttrKey* key, KroISpecObject* value, int, int, int) {
  KroAttrPlace place = resolve(key);
  if (!place) return E_INVALIDARG;
  if (place.kind == tk_list) {
    // A null is an element like any other: a list keeps what it was given, in order.
    if (place.valueKind != KroValue_ObjectList) return E_FAIL;
    place.slot->appendObject(value);
    return S_OK;
  }
  if (place.kind != tk_specobject) return E_FAIL;
  if (!value)
    place.slot->unset();
  else
    place.slot->setObject(value);
  return S_OK;
}

double KroSpecObject::GetDouble(KroISpecAttrKey* key, int) {
  KroAttrPlace place = resolve(key);
  return place && place.slot->kind() == KroValue_Double ? place.slot->getDouble() : 0.0;
}

int KroSpecObject::GetInteger(KroISpecAttrKey* key, int) {
  KroAttrPlace place = resolve(key);
  return place && place.slot->kind() == KroValue_Long ? place.slot->getLong() : 0;
}

boolean KroSpecObject::GetBoolean(KroISpecAttrKey* key, int) {
  KroAttrPlace place = resolve(key);
  return place && place.slot->kind() == KroValue_Boolean && place.slot->getBool() ? 1 : 0;
}

KroUnicodeString KroSpecObject::GetString(KroISpecAttrKey* key, int) {
  KroAttrPlace place = resolve(key);
  return place && place.slot->kind() == KroValue_String ? KroUnicodeString(place.slot->bytes()) : KroUnicodeString();
}

KroISpecObject* KroSpecObject::GetSpecObject(KroISpecAttrKey* key, int) {
  KroAttrPlace place = resolve(key);
  if (!place || place.slot->kind() != KroValue_Object) return nullptr;
  KroISpecObject* object = place.slot->object();
  if (object) object->AddRef();
  return object;
}

namespace {
// The checked getters' result: E_INVALIDARG when the key names nothing here, E_FAIL for another kind,
// S_FALSE when the attribute holds no value.
HRESULT ReadResult(const KroAttrPlace& place, KroValueKind wanted) {
  if (!place) return E_INVALIDARG;
  if (place.valueKind != wanted) return E_FAIL;
  return place.slot->kind() == wanted ? S_OK : S_FALSE;
}
}  // namespace

HRESULT KroSpecObject::ReadInteger(KroISpecAttrKey* key, int& out) {
  KroAttrPlace place = resolve(key);
  const HRESULT hr = ReadResult(place, KroValue_Long);
  out = hr == S_OK ? place.slot->getLong() : 0;
  return hr;
}

HRESULT KroSpecObject::ReadDouble(KroISpecAttrKey* key, double& out) {
  KroAttrPlace place = resolve(key);
  const HRESULT hr = ReadResult(place, KroValue_Double);
  out = hr == S_OK ? place.slot->getDouble() : 0.0;
  return hr;
}

HRESULT KroSpecObject::ReadBoolean(KroISpecAttrKey* key, boolean& out) {
  KroAttrPlace place = resolve(key);
  const HRESULT hr = ReadResult(place, KroValue_Boolean);
  out = hr == S_OK && place.slot->getBool() ? 1 : 0;
  return hr;
}

HRESULT KroSpecObject::ReadString(KroISpecAttrKey* key, KroUnicodeString& out) {
  KroAttrPlace place = resolve(key);
  const HRESULT hr = ReadResult(place, KroValue_String);
  out = hr == S_OK ? KroUnicodeString(place.slot->bytes()) : KroUnicodeString();
  return hr;
}

HRESULT KroSpecObject::ReadSpecObject(KroISpecAttrKey* key, KroISpecObject_var& out) {
  KroAttrPlace place = resolve(key);
  HRESULT hr = ReadResult(place, KroValue_Object);
  out = hr == S_OK ? KroISpecObject_var(place.slot->object()) : KroISpecObject_var();
  if (hr == S_OK && !out) hr = S_FALSE;
  return hr;
}

HRESULT KroSpecObject::SetListInteger(KroISpecAttrKey* key, const KroRawCollint& values) {
  KroAttrPlace place = resolve(key);
  if (!place) return E_INVALIDARG;
  if (place.valueKind != KroValue_LongList) return E_FAIL;
  place.slot->setLongList(std::vector<std::int32_t>(values.begin(), values.end()));
  return S_OK;
}

HRESULT KroSpecObject::SetListDouble(KroISpecAttrKey* key, const KroRawColldouble& values) {
  KroAttrPlace place = resolve(key);
  if (!place) return E_INVALIDARG;
  if (place.valueKind != KroValue_DoubleList) return E_FAIL;
  place.slot->setDoubleList(values.items());
  return S_OK;
}

HRESULT KroSpecObject::SetListString(KroISpecAttrKey* key, const KroListValKroUnicodeString& values) {
  KroAttrPlace place = resolve(key);
  if (!place) return E_INVALIDARG;
  if (place.valueKind != KroValue_StringList) return E_FAIL;
  std::vector<std::string> texts;
  texts.reserve(values.items().size());
  for (const auto& value : values) texts.push_back(value.str());
  place.slot->setStringList(std::move(texts));
  return S_OK;
}

HRESULT KroSpecObject::SetOctets(KroISpecAttrKey* key, const SEQUENCE_octet& value) {
  KroAttrPlace place = resolve(key);
  if (!place) return E_INVALIDARG;
  if (place.valueKind != KroValue_Octets) return E_FAIL;
  place.slot->setOctets(value.data(), value.length());
  return S_OK;
}

namespace {
// The list held by a place of the wanted kind, or null for another kind; an unset list reads as empty.
template <class T>
const std::vector<T>* ListAt(const KroAttrPlace& place, KroValueKind wanted) {
  static const std::vector<T> empty;
  if (!place || place.valueKind != wanted) return nullptr;
  return place.slot->kind() == wanted ? &place.slot->listOf<T>() : &empty;
}
}  // namespace

KroRawCollint* KroSpecObject::GetListInteger(KroISpecAttrKey* key) {
  const auto* values = ListAt<std::int32_t>(resolve(key), KroValue_LongList);
  if (!values) return nullptr;
  auto* out = new KroRawCollint();
  out->items().assign(values->begin(), values->end());
  return out;
}

KroRawColldouble* KroSpecObject::GetListDouble(KroISpecAttrKey* key) {
  const auto* values = ListAt<double>(resolve(key), KroValue_DoubleList);
  if (!values) return nullptr;
  auto* out = new KroRawColldouble();
  out->items() = *values;
  return out;
}

KroListValKroUnicodeString* KroSpecObject::GetListString(KroISpecAttrKey* key) {
  const auto* values = ListAt<std::string>(resolve(key), KroValue_StringList);
  if (!values) return nullptr;
  auto* out = new KroListValKroUnicodeString();
  out->Reserve(static_cast<int>(values->size()));
  for (const auto& value : *values) out->Append(KroUnicodeString(value));
  return out;
}

SEQUENCE_octet* KroSpecObject::GetOctets(KroISpecAttrKey* key) {
  KroAttrPlace place = resolve(key);
  if (!place || place.valueKind != KroValue_Octets) return nullptr;
  if (place.slot->kind() != KroValue_Octets) return new SEQUENCE_octet();
  std::string_view bytes = place.slot->bytes();
  return new SEQUENCE_octet(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

HRESULT KroSpecObject::UnsetAttribute(KroISpecAttrKey* key) {
  KroAttrPlace place = resolve(key);
  if (!place) return E_INVALIDARG;
  place.slot->unset();
  return S_OK;
}

KroListValKroBaseUnknown_var* KroSpecObject::GetListSpecObject(KroISpecAttrKey* key, const IID& iid) {
  const auto* values = ListAt<KroISpecObject*>(resolve(key), KroValue_ObjectList);
  if (!values) return nullptr;
  auto* out = new KroListValKroBaseUnknown_var();
  out->Reserve(static_cast<int>(values->size()));
  KroToBaseFn toBase = KroFindInterfaceToBase(iid);
  for (KroISpecObject* element : *values) {
    void* queried = nullptr;
    KroBaseUnknown* base = nullptr;
    if (element && toBase && SUCCEEDED(element->QueryInterface(iid, &queried)) && queried) base = toBase(queried);
    out->Append(KroBaseUnknown_var::Adopt(base));
  }
  return out;
}

// A four-attribute record is one block of 88 + 4 x 24 = 184 bytes, which the allocator serves in 192
// (docs/store.md): a word more would make it 208.
static_assert(sizeof(void*) != 8 || sizeof(KroSpecObject) <= 88, "a spec object's fixed part grew");

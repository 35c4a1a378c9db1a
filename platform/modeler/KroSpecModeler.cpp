#include "KroSpecModeler.h"

#include <charconv>
#include <string_view>

// ---- kinds ------------------------------------------------------------------------------------------

bool KroIsValidKind(TCKind kind, TCKind elementKind) {
  switch (kind) {
    case tk_long:
    case tk_double:
    case tk_boolean:
    case tk_string:
    case tk_specobject:
      return elementKind == tk_null;
    case tk_list:
      return elementKind == tk_long || elementKind == tk_double || elementKind == tk_string ||
             elementKind == tk_specobject || elementKind == tk_octet;
    default:
      return false;
  }
}

std::size_t KroValueIndexOf(TCKind kind, TCKind elementKind) {
  if (kind != tk_list) {
    switch (kind) {
      case tk_long: return 1;
      case tk_double: return 2;
      case tk_boolean: return 3;
      case tk_string: return 4;
      case tk_specobject: return 6;
      default: return 0;
    }
  }
  switch (elementKind) {
    case tk_octet: return 5;
    case tk_long: return 7;
    case tk_double: return 8;
    case tk_string: return 9;
    case tk_specobject: return 10;
    default: return 0;
  }
}

namespace {

// Parses an initial value given as text: numbers in decimal, booleans as true/false/1/0, strings
// as they stand, octets in hexadecimal, list elements separated by commas.
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

bool ParseInitialValue(TCKind kind, TCKind elementKind, std::string_view text, KroAttrValue& out) {
  auto parseBool = [](std::string_view t, bool& b) {
    if (t == "true" || t == "1") return b = true, true;
    if (t == "false" || t == "0") return b = false, true;
    return false;
  };
  switch (KroValueIndexOf(kind, elementKind)) {
    case 1: { std::int32_t v; if (!ParseNumber(text, v)) return false; out = v; return true; }
    case 2: { double v; if (!ParseNumber(text, v)) return false; out = v; return true; }
    case 3: { bool v; if (!parseBool(text, v)) return false; out = v; return true; }
    case 4: out = std::string(text); return true;
    case 5: {
      if (text.size() % 2) return false;
      std::vector<unsigned char> bytes;
      for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned int b = 0;
        auto res = std::from_chars(text.data() + i, text.data() + i + 2, b, 16);
        if (res.ec != std::errc() || res.ptr != text.data() + i + 2) return false;
        bytes.push_back(static_cast<unsigned char>(b));
      }
      out = std::move(bytes);
      return true;
    }
    case 7: { std::vector<std::int32_t> v; if (!ParseList(text, v, [](auto t, auto& x) { return ParseNumber(t, x); })) return false; out = std::move(v); return true; }
    case 8: { std::vector<double> v; if (!ParseList(text, v, [](auto t, auto& x) { return ParseNumber(t, x); })) return false; out = std::move(v); return true; }
    case 9: { std::vector<std::string> v; ParseList(text, v, [](auto t, auto& x) { x = std::string(t); return true; }); out = std::move(v); return true; }
    default: return false;  // spec objects have no text form
  }
}

}  // namespace

// ---- attribute --------------------------------------------------------------------------------------

KroSpecAttribute::KroSpecAttribute(KroSpecObject* owner, std::string name, TCKind kind, TCKind elementKind)
    : m_owner(owner), m_name(std::move(name)), m_kind(kind), m_elementKind(elementKind) {}

HRESULT KroSpecAttribute::QueryInterface(const IID& iid, void** out) {
  return KroQueryInterfaces<KroISpecAttribute, KroISpecAttrKey>(this, iid, out);
}

bool KroSpecAttribute::assign(KroAttrValue value) {
  if (!std::holds_alternative<std::monostate>(value) && value.index() != KroValueIndexOf(m_kind, m_elementKind))
    return false;
  m_value = std::move(value);
  return true;
}

template <class T>
HRESULT KroSpecAttribute::append(T value) {
  if (isList()) {
    auto* list = std::get_if<std::vector<T>>(&m_value);
    if (!list) {
      if (KroValueIndexOf(m_kind, m_elementKind) != KroAttrValue(std::vector<T>{}).index()) return E_FAIL;
      m_value = std::vector<T>{};
      list = std::get_if<std::vector<T>>(&m_value);
    }
    list->push_back(std::move(value));
    return S_OK;
  }
  return assign(KroAttrValue(std::move(value))) ? S_OK : E_FAIL;
}

HRESULT KroSpecAttribute::AppendInteger(int value, int) { return append<std::int32_t>(value); }
HRESULT KroSpecAttribute::AppendDouble(double value, int) { return append<double>(value); }
HRESULT KroSpecAttribute::AppendString(const KroUnicodeString& value, int) { return append<std::string>(value.str()); }
HRESULT KroSpecAttribute::AppendSpecObject(KroISpecObject* value, int) {
  if (!value) return E_INVALIDARG;
  return append<KroISpecObject_var>(KroISpecObject_var(value));
}

// ---- spec object ------------------------------------------------------------------------------------

KroSpecObject::KroSpecObject(std::string name, std::string lateType, bool isStartUp, KroISpecObject* startUp)
    : KroExtensionHost(static_cast<KroBaseUnknown*>(static_cast<KroISpecObject*>(this))),
      m_name(std::move(name)),
      m_lateType(std::move(lateType)),
      m_isStartUp(isStartUp),
      m_startUp(startUp) {}

KroSpecObject::~KroSpecObject() {
  for (KroSpecAttribute* attribute : m_order) {
    if (!attribute) continue;
    attribute->detach();
    attribute->Release();
  }
}

HRESULT KroSpecObject::QueryInterface(const IID& iid, void** out) {
  HRESULT hr = KroQueryInterfaces<KroISpecObject, KroISpecAttrAccess>(this, iid, out);
  return hr == E_NOINTERFACE ? QueryExtension(m_lateType.c_str(), iid, out) : hr;
}

KroISpecObject* KroSpecObject::Instanciate(const KroUnicodeString& name, const KroIContainer_var& container, int) {
  if (!m_isStartUp) return nullptr;
  KroContainer* target = container ? dynamic_cast<KroContainer*>(container.ptr()) : m_container;
  auto* instance = new KroSpecObject(name.str(), m_lateType, false, this);
  for (KroSpecAttribute* attribute : attributes())
    instance->addAttribute(attribute->name(), attribute->GetKind(), attribute->GetElementKind())
        ->assign(attribute->value());
  if (target) target->adopt(instance);
  return instance;
}

KroSpecAttribute* KroSpecObject::findAttribute(const std::string& name) const {
  auto it = m_index.find(name);
  return it == m_index.end() ? nullptr : m_order[it->second];
}

KroSpecAttribute* KroSpecObject::addAttribute(const std::string& name, TCKind kind, TCKind elementKind) {
  // A name with a NUL byte could never be asked for by key (keys are found by C string).
  if (name.empty() || name.find('\0') != std::string::npos || !KroIsValidKind(kind, elementKind) ||
      m_index.count(name))
    return nullptr;
  auto* attribute = new KroSpecAttribute(this, name, kind, elementKind);
  m_index.emplace(name, m_order.size());
  m_order.push_back(attribute);
  return attribute;
}

std::vector<KroSpecAttribute*> KroSpecObject::attributes() const {
  std::vector<KroSpecAttribute*> out;
  out.reserve(m_index.size());
  for (KroSpecAttribute* attribute : m_order)
    if (attribute) out.push_back(attribute);
  return out;
}

KroISpecAttribute* KroSpecObject::AddAttribute(const KroUnicodeString& name, TCKind kind, int) {
  KroSpecAttribute* attribute = addAttribute(name.str(), kind, tk_null);
  if (attribute) attribute->AddRef();
  return attribute;
}

KroISpecAttribute* KroSpecObject::AddAttribute(const KroUnicodeString& name, TCKind kind, TCKind secondKind, int) {
  KroSpecAttribute* attribute = addAttribute(name.str(), kind, secondKind);
  if (attribute) attribute->AddRef();
  return attribute;
}

KroISpecAttribute* KroSpecObject::AddAttribute(const KroUnicodeString& name, TCKind kind,
                                               const KroUnicodeString& text, int) {
  TCKind element = tk_null;
  if (kind == tk_list) element = tk_string;  // a list given by text alone holds its texts
  KroAttrValue value;
  if (!ParseInitialValue(kind, element, text.str(), value)) return nullptr;
  KroSpecAttribute* attribute = addAttribute(name.str(), kind, element);
  if (!attribute) return nullptr;
  attribute->assign(std::move(value));
  attribute->AddRef();
  return attribute;
}

KroISpecAttribute* KroSpecObject::GetAttribute(const KroUnicodeString& name) {
  KroSpecAttribute* attribute = findAttribute(name.str());
  if (attribute) attribute->AddRef();
  return attribute;
}

HRESULT KroSpecObject::RemoveAttribute(KroISpecAttribute* attribute) {
  auto* concrete = dynamic_cast<KroSpecAttribute*>(attribute);
  if (!concrete || concrete->owner() != this) return S_FALSE;
  auto it = m_index.find(concrete->name());
  m_order[it->second] = nullptr;
  m_index.erase(it);
  concrete->detach();
  concrete->Release();
  // Compact once removed slots outnumber live ones, keeping removal O(1) amortised.
  if (m_order.size() > 32 && m_index.size() * 2 < m_order.size()) {
    std::vector<KroSpecAttribute*> live = attributes();
    m_order = std::move(live);
    for (std::size_t i = 0; i < m_order.size(); ++i) m_index[m_order[i]->name()] = i;
  }
  return S_OK;
}

KroListValKroISpecAttribute_var* KroSpecObject::ListAttributes() {
  auto* list = new KroListValKroISpecAttribute_var();
  list->Reserve(CountAttributes());
  for (KroSpecAttribute* attribute : attributes()) list->Append(KroISpecAttribute_var(attribute));
  return list;
}

KroSpecObject* KroSpecObject::startUp() const {
  return m_startUp ? dynamic_cast<KroSpecObject*>(m_startUp.ptr()) : nullptr;
}

KroISpecObject* KroSpecObject::GetStartUp() {
  if (!m_startUp) return nullptr;
  m_startUp->AddRef();
  return m_startUp.ptr();
}

KroIContainer* KroSpecObject::GetContainer() {
  if (!m_container) return nullptr;
  m_container->AddRef();
  return m_container;
}

void KroSpecObject::dropReferences() {
  for (KroSpecAttribute* attribute : attributes()) {
    std::size_t index = attribute->value().index();
    if (index == 6 || index == 10) attribute->value() = std::monostate{};
  }
}

// ---- typed access -----------------------------------------------------------------------------------

KroSpecAttribute* KroSpecObject::own(KroISpecAttrKey* key) const {
  auto* attribute = dynamic_cast<KroSpecAttribute*>(key);
  return attribute && attribute->owner() == this ? attribute : nullptr;
}

template <class T>
T* KroSpecObject::typedValue(KroISpecAttrKey* key) {
  KroSpecAttribute* attribute = own(key);
  return attribute ? std::get_if<T>(&attribute->value()) : nullptr;
}

template <class T>
HRESULT KroSpecObject::setTyped(KroISpecAttrKey* key, T value) {
  KroSpecAttribute* attribute = own(key);
  if (!attribute) return E_INVALIDARG;
  return attribute->assign(KroAttrValue(std::move(value))) ? S_OK : E_FAIL;
}

// A single value set on a list attribute of its kind is appended, as the Append operations do.
template <class T>
HRESULT KroSpecObject::setScalar(KroISpecAttrKey* key, T value) {
  KroSpecAttribute* attribute = own(key);
  if (!attribute) return E_INVALIDARG;
  if constexpr (!std::is_same_v<T, bool>)
    if (attribute->isList()) {
      auto* list = std::get_if<std::vector<T>>(&attribute->value());
      if (KroValueIndexOf(attribute->GetKind(), attribute->GetElementKind()) != KroAttrValue(std::vector<T>{}).index())
        return E_FAIL;
      if (!list) {
        attribute->value() = std::vector<T>{};
        list = std::get_if<std::vector<T>>(&attribute->value());
      }
      list->push_back(std::move(value));
      return S_OK;
    }
  return attribute->assign(KroAttrValue(std::move(value))) ? S_OK : E_FAIL;
}

KroISpecAttrKey* KroSpecObject::GetAttrKey(const char* name) {
  KroSpecAttribute* attribute = findAttribute(name ? name : "");
  if (attribute) attribute->AddRef();
  return attribute;
}

HRESULT KroSpecObject::ListAttrKeys(KroListValKroISpecAttrKey_var& keys) {
  keys.RemoveAll();
  keys.Reserve(CountAttributes());
  for (KroSpecAttribute* attribute : attributes()) keys.Append(KroISpecAttrKey_var(attribute));
  return S_OK;
}

boolean KroSpecObject::TestAttribute(const char* name) {
  KroSpecAttribute* attribute = findAttribute(name ? name : "");
  return attribute && !std::holds_alternative<std::monostate>(attribute->value()) ? 1 : 0;
}

HRESULT KroSpecObject::SetDouble(KroISpecAttrKey* key, double value, int) { return setScalar(key, value); }
HRESULT KroSpecObject::SetInteger(KroISpecAttrKey* key, int value, int) { return setScalar<std::int32_t>(key, value); }
HRESULT KroSpecObject::SetBoolean(KroISpecAttrKey* key, boolean value, int) { return setScalar<bool>(key, value != 0); }
HRESULT KroSpecObject::SetString(KroISpecAttrKey* key, const KroUnicodeString& value, int) {
  return setScalar<std::string>(key, value.str());
}

HRESULT KroSpecObject::SetSpecObject(KroISpecAttrKey* key, KroISpecObject* value, int, int, int) {
  KroSpecAttribute* attribute = own(key);
  if (!attribute) return E_INVALIDARG;
  if (attribute->isList()) return attribute->AppendSpecObject(value);
  if (attribute->GetKind() != tk_specobject) return E_FAIL;
  if (!value) {
    attribute->value() = std::monostate{};
    return S_OK;
  }
  return attribute->assign(KroAttrValue(KroISpecObject_var(value))) ? S_OK : E_FAIL;
}

double KroSpecObject::GetDouble(KroISpecAttrKey* key, int) {
  double* v = typedValue<double>(key);
  return v ? *v : 0.0;
}

int KroSpecObject::GetInteger(KroISpecAttrKey* key, int) {
  std::int32_t* v = typedValue<std::int32_t>(key);
  return v ? *v : 0;
}

boolean KroSpecObject::GetBoolean(KroISpecAttrKey* key, int) {
  bool* v = typedValue<bool>(key);
  return v && *v ? 1 : 0;
}

KroUnicodeString KroSpecObject::GetString(KroISpecAttrKey* key, int) {
  std::string* v = typedValue<std::string>(key);
  return v ? KroUnicodeString(*v) : KroUnicodeString();
}

KroISpecObject* KroSpecObject::GetSpecObject(KroISpecAttrKey* key, int) {
  KroISpecObject_var* v = typedValue<KroISpecObject_var>(key);
  if (!v || !*v) return nullptr;
  (*v)->AddRef();
  return v->ptr();
}

HRESULT KroSpecObject::SetListInteger(KroISpecAttrKey* key, const KroRawCollint& values) {
  return setTyped(key, std::vector<std::int32_t>(values.begin(), values.end()));
}

HRESULT KroSpecObject::SetListDouble(KroISpecAttrKey* key, const KroRawColldouble& values) {
  return setTyped(key, values.items());
}

HRESULT KroSpecObject::SetListString(KroISpecAttrKey* key, const KroListValKroUnicodeString& values) {
  std::vector<std::string> texts;
  texts.reserve(values.items().size());
  for (const auto& value : values) texts.push_back(value.str());
  return setTyped(key, std::move(texts));
}

HRESULT KroSpecObject::SetOctets(KroISpecAttrKey* key, const SEQUENCE_octet& value) {
  return setTyped(key, value.bytes());
}

namespace {
// The value of a list attribute of the wanted alternative: null for another kind, else the list
// (an unset list reads as empty).
template <class T>
const std::vector<T>* ListOf(KroSpecAttribute* attribute, bool& ok) {
  static const std::vector<T> empty;
  ok = false;
  if (!attribute || KroValueIndexOf(attribute->GetKind(), attribute->GetElementKind()) !=
                        KroAttrValue(std::vector<T>{}).index())
    return nullptr;
  ok = true;
  auto* list = std::get_if<std::vector<T>>(&attribute->value());
  return list ? list : &empty;
}
}  // namespace

KroRawCollint* KroSpecObject::GetListInteger(KroISpecAttrKey* key) {
  bool ok;
  auto* values = ListOf<std::int32_t>(own(key), ok);
  if (!ok) return nullptr;
  auto* out = new KroRawCollint();
  out->items().assign(values->begin(), values->end());
  return out;
}

KroRawColldouble* KroSpecObject::GetListDouble(KroISpecAttrKey* key) {
  bool ok;
  auto* values = ListOf<double>(own(key), ok);
  if (!ok) return nullptr;
  auto* out = new KroRawColldouble();
  out->items() = *values;
  return out;
}

KroListValKroUnicodeString* KroSpecObject::GetListString(KroISpecAttrKey* key) {
  bool ok;
  auto* values = ListOf<std::string>(own(key), ok);
  if (!ok) return nullptr;
  auto* out = new KroListValKroUnicodeString();
  out->Reserve(static_cast<int>(values->size()));
  for (const auto& value : *values) out->Append(KroUnicodeString(value));
  return out;
}

SEQUENCE_octet* KroSpecObject::GetOctets(KroISpecAttrKey* key) {
  bool ok;
  auto* values = ListOf<unsigned char>(own(key), ok);
  if (!ok) return nullptr;
  return new SEQUENCE_octet(*values);
}

HRESULT KroSpecObject::UnsetAttribute(KroISpecAttrKey* key) {
  KroSpecAttribute* attribute = own(key);
  if (!attribute) return E_INVALIDARG;
  attribute->value() = std::monostate{};
  return S_OK;
}

KroListValKroBaseUnknown_var* KroSpecObject::GetListSpecObject(KroISpecAttrKey* key, const IID& iid) {
  bool ok;
  auto* values = ListOf<KroISpecObject_var>(own(key), ok);
  if (!ok) return nullptr;
  auto* out = new KroListValKroBaseUnknown_var();
  out->Reserve(static_cast<int>(values->size()));
  KroToBaseFn toBase = KroFindInterfaceToBase(iid);
  for (const KroISpecObject_var& element : *values) {
    void* queried = nullptr;
    KroBaseUnknown* base = nullptr;
    if (element && toBase && SUCCEEDED(element->QueryInterface(iid, &queried)) && queried)
      base = toBase(queried);
    out->Append(KroBaseUnknown_var::Adopt(base));
  }
  return out;
}

// ---- container --------------------------------------------------------------------------------------

KroContainer::KroContainer(std::string name) : m_name(std::move(name)) {}

KroContainer::~KroContainer() {
  for (auto& [id, object] : m_objects) {
    object->dropReferences();
    object->setContainer(nullptr, 0);
    object->Release();
  }
  for (KroSpecObject* startUp : m_startUpOrder) {
    startUp->dropReferences();
    startUp->setContainer(nullptr, 0);
    startUp->Release();
  }
}

HRESULT KroContainer::QueryInterface(const IID& iid, void** out) {
  return KroQueryInterfaces<KroIContainer>(this, iid, out);
}

void KroContainer::adopt(KroSpecObject* object) {
  object->AddRef();
  object->setContainer(this, m_nextId);
  m_objects.emplace(m_nextId++, object);
}

bool KroContainer::addStartUp(KroSpecObject* startUp) {
  if (!m_startUps.emplace(startUp->name(), startUp).second) return false;
  startUp->AddRef();
  startUp->setContainer(this, 0);
  m_startUpOrder.push_back(startUp);
  return true;
}

KroSpecObject* KroContainer::findStartUp(const std::string& name) const {
  auto it = m_startUps.find(name);
  return it == m_startUps.end() ? nullptr : it->second;
}

KroISpecObject* KroContainer::FindStartUpByName(const KroUnicodeString& name) {
  KroSpecObject* startUp = findStartUp(name.str());
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
  for (auto& [id, object] : m_objects) list.Append(KroISpecObject_var(object));
  return list;
}

HRESULT KroContainer::RemoveObject(KroISpecObject* object) {
  auto* concrete = dynamic_cast<KroSpecObject*>(object);
  if (!concrete || concrete->container() != this || concrete->IsStartUp()) return S_FALSE;
  auto it = m_objects.find(concrete->id());
  if (it == m_objects.end()) return S_FALSE;
  m_objects.erase(it);
  concrete->setContainer(nullptr, 0);
  concrete->Release();
  return S_OK;
}

// ---- startups ---------------------------------------------------------------------------------------

KroBaseUnknown* FindStartUp(const char* /*interfaceName*/, const KroUnicodeString& name, const KroUnicodeString& type,
                            const KroIContainer_var& container) {
  auto* concrete = container ? dynamic_cast<KroContainer*>(container.ptr()) : nullptr;
  if (!concrete) return nullptr;
  KroSpecObject* startUp = concrete->findStartUp(name.str());
  if (!startUp || (!type.IsEmpty() && startUp->lateType() != type.str())) return nullptr;
  startUp->AddRef();
  return static_cast<KroISpecObject*>(startUp);
}

KroISpecObject* CreateStartUp(const KroUnicodeString& name, const KroUnicodeString& type,
                              const char* /*interfaceClassName*/, const KroIContainer_var& container,
                              const KroUnicodeString& /*text*/, const KroISpecObject_var& base) {
  auto* concrete = container ? dynamic_cast<KroContainer*>(container.ptr()) : nullptr;
  if (!concrete || name.IsEmpty() || concrete->findStartUp(name.str())) return nullptr;
  auto* startUp = new KroSpecObject(name.str(), type.IsEmpty() ? name.str() : type.str(), true, nullptr);
  if (auto* baseObject = base ? dynamic_cast<KroSpecObject*>(base.ptr()) : nullptr)
    for (KroSpecAttribute* attribute : baseObject->attributes())
      startUp->addAttribute(attribute->name(), attribute->GetKind(), attribute->GetElementKind())
          ->assign(attribute->value());
  concrete->addStartUp(startUp);
  return startUp;
}

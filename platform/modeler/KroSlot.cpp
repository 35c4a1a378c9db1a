#include "KroSlot.h"

bool KroIsValidKind(TCKind kind, TCKind elementKind) { return KroValueKindOf(kind, elementKind) != KroValue_Unset; }

KroValueKind KroValueKindOf(TCKind kind, TCKind elementKind) {
  if (kind != tk_list) {
    if (elementKind != tk_null) return KroValue_Unset;
    switch (kind) {
      case tk_long: return KroValue_Long;
      case tk_double: return KroValue_Double;
      case tk_boolean: return KroValue_Boolean;
      case tk_string: return KroValue_String;
      case tk_specobject: return KroValue_Object;
      default: return KroValue_Unset;
    }
  }
  switch (elementKind) {
    case tk_octet: return KroValue_Octets;
    case tk_long: return KroValue_LongList;
    case tk_double: return KroValue_DoubleList;
    case tk_string: return KroValue_StringList;
    case tk_specobject: return KroValue_ObjectList;
    default: return KroValue_Unset;
  }
}

void KroSlot::release() {
  switch (m_state) {
    case KroValue_String | kHeap: delete get<std::string*>(); break;
    case KroValue_Octets | kHeap: delete get<std::string*>(); break;
    case KroValue_Object:
      if (KroISpecObject* o = get<KroISpecObject*>()) o->Release();
      break;
    case KroValue_LongList: delete get<std::vector<std::int32_t>*>(); break;
    case KroValue_DoubleList: delete get<std::vector<double>*>(); break;
    case KroValue_StringList: delete get<std::vector<std::string>*>(); break;
    case KroValue_ObjectList: {
      auto* objects = get<std::vector<KroISpecObject*>*>();
      // Detach first: a release may destroy an object whose destruction reads this slot's owner.
      put<std::vector<KroISpecObject*>*>(nullptr);
      m_state = KroValue_Unset;
      for (KroISpecObject* o : *objects)
        if (o) o->Release();
      delete objects;
      break;
    }
    default: break;
  }
  m_state = KroValue_Unset;
}

void KroSlot::takeObjects(std::vector<KroISpecObject*>& out) {
  if (m_state == KroValue_Object) {
    if (KroISpecObject* o = get<KroISpecObject*>()) out.push_back(o);
  } else if (m_state == KroValue_ObjectList) {
    auto* objects = get<std::vector<KroISpecObject*>*>();
    for (KroISpecObject* o : *objects)
      if (o) out.push_back(o);
    delete objects;
  } else {
    reset();
    return;
  }
  m_state = KroValue_Unset;
}

void KroSlot::setBytes(KroValueKind kind, const void* data, std::size_t n) {
  reset();
  if (n <= kInline) {
    if (n) std::memcpy(m_raw, data, n);
    m_len = static_cast<std::uint8_t>(n);
    m_state = kind;
  } else {
    // Octets share the string's storage: both are byte runs.
    put(new std::string(static_cast<const char*>(data), n));
    m_state = static_cast<std::uint8_t>(kind | kHeap);
  }
}

void KroSlot::setObject(KroISpecObject* object) {
  if (object) object->AddRef();
  reset();
  put(object);
  m_state = KroValue_Object;
}

void KroSlot::appendObject(KroISpecObject* object) {
  std::vector<KroISpecObject*>& objects = objectList();
  objects.push_back(object);
  if (object) object->AddRef();
}

void KroSlot::deepCopyFrom(const KroSlot& other) {
  if (&other == this) return;
  switch (other.m_state) {
    case kAbsent: setAbsent(); break;
    case KroValue_Unset: reset(); break;
    case KroValue_Long: setLong(other.getLong()); break;
    case KroValue_Double: setDouble(other.getDouble()); break;
    case KroValue_Boolean: setBool(other.getBool()); break;
    case KroValue_String:
    case KroValue_String | kHeap: setString(other.bytes()); break;
    case KroValue_Octets:
    case KroValue_Octets | kHeap: setBytes(KroValue_Octets, other.bytes().data(), other.bytes().size()); break;
    case KroValue_Object: setObject(other.object()); break;
    case KroValue_LongList: setLongList(other.listOf<std::int32_t>()); break;
    case KroValue_DoubleList: setDoubleList(other.listOf<double>()); break;
    case KroValue_StringList: setStringList(other.listOf<std::string>()); break;
    case KroValue_ObjectList: {
      std::vector<KroISpecObject*> copy = other.listOf<KroISpecObject*>();
      for (KroISpecObject* o : copy)
        if (o) o->AddRef();
      reset();
      put(new std::vector<KroISpecObject*>(std::move(copy)));
      m_state = KroValue_ObjectList;
      break;
    }
    default: reset(); break;
  }
}

KroAttrValue KroSlot::toValue() const {
  switch (kind()) {
    case KroValue_Long: return getLong();
    case KroValue_Double: return getDouble();
    case KroValue_Boolean: return getBool();
    case KroValue_String: return std::string(bytes());
    case KroValue_Octets: {
      std::string_view b = bytes();
      return std::vector<unsigned char>(b.begin(), b.end());
    }
    case KroValue_Object: return KroISpecObject_var(object());
    case KroValue_LongList: return listOf<std::int32_t>();
    case KroValue_DoubleList: return listOf<double>();
    case KroValue_StringList: return listOf<std::string>();
    case KroValue_ObjectList: {
      std::vector<KroISpecObject_var> out;
      for (KroISpecObject* o : listOf<KroISpecObject*>()) out.emplace_back(o);
      return out;
    }
    default: return std::monostate{};
  }
}

bool KroSlot::assign(const KroAttrValue& value, KroValueKind expected) {
  if (KroKindOf(value) == KroValue_Unset) {
    reset();
    return true;
  }
  if (KroKindOf(value) != expected) return false;
  switch (expected) {
    case KroValue_Long: setLong(std::get<std::int32_t>(value)); break;
    case KroValue_Double: setDouble(std::get<double>(value)); break;
    case KroValue_Boolean: setBool(std::get<bool>(value)); break;
    case KroValue_String: setString(std::get<std::string>(value)); break;
    case KroValue_Octets: {
      const auto& b = std::get<std::vector<unsigned char>>(value);
      setOctets(b.data(), b.size());
      break;
    }
    case KroValue_Object: setObject(std::get<KroISpecObject_var>(value).ptr()); break;
    case KroValue_LongList: setLongList(std::get<std::vector<std::int32_t>>(value)); break;
    case KroValue_DoubleList: setDoubleList(std::get<std::vector<double>>(value)); break;
    case KroValue_StringList: setStringList(std::get<std::vector<std::string>>(value)); break;
    case KroValue_ObjectList: {
      std::vector<KroISpecObject*> objects;
      for (const KroISpecObject_var& o : std::get<std::vector<KroISpecObject_var>>(value)) {
        if (o) o->AddRef();
        objects.push_back(o.ptr());
      }
      reset();
      put(new std::vector<KroISpecObject*>(std::move(objects)));
      m_state = KroValue_ObjectList;
      break;
    }
    default: return false;
  }
  return true;
}

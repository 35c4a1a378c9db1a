#include "KroDocumentBuilder.h"

#include "KroSpecModeler.h"

namespace {

// References are set once every object exists; the rest converts alternative by alternative.
KroAttrValue ToAttrValue(const KroDoc::Value& value) { return KroWithoutReferences<KroISpecObject_var, KroDoc::Ref>(value); }

bool IsReference(const KroDoc::Value& value) {
  return std::holds_alternative<KroDoc::Ref>(value) || std::holds_alternative<std::vector<KroDoc::Ref>>(value);
}

}  // namespace

bool KroDocumentBuilder::OnStartUp(KroDoc::StartUp&& s, KroDoc::ParseError& err) {
  KroSpecObject* base = s.base.empty() ? nullptr : m_container->findStartUp(s.base);
  KroSpecObject* startUp = KroSpecObject::NewStartUp(s.name, s.type.empty() ? s.name : s.type);
  if (base)
    base->forEachAttribute([&](const KroAttrPlace& from) {
      KroAttrPlace to = startUp->add(from.name, from.kind, from.elementKind);
      if (to) to.slot->copyFrom(*from.slot);
    });
  bool ok = SetAttributes(startUp, s.attributes, false, err);
  if (ok && !m_container->addStartUp(startUp)) {
    err.line = s.line;
    err.message = "duplicate startup \"" + s.name + "\"";
    ok = false;
  }
  if (ok) {
    Shape shape{startUp, {}, {}};
    std::vector<char> declared(startUp->slotCount(), 0);
    for (const KroDoc::Attribute& a : s.attributes) {
      const KroAttrPlace place = startUp->find(a.name);
      shape.slots.push_back(place.index);
      declared[place.index] = 1;
    }
    for (std::uint32_t i = 0; i < declared.size(); ++i)
      if (!declared[i]) shape.undeclared.push_back(i);
    m_shapes.push_back(std::move(shape));
  }
  startUp->Release();
  return ok;
}

bool KroDocumentBuilder::OnObject(KroDoc::Object&& o, KroDoc::ParseError& err) {
  if (!m_deferred.empty() || !m_container->findStartUp(o.startup)) {
    m_deferred.push_back(std::move(o));
    return true;
  }
  return Build(std::move(o), err);
}

void KroDocumentBuilder::Register(int id, KroSpecObject* object) {
  if (static_cast<std::size_t>(id) == m_inOrder.size() + 1)
    m_inOrder.push_back(object);
  else
    m_byId[id] = object;
}

KroSpecObject* KroDocumentBuilder::ById(int id) const {
  if (id >= 1 && static_cast<std::size_t>(id) <= m_inOrder.size()) return m_inOrder[static_cast<std::size_t>(id) - 1];
  return m_byId.at(id);
}

bool KroDocumentBuilder::OnRecord(KroDoc::Record& r, KroDoc::ParseError& err) {
  // An object "of" a startup by name, or one behind a deferred object, goes the general way.
  if (!r.startUp || !m_deferred.empty() || r.startUpIndex >= m_shapes.size()) return Sink::OnRecord(r, err);
  const Shape& shape = m_shapes[r.startUpIndex];
  KroSpecObject* object = KroSpecObject::NewInstance(shape.startUp, r.name);
  if (r.hasLateType && !r.lateType.empty() && r.lateType != shape.startUp->lateType()) object->setLateType(r.lateType);
  m_container->adopt(object, /*pinned=*/true);
  object->Release();
  Register(r.id, object);
  for (std::size_t i = 0; i < shape.slots.size(); ++i) {
    KroSlot& slot = object->slotAt(shape.slots[i]);
    if (r.absent[i]) {
      slot.setAbsent();
      continue;
    }
    const KroDoc::Value& value = r.values[i];
    switch (value.index()) {
      case KroValue_Unset: slot.unset(); break;
      case KroValue_Long: slot.setLong(std::get<std::int32_t>(value)); break;
      case KroValue_Double: slot.setDouble(std::get<double>(value)); break;
      case KroValue_Boolean: slot.setBool(std::get<bool>(value)); break;
      case KroValue_String: slot.setString(std::get<std::string>(value)); break;
      case KroValue_Octets: {
        const auto& octets = std::get<std::vector<unsigned char>>(value);
        slot.setOctets(octets.data(), octets.size());
        break;
      }
      case KroValue_Object:
        slot.unset();
        m_slotReferences.push_back({object, shape.slots[i], std::get<KroDoc::Ref>(value).id});
        break;
      case KroValue_ObjectList:
        slot.unset();
        m_references.emplace_back(object, r.startUp->attributes[i].name, value);
        break;
      default: slot.assign(ToAttrValue(value), static_cast<KroValueKind>(value.index())); break;
    }
  }
  for (const std::uint32_t i : shape.undeclared) object->slotAt(i).setAbsent();
  if (!SetAttributes(object, r.extras, true, err)) return false;
  for (KroDoc::Attribute& attribute : r.extras)
    if (IsReference(attribute.value))
      m_references.emplace_back(object, std::move(attribute.name), std::move(attribute.value));
  return true;
}

bool KroDocumentBuilder::Finish(KroDoc::ParseError& err) {
  for (KroDoc::Object& o : m_deferred) {
    if (!m_container->findStartUp(o.startup)) {
      KroSpecObject* stand = KroSpecObject::NewStartUp(o.startup, o.lateType.empty() ? o.startup : o.lateType);
      m_container->addStartUp(stand);
      stand->Release();
    }
    if (!Build(std::move(o), err)) return false;
  }
  m_deferred.clear();
  for (auto& [object, name, value] : m_references) {
    KroAttrPlace target = object->find(name);
    if (const auto* ref = std::get_if<KroDoc::Ref>(&value)) {
      target.slot->setObject(ById(ref->id));
    } else {
      target.slot->unset();
      for (const KroDoc::Ref& r : std::get<std::vector<KroDoc::Ref>>(value))
        target.slot->appendObject(r.id ? ById(r.id) : nullptr);
    }
  }
  m_references.clear();
  for (const SlotReference& r : m_slotReferences) r.object->slotAt(r.slot).setObject(ById(r.id));
  m_slotReferences.clear();
  return true;
}

KroListValKroISpecObject_var KroDocumentBuilder::Roots(const std::vector<KroDoc::Ref>& roots) const {
  KroListValKroISpecObject_var list;
  for (const KroDoc::Ref& r : roots) list.Append(KroISpecObject_var(static_cast<KroISpecObject*>(ById(r.id))));
  return list;
}

bool KroDocumentBuilder::Build(KroDoc::Object&& o, KroDoc::ParseError& err) {
  KroSpecObject* startUp = m_container->findStartUp(o.startup);
  KroSpecObject* object = KroSpecObject::NewInstance(startUp, o.name);
  if (!o.lateType.empty() && o.lateType != startUp->lateType()) object->setLateType(o.lateType);
  // Objects read from a document stay in the container until removed.
  m_container->adopt(object, /*pinned=*/true);
  object->Release();
  Register(o.id, object);
  if (!SetAttributes(object, o.attributes, true, err)) return false;
  // The object has the file's attributes only: what its startup has beyond them is absent.
  if (object->CountAttributes() > static_cast<int>(o.attributes.size()))
    object->forEachAttribute([&](const KroAttrPlace& place) {
      if (place.own) return;
      for (const KroDoc::Attribute& a : o.attributes)
        if (a.name == place.name) return;
      place.slot->setAbsent();
    });
  for (KroDoc::Attribute& attribute : o.attributes)
    if (IsReference(attribute.value))
      m_references.emplace_back(object, std::move(attribute.name), std::move(attribute.value));
  return true;
}

bool KroDocumentBuilder::SetAttributes(KroSpecObject* object, const std::vector<KroDoc::Attribute>& attributes,
                                       bool exact, KroDoc::ParseError& err) {
  for (const KroDoc::Attribute& attribute : attributes) {
    KroAttrPlace target = object->find(attribute.name);
    // An instance's attribute of another kind than its startup's entry of that name is its own: it was
    // made before the startup declared the name, or redeclared it with another kind. The startup's
    // entry is absent on it, as it was when saved.
    if (exact && target && !target.own &&
        (target.kind != attribute.kind || target.elementKind != attribute.elementKind)) {
      target.slot->setAbsent();
      target = {};
    }
    if (!target) target = object->add(attribute.name, attribute.kind, attribute.elementKind);
    if (!target || target.kind != attribute.kind || target.elementKind != attribute.elementKind) {
      err.line = attribute.line;
      err.message = "attribute \"" + attribute.name + "\" is already defined with another kind";
      return false;
    }
    if (IsReference(attribute.value) || (exact && std::holds_alternative<std::monostate>(attribute.value)))
      target.slot->unset();
    else if (!std::holds_alternative<std::monostate>(attribute.value))
      target.slot->assign(ToAttrValue(attribute.value), target.valueKind);
  }
  return true;
}

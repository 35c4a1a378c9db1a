#include "KroDocumentWriter.h"

#include <cstdint>
#include <memory>

int KroDocumentWriter::Add(KroISpecObject* object) {
  auto [it, added] = m_ids.emplace(object, static_cast<int>(m_queue.size()) + 1);
  if (added) m_queue.emplace_back(object);
  return it->second;
}

bool KroDocumentWriter::AddStartUp(KroISpecObject* startUp, const std::string& user) {
  const std::string name = startUp->GetName().str();
  auto seen = m_startUps.find(name);
  if (seen != m_startUps.end())  // one block per name
    return seen->second.startUp == startUp || SameKinds(startUp, name, user);
  KroDoc::StartUp s{name, startUp->GetLateType().str(), "", {}, 0};
  if (!Attributes(startUp, "startup \"" + name + "\"", false, s.attributes)) return false;
  m_startUps.emplace(name, Written{startUp, m_doc.startups.size()});
  m_doc.startups.push_back(std::move(s));
  return true;
}

// A second startup of a name (another container's) is read back as the first: its instances reopen
// with their values whatever it declares, but a name it declares with another kind would change kind.
bool KroDocumentWriter::SameKinds(KroISpecObject* startUp, const std::string& name, const std::string& user) {
  const std::vector<KroDoc::Attribute>& written = m_doc.startups[m_startUps.at(name).block].attributes;
  std::unique_ptr<KroListValKroISpecAttribute_var> attributes(startUp->ListAttributes());
  for (int i = 1; attributes && i <= attributes->Size(); ++i) {
    KroISpecAttribute_var attribute = (*attributes)[i];
    const std::string attributeName = attribute->GetName().str();
    for (const KroDoc::Attribute& a : written)
      if (a.name == attributeName && (a.kind != attribute->GetKind() || a.elementKind != attribute->GetElementKind())) {
        m_code = KRO_E_KIND_CONFLICT;
        return Error("startup \"" + name + "\" of " + user + " declares attribute \"" + attributeName +
                     "\" with another kind than the startup \"" + name +
                     "\" already written (another container's): a document holds one startup of a name, so "
                     "the attribute would not reopen as it is; nothing was written");
      }
  }
  return true;
}

bool KroDocumentWriter::Walk() {
  for (std::size_t i = 0; i < m_queue.size(); ++i) {
    KroISpecObject* object = m_queue[i].ptr();
    const std::string where = "object " + std::to_string(i + 1);
    KroISpecObject_var startUp = KroISpecObject_var::Adopt(object->GetStartUp());
    if (!startUp) return Error(where + " (\"" + object->GetName().str() + "\") has no startup");
    if (!AddStartUp(startUp, where + " (\"" + object->GetName().str() + "\")")) return false;
    KroDoc::Object o{static_cast<int>(i) + 1, startUp->GetName().str(), object->GetName().str(),
                     object->GetLateType().str(), {}, 0};
    if (!Attributes(object, where, true, o.attributes)) return false;
    m_doc.objects.push_back(std::move(o));
  }
  return true;
}

bool KroDocumentWriter::Error(std::string message) {
  if (m_code == S_OK) m_code = E_FAIL;
  m_error = "KroDocumentServices::Save: " + std::move(message);
  return false;
}

bool KroDocumentWriter::Reference(KroISpecObject* target, const std::string& where, bool allowed, KroDoc::Ref& out) {
  if (!allowed) return Error(where + " cannot hold a reference to a spec object");
  if (target->IsStartUp()) return Error(where + " refers to a startup");
  auto it = m_ids.find(target);
  if (it != m_ids.end()) {
    out.id = it->second;
    return true;
  }
  if (m_closed) return Error(where + " refers to a spec object outside the container");
  out.id = Add(target);
  return true;
}

bool KroDocumentWriter::Attributes(KroISpecObject* object, const std::string& owner, bool refsAllowed,
                                   std::vector<KroDoc::Attribute>& out) {
  KroISpecAttrAccess_var access = object;
  std::unique_ptr<KroListValKroISpecAttribute_var> attributes(object->ListAttributes());
  if (!access || !attributes) return Error(owner + ": cannot read its attributes");
  for (int i = 1; i <= attributes->Size(); ++i) {
    KroISpecAttribute_var attribute = (*attributes)[i];
    KroISpecAttrKey_var key = attribute;
    KroDoc::Attribute a{attribute->GetName().str(), attribute->GetKind(), attribute->GetElementKind(), {}, 0};
    const std::string where = owner + ", attribute \"" + a.name + "\",";
    if (!key) return Error(where + " has no key");
    if (access->TestAttribute(a.name.c_str()) && !Value(access, key, where, refsAllowed, a)) return false;
    out.push_back(std::move(a));
  }
  return true;
}

bool KroDocumentWriter::Value(KroISpecAttrAccess* access, KroISpecAttrKey* key, const std::string& where,
                              bool refsAllowed, KroDoc::Attribute& a) {
  switch (a.kind) {
    case tk_long: a.value = static_cast<std::int32_t>(access->GetInteger(key)); return true;
    case tk_double: a.value = access->GetDouble(key); return true;
    case tk_boolean: a.value = access->GetBoolean(key) != 0; return true;
    case tk_string: a.value = access->GetString(key).str(); return true;
    case tk_specobject: {
      KroISpecObject_var target = KroISpecObject_var::Adopt(access->GetSpecObject(key));
      if (!target) return true;
      KroDoc::Ref ref;
      if (!Reference(target, where, refsAllowed, ref)) return false;
      a.value = ref;
      return true;
    }
    case tk_list: break;
    default: return Error(where + " has a kind that cannot be written");
  }
  switch (a.elementKind) {
    case tk_octet: {
      std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key));
      if (octets) a.value = octets->bytes();
      return true;
    }
    case tk_long: {
      std::unique_ptr<KroRawCollint> list(access->GetListInteger(key));
      if (list) a.value = std::vector<std::int32_t>(list->begin(), list->end());
      return true;
    }
    case tk_double: {
      std::unique_ptr<KroRawColldouble> list(access->GetListDouble(key));
      if (list) a.value = list->items();
      return true;
    }
    case tk_string: {
      std::unique_ptr<KroListValKroUnicodeString> list(access->GetListString(key));
      std::vector<std::string> texts;
      if (list)
        for (const KroUnicodeString& text : *list) texts.push_back(text.str());
      a.value = std::move(texts);
      return true;
    }
    case tk_specobject: {
      std::unique_ptr<KroListValKroBaseUnknown_var> list(access->GetListSpecObject(key, IID_KroISpecObject));
      std::vector<KroDoc::Ref> refs;
      for (int i = 1; list && i <= list->Size(); ++i) {
        KroISpecObject_var target = (*list)[i];
        KroDoc::Ref ref;  // id 0: a null element
        if (target && !Reference(target, where, refsAllowed, ref)) return false;
        refs.push_back(ref);
      }
      a.value = std::move(refs);
      return true;
    }
    default: return Error(where + " has a kind that cannot be written");
  }
}

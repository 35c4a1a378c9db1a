#include "KroDocument.h"

#include <cstdio>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "KroDocumentFile.h"
#include "KroDocumentFormat.h"
#include "KroSpecModeler.h"

namespace {

std::unordered_map<KroDocument*, std::unique_ptr<KroDocument>>& OpenDocuments() {
  static std::unordered_map<KroDocument*, std::unique_ptr<KroDocument>> documents;
  return documents;
}

std::string& LastErrorText() {
  static std::string text;
  return text;
}

bool s_quiet = false;

HRESULT Fail(HRESULT code, std::string message) {
  if (!s_quiet) std::fprintf(stderr, "%s\n", message.c_str());
  LastErrorText() = std::move(message);
  return code;
}

// ---- document blocks to a container: the one place that builds the modeler's own classes ------------

// References are set once every object exists; the rest converts alternative by alternative.
KroAttrValue ToAttrValue(const KroDoc::Value& value) { return KroWithoutReferences<KroISpecObject_var, KroDoc::Ref>(value); }

bool IsReference(const KroDoc::Value& value) {
  return std::holds_alternative<KroDoc::Ref>(value) || std::holds_alternative<std::vector<KroDoc::Ref>>(value);
}

// Builds the container block by block as the file is read; references are set once every object exists.
class ContainerBuilder final : public KroDoc::Sink {
 public:
  explicit ContainerBuilder(KroContainer* container) : m_container(container) {}

  bool OnStartUp(KroDoc::StartUp&& s, KroDoc::ParseError& err) override {
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
    startUp->Release();
    return ok;
  }

  // An object whose startup is not known yet waits, and so does every object after it, to keep file order.
  bool OnObject(KroDoc::Object&& o, KroDoc::ParseError& err) override {
    if (!m_deferred.empty() || !m_container->findStartUp(o.startup)) {
      m_deferred.push_back(std::move(o));
      return true;
    }
    return Build(std::move(o), err);
  }

  bool Finish(KroDoc::ParseError& err) {
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
        target.slot->setObject(m_byId.at(ref->id));
      } else {
        target.slot->unset();
        for (const KroDoc::Ref& r : std::get<std::vector<KroDoc::Ref>>(value)) target.slot->appendObject(m_byId.at(r.id));
      }
    }
    m_references.clear();
    return true;
  }

  KroListValKroISpecObject_var Roots(const std::vector<KroDoc::Ref>& roots) const {
    KroListValKroISpecObject_var list;
    for (const KroDoc::Ref& r : roots) list.Append(KroISpecObject_var(static_cast<KroISpecObject*>(m_byId.at(r.id))));
    return list;
  }

 private:
  bool Build(KroDoc::Object&& o, KroDoc::ParseError& err) {
    KroSpecObject* startUp = m_container->findStartUp(o.startup);
    KroSpecObject* object = KroSpecObject::NewInstance(startUp, o.name);
    if (!o.lateType.empty() && o.lateType != startUp->lateType()) object->setLateType(o.lateType);
    // Objects read from a document stay in the container until removed.
    m_container->adopt(object, /*pinned=*/true);
    object->Release();
    m_byId[o.id] = object;
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

  // Each attribute found (an instance's come from its startup, a derived startup's from its base) or
  // added, then given the file's value; an object's attribute without one is unset, a startup's keeps
  // what its base gave it.
  static bool SetAttributes(KroSpecObject* object, const std::vector<KroDoc::Attribute>& attributes, bool exact,
                            KroDoc::ParseError& err) {
    for (const KroDoc::Attribute& attribute : attributes) {
      KroAttrPlace target = object->find(attribute.name);
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

  KroContainer* m_container;
  std::unordered_map<int, KroSpecObject*> m_byId;  // owned by the container
  std::vector<std::tuple<KroSpecObject*, std::string, KroDoc::Value>> m_references;
  std::vector<KroDoc::Object> m_deferred;
};

// ---- spec objects to document blocks, through the modeler's public interfaces ------------------------

class DocumentWriter {
 public:
  // In a closed walk only the objects added up front may be referred to (a container's save); an open
  // walk adds every object it reaches.
  explicit DocumentWriter(bool closed) : m_closed(closed) {}

  // The object's id, given on first sight.
  int Add(KroISpecObject* object) {
    auto [it, added] = m_ids.emplace(object, static_cast<int>(m_queue.size()) + 1);
    if (added) m_queue.emplace_back(object);
    return it->second;
  }

  bool AddStartUp(KroISpecObject* startUp) {
    const std::string name = startUp->GetName().str();
    if (!m_startUpNames.insert(name).second) return true;  // one block per name
    KroDoc::StartUp s{name, startUp->GetLateType().str(), "", {}, 0};
    if (!Attributes(startUp, "startup \"" + name + "\"", false, s.attributes)) return false;
    m_doc.startups.push_back(std::move(s));
    return true;
  }

  // Writes every queued object, the queue growing as an open walk reaches new ones.
  bool Walk() {
    for (std::size_t i = 0; i < m_queue.size(); ++i) {
      KroISpecObject* object = m_queue[i].ptr();
      const std::string where = "object " + std::to_string(i + 1);
      KroISpecObject_var startUp = KroISpecObject_var::Adopt(object->GetStartUp());
      if (!startUp) return Error(where + " (\"" + object->GetName().str() + "\") has no startup");
      if (!AddStartUp(startUp)) return false;
      KroDoc::Object o{static_cast<int>(i) + 1, startUp->GetName().str(), object->GetName().str(),
                       object->GetLateType().str(), {}, 0};
      if (!Attributes(object, where, true, o.attributes)) return false;
      m_doc.objects.push_back(std::move(o));
    }
    return true;
  }

  KroDoc::Document& document() { return m_doc; }
  const std::string& error() const { return m_error; }

 private:
  bool Error(std::string message) {
    m_error = "KroDocumentServices::Save: " + std::move(message);
    return false;
  }

  bool Reference(KroISpecObject* target, const std::string& where, bool allowed, KroDoc::Ref& out) {
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

  bool Attributes(KroISpecObject* object, const std::string& owner, bool refsAllowed,
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

  bool Value(KroISpecAttrAccess* access, KroISpecAttrKey* key, const std::string& where, bool refsAllowed,
             KroDoc::Attribute& a) {
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
          KroDoc::Ref ref;
          if (!target || !Reference(target, where, refsAllowed, ref)) return target ? false : Error(where + " holds a null");
          refs.push_back(ref);
        }
        a.value = std::move(refs);
        return true;
      }
      default: return Error(where + " has a kind that cannot be written");
    }
  }

  bool m_closed;
  KroDoc::Document m_doc;
  std::unordered_map<KroISpecObject*, int> m_ids;
  std::vector<KroISpecObject_var> m_queue;  // by id - 1
  std::unordered_set<std::string> m_startUpNames;
  std::string m_error;
};

HRESULT Write(DocumentWriter& writer, const char* path) {
  if (!writer.Walk()) return Fail(E_FAIL, writer.error());
  std::string error;
  HRESULT hr = KroDoc::WriteFileAtomically(path ? path : "", KroDoc::Write(writer.document()), error);
  return FAILED(hr) ? Fail(hr, "KroDocumentServices::Save: " + error) : S_OK;
}

}  // namespace

KroDocument::KroDocument(std::string path, KroContainer* container, KroListValKroISpecObject_var roots)
    : m_path(std::move(path)), m_container(container), m_roots(std::move(roots)) {}

KroDocument::~KroDocument() {
  m_roots.RemoveAll();
  m_container->Release();
}

KroIContainer* KroDocument::GetDocumentContainer(const char* interfaceName) {
  if (!interfaceName || std::string_view(interfaceName) != "KroIContainer") return nullptr;
  m_container->AddRef();
  return m_container;
}

HRESULT KroDocument::GetRoots(KroListValKroISpecObject_var& roots) const {
  roots = m_roots;
  return S_OK;
}

const std::string& KroDocumentServices::LastError() { return LastErrorText(); }

bool KroDocumentServices::SetQuiet(bool quiet) { return std::exchange(s_quiet, quiet); }

void KroDocumentServices::ClearLastError() { LastErrorText().clear(); }

HRESULT KroDocumentServices::Open(const char* path, KroDocument*& document, int) {
  const std::string file = path ? path : "";
  auto* container = new KroContainer(file);
  ContainerBuilder builder(container);
  KroDoc::ParseError err;
  KroDoc::Reader reader(file, builder, err);
  HRESULT hr = KroDoc::ReadFile(file, reader, err);
  if (SUCCEEDED(hr) && !builder.Finish(err)) {
    err.file = file;
    hr = KRO_E_BAD_FORMAT;
  }
  if (FAILED(hr)) {
    container->Release();
    return Fail(hr, err.what());
  }
  KroListValKroISpecObject_var roots = reader.Roots().empty() ? container->ListObjects() : builder.Roots(reader.Roots());
  auto owned = std::make_unique<KroDocument>(file, container, std::move(roots));
  document = owned.get();
  OpenDocuments().emplace(document, std::move(owned));
  return S_OK;
}

HRESULT KroDocumentServices::Save(const KroIContainer_var& container, const char* path) {
  if (!container) return Fail(E_INVALIDARG, "KroDocumentServices::Save: no container");
  DocumentWriter writer(true);
  KroListValKroISpecObject_var startUps = container->ListStartUps();
  for (int i = 1; i <= startUps.Size(); ++i)
    if (!writer.AddStartUp(startUps[i])) return Fail(E_FAIL, writer.error());
  KroListValKroISpecObject_var objects = container->ListObjects();
  for (int i = 1; i <= objects.Size(); ++i) writer.Add(objects[i]);
  return Write(writer, path);
}

HRESULT KroDocumentServices::Save(const KroListValKroISpecObject_var& roots, const char* path) {
  DocumentWriter writer(false);
  std::vector<KroDoc::Ref> ids;
  for (int i = 1; i <= roots.Size(); ++i) {
    if (!roots[i] || roots[i]->IsStartUp())
      return Fail(E_INVALIDARG, "KroDocumentServices::Save: root " + std::to_string(i) +
                                    (roots[i] ? " is a startup" : " is null"));
    ids.push_back(KroDoc::Ref{writer.Add(roots[i])});
  }
  writer.document().roots = std::move(ids);
  return Write(writer, path);
}

void KroDocumentServices::Close(KroDocument* document) { OpenDocuments().erase(document); }

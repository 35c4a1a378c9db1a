#include "KroDocument.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <unordered_map>

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

HRESULT Fail(HRESULT code, std::string message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  LastErrorText() = std::move(message);
  return code;
}

// The alternatives without references are laid out alike in both value types.
KroAttrValue ToAttrValue(const KroDoc::Value& value) {
  switch (value.index()) {
    case 1: return std::get<std::int32_t>(value);
    case 2: return std::get<double>(value);
    case 3: return std::get<bool>(value);
    case 4: return std::get<std::string>(value);
    case 5: return std::get<std::vector<unsigned char>>(value);
    case 7: return std::get<std::vector<std::int32_t>>(value);
    case 8: return std::get<std::vector<double>>(value);
    case 9: return std::get<std::vector<std::string>>(value);
    default: return std::monostate{};
  }
}

bool AddAttributes(KroSpecObject* object, const std::vector<KroDoc::Attribute>& attributes, const std::string& file,
                   std::string& error) {
  for (const KroDoc::Attribute& attribute : attributes) {
    KroAttrPlace target = object->find(attribute.name);
    if (!target) target = object->add(attribute.name, attribute.kind, attribute.elementKind);
    if (!target || target.kind != attribute.kind || target.elementKind != attribute.elementKind) {
      error = file + ":" + std::to_string(attribute.line) + ": attribute \"" + attribute.name +
              "\" is already defined with another kind";
      return false;
    }
    if (!std::holds_alternative<std::monostate>(attribute.value))
      target.slot->assign(ToAttrValue(attribute.value), target.valueKind);
  }
  return true;
}

}  // namespace

KroDocument::KroDocument(std::string path, KroContainer* container) : m_path(std::move(path)), m_container(container) {}

KroDocument::~KroDocument() { m_container->Release(); }

KroIContainer* KroDocument::GetDocumentContainer(const char* interfaceName) {
  if (!interfaceName || std::string_view(interfaceName) != "KroIContainer") return nullptr;
  m_container->AddRef();
  return m_container;
}

const std::string& KroDocumentServices::LastError() { return LastErrorText(); }

HRESULT KroDocumentServices::Open(const char* path, KroDocument*& document, int) {
  const std::string file = path ? path : "";
  KroDoc::Document parsed;
  KroDoc::ParseError parseError;
  if (!KroDoc::ParseFile(file, parsed, parseError))
    return Fail(parseError.line == 0 ? KRO_E_FILE_NOT_FOUND : KRO_E_BAD_FORMAT, parseError.what());

  auto* container = new KroContainer(file);
  std::string error;
  for (const KroDoc::StartUp& s : parsed.startups) {
    KroSpecObject* base = s.base.empty() ? nullptr : container->findStartUp(s.base);
    KroSpecObject* startUp = KroSpecObject::NewStartUp(s.name, s.type.empty() ? s.name : s.type);
    if (base)
      base->forEachAttribute([&](const KroAttrPlace& from) {
        KroAttrPlace to = startUp->add(from.name, from.kind, from.elementKind);
        if (to) to.slot->copyFrom(*from.slot);
      });
    bool ok = AddAttributes(startUp, s.attributes, file, error) && container->addStartUp(startUp);
    startUp->Release();
    if (!ok) {
      container->Release();
      return Fail(KRO_E_BAD_FORMAT, error.empty() ? file + ":" + std::to_string(s.line) + ": duplicate startup" : error);
    }
  }

  // Objects first, references second: a reference may point forward. Objects read from a document
  // stay in the container until removed.
  std::unordered_map<int, KroSpecObject*> byId;
  for (const KroDoc::Object& o : parsed.objects) {
    KroSpecObject* startUp = container->findStartUp(o.startup);
    KroSpecObject* object = startUp ? KroSpecObject::NewInstance(startUp, o.name)
                                    : KroSpecObject::NewLoose(o.name, o.lateType.empty() ? o.startup : o.lateType);
    if (!o.lateType.empty()) object->setLateType(o.lateType);
    container->adopt(object, /*pinned=*/true);
    object->Release();
    byId[o.id] = object;
    if (!AddAttributes(object, o.attributes, file, error)) {
      container->Release();
      return Fail(KRO_E_BAD_FORMAT, error);
    }
  }
  for (const KroDoc::Object& o : parsed.objects) {
    KroSpecObject* object = byId[o.id];
    for (const KroDoc::Attribute& attribute : o.attributes) {
      KroAttrPlace target = object->find(attribute.name);
      if (const auto* ref = std::get_if<KroDoc::Ref>(&attribute.value)) {
        target.slot->setObject(byId.at(ref->id));
      } else if (const auto* refs = std::get_if<std::vector<KroDoc::Ref>>(&attribute.value)) {
        target.slot->unset();
        for (const KroDoc::Ref& r : *refs) target.slot->appendObject(byId.at(r.id));
      }
    }
  }

  auto owned = std::make_unique<KroDocument>(file, container);
  document = owned.get();
  OpenDocuments().emplace(document, std::move(owned));
  return S_OK;
}

HRESULT KroDocumentServices::Save(const KroIContainer_var& container, const char* path) {
  KroContainer* concrete = container ? container->GetModelerContainer() : nullptr;
  if (!concrete) return Fail(E_INVALIDARG, "KroDocumentServices::Save: no container");

  // Ids are positions in the saved list; they only have to be unique within the file.
  std::unordered_map<const KroISpecObject*, int> ids;
  concrete->forEachObject([&](KroSpecObject* object) {
    const int id = static_cast<int>(ids.size()) + 1;
    ids[object] = id;
  });
  std::string error;
  auto convert = [&](const KroAttrPlace& place, bool refsAllowed) -> KroDoc::Attribute {
    KroDoc::Attribute out{std::string(place.name), place.kind, place.elementKind, {}, 0};
    auto refOf = [&](KroISpecObject* so) -> KroDoc::Ref {
      auto it = ids.find(so);
      if (!refsAllowed || it == ids.end())
        error = "KroDocumentServices::Save: attribute \"" + out.name + "\" refers to a spec object outside the container";
      return KroDoc::Ref{it == ids.end() ? 0 : it->second};
    };
    const KroSlot& slot = *place.slot;
    if (slot.kind() == KroValue_Object) {
      out.value = refOf(slot.object());
    } else if (slot.kind() == KroValue_ObjectList) {
      std::vector<KroDoc::Ref> refs;
      for (KroISpecObject* element : slot.listOf<KroISpecObject*>()) refs.push_back(refOf(element));
      out.value = std::move(refs);
    } else {
      std::visit([&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (!std::is_same_v<T, KroISpecObject_var> && !std::is_same_v<T, std::vector<KroISpecObject_var>>)
          out.value = x;
      }, slot.toValue());
    }
    return out;
  };

  KroDoc::Document doc;
  for (KroSpecObject* startUp : concrete->startUps()) {
    KroDoc::StartUp s{std::string(startUp->name()), startUp->lateType(), "", {}, 0};
    startUp->forEachAttribute([&](const KroAttrPlace& place) { s.attributes.push_back(convert(place, false)); });
    doc.startups.push_back(std::move(s));
  }
  concrete->forEachObject([&](KroSpecObject* object) {
    KroSpecObject* startUp = object->startUp();
    KroDoc::Object o{ids[object], startUp ? std::string(startUp->name()) : object->lateType(), std::string(object->name()),
                     object->lateType(), {}, 0};
    object->forEachAttribute([&](const KroAttrPlace& place) { o.attributes.push_back(convert(place, true)); });
    doc.objects.push_back(std::move(o));
  });
  if (!error.empty()) return Fail(E_FAIL, error);

  std::ofstream out(path ? path : "", std::ios::binary | std::ios::trunc);
  out << KroDoc::Write(doc);
  if (!out.good()) return Fail(KRO_E_FILE_NOT_FOUND, std::string("KroDocumentServices::Save: cannot write ") + (path ? path : ""));
  return S_OK;
}

void KroDocumentServices::Close(KroDocument* document) { OpenDocuments().erase(document); }

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
    KroSpecAttribute* target = object->findAttribute(attribute.name);
    if (!target) target = object->addAttribute(attribute.name, attribute.kind, attribute.elementKind);
    if (!target || target->GetKind() != attribute.kind || target->GetElementKind() != attribute.elementKind) {
      error = file + ":" + std::to_string(attribute.line) + ": attribute \"" + attribute.name +
              "\" is already defined with another kind";
      return false;
    }
    if (!std::holds_alternative<std::monostate>(attribute.value)) target->assign(ToAttrValue(attribute.value));
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
    auto* startUp = new KroSpecObject(s.name, s.type.empty() ? s.name : s.type, true, nullptr);
    if (base)
      for (KroSpecAttribute* attribute : base->attributes())
        startUp->addAttribute(attribute->name(), attribute->GetKind(), attribute->GetElementKind())
            ->assign(attribute->value());
    bool ok = AddAttributes(startUp, s.attributes, file, error) && container->addStartUp(startUp);
    startUp->Release();
    if (!ok) {
      container->Release();
      return Fail(KRO_E_BAD_FORMAT, error.empty() ? file + ":" + std::to_string(s.line) + ": duplicate startup" : error);
    }
  }

  // Objects first, references second: a reference may point forward.
  std::unordered_map<int, KroSpecObject*> byId;
  for (const KroDoc::Object& o : parsed.objects) {
    KroSpecObject* startUp = container->findStartUp(o.startup);
    std::string lateType = !o.lateType.empty() ? o.lateType : startUp ? startUp->lateType() : o.startup;
    auto* object = new KroSpecObject(o.name, lateType, false, startUp);
    container->adopt(object);
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
      KroSpecAttribute* target = object->findAttribute(attribute.name);
      if (const auto* ref = std::get_if<KroDoc::Ref>(&attribute.value)) {
        target->assign(KroISpecObject_var(static_cast<KroISpecObject*>(byId.at(ref->id))));
      } else if (const auto* refs = std::get_if<std::vector<KroDoc::Ref>>(&attribute.value)) {
        std::vector<KroISpecObject_var> list;
        for (const KroDoc::Ref& r : *refs) list.emplace_back(static_cast<KroISpecObject*>(byId.at(r.id)));
        target->assign(std::move(list));
      }
    }
  }

  auto owned = std::make_unique<KroDocument>(file, container);
  document = owned.get();
  OpenDocuments().emplace(document, std::move(owned));
  return S_OK;
}

HRESULT KroDocumentServices::Save(const KroIContainer_var& container, const char* path) {
  auto* concrete = container ? dynamic_cast<KroContainer*>(container.ptr()) : nullptr;
  if (!concrete) return Fail(E_INVALIDARG, "KroDocumentServices::Save: no container");

  std::unordered_map<const KroISpecObject*, int> ids;
  for (const auto& [id, object] : concrete->objects()) ids[object] = static_cast<int>(id);
  std::string error;
  auto convert = [&](const KroSpecAttribute* attribute, bool refsAllowed) -> KroDoc::Attribute {
    KroDoc::Attribute out{attribute->name(), attribute->GetKind(), attribute->GetElementKind(), {}, 0};
    auto refOf = [&](const KroISpecObject_var& so) -> KroDoc::Ref {
      auto it = ids.find(so.ptr());
      if (!refsAllowed || it == ids.end())
        error = "KroDocumentServices::Save: attribute \"" + attribute->name() +
                "\" refers to a spec object outside the container";
      return KroDoc::Ref{it == ids.end() ? 0 : it->second};
    };
    const KroAttrValue& v = attribute->value();
    if (const auto* so = std::get_if<KroISpecObject_var>(&v)) {
      out.value = refOf(*so);
    } else if (const auto* list = std::get_if<std::vector<KroISpecObject_var>>(&v)) {
      std::vector<KroDoc::Ref> refs;
      for (const auto& element : *list) refs.push_back(refOf(element));
      out.value = std::move(refs);
    } else {
      std::visit([&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (!std::is_same_v<T, KroISpecObject_var> && !std::is_same_v<T, std::vector<KroISpecObject_var>>)
          out.value = x;
      }, v);
    }
    return out;
  };

  KroDoc::Document doc;
  for (KroSpecObject* startUp : concrete->startUps()) {
    KroDoc::StartUp s{startUp->name(), startUp->lateType(), "", {}, 0};
    for (KroSpecAttribute* attribute : startUp->attributes()) s.attributes.push_back(convert(attribute, false));
    doc.startups.push_back(std::move(s));
  }
  for (const auto& [id, object] : concrete->objects()) {
    KroSpecObject* startUp = object->startUp();
    KroDoc::Object o{static_cast<int>(id), startUp ? startUp->name() : object->lateType(), object->name(), object->lateType(), {}, 0};
    for (KroSpecAttribute* attribute : object->attributes()) o.attributes.push_back(convert(attribute, true));
    doc.objects.push_back(std::move(o));
  }
  if (!error.empty()) return Fail(E_FAIL, error);

  std::ofstream out(path ? path : "", std::ios::binary | std::ios::trunc);
  out << KroDoc::Write(doc);
  if (!out.good()) return Fail(KRO_E_FILE_NOT_FOUND, std::string("KroDocumentServices::Save: cannot write ") + (path ? path : ""));
  return S_OK;
}

void KroDocumentServices::Close(KroDocument* document) { OpenDocuments().erase(document); }

// cfgso show and the --save option of demo and stream.

#include "cfgso_documents.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "KroCfgSOFactory.h"
#include "KroDocument.h"
#include "KroDocumentFormat.h"
#include "KroModelerInterfaces.h"
#include "KroSpecReach.h"
#include "cfgso_results.h"

namespace {

using Json = nlohmann::ordered_json;

// Deeper references are shown as references, and their objects at the top level.
constexpr int kMaxNesting = 32;

// Objects that no other object of the list refers to, in list order; then those that only a cycle
// reaches.
std::vector<KroISpecObject_var> TopLevel(const KroListValKroISpecObject_var& objects) {
  std::unordered_set<KroISpecObject*> referenced, reached;
  for (const KroISpecObject_var& object : objects)
    for (const KroISpecObject_var& target : KroSpecReach::Targets(object)) referenced.insert(target.ptr());
  std::vector<KroISpecObject_var> top, stack;
  for (const KroISpecObject_var& object : objects)
    if (!referenced.count(object.ptr())) top.push_back(object);
  auto reach = [&](const KroISpecObject_var& from) {
    stack.push_back(from);
    while (!stack.empty()) {
      KroISpecObject_var at = stack.back();
      stack.pop_back();
      if (!reached.insert(at.ptr()).second) continue;
      for (KroISpecObject_var& target : KroSpecReach::Targets(at)) stack.push_back(target);
    }
  };
  for (const KroISpecObject_var& object : top) reach(object);
  for (const KroISpecObject_var& object : objects)
    if (!reached.count(object.ptr())) {
      top.push_back(object);
      reach(object);
    }
  return top;
}

class Shower {
 public:
  explicit Shower(const KroListValKroISpecObject_var& objects) {
    for (int i = 1; i <= objects.Size(); ++i) m_ids.emplace(objects[i].ptr(), i);
  }

  bool shown(const KroISpecObject_var& so) const { return m_shown.count(so.ptr()) != 0; }

  Json Object(const KroISpecObject_var& so, int depth) {
    m_shown.insert(so.ptr());
    KroISpecObject_var startUp = KroISpecObject_var::Adopt(so->GetStartUp());
    Json out;
    out["id"] = IdOf(so);
    out["name"] = so->GetName().str();
    out["startup"] = startUp ? startUp->GetName().str() : std::string();
    out["type"] = so->GetLateType().str();
    Json attributes = Json::array();
    KroISpecAttrAccess_var access = so;
    std::unique_ptr<KroListValKroISpecAttribute_var> list(so->ListAttributes());
    for (int i = 1; access && list && i <= list->Size(); ++i) {
      KroISpecAttribute_var attribute = (*list)[i];
      const std::string name = attribute->GetName().str();
      Json a;
      a["name"] = name;
      a["kind"] = KindText(attribute->GetKind(), attribute->GetElementKind());
      a["value"] = access->TestAttribute(name.c_str()) ? Value(access, attribute, depth) : Json();
      attributes.push_back(std::move(a));
    }
    out["attributes"] = std::move(attributes);
    return out;
  }

 private:
  int IdOf(const KroISpecObject_var& so) {
    auto it = m_ids.find(so.ptr());
    if (it != m_ids.end()) return it->second;
    const int id = static_cast<int>(m_ids.size()) + 1;  // outside the document's list: cannot happen when opened
    m_ids.emplace(so.ptr(), id);
    return id;
  }

  Json Nested(const KroISpecObject_var& target, int depth) {
    if (shown(target) || depth >= kMaxNesting) return Json{{"ref", IdOf(target)}};
    return Object(target, depth + 1);
  }

  static Json Number(double value) {
    if (std::isfinite(value)) return value;
    return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
  }

  Json Value(const KroISpecAttrAccess_var& access, const KroISpecAttribute_var& attribute, int depth) {
    KroISpecAttrKey_var key = attribute;
    switch (attribute->GetKind()) {
      case tk_long: return access->GetInteger(key);
      case tk_double: return Number(access->GetDouble(key));
      case tk_boolean: return access->GetBoolean(key) != 0;
      case tk_string: return access->GetString(key).str();
      case tk_specobject: {
        KroISpecObject_var target = KroISpecObject_var::Adopt(access->GetSpecObject(key));
        return target ? Nested(target, depth) : Json();
      }
      default: break;
    }
    Json items = Json::array();
    switch (attribute->GetElementKind()) {
      case tk_octet: {
        std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key));
        return octets ? octets->ToHex() : std::string();
      }
      case tk_long: {
        std::unique_ptr<KroRawCollint> list(access->GetListInteger(key));
        for (int i = 1; list && i <= list->Size(); ++i) items.push_back((*list)[i]);
        break;
      }
      case tk_double: {
        std::unique_ptr<KroRawColldouble> list(access->GetListDouble(key));
        for (int i = 1; list && i <= list->Size(); ++i) items.push_back(Number((*list)[i]));
        break;
      }
      case tk_string: {
        std::unique_ptr<KroListValKroUnicodeString> list(access->GetListString(key));
        for (int i = 1; list && i <= list->Size(); ++i) items.push_back((*list)[i].str());
        break;
      }
      case tk_specobject: {
        std::unique_ptr<KroListValKroBaseUnknown_var> list(access->GetListSpecObject(key, IID_KroISpecObject));
        for (int i = 1; list && i <= list->Size(); ++i)
          if (KroISpecObject_var target = (*list)[i]) items.push_back(Nested(target, depth));
        break;
      }
      default: break;
    }
    return items;
  }

  std::unordered_map<KroISpecObject*, int> m_ids;
  std::unordered_set<KroISpecObject*> m_shown;
};

// ---- text form --------------------------------------------------------------------------------------

// Texts are shown quoted as the document format writes them.
using KroDoc::Quoted;

std::string Indent(int level) { return std::string(static_cast<std::size_t>(level) * 2, ' '); }

// Numbers as the JSON form writes them; a non-finite double as its word.
std::string NumberText(double value) {
  if (std::isfinite(value)) return Json(value).dump();
  return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
}

// The same walk as the JSON form, printed as it goes: each object once, nested in the first object
// that refers to it, deeper references and repeats as "@id (shown elsewhere)".
class TextShower {
 public:
  explicit TextShower(const KroListValKroISpecObject_var& objects) {
    for (int i = 1; i <= objects.Size(); ++i) m_ids.emplace(objects[i].ptr(), i);
  }

  bool shown(const KroISpecObject_var& so) const { return m_shown.count(so.ptr()) != 0; }

  void Object(const KroISpecObject_var& so, int depth, int level) {
    m_shown.insert(so.ptr());
    KroISpecObject_var startUp = KroISpecObject_var::Adopt(so->GetStartUp());
    std::printf("%sobject %d %s of %s (type %s)\n", Indent(level).c_str(), IdOf(so), Quoted(so->GetName().str()).c_str(),
                Quoted(startUp ? startUp->GetName().str() : std::string()).c_str(), so->GetLateType().str().c_str());
    KroISpecAttrAccess_var access = so;
    std::unique_ptr<KroListValKroISpecAttribute_var> list(so->ListAttributes());
    for (int i = 1; access && list && i <= list->Size(); ++i) {
      KroISpecAttribute_var attribute = (*list)[i];
      const std::string name = attribute->GetName().str();
      std::printf("%s%s %s", Indent(level + 1).c_str(), name.c_str(),
                  KindText(attribute->GetKind(), attribute->GetElementKind()).c_str());
      if (access->TestAttribute(name.c_str()))
        Value(access, attribute, depth, level + 1);
      else
        std::printf(" (unset)\n");
    }
  }

 private:
  int IdOf(const KroISpecObject_var& so) {
    auto it = m_ids.find(so.ptr());
    if (it != m_ids.end()) return it->second;
    const int id = static_cast<int>(m_ids.size()) + 1;
    m_ids.emplace(so.ptr(), id);
    return id;
  }

  bool Deeper(const KroISpecObject_var& target, int depth) const { return shown(target) || depth >= kMaxNesting; }

  static void Line(const std::string& text) { std::printf(" = %s\n", text.c_str()); }

  template <class List, class Text>
  static void Items(const List* list, Text text) {
    std::string line;
    for (int i = 1; list && i <= list->Size(); ++i) line += (line.empty() ? "" : ", ") + text((*list)[i]);
    Line("[" + line + "]");
  }

  void Value(const KroISpecAttrAccess_var& access, const KroISpecAttribute_var& attribute, int depth, int level) {
    KroISpecAttrKey_var key = attribute;
    switch (attribute->GetKind()) {
      case tk_long: return Line(std::to_string(access->GetInteger(key)));
      case tk_double: return Line(NumberText(access->GetDouble(key)));
      case tk_boolean: return Line(access->GetBoolean(key) != 0 ? "true" : "false");
      case tk_string: return Line(Quoted(access->GetString(key).str()));
      case tk_specobject: {
        KroISpecObject_var target = KroISpecObject_var::Adopt(access->GetSpecObject(key));
        if (!target) {
          std::printf(" (unset)\n");
        } else if (Deeper(target, depth)) {
          std::printf(" = @%d (shown elsewhere)\n", IdOf(target));
        } else {
          std::printf(" =\n");
          Object(target, depth + 1, level + 1);
        }
        return;
      }
      default: break;
    }
    switch (attribute->GetElementKind()) {
      case tk_octet: {
        std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key));
        return Line("x\"" + (octets ? octets->ToHex() : std::string()) + "\"");
      }
      case tk_long: {
        std::unique_ptr<KroRawCollint> list(access->GetListInteger(key));
        return Items(list.get(), [](int v) { return std::to_string(v); });
      }
      case tk_double: {
        std::unique_ptr<KroRawColldouble> list(access->GetListDouble(key));
        return Items(list.get(), NumberText);
      }
      case tk_string: {
        std::unique_ptr<KroListValKroUnicodeString> list(access->GetListString(key));
        return Items(list.get(), [](const KroUnicodeString& v) { return Quoted(v.str()); });
      }
      case tk_specobject: {
        std::unique_ptr<KroListValKroBaseUnknown_var> list(access->GetListSpecObject(key, IID_KroISpecObject));
        std::vector<KroISpecObject_var> targets;
        for (int i = 1; list && i <= list->Size(); ++i)
          if (KroISpecObject_var target = (*list)[i]) targets.push_back(target);
        if (targets.empty()) return Line("[]");
        std::printf(" = [\n");
        for (const KroISpecObject_var& target : targets) {
          if (Deeper(target, depth))
            std::printf("%s@%d (shown elsewhere)\n", Indent(level + 1).c_str(), IdOf(target));
          else
            Object(target, depth + 1, level + 1);
        }
        std::printf("%s]\n", Indent(level).c_str());
        return;
      }
      default: return Line("[]");
    }
  }

  std::unordered_map<KroISpecObject*, int> m_ids;
  std::unordered_set<KroISpecObject*> m_shown;
};

}  // namespace

std::string KindText(TCKind kind, TCKind element) { return KroDoc::KindWords(kind, element); }

int ShowDocument(const char* path, bool json) {
  KroDocument* document = nullptr;
  HRESULT hr = KroDocumentServices::Open(path, document, 0);
  if (FAILED(hr) || !document) {
    std::fprintf(stderr, "cfgso show: cannot open %s (%s)\n", path, ResultText(hr).c_str());
    return 1;
  }
  {
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    KroListValKroISpecObject_var all = container->ListObjects();
    // Everything is shown once: the top-level objects with what they hold, then anything that only
    // deep nesting left out.
    std::vector<KroISpecObject_var> order = TopLevel(all);
    for (const KroISpecObject_var& object : all) order.push_back(object);
    if (json) {
      Json objects = Json::array();
      Shower shower(all);
      for (const KroISpecObject_var& object : order)
        if (!shower.shown(object)) objects.push_back(shower.Object(object, 0));
      Json out;
      out["file"] = path;
      out["objectCount"] = all.Size();
      out["objects"] = std::move(objects);
      // Text that is not UTF-8 cannot be JSON: such bytes come out as U+FFFD.
      std::printf("%s\n", out.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
    } else {
      std::printf("%s: %d object(s)\n", path, all.Size());
      TextShower shower(all);
      for (const KroISpecObject_var& object : order)
        if (!shower.shown(object)) shower.Object(object, 0, 0);
    }
  }
  KroDocumentServices::Close(document);
  return 0;
}

int KeepEverythingMade() {
  KroIContainer_var container;
  if (FAILED(KroCfgSOFactory::getContainer(container)) || !container) {
    std::fprintf(stderr, "cfgso: no container to make objects in\n");
    return 1;
  }
  if (container->IsTransient()) {
    std::fprintf(stderr, "cfgso: --save keeps every object made, so the container runs in the store mode\n");
    container->SetTransient(0);
  }
  return 0;
}

int SaveWhatWasMade(const char* path) {
  KroIContainer_var container;
  if (FAILED(KroCfgSOFactory::getContainer(container)) || !container) {
    std::fprintf(stderr, "cfgso: no container to save\n");
    return 1;
  }
  KroListValKroISpecObject_var roots;
  for (KroISpecObject_var& root : TopLevel(container->ListObjects())) roots.Append(root);
  HRESULT hr = KroDocumentServices::Save(roots, path);
  if (FAILED(hr)) {
    // The reason is already on standard error.
    std::fprintf(stderr, "cfgso: cannot save to %s (%s)\n", path, ResultText(hr).c_str());
    return 1;
  }
  std::printf("cfgso: saved %d object(s) from %d root(s) to %s\n", container->CountObjects(), roots.Size(), path);
  return 0;
}

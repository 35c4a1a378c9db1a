#include "KroDocumentWriter.h"

#include <cstdint>
#include <memory>
#include <type_traits>

#include "KroContainer.h"
#include "KroSpecModeler.h"

int KroDocumentWriter::Add(KroISpecObject* object) {
  // Ids of objects queued without a check are entered first, so that a repeat finds its id.
  for (; m_indexed < m_queue.size(); ++m_indexed)
    m_ids.emplace(m_queue[m_indexed], static_cast<int>(m_indexed) + 1);
  auto [it, added] = m_ids.emplace(object, static_cast<int>(m_queue.size()) + 1);
  if (added) {
    AddListed(object);
    m_indexed = m_queue.size();
  }
  return it->second;
}

void KroDocumentWriter::AddListed(const KroContainer& container) {
  if (m_queue.empty() && !container.hadForeignInstances()) m_ownStartUpsOnly = &container;
  m_queue.reserve(m_queue.size() + static_cast<std::size_t>(container.CountObjects()));
  container.forEachObject([&](KroSpecObject* object) { m_queue.push_back(object); });
}

bool KroDocumentWriter::AddStartUp(KroISpecObject* startUp, const std::string& user) {
  const std::string name = startUp->GetName().str();
  auto seen = m_startUps.find(name);
  if (seen != m_startUps.end()) {  // one block per name
    if (seen->second.startUp != startUp && !SameKinds(startUp, name, user)) return false;
    m_blockOf.emplace(startUp, seen->second.block + 1);
    return true;
  }
  KroDoc::StartUp s{name, startUp->GetLateType().str(), "", {}, 0};
  if (!Attributes(startUp, "startup \"" + name + "\"", false, s.attributes)) return false;
  m_startUps.emplace(name, Written{startUp, m_startUpBlocks.size()});
  m_startUpBlocks.push_back(std::move(s));
  m_blockOf.emplace(startUp, m_startUpBlocks.size());
  return true;
}

// A second startup of a name (another container's) is read back as the first: its instances reopen
// with their values whatever it declares, but a name it declares with another kind would change kind.
bool KroDocumentWriter::SameKinds(KroISpecObject* startUp, const std::string& name, const std::string& user) {
  const std::vector<KroDoc::Attribute>& written = m_startUpBlocks[m_startUps.at(name).block].attributes;
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

std::size_t KroDocumentWriter::BlockOf(KroISpecObject* startUp, std::size_t object) {
  if (const auto it = m_blockOf.find(startUp); it != m_blockOf.end()) return it->second;
  const std::string user =
      "object " + std::to_string(object + 1) + " (\"" + m_queue[object]->GetName().str() + "\")";
  if (!AddStartUp(startUp, user)) return 0;
  return m_blockOf.at(startUp);
}

namespace {
// Lines go out in pieces of this size: the buffer stays small and warm, however large the document.
constexpr std::size_t kPiece = std::size_t{1} << 20;
}  // namespace

KroISpecObject* KroDocumentWriter::StartUpOf(std::size_t i, KroISpecObject_var& held) {
  KroISpecObject* object = m_queue[i];
  if (KroSpecObject* real = KroSpecObject::Real(object)) return real->startUp();
  held = KroISpecObject_var::Adopt(object->GetStartUp());
  return held.ptr();
}

bool KroDocumentWriter::Prepare() {
  if (!m_closed) return Walk(nullptr);
  // Every startup of such a container has its block already (a save adds them first).
  if (m_ownStartUpsOnly && m_queue.size() == static_cast<std::size_t>(m_ownStartUpsOnly->CountObjects())) return true;
  KroISpecObject* lastStartUp = nullptr;
  for (std::size_t i = 0; i < m_queue.size(); ++i) {
    KroISpecObject_var held;
    KroISpecObject* startUp = StartUpOf(i, held);
    if (!startUp)
      return Error("object " + std::to_string(i + 1) + " (\"" + m_queue[i]->GetName().str() + "\") has no startup");
    if (startUp == lastStartUp) continue;
    if (!BlockOf(startUp, i)) return false;
    lastStartUp = startUp;
  }
  return true;
}

bool KroDocumentWriter::Walk(const KroDoc::PieceWriter* put) {
  m_lines.reserve(put ? kPiece + 4096 : m_queue.size() * 80);
  KroISpecObject* lastStartUp = nullptr;
  std::size_t lastBlock = 0;
  for (std::size_t i = 0; i < m_queue.size(); ++i) {
    if (put && m_lines.size() >= kPiece && !Flush(*put)) return false;
    KroISpecObject* object = m_queue[i];
    KroSpecObject* real = KroSpecObject::Real(object);
    KroISpecObject_var held;
    KroISpecObject* startUp = StartUpOf(i, held);
    if (!startUp)
      return Error("object " + std::to_string(i + 1) + " (\"" + object->GetName().str() + "\") has no startup");
    if (startUp != lastStartUp) {
      const std::size_t blocks = m_startUpBlocks.size();
      lastBlock = BlockOf(startUp, i);
      if (!lastBlock) return false;
      // Once the head is out, no block can join it.
      if (put && m_startUpBlocks.size() != blocks)
        return Error("object " + std::to_string(i + 1) + ": its startup was not written at the top of the document");
      lastStartUp = startUp;
    }
    if (real) {
      if (!Line(real, i, lastBlock)) return false;
      continue;
    }
    KroDoc::Object o{static_cast<int>(i) + 1, startUp->GetName().str(), object->GetName().str(),
                     object->GetLateType().str(), {}, 0};
    if (!Attributes(object, "object " + std::to_string(i + 1), true, o.attributes)) return false;
    KroDoc::Text::ObjectLine(m_lines, o, &m_startUpBlocks[lastBlock - 1], lastBlock);
  }
  return true;
}

bool KroDocumentWriter::Flush(const KroDoc::PieceWriter& put) {
  m_crc = KroDoc::Crc32(m_crc, m_lines);
  const bool written = put(m_lines);
  m_lines.clear();
  return written;
}

bool KroDocumentWriter::Emit(const KroDoc::PieceWriter& put) {
  m_head.clear();
  KroDoc::Text::Header(m_head, m_roots);
  for (std::size_t i = 0; i < m_startUpBlocks.size(); ++i) KroDoc::Text::StartUpBlock(m_head, i + 1, m_startUpBlocks[i]);
  m_head += '\n';
  // The checksum covers every byte before the trailer line.
  m_crc = KroDoc::Crc32(0, m_head);
  if (!put(m_head)) return false;
  if (m_closed && !Walk(&put)) return false;
  if (!Flush(put)) return false;
  m_tail = "\n";
  m_crc = KroDoc::Crc32(m_crc, m_tail);
  KroDoc::Text::Trailer(m_tail, m_queue.size(), m_crc);
  return put(m_tail);
}

template <class Describe>
bool KroDocumentWriter::Reference(KroISpecObject* target, Describe&& where, bool allowed, int& out) {
  auto text = [&]() -> std::string {
    if constexpr (std::is_invocable_v<Describe>)
      return where();
    else
      return where;
  };
  if (!allowed) return Error(text() + " cannot hold a reference to a spec object");
  if (target->IsStartUp()) return Error(text() + " refers to a startup");
  for (; m_indexed < m_queue.size(); ++m_indexed)
    m_ids.emplace(m_queue[m_indexed], static_cast<int>(m_indexed) + 1);
  auto it = m_ids.find(target);
  if (it != m_ids.end()) {
    out = it->second;
    return true;
  }
  if (m_closed) return Error(text() + " refers to a spec object outside the container");
  out = Add(target);
  return true;
}

std::string KroDocumentWriter::Where(std::size_t object, std::string_view attribute) const {
  return "object " + std::to_string(object + 1) + ", attribute \"" + std::string(attribute) + "\",";
}

// The object's startup's number, its name and late type where they are not the default, a value for
// each attribute of the startup's block in its order, then its other attributes with names and kinds.
bool KroDocumentWriter::Line(KroSpecObject* object, std::size_t index, std::size_t block) {
  const KroDoc::StartUp& s = m_startUpBlocks[block - 1];
  KroDoc::Text::Integer(m_lines, static_cast<std::int32_t>(block));
  if (!object->name().empty()) {
    m_lines += " name ";
    KroDoc::Text::String(m_lines, object->name());
  }
  if (const std::string& lateType = object->lateType(); lateType != s.type) {
    m_lines += " type ";
    KroDoc::Text::String(m_lines, lateType);
  }
  const std::uint32_t slots = object->slotCount();
  bool plain = object->startUp() && !object->hasOwnAttributes();
  for (std::uint32_t i = 0; plain && i < slots; ++i) plain = !object->slotAt(i).isAbsent();
  if (!plain || object->startUp() != m_plainStartUp || slots != m_plainSlots || block != m_plainBlock) {
    m_places.clear();
    object->forEachAttribute([&](const KroAttrPlace& place) { m_places.push_back(place); });
    Match(s);
    m_plainStartUp = plain ? object->startUp() : nullptr;
    m_plainSlots = slots;
    m_plainBlock = block;
  }
  // A plain object's places are its layout's entries in order.
  auto place = [&](std::size_t k) {
    KroAttrPlace p = m_places[k];
    if (plain) p.slot = &object->slotAt(p.index);
    return p;
  };
  for (const std::int32_t k : m_declared) {
    if (k < 0) {
      m_lines += " absent";
      continue;
    }
    const KroAttrPlace p = place(static_cast<std::size_t>(k));
    m_lines += ' ';
    if (!p.slot->isSet())
      m_lines += '-';
    else if (!SlotValue(p, index))
      return false;
  }
  for (const std::uint32_t k : m_undeclared) {
    const KroAttrPlace p = place(k);
    m_lines += ' ';
    KroDoc::Text::String(m_lines, p.name);
    m_lines += ' ';
    m_lines += KroDoc::KindWords(p.kind, p.elementKind);
    if (p.slot->isSet()) {
      m_lines += " = ";
      if (!SlotValue(p, index)) return false;
    }
  }
  m_lines += '\n';
  return true;
}

void KroDocumentWriter::Match(const KroDoc::StartUp& s) {
  m_used.assign(m_places.size(), 0);
  m_declared.clear();
  m_undeclared.clear();
  std::size_t hint = 0;
  for (const KroDoc::Attribute& declared : s.attributes) {
    std::size_t found = m_places.size();
    for (std::size_t n = 0; n < m_places.size() && found == m_places.size(); ++n) {
      const std::size_t k = hint + n < m_places.size() ? hint + n : hint + n - m_places.size();
      const KroAttrPlace& p = m_places[k];
      if (!m_used[k] && p.kind == declared.kind && p.elementKind == declared.elementKind && p.name == declared.name)
        found = k;
    }
    if (found == m_places.size()) {
      m_declared.push_back(-1);
      continue;
    }
    m_used[found] = 1;
    hint = found + 1;
    m_declared.push_back(static_cast<std::int32_t>(found));
  }
  for (std::size_t k = 0; k < m_places.size(); ++k)
    if (!m_used[k]) m_undeclared.push_back(static_cast<std::uint32_t>(k));
}

bool KroDocumentWriter::SlotValue(const KroAttrPlace& place, std::size_t object) {
  const KroSlot& slot = *place.slot;
  auto where = [&] { return Where(object, place.name); };
  auto reference = [&](KroISpecObject* target) {
    int id = 0;
    if (target && !Reference(target, where, true, id)) return false;
    KroDoc::Text::Reference(m_lines, id);
    return true;
  };
  auto list = [&](const auto& items, auto&& put) {
    m_lines += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i) m_lines += ", ";
      if (!put(items[i])) return false;
    }
    m_lines += ']';
    return true;
  };
  switch (slot.kind()) {
    case KroValue_Long: KroDoc::Text::Integer(m_lines, slot.getLong()); return true;
    case KroValue_Double: KroDoc::Text::Number(m_lines, slot.getDouble()); return true;
    case KroValue_Boolean: m_lines += slot.getBool() ? "true" : "false"; return true;
    case KroValue_String: KroDoc::Text::String(m_lines, slot.bytes()); return true;
    case KroValue_Octets: {
      const std::string_view bytes = slot.bytes();
      KroDoc::Text::Octets(m_lines, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
      return true;
    }
    case KroValue_Object: return reference(slot.object());
    case KroValue_LongList:
      return list(slot.listOf<std::int32_t>(), [&](std::int32_t v) { KroDoc::Text::Integer(m_lines, v); return true; });
    case KroValue_DoubleList:
      return list(slot.listOf<double>(), [&](double v) { KroDoc::Text::Number(m_lines, v); return true; });
    case KroValue_StringList:
      return list(slot.listOf<std::string>(), [&](const std::string& v) { KroDoc::Text::String(m_lines, v); return true; });
    case KroValue_ObjectList: return list(slot.listOf<KroISpecObject*>(), reference);
    default: return Error(where() + " has a kind that cannot be written");
  }
}

bool KroDocumentWriter::Error(std::string message) {
  if (m_code == S_OK) m_code = E_FAIL;
  m_error = "KroDocumentServices::Save: " + std::move(message);
  return false;
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
      if (!Reference(target, where, refsAllowed, ref.id)) return false;
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
        if (target && !Reference(target, where, refsAllowed, ref.id)) return false;
        refs.push_back(ref);
      }
      a.value = std::move(refs);
      return true;
    }
    default: return Error(where + " has a kind that cannot be written");
  }
}

// Spec objects to document text. The modeler's own objects are written straight from their slots, one
// line each, into one buffer; any other spec object goes through the public interfaces.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "KroDocumentFile.h"
#include "KroDocumentFormat.h"
#include "KroModelerInterfaces.h"
#include "KroSpecObject.h"

class KroContainer;

class KroDocumentWriter {
 public:
  // In a closed walk only the objects added up front may be referred to (a container's save); an open
  // walk adds every object it reaches.
  explicit KroDocumentWriter(bool closed) : m_closed(closed) {}

  // The object's id, given on first sight.
  int Add(KroISpecObject* object);
  // An object known to be listed once (a container's list): its id is its position, found again only
  // if something refers to it.
  void AddListed(KroISpecObject* object) {
    m_held.emplace_back(object);
    m_queue.push_back(object);
  }
  // Every object the modeler's container lists, in order. They are not held again: the container holds
  // them, and writing them runs no code that could let them go.
  void AddListed(const KroContainer& container);

  // The startup's block, written once per name. `user` names the object that reached it, for errors.
  bool AddStartUp(KroISpecObject* startUp, const std::string& user = "");

  void SetRoots(std::vector<KroDoc::Ref> roots) { m_roots = std::move(roots); }

  // What must be known before the first byte goes out. A closed walk gives every queued object's
  // startup its block, so that the lines can then go out while they are made; an open walk may still
  // reach new startups, so it writes every line here, into memory.
  bool Prepare();
  // After Prepare, hands the whole text to `put` in pieces of about a megabyte; false when the walk
  // fails (error() says why) or `put` does.
  bool Emit(const KroDoc::PieceWriter& put);

  const std::string& error() const { return m_error; }
  // Why the walk failed: KRO_E_KIND_CONFLICT for two startups of one name that disagree, else E_FAIL.
  HRESULT code() const { return m_code; }

 private:
  bool Error(std::string message);
  // A document holds one startup of a name: a second one must not declare a name with other kinds.
  bool SameKinds(KroISpecObject* startUp, const std::string& name, const std::string& user);
  // The number of the startup's block, written first if needed; 0 on failure.
  std::size_t BlockOf(KroISpecObject* startUp, std::size_t object);

  // The id of a referred object; `where` is called only to name it in an error.
  template <class Describe>
  bool Reference(KroISpecObject* target, Describe&& where, bool allowed, int& out);
  std::string Where(std::size_t object, std::string_view attribute) const;

  // Writes every queued object, the queue growing as an open walk reaches new ones; with `put`, the lines
  // go out whenever a piece is full.
  bool Walk(const KroDoc::PieceWriter* put);
  // The startup of queued object `i`; one that is not the modeler's is held in `held`.
  KroISpecObject* StartUpOf(std::size_t i, KroISpecObject_var& held);
  // The lines made so far go out, into the checksum and to `put`.
  bool Flush(const KroDoc::PieceWriter& put);
  bool Line(KroSpecObject* object, std::size_t index, std::size_t block);
  bool SlotValue(const KroAttrPlace& place, std::size_t object);

  // The public-interface path: startups' blocks, and objects of other origin.
  bool Attributes(KroISpecObject* object, const std::string& owner, bool refsAllowed,
                  std::vector<KroDoc::Attribute>& out);
  bool Value(KroISpecAttrAccess* access, KroISpecAttrKey* key, const std::string& where, bool refsAllowed,
             KroDoc::Attribute& a);

  bool m_closed;
  std::vector<KroDoc::StartUp> m_startUpBlocks;
  std::vector<KroDoc::Ref> m_roots;
  std::unordered_map<KroISpecObject*, int> m_ids;
  std::size_t m_indexed = 0;  // queued objects entered in m_ids so far
  // The modeler's container whose list was queued, whose instances are all of its own startups.
  const KroContainer* m_ownStartUpsOnly = nullptr;
  std::vector<KroISpecObject*> m_queue;  // by id - 1
  std::vector<KroISpecObject_var> m_held;  // what the walk holds of them
  struct Written {
    KroISpecObject* startUp;   // the one whose block is written
    std::size_t block;         // its index in m_startUpBlocks
  };
  std::unordered_map<std::string, Written> m_startUps;
  std::unordered_map<KroISpecObject*, std::size_t> m_blockOf;  // startup -> block number
  std::string m_head, m_lines, m_tail;
  std::uint32_t m_crc = 0;  // of every byte handed out so far
  // Which of the object's places fills each attribute of its startup's block (-1: absent), and which
  // places the block does not declare.
  void Match(const KroDoc::StartUp& s);
  std::vector<KroAttrPlace> m_places;  // of the object being written, or of the last plain one
  std::vector<std::int32_t> m_declared;
  std::vector<std::uint32_t> m_undeclared;
  std::vector<char> m_used;
  // Instances of one startup with all their slots, the same count of them, and no attributes of their
  // own have the same places, which fill a block alike: the matching of the last such object is
  // kept for the next (its places' slots are the object's slots at the same positions).
  const KroSpecObject* m_plainStartUp = nullptr;
  std::uint32_t m_plainSlots = 0;
  std::size_t m_plainBlock = 0;
  HRESULT m_code = S_OK;
  std::string m_error;
};

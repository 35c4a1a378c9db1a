// Spec objects to document text. The modeler's own objects are written straight from their slots, one
// line each, into one buffer; any other spec object goes through the public interfaces.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "KroDocumentFormat.h"
#include "KroModelerInterfaces.h"
#include "KroSpecObject.h"

class KroDocumentWriter {
 public:
  // In a closed walk only the objects added up front may be referred to (a container's save); an open
  // walk adds every object it reaches.
  explicit KroDocumentWriter(bool closed) : m_closed(closed) {}

  // The object's id, given on first sight.
  int Add(KroISpecObject* object);
  // An object known to be listed once (a container's list): its id is its position, found again only
  // if something refers to it.
  void AddListed(KroISpecObject* object) { m_queue.emplace_back(object); }

  // The startup's block, written once per name. `user` names the object that reached it, for errors.
  bool AddStartUp(KroISpecObject* startUp, const std::string& user = "");

  // Writes every queued object, the queue growing as an open walk reaches new ones.
  bool Walk();

  void SetRoots(std::vector<KroDoc::Ref> roots) { m_roots = std::move(roots); }
  // The whole text after a successful walk, in pieces to be written one after the other.
  std::vector<std::string_view> Text();

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
  std::vector<KroISpecObject_var> m_queue;  // by id - 1
  struct Written {
    KroISpecObject* startUp;   // the one whose block is written
    std::size_t block;         // its index in m_startUpBlocks
  };
  std::unordered_map<std::string, Written> m_startUps;
  std::unordered_map<KroISpecObject*, std::size_t> m_blockOf;  // startup -> block number
  std::string m_head, m_lines, m_tail;
  std::vector<KroAttrPlace> m_places;  // of the object being written
  std::vector<char> m_used;
  HRESULT m_code = S_OK;
  std::string m_error;
};

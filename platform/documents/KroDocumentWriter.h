// Spec objects to document blocks, through the modeler's public interfaces.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "KroDocumentFormat.h"
#include "KroModelerInterfaces.h"

class KroDocumentWriter {
 public:
  // In a closed walk only the objects added up front may be referred to (a container's save); an open
  // walk adds every object it reaches.
  explicit KroDocumentWriter(bool closed) : m_closed(closed) {}

  // The object's id, given on first sight.
  int Add(KroISpecObject* object);

  // The startup's block, written once per name. `user` names the object that reached it, for errors.
  bool AddStartUp(KroISpecObject* startUp, const std::string& user = "");

  // Writes every queued object, the queue growing as an open walk reaches new ones.
  bool Walk();

  KroDoc::Document& document() { return m_doc; }
  const std::string& error() const { return m_error; }
  // Why the walk failed: KRO_E_KIND_CONFLICT for two startups of one name that disagree, else E_FAIL.
  HRESULT code() const { return m_code; }

 private:
  bool Error(std::string message);
  // A document holds one startup of a name: a second one must not declare a name with other kinds.
  bool SameKinds(KroISpecObject* startUp, const std::string& name, const std::string& user);

  bool Reference(KroISpecObject* target, const std::string& where, bool allowed, KroDoc::Ref& out);

  bool Attributes(KroISpecObject* object, const std::string& owner, bool refsAllowed,
                  std::vector<KroDoc::Attribute>& out);

  bool Value(KroISpecAttrAccess* access, KroISpecAttrKey* key, const std::string& where, bool refsAllowed,
             KroDoc::Attribute& a);

  bool m_closed;
  KroDoc::Document m_doc;
  std::unordered_map<KroISpecObject*, int> m_ids;
  std::vector<KroISpecObject_var> m_queue;  // by id - 1
  struct Written {
    KroISpecObject* startUp;   // the one whose block is written
    std::size_t block;         // its index in the document's startups
  };
  std::unordered_map<std::string, Written> m_startUps;
  HRESULT m_code = S_OK;
  std::string m_error;
};

// Spec objects to document blocks, through the modeler's public interfaces.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
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

  bool AddStartUp(KroISpecObject* startUp);

  // Writes every queued object, the queue growing as an open walk reaches new ones.
  bool Walk();

  KroDoc::Document& document() { return m_doc; }
  const std::string& error() const { return m_error; }

 private:
  bool Error(std::string message);

  bool Reference(KroISpecObject* target, const std::string& where, bool allowed, KroDoc::Ref& out);

  bool Attributes(KroISpecObject* object, const std::string& owner, bool refsAllowed,
                  std::vector<KroDoc::Attribute>& out);

  bool Value(KroISpecAttrAccess* access, KroISpecAttrKey* key, const std::string& where, bool refsAllowed,
             KroDoc::Attribute& a);

  bool m_closed;
  KroDoc::Document m_doc;
  std::unordered_map<KroISpecObject*, int> m_ids;
  std::vector<KroISpecObject_var> m_queue;  // by id - 1
  std::unordered_set<std::string> m_startUpNames;
  std::string m_error;
};

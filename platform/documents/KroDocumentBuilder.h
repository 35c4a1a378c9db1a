// Document blocks to a container: the one place that builds the modeler's own classes. Builds the
// container block by block as the file is read; references are set once every object exists.
#pragma once

#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "KroDocumentFormat.h"
#include "KroModelerInterfaces.h"

class KroContainer;
class KroSpecObject;

class KroDocumentBuilder final : public KroDoc::Sink {
 public:
  explicit KroDocumentBuilder(KroContainer* container) : m_container(container) {}

  bool OnStartUp(KroDoc::StartUp&& s, KroDoc::ParseError& err) override;

  // An object whose startup is not known yet waits, and so does every object after it, to keep file order.
  bool OnObject(KroDoc::Object&& o, KroDoc::ParseError& err) override;

  // Fills the instance's slots by the startup's order, without a lookup by name.
  bool OnRecord(KroDoc::Record& r, KroDoc::ParseError& err) override;

  bool Finish(KroDoc::ParseError& err);

  KroListValKroISpecObject_var Roots(const std::vector<KroDoc::Ref>& roots) const;

 private:
  bool Build(KroDoc::Object&& o, KroDoc::ParseError& err);

  // Each attribute found (an instance's come from its startup, a derived startup's from its base) or
  // added, then given the file's value; an object's attribute without one is unset, a startup's keeps
  // what its base gave it.
  static bool SetAttributes(KroSpecObject* object, const std::vector<KroDoc::Attribute>& attributes, bool exact,
                            KroDoc::ParseError& err);

  void Register(int id, KroSpecObject* object);
  KroSpecObject* ById(int id) const;

  // A startup block as read: the layout entry of each attribute it declares, in its order, and the
  // entries it does not declare (from a base), absent on the objects that follow its order.
  struct Shape {
    KroSpecObject* startUp;  // owned by the container
    std::vector<std::uint32_t> slots;
    std::vector<std::uint32_t> undeclared;
  };

  KroContainer* m_container;
  std::vector<Shape> m_shapes;  // in file order
  // Objects by id: ids 1, 2, ... in order (what the platform writes) by position, others by map.
  std::vector<KroSpecObject*> m_inOrder;
  std::unordered_map<int, KroSpecObject*> m_byId;  // owned by the container
  std::vector<std::tuple<KroSpecObject*, std::string, KroDoc::Value>> m_references;
  // A single reference in a slot of a line read by the startup's order: the object, the slot, the id.
  struct SlotReference {
    KroSpecObject* object;
    std::uint32_t slot;
    int id;
  };
  std::vector<SlotReference> m_slotReferences;
  std::vector<KroDoc::Object> m_deferred;
};

// What spec objects reach through their spec-object-valued and spec-object-list attributes. The one
// walk of references that numbers objects, used by the effectivity queries and by cfgso show alike.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <vector>

#include "KroModelerInterfaces.h"

class KRO_PLATFORM_API KroSpecReach {
 public:
  KroSpecReach() = delete;

  // The spec objects an object's attributes refer to, in attribute order and, within a list, in list
  // order; an object referred to twice comes twice. Unset attributes and null entries are skipped.
  static std::vector<KroISpecObject_var> Targets(const KroISpecObject_var& so);

  // The objects of Closure with their references as positions in objects: targets[i] are the
  // positions of Targets(objects[i]). Each object's attributes are read once.
  struct Graph {
    std::vector<KroISpecObject_var> objects;
    std::vector<std::vector<std::uint32_t>> targets;
  };
  static Graph Walk(const KroListValKroISpecObject_var& roots);

  // The roots (null ones skipped), then every object they reach that is not among them, each once:
  // depth first from each root in turn. Numbering the result from 1 gives the numbers that cfgso show
  // prints for a document's objects.
  static std::vector<KroISpecObject_var> Closure(const KroListValKroISpecObject_var& roots);
};

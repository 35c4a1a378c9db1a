// The native half of cfgso.effective and cfgso.record_holds: effectivity queries on the records that
// Python objects hold. The module's own handle type stays in cfgso_native.cpp; it hands over the two
// conversions this file needs.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "KroCfgEffectivityQuery.h"

namespace py = pybind11;

#include "cfgso_effective.h"

using KroUnwrapFn = KroBaseUnknown* (*)(py::handle);
using KroWrapFn = py::object (*)(KroBaseUnknown*);

namespace {

KroUnwrapFn s_unwrap = nullptr;
KroWrapFn s_wrap = nullptr;

KroBaseUnknown* Unwrap(py::handle value) {
  if (py::hasattr(value, "_handle")) value = value.attr("_handle");
  try {
    return s_unwrap(value);
  } catch (const py::cast_error&) {
    throw py::type_error("expected a cfgso object, got a " + std::string(py::str(value.get_type().attr("__name__"))));
  }
}

KroCfgEffectivityPoint Point(const std::string& domain, std::optional<long long> date, std::optional<long long> rank,
                             const std::vector<std::string>& specs, bool mode150) {
  KroCfgEffectivityPoint point(domain);
  if (date) point.setDate(*date);
  if (rank) point.setRank(*rank);
  point.setChosen(specs);
  point.setMode150(mode150);
  return point;
}

}  // namespace

void KroRegisterEffective(py::module_& m, KroUnwrapFn unwrap, KroWrapFn wrap) {
  s_unwrap = unwrap;
  s_wrap = wrap;

  // (result code, [(object, record, late type, basic)], [(object, late type, result code)]). target is a
  // container, or a sequence of spec objects.
  m.def("effective", [](py::object target, const std::string& domain, std::optional<long long> date,
                        std::optional<long long> rank, const std::vector<std::string>& specs, bool mode150) {
    const KroCfgEffectivityPoint point = Point(domain, date, rank, specs, mode150);
    std::vector<KroCfgEffectivityQuery::Match> matches;
    std::vector<KroCfgEffectivityQuery::Problem> problems;
    HRESULT hr = S_OK;
    if (!py::isinstance<py::sequence>(target) || py::isinstance<py::str>(target)) {
      KroIContainer_var container = Unwrap(target);
      if (!container) throw py::type_error("expected a container or a sequence of spec objects");
      hr = KroCfgEffectivityQuery::Select(container, point, matches, &problems);
    } else {
      KroListValKroISpecObject_var roots;
      for (py::handle item : target) roots.Append(KroISpecObject_var(Unwrap(item)));
      hr = KroCfgEffectivityQuery::Select(roots, point, matches, &problems);
    }
    py::list found, damaged;
    for (const auto& match : matches)
      found.append(py::make_tuple(match.object, s_wrap(match.record.ptr()), match.lateType, match.basic));
    for (const auto& problem : problems) damaged.append(py::make_tuple(problem.object, problem.lateType, problem.result));
    return py::make_tuple(hr, found, damaged);
  });

  // (result code, basic): S_OK and the basic effectivity that made the record hold, S_FALSE, or a failure.
  m.def("record_holds", [](py::object record, const std::string& domain, std::optional<long long> date,
                           std::optional<long long> rank, const std::vector<std::string>& specs, bool mode150) {
    int basic = 0;
    const HRESULT hr = KroCfgEffectivityQuery::RecordHolds(KroISpecObject_var(record.is_none() ? nullptr : Unwrap(record)),
                                                           Point(domain, date, rank, specs, mode150), basic);
    return py::make_tuple(hr, basic);
  });
}

// The native half of the cfgso module: counted handles on components, and calls through their dispatch
// methods with Python values converted to and from variants. Nothing here knows any interface: the
// type information of each one says which arguments are outputs.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <vector>

#include "KroCfgSOServices.h"
#include "KroDispatch.h"
#include "cfgso_effective.h"

namespace py = pybind11;

namespace {

// One counted reference on a component, held as the interface it was handed out as.
class Handle {
 public:
  explicit Handle(KroUnknownRef ref) : m_ref(std::move(ref)) {}

  KroBaseUnknown* get() const { return m_ref.get(); }
  const IID& iid() const { return m_ref.iid(); }
  const KroDispatchTable* table() const { return KroFindDispatchTable(m_ref.iid()); }
  std::string interfaceName() const {
    const KroDispatchTable* t = table();
    return t ? t->TypeInfo().name : std::string();
  }
  const KroUnknownRef& ref() const { return m_ref; }

 private:
  KroUnknownRef m_ref;
};

py::object Epoch() {
  py::module_ datetime = py::module_::import("datetime");
  return datetime.attr("datetime")(1970, 1, 1, 0, 0, 0, 0, datetime.attr("timezone").attr("utc"));
}

py::object ToPython(const KroVariant& v) {
  switch (v.Type()) {
    case KroVT_EMPTY: return py::none();
    case KroVT_BOOL: return py::bool_(*v.IfBool());
    case KroVT_I4: return py::int_(*v.IfInt());
    case KroVT_I8: return py::int_(*v.IfLong());
    case KroVT_R8: return py::float_(*v.IfDouble());
    case KroVT_STRING: return py::str(v.IfString()->str());
    case KroVT_OCTETS: {
      const SEQUENCE_octet& o = *v.IfOctets();
      return py::bytes(reinterpret_cast<const char*>(o.data()), o.length());
    }
    case KroVT_TIME: {
      py::module_ datetime = py::module_::import("datetime");
      return Epoch() + datetime.attr("timedelta")(py::arg("seconds") = static_cast<long long>(v.IfTime()->Gettime_t()));
    }
    case KroVT_UNKNOWN: {
      const KroUnknownRef& ref = *v.IfInterface();
      if (!ref.get()) return py::none();
      return py::cast(Handle(ref));
    }
    case KroVT_ARRAY: {
      py::list items;
      for (const KroVariant& item : *v.IfArray()) items.append(ToPython(item));
      return items;
    }
    case KroVT_BYREF: return ToPython(v.Deref());
  }
  return py::none();
}

// Python values to variants by their own type; an integer becomes 64 bits where the parameter is long
// or the value needs it. Dispatch decides whether the value fits the parameter.
KroVariant FromPython(const py::handle& value, KroVarType wanted, std::size_t position) {
  py::module_ datetime = py::module_::import("datetime");
  if (value.is_none()) return KroVariant();
  if (py::isinstance<py::bool_>(value)) return KroVariant::Bool(value.cast<bool>());
  if (py::isinstance<py::int_>(value)) {
    long long n = 0;
    try {
      n = value.cast<long long>();
    } catch (const py::cast_error&) {
      throw py::type_error("argument " + std::to_string(position + 1) + ": integer too large");
    }
    if (wanted != KroVT_I8 && n >= INT32_MIN && n <= INT32_MAX) return KroVariant::Int(static_cast<std::int32_t>(n));
    return KroVariant::Long(n);
  }
  if (py::isinstance<py::float_>(value)) return KroVariant::Double(value.cast<double>());
  if (py::isinstance<py::str>(value)) return KroVariant::String(value.cast<std::string>());
  if (py::isinstance<py::bytes>(value) || py::isinstance<py::bytearray>(value)) {
    std::string bytes = py::isinstance<py::bytes>(value) ? value.cast<std::string>()
                                                          : py::bytes(py::reinterpret_borrow<py::object>(value)).cast<std::string>();
    return KroVariant::Octets(SEQUENCE_octet(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  }
  if (py::isinstance(value, datetime.attr("datetime"))) {
    py::object moment = py::reinterpret_borrow<py::object>(value);
    // A naive time is taken as UTC.
    if (moment.attr("tzinfo").is_none())
      moment = moment.attr("replace")(py::arg("tzinfo") = datetime.attr("timezone").attr("utc"));
    py::object seconds = (moment - Epoch()).attr("__floordiv__")(datetime.attr("timedelta")(py::arg("seconds") = 1));
    return KroVariant::Time(KroTime(static_cast<time_t>(seconds.cast<long long>())));
  }
  if (py::isinstance<Handle>(value)) {
    const Handle& h = value.cast<const Handle&>();
    return KroVariant::Interface(h.get(), h.iid());
  }
  if (py::hasattr(value, "_handle")) return FromPython(value.attr("_handle"), wanted, position);
  if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
    std::vector<KroVariant> items;
    for (const py::handle& item : value) items.push_back(FromPython(item, KroVT_EMPTY, position));
    return KroVariant::Array(std::move(items));
  }
  throw py::type_error("argument " + std::to_string(position + 1) + ": cannot pass a " +
                       std::string(py::str(value.get_type().attr("__name__"))));
}

// Calls method dispId with the inputs; the outputs are passed by reference where the type information
// puts them. Gives (result code, result value, outputs, argument position or -1, error text).
py::tuple Invoke(const Handle& self, long dispId, const py::sequence& inputs) {
  const KroDispatchTable* table = self.table();
  const KroMethodInfo* method = table ? table->TypeInfo().Method(dispId) : nullptr;
  std::vector<KroVariant> outs(method ? method->params.size() : 0);
  std::vector<KroVariant> args;
  std::size_t next = 0, count = py::len(inputs);
  if (method)
    for (std::size_t i = 0; i < method->params.size(); ++i) {
      const KroParamInfo& p = method->params[i];
      if (p.out)
        args.push_back(KroVariant::ByRef(&outs[i]));
      else if (next < count)
        args.push_back(FromPython(inputs[next], p.type, next)), ++next;
    }
  // Inputs beyond the parameters still go into the block, so that dispatch reports the count.
  for (; next < count; ++next) args.push_back(FromPython(inputs[next], KroVT_EMPTY, next));

  KroDispParams params{args.data(), static_cast<unsigned int>(args.size())};
  KroVariant result;
  KroExcepInfo exception;
  unsigned int argErr = ~0u;
  HRESULT hr = self.get()->Invoke(dispId, self.iid(), 0, DISPATCH_METHOD, &params, &result, &exception, &argErr);

  py::list outputs;
  if (method)
    for (std::size_t i = 0; i < method->params.size(); ++i)
      if (method->params[i].out) outputs.append(ToPython(outs[i]));
  long position = hr == DISP_E_TYPEMISMATCH && argErr != ~0u ? static_cast<long>(argErr) : -1;
  return py::make_tuple(hr, ToPython(result), outputs, position, exception.description);
}

py::dict DescribeMethod(const KroMethodInfo& m) {
  py::list params;
  for (const KroParamInfo& p : m.params) {
    py::dict d;
    d["name"] = p.name;
    d["type"] = p.typeName;
    d["kind"] = KroVarTypeName(p.type);
    d["out"] = p.out;
    params.append(d);
  }
  py::dict d;
  d["name"] = m.name;
  d["dispid"] = m.dispId;
  d["result"] = m.resultTypeName;
  d["result_kind"] = KroVarTypeName(m.resultType);
  d["params"] = params;
  d["signature"] = m.Signature();
  return d;
}

// The type information of the interface a handle is held as, through the object's own GetTypeInfo where
// it answers for that interface, else from the platform's registry (the same description).
py::object TypeInfo(const Handle& self) {
  const KroTypeInfo* info = nullptr;
  unsigned int count = 0;
  if (SUCCEEDED(self.get()->GetTypeInfoCount(&count)) && count > 0) {
    void* raw = nullptr;
    if (SUCCEEDED(self.get()->GetTypeInfo(0, 0, &raw)) && raw && static_cast<const KroTypeInfo*>(raw)->iid == self.iid())
      info = static_cast<const KroTypeInfo*>(raw);
  }
  if (!info)
    if (const KroDispatchTable* table = self.table()) info = &table->TypeInfo();
  if (!info) return py::none();
  py::list methods;
  for (const KroMethodInfo& m : info->methods) methods.append(DescribeMethod(m));
  py::dict d;
  d["name"] = info->name;
  d["methods"] = methods;
  return d;
}

}  // namespace

PYBIND11_MODULE(_cfgso, m) {
  m.doc() = "Native dispatch layer of cfgso";

  py::class_<Handle>(m, "Handle")
      .def_property_readonly("interface", &Handle::interfaceName)
      .def("ids_of_names", [](const Handle& self, const std::string& name) {
        const char* names[] = {name.c_str()};
        long id = -1;
        HRESULT hr = self.get()->GetIDsOfNames(self.iid(), names, 1, 0, &id);
        return py::make_tuple(hr, id);
      })
      .def("invoke", &Invoke)
      .def("type_info", &TypeInfo)
      // The same object through another interface, or None when it lacks it (or no such name exists).
      .def("query", [](const Handle& self, const std::string& name) -> py::object {
        const IID* iid = KroFindInterfaceId(name.c_str());
        KroToBaseFn toBase = iid ? KroFindInterfaceToBase(*iid) : nullptr;
        void* out = nullptr;
        if (!toBase || FAILED(self.get()->QueryInterface(*iid, &out)) || !out) return py::none();
        return py::cast(Handle(KroUnknownRef(toBase(out), *iid, true)));
      })
      .def("same_object", [](const Handle& self, const Handle& other) { return self.get()->IsEqual(other.get()) != 0; });

  m.def("static_dispatch", [](const std::string& className) -> py::object {
    KroBaseUnknown* created = KroCreateStaticDispatch(className.c_str());
    if (!created) return py::none();
    return py::cast(Handle(KroUnknownRef(created, KroMakeGUID(className.c_str()), true)));
  });
  m.def("manager", []() -> py::object {
    KroICfgManager_var manager = KroCfgSOServices::GetCfgManager();
    if (!manager) return py::none();
    return py::cast(Handle(KroUnknownRef(manager.ptr(), IID_KroICfgManager, false)));
  });
  m.def("live_objects", &KroBaseUnknown::LiveObjects);
  m.def("result_name", &KroResultName);
  m.def("interfaces", &KroDispatchTableNames);
  KroRegisterEffective(m, [](py::handle h) { return h.cast<const Handle&>().get(); }, [](KroBaseUnknown* p) { return py::cast(Handle(KroUnknownRef(p, IID_KroISpecObject, false))); });
}

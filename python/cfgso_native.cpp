// The native half of the cfgso module: counted handles on components, and calls through their dispatch
// methods with Python values converted to and from variants. Nothing here knows any interface: the
// type information of each one says which arguments are outputs, and what a call gives back.
//
// The library is single-threaded: every call keeps the GIL, so that Python threads take turns.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <datetime.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "KroCfgEffectivityRecord.h"
#include "KroCfgSOServices.h"
#include "KroCfgServerConnection.h"
#include "KroDispatch.h"

namespace py = pybind11;

namespace {

// What the Python half registers on its first call (wrap a handle, make an exception), and what the
// module's init takes from datetime and uuid.
struct Hooks {
  py::object wrap;   // wrap(Handle) -> Object
  py::object error;  // error(method, hresult, argument, text) -> exception instance
  py::object utc;
  py::object epoch;
  py::object uuidType;
  py::object missing;  // an argument left out: cfgso's keyword calls fill gaps with it
};
Hooks& hooks() {
  static Hooks* h = new Hooks();  // left to the interpreter's exit, not to static destruction
  return *h;
}

// The stored time range: a signed 32-bit count of seconds.
constexpr long long kFirstTime = std::numeric_limits<std::int32_t>::min();
constexpr long long kLastTime = std::numeric_limits<std::int32_t>::max();
constexpr const char* kTimeRange = "1901-12-13 20:45:52 to 2038-01-19 03:14:07 UTC";

// The result codes the Python half names or raises itself.
#define KRO_SCRIPT_RESULTS(X)                                                                              \
  X(S_OK) X(S_FALSE) X(E_FAIL) X(E_INVALIDARG) X(DISP_E_TYPEMISMATCH) X(DISP_E_BADPARAMCOUNT) X(DISP_E_BADINDEX) \
  X(KRO_E_FILE_NOT_FOUND) X(KRO_E_BAD_FORMAT) X(KRO_E_DAMAGED_EFFECTIVITY) X(KRO_E_NOT_AN_EFFECTIVITY)

// Raises the Python half's exception for that result code (its class follows from the code).
[[noreturn]] void Raise(const std::string& method, HRESULT hr, py::object argument, const std::string& text) {
  if (!hooks().error) throw std::logic_error("cfgso: a call before the module was set up");
  py::object error = hooks().error(method, hr, argument, text);
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
  throw py::error_already_set();
}

// One counted reference on a component, held as the interface it was handed out as.
class Handle {
 public:
  explicit Handle(KroUnknownRef ref) : m_ref(std::move(ref)), m_table(KroFindDispatchTable(m_ref.iid())) {}

  KroBaseUnknown* get() const { return m_ref.get(); }
  const IID& iid() const { return m_ref.iid(); }
  const KroDispatchTable* table() const { return m_table; }
  std::string interfaceName() const { return m_table ? m_table->TypeInfo().name : std::string(); }
  // The component itself, whatever interface it is held as: equal for the same object.
  std::uintptr_t identity() const {
    KroBaseUnknown_var base = m_ref.get();
    return reinterpret_cast<std::uintptr_t>(base.ptr());
  }

 private:
  KroUnknownRef m_ref;
  const KroDispatchTable* m_table;
};

// The one conversion of times, both ways, for calls and for the Python half: timezone-aware datetimes
// in UTC, whole seconds in the store's range.
py::object Moment(long long seconds) {
  py::object delta = py::reinterpret_steal<py::object>(PyDelta_FromDSU(0, static_cast<int>(seconds), 0));
  if (!delta) throw py::error_already_set();
  return hooks().epoch + delta;
}

py::object ToPython(const KroVariant& v) {
  switch (v.Type()) {
    case KroVT_EMPTY: return py::none();
    case KroVT_BOOL: return py::bool_(*v.IfBool());
    case KroVT_I4: return py::int_(*v.IfInt());
    case KroVT_I8: return py::int_(*v.IfLong());
    case KroVT_R8: return py::float_(*v.IfDouble());
    case KroVT_STRING: {
      std::string_view text = v.IfString()->view();
      // Stored text is UTF-8 from Python, but documents may bring other bytes: keep them readable.
      PyObject* s = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
      if (!s) throw py::error_already_set();
      return py::reinterpret_steal<py::object>(s);
    }
    case KroVT_OCTETS: {
      const SEQUENCE_octet& o = *v.IfOctets();
      return py::bytes(reinterpret_cast<const char*>(o.data()), o.length());
    }
    case KroVT_TIME: return Moment(static_cast<long long>(v.IfTime()->Gettime_t()));
    case KroVT_UNKNOWN: {
      const KroUnknownRef& ref = *v.IfInterface();
      if (!ref.get()) return py::none();
      return hooks().wrap(Handle(ref));
    }
    case KroVT_ARRAY: {
      const std::vector<KroVariant>& items = *v.IfArray();
      py::list list(items.size());
      for (std::size_t i = 0; i < items.size(); ++i) list[i] = ToPython(items[i]);
      return list;
    }
    case KroVT_BYREF: return ToPython(v.Deref());
  }
  return py::none();
}

// Octets in a dispatch list hold a uuid: a parameter of these types, or a list of them, takes only 16.
bool IsUuidType(const std::string& typeName) {
  return typeName == "SEQUENCE_octet" || typeName == "KroCfgUuid" || typeName == "KroList<SEQUENCE_octet>" ||
         typeName == "KroList<KroCfgUuid>";
}

// Where a value goes, for conversions and their error texts.
struct Target {
  const std::string& method;
  const KroParamInfo* param;  // null for arguments beyond the parameters
  std::size_t position;       // zero-based among the inputs
  bool uuid() const { return param && IsUuidType(param->typeName); }
  std::string name() const {
    std::string text = "argument " + std::to_string(position + 1);
    return param ? text + " ('" + param->name + "')" : text;
  }
  // A value of a type the parameter does not take (DISP_E_TYPEMISMATCH), or one it refuses (E_INVALIDARG).
  [[noreturn]] void Fail(HRESULT hr, const std::string& what) const {
    Raise(method, hr, py::int_(position + 1), name() + ": " + what);
  }
};

std::string TypeName(py::handle value) { return py::str(py::type::handle_of(value).attr("__name__")); }

KroVariant Octets(py::handle value, const Target& target) {
  char* data = nullptr;
  Py_ssize_t size = 0;
  py::object held;
  if (PyBytes_Check(value.ptr())) {
    PyBytes_AsStringAndSize(value.ptr(), &data, &size);
  } else if (PyByteArray_Check(value.ptr())) {
    data = PyByteArray_AsString(value.ptr());
    size = PyByteArray_Size(value.ptr());
  } else if (target.uuid() && py::isinstance(value, hooks().uuidType)) {
    held = value.attr("bytes");
    PyBytes_AsStringAndSize(held.ptr(), &data, &size);
  } else {
    target.Fail(DISP_E_TYPEMISMATCH, std::string(target.uuid() ? "a uuid is bytes, bytearray or uuid.UUID" : "octets are bytes or bytearray") +
                            ", not " + TypeName(value));
  }
  if (target.uuid() && size != 16)
    target.Fail(E_INVALIDARG, "a uuid is exactly 16 bytes, not " + std::to_string(size));
  return KroVariant::Octets(SEQUENCE_octet(reinterpret_cast<const unsigned char*>(data), static_cast<std::size_t>(size)));
}

// A date alone is its midnight, a naive time is taken as UTC.
long long Seconds(py::handle value, const Target& target) {
  if (!PyDate_Check(value.ptr())) target.Fail(DISP_E_TYPEMISMATCH, "a time is a datetime or a date, not " + TypeName(value));
  py::object moment = py::reinterpret_borrow<py::object>(value);
  if (!PyDateTime_Check(value.ptr()))
    moment = py::reinterpret_steal<py::object>(PyDateTime_FromDateAndTime(
        PyDateTime_GET_YEAR(value.ptr()), PyDateTime_GET_MONTH(value.ptr()), PyDateTime_GET_DAY(value.ptr()), 0, 0, 0, 0));
  if (PyDateTime_DATE_GET_MICROSECOND(moment.ptr()) != 0)
    target.Fail(E_INVALIDARG, "times are stored in whole seconds; drop the sub-second part (.replace(microsecond=0))");
  if (moment.attr("tzinfo").is_none()) moment = moment.attr("replace")(py::arg("tzinfo") = hooks().utc);
  py::object delta = moment - hooks().epoch;
  long long seconds = static_cast<long long>(PyDateTime_DELTA_GET_DAYS(delta.ptr())) * 86400 +
                      PyDateTime_DELTA_GET_SECONDS(delta.ptr());
  if (seconds < kFirstTime || seconds > kLastTime)
    target.Fail(E_INVALIDARG, std::string("time outside the stored range ") + kTimeRange);
  return seconds;
}

KroVariant Time(py::handle value, const Target& target) {
  return KroVariant::Time(KroTime(static_cast<time_t>(Seconds(value, target))));
}

KroVariant FromPython(py::handle value, KroVarType wanted, const Target& target);

KroVariant Items(py::handle value, const Target& target) {
  std::vector<KroVariant> items;
  if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr())) {
    py::sequence sequence = py::reinterpret_borrow<py::sequence>(value);
    items.reserve(py::len(sequence));
  }
  for (py::handle item : value) items.push_back(FromPython(item, KroVT_EMPTY, target));
  return KroVariant::Array(std::move(items));
}

// Python values to variants by their own type; an integer becomes 64 bits where the parameter is long
// or the value needs it. Dispatch decides whether the value fits the parameter.
KroVariant FromPython(py::handle value, KroVarType wanted, const Target& target) {
  PyObject* p = value.ptr();
  if (p == Py_None) return KroVariant();
  if (p == hooks().missing.ptr())
    Raise(target.method, DISP_E_BADPARAMCOUNT, py::int_(target.position + 1), target.name() + " is missing");
  if (PyBool_Check(p)) return KroVariant::Bool(p == Py_True);
  if (PyLong_Check(p)) {
    int overflow = 0;
    long long n = PyLong_AsLongLongAndOverflow(p, &overflow);
    if (overflow) target.Fail(E_INVALIDARG, "integer out of range");
    if (wanted == KroVT_I4 && (n < INT32_MIN || n > INT32_MAX))
      target.Fail(E_INVALIDARG, "integer out of the 32-bit range");
    if (wanted != KroVT_I8 && n >= INT32_MIN && n <= INT32_MAX) return KroVariant::Int(static_cast<std::int32_t>(n));
    return KroVariant::Long(n);
  }
  if (PyFloat_Check(p)) return KroVariant::Double(PyFloat_AS_DOUBLE(p));
  if (PyUnicode_Check(p)) {
    Py_ssize_t size = 0;
    const char* text = PyUnicode_AsUTF8AndSize(p, &size);
    if (!text) {
      PyErr_Clear();
      target.Fail(E_INVALIDARG, "text that is not valid Unicode (a lone surrogate) cannot be stored");
    }
    return KroVariant::String(KroUnicodeString(std::string_view(text, static_cast<std::size_t>(size))));
  }
  if (wanted == KroVT_OCTETS || PyBytes_Check(p) || PyByteArray_Check(p) ||
      (target.uuid() && py::isinstance(value, hooks().uuidType)))
    return Octets(value, target);
  if (py::isinstance<Handle>(value)) {
    const Handle& h = value.cast<const Handle&>();
    return KroVariant::Interface(h.get(), h.iid());
  }
  if (PyDate_Check(p)) return Time(value, target);
  if (PyObject_HasAttrString(p, "_handle")) return FromPython(value.attr("_handle"), wanted, target);
  if (PyList_Check(p) || PyTuple_Check(p) || (wanted == KroVT_ARRAY && PyObject_HasAttrString(p, "__iter__")))
    return Items(value, target);
  target.Fail(DISP_E_TYPEMISMATCH, "cannot pass a " + TypeName(value));
}

// Calls method dispId with the inputs, in parameter order; outputs are passed by reference where the
// type information puts them. Gives the method's value (the result where it is a value or an answer,
// then the outputs): None, the one value, or a tuple. A failing result raises.
py::object Call(const Handle& self, long dispId, const py::tuple& inputs) {
  const KroDispatchTable* table = self.table();
  const KroMethodInfo* method = table ? table->TypeInfo().Method(dispId) : nullptr;
  static const std::string unknown = "?";
  const std::string& name = method ? method->name : unknown;
  const std::size_t paramCount = method ? method->params.size() : 0;

  KroVariant outs[8];
  std::vector<KroVariant> spill;
  KroVariant* outputs = outs;
  if (paramCount > 8) spill.resize(paramCount), outputs = spill.data();
  // Arguments left out at the end are not passed: dispatch then reports the count.
  std::size_t count = inputs.size();
  while (count > 0 && inputs[count - 1].ptr() == hooks().missing.ptr()) --count;
  std::vector<KroVariant> args;
  args.reserve(paramCount > count ? paramCount : count);
  std::size_t next = 0;
  for (std::size_t i = 0; i < paramCount; ++i) {
    const KroParamInfo& p = method->params[i];
    if (p.out)
      args.push_back(KroVariant::ByRef(&outputs[i]));
    else if (next < count)
      args.push_back(FromPython(inputs[next], p.type, Target{name, &p, next})), ++next;
  }
  // Inputs beyond the parameters still go into the block, so that dispatch reports the count.
  for (; next < count; ++next) args.push_back(FromPython(inputs[next], KroVT_EMPTY, Target{name, nullptr, next}));

  KroDispParams params{args.data(), static_cast<unsigned int>(args.size())};
  KroVariant result;
  KroExcepInfo exception;
  unsigned int argErr = ~0u;
  HRESULT hr = self.get()->Invoke(dispId, self.iid(), 0, DISPATCH_METHOD, &params, &result, &exception, &argErr);
  if (FAILED(hr)) {
    py::object argument = py::none();
    if (hr == DISP_E_TYPEMISMATCH && argErr != ~0u) {
      // argErr counts every parameter; the caller knows its inputs only.
      long position = 0;
      for (unsigned int i = 0; i < argErr && i < paramCount; ++i) position += method->params[i].out ? 0 : 1;
      argument = py::int_(position + 1);
    }
    Raise(name, hr, argument, exception.description);
  }
  if (!method) return ToPython(result);

  const bool withResult = !method->returnsResult ? method->resultTypeName != "void" : method->resultType == KroVT_BOOL;
  const std::size_t values = (withResult ? 1 : 0) + static_cast<std::size_t>(method->CountOutputs());
  if (values == 0) return py::none();
  if (values == 1) {
    if (withResult) return ToPython(result);
    for (std::size_t i = 0; i < paramCount; ++i)
      if (method->params[i].out) return ToPython(outputs[i]);
  }
  py::tuple tuple(values);
  std::size_t k = 0;
  if (withResult) tuple[k++] = ToPython(result);
  for (std::size_t i = 0; i < paramCount; ++i)
    if (method->params[i].out) tuple[k++] = ToPython(outputs[i]);
  return tuple;
}

py::dict DescribeMethod(const KroMethodInfo& m) {
  py::list params;
  for (const KroParamInfo& p : m.params) {
    py::dict d;
    d["name"] = p.name;
    d["type"] = p.typeName;
    d["kind"] = KroVarTypeName(p.type);
    d["out"] = p.out;
    d["uuid"] = IsUuidType(p.typeName);
    params.append(d);
  }
  py::dict d;
  d["name"] = m.name;
  d["dispid"] = m.dispId;
  d["result"] = m.resultTypeName;
  d["result_kind"] = KroVarTypeName(m.resultType);
  d["returns_result"] = m.returnsResult;
  d["params"] = params;
  d["signature"] = m.Signature();
  d["doc"] = m.doc;
  return d;
}

py::dict DescribeTable(const KroTypeInfo& info) {
  py::list methods;
  for (const KroMethodInfo& m : info.methods) methods.append(DescribeMethod(m));
  py::dict d;
  d["name"] = info.name;
  d["methods"] = methods;
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
  return DescribeTable(*info);
}

}  // namespace

PYBIND11_MODULE(_cfgso, m) {
  PyDateTime_IMPORT;
  if (!PyDateTimeAPI) throw py::error_already_set();
  m.doc() = "Native dispatch layer of cfgso";

  py::class_<Handle>(m, "Handle")
      .def_property_readonly("interface", &Handle::interfaceName)
      .def("identity", &Handle::identity)
      .def("ids_of_names", [](const Handle& self, const std::string& name) {
        const char* names[] = {name.c_str()};
        long id = -1;
        HRESULT hr = self.get()->GetIDsOfNames(self.iid(), names, 1, 0, &id);
        return py::make_tuple(hr, id);
      })
      .def("type_info", &TypeInfo)
      // The same object through another interface, or None when it lacks it (or no such name exists).
      .def("query", [](const Handle& self, const std::string& name) -> py::object {
        const IID* iid = KroFindInterfaceId(name.c_str());
        KroToBaseFn toBase = iid ? KroFindInterfaceToBase(*iid) : nullptr;
        void* out = nullptr;
        if (!toBase || FAILED(self.get()->QueryInterface(*iid, &out)) || !out) return py::none();
        return py::cast(Handle(KroUnknownRef(toBase(out), *iid, true)));
      })
      .def("same_object", [](const Handle& self, const Handle& other) { return self.identity() == other.identity(); });

  m.def("call", &Call, "call(handle, dispid, inputs): the method's value; a failing result raises");
  {
    Hooks& h = hooks();
    h.missing = py::module_::import("builtins").attr("object")();
    py::module_ datetime = py::module_::import("datetime");
    h.utc = datetime.attr("timezone").attr("utc");
    h.epoch = datetime.attr("datetime")(1970, 1, 1, 0, 0, 0, 0, h.utc);
    h.uuidType = py::module_::import("uuid").attr("UUID");
  }
  m.attr("MISSING") = hooks().missing;
  m.attr("UTC") = hooks().utc;
  m.attr("EPOCH") = hooks().epoch;
  // Called once, before the first object is made: until then no call can fail.
  m.def("setup", [](py::object wrap, py::object error) {
    hooks().wrap = std::move(wrap);
    hooks().error = std::move(error);
  });
  m.def("seconds", [](py::handle moment, const std::string& method, std::size_t position) {
        return Seconds(moment, Target{method, nullptr, position});
      }, "seconds(moment, method, position): a datetime or date as seconds since 1970 UTC, as calls take it; "
         "raises as a call's argument at that zero-based position would");
  m.def("moment", [](long long seconds) {
        if (seconds < kFirstTime || seconds > kLastTime) throw py::value_error(std::string("time outside ") + kTimeRange);
        return Moment(seconds);
      }, "moment(seconds): the datetime of seconds since 1970 UTC, as calls give it");
  m.def("static_dispatch", [](const std::string& className) -> py::object {
    KroBaseUnknown* created = KroCreateStaticDispatch(className.c_str());
    if (!created) return py::none();
    return py::cast(Handle(KroUnknownRef(created, KroMakeGUID(className.c_str()), true)));
  });
  m.def("connect", [](const std::string& address) {
    std::string message;
    const HRESULT hr = KroCfgServerConnection::Connect(address, message);
    if (FAILED(hr)) Raise("connect", hr, py::none(), message);
  }, "connect(address): backs the configuration manager by the configuration server at address");
  m.def("manager", []() -> py::object {
    KroICfgManager_var manager = KroCfgSOServices::GetCfgManager();
    if (!manager) return py::none();
    return py::cast(Handle(KroUnknownRef(manager.ptr(), IID_KroICfgManager, false)));
  });
  // The type information of a registered interface by name, or None.
  m.def("describe", [](const std::string& name) -> py::object {
    const KroDispatchTable* table = KroFindDispatchTable(name.c_str());
    return table ? py::object(DescribeTable(table->TypeInfo())) : py::object(py::none());
  });
  m.def("live_objects", &KroBaseUnknown::LiveObjects);
  m.def("result_name", &KroResultName);
  m.def("interfaces", &KroDispatchTableNames);
  m.attr("FIRST_TIME") = kFirstTime;
  m.attr("LAST_TIME") = kLastTime;
  py::dict results;
#define KRO_SCRIPT_RESULT_ENTRY(code) results[#code] = static_cast<long>(code);
  KRO_SCRIPT_RESULTS(KRO_SCRIPT_RESULT_ENTRY)
#undef KRO_SCRIPT_RESULT_ENTRY
  m.attr("RESULTS") = results;
}

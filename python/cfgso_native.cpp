// The native half of the cfgso module: counted handles on components, and calls through their dispatch
// methods with Python values converted to and from variants. Nothing here knows any interface: the
// type information of each one says which arguments are outputs, and what a call gives back.
//
// The library is single-threaded: every call keeps the GIL, so that Python threads take turns.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <datetime.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "KroCfgEffectivityRecord.h"
#include "KroCfgSOServices.h"
#include "KroCfgServerConnection.h"
#include "KroDispatch.h"

namespace py = pybind11;

namespace {

// What the Python half registers on its first call (the class of an interface, make an exception), and
// what the module's init takes from datetime and uuid.
struct Hooks {
  py::object classFor;  // classFor(interface name) -> a subclass of _cfgso.Object
  py::object error;     // error(method, hresult, argument, text) -> exception instance
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
  X(KRO_E_FILE_NOT_FOUND) X(KRO_E_BAD_FORMAT) X(KRO_E_DAMAGED_EFFECTIVITY) X(KRO_E_NOT_AN_EFFECTIVITY)        \
  X(KRO_E_UUID_NOT_BOUND) X(KRO_E_UUID_INVALID) X(KRO_E_KIND_CONFLICT) X(KRO_E_NOT_REGULAR_FILE)                  \
  X(KRO_E_FILE_TOO_LARGE) X(KRO_E_DISK_FULL) X(KRO_E_WRITE_FAULT)

// Raises the Python half's exception for that result code (its class follows from the code).
[[noreturn]] void Raise(const std::string& method, HRESULT hr, py::object argument, const std::string& text) {
  if (!hooks().error) throw std::logic_error("cfgso: a call before the module was set up");
  py::object error = hooks().error(method, static_cast<std::uint32_t>(hr), argument, text);
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
  throw py::error_already_set();
}

// ---- objects ----------------------------------------------------------------------------------------

// A Python object that is one counted reference on a component, held as the interface it was handed out
// as. Every interface class of the package derives from this type, so that a call reaches the reference
// without an attribute lookup, and hashing and comparison run without a Python frame.
struct ScriptObject {
  PyObject_HEAD
  KroUnknownRef ref;
  const KroDispatchTable* table;
  // The pointer dispatch takes, with a reference of its own, found on the first call; while null the
  // object's own Invoke serves (a class of static operations has no interface pointer).
  void* dispatchSelf;
  KroToBaseFn toBase;
  bool resolved;
  std::uintptr_t identity;  // 0 until first asked
  PyObject* weakrefs;
};

PyTypeObject ScriptObjectType{};  // filled by ReadyTypes

bool IsScriptObject(PyObject* p) { return PyObject_TypeCheck(p, &ScriptObjectType); }
ScriptObject* AsObject(PyObject* p) { return reinterpret_cast<ScriptObject*>(p); }

// The class of each interface, asked of the Python half once per interface.
struct ClassEntry {
  IID iid;
  const KroDispatchTable* table;
  PyTypeObject* cls;
};
std::vector<ClassEntry>& Classes() {
  static auto* classes = new std::vector<ClassEntry>();
  return *classes;
}

ClassEntry ClassOf(const IID& iid) {
  for (const ClassEntry& entry : Classes())
    if (std::memcmp(&entry.iid, &iid, sizeof iid) == 0) return entry;
  const KroDispatchTable* table = KroFindDispatchTable(iid);
  py::object cls = hooks().classFor(table ? table->TypeInfo().name : std::string());
  if (!PyType_Check(cls.ptr()) || !PyType_IsSubtype(reinterpret_cast<PyTypeObject*>(cls.ptr()), &ScriptObjectType))
    throw std::logic_error("cfgso: the class of an interface is no subclass of _cfgso.Object");
  Classes().push_back({iid, table, reinterpret_cast<PyTypeObject*>(cls.release().ptr())});
  return Classes().back();
}

// The interface's class if type is it (classes made for interfaces are never freed), else null.
PyTypeObject* RegisteredClass(PyTypeObject* type, const KroDispatchTable* table) {
  for (const ClassEntry& entry : Classes())
    if (entry.cls == type && entry.table == table) return type;
  return nullptr;
}

// A new object of the interface's class, holding ref (null for a null ref).
py::object Wrap(KroUnknownRef ref) {
  if (!ref.get()) return py::none();
  // A copy: allocating may run Python code (a collection, a finaliser) that registers another class.
  const ClassEntry entry = ClassOf(ref.iid());
  PyObject* made = entry.cls->tp_alloc(entry.cls, 0);
  if (!made) throw py::error_already_set();
  // Interface classes are heap types, so Python tracks their instances for cycle collection; an object
  // refers to nothing but its class, which lives as long as the process, so it can be in no cycle, and
  // the collector need not visit every record a script holds.
  if (PyObject_IS_GC(made)) PyObject_GC_UnTrack(made);
  ScriptObject* self = AsObject(made);
  new (&self->ref) KroUnknownRef(std::move(ref));
  self->table = entry.table;
  return py::reinterpret_steal<py::object>(made);
}

void ResolveDispatch(ScriptObject* self) {
  self->resolved = true;
  KroToBaseFn toBase = KroFindInterfaceToBase(self->ref.iid());
  void* out = nullptr;
  if (!toBase || FAILED(self->ref.get()->QueryInterface(self->ref.iid(), &out)) || !out) return;
  self->dispatchSelf = out;
  self->toBase = toBase;
}

HRESULT Invoke(ScriptObject* self, long dispId, KroDispParams& params, KroVariant& result, KroExcepInfo& exception,
               unsigned int& argErr) {
  if (!self->resolved) ResolveDispatch(self);
  // The same call the component's own Invoke makes, without finding the interface's table each time.
  if (self->dispatchSelf && self->table)
    return self->table->Invoke(self->dispatchSelf, dispId, &params, &result, &exception, &argErr);
  return self->ref.get()->Invoke(dispId, self->ref.iid(), 0, DISPATCH_METHOD, &params, &result, &exception, &argErr);
}

std::uintptr_t Identity(ScriptObject* self) {
  if (!self->identity) {
    KroBaseUnknown_var base = self->ref.get();
    self->identity = reinterpret_cast<std::uintptr_t>(base.ptr());
  }
  return self->identity;
}

void ObjectDealloc(PyObject* p) {
  ScriptObject* self = AsObject(p);
  if (self->weakrefs) PyObject_ClearWeakRefs(p);
  if (self->dispatchSelf) self->toBase(self->dispatchSelf)->Release();
  self->ref.~KroUnknownRef();
  Py_TYPE(p)->tp_free(p);
}

PyObject* ObjectNew(PyTypeObject*, PyObject*, PyObject*) {
  PyErr_SetString(PyExc_TypeError, "cfgso objects come from the module (cfgso.factory, cfgso.manager(), their "
                                   "methods), not from a constructor");
  return nullptr;
}

Py_hash_t ObjectHash(PyObject* p) {
  // Components are allocated aligned: the low bits carry nothing.
  const std::uintptr_t id = Identity(AsObject(p));
  const Py_hash_t hash = static_cast<Py_hash_t>((id >> 4) | (id << (8 * sizeof id - 4)));
  return hash == -1 ? -2 : hash;
}

PyObject* ObjectCompare(PyObject* a, PyObject* b, int op) {
  if ((op != Py_EQ && op != Py_NE) || !IsScriptObject(a) || !IsScriptObject(b)) Py_RETURN_NOTIMPLEMENTED;
  const bool same = Identity(AsObject(a)) == Identity(AsObject(b));
  return PyBool_FromLong(same == (op == Py_EQ));
}

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
      return Wrap(*v.IfInterface());
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
  if (IsScriptObject(p)) {
    const KroUnknownRef& ref = AsObject(p)->ref;
    return KroVariant::Interface(ref.get(), ref.iid());
  }
  if (PyDate_Check(p)) return Time(value, target);
  if (PyList_Check(p) || PyTuple_Check(p) || (wanted == KroVT_ARRAY && PyObject_HasAttrString(p, "__iter__")))
    return Items(value, target);
  target.Fail(DISP_E_TYPEMISMATCH, "cannot pass a " + TypeName(value));
}

// Variants for one call: on the stack for up to kOnStack of them, each made only when used.
class VariantBlock {
 public:
  // Room for capacity variants; the outputs' block makes them all at once (made = capacity).
  explicit VariantBlock(std::size_t capacity) : m_data(reinterpret_cast<KroVariant*>(m_local)) {
    if (capacity > kOnStack) m_spill.reset(new KroVariant[capacity]), m_data = m_spill.get(), m_made = capacity;
  }
  ~VariantBlock() {
    if (!m_spill)
      for (std::size_t i = 0; i < m_made; ++i) m_data[i].~KroVariant();
  }
  VariantBlock(const VariantBlock&) = delete;
  VariantBlock& operator=(const VariantBlock&) = delete;

  // The variant at i, made empty on first use (outputs are reached by position).
  KroVariant& operator[](std::size_t i) {
    while (m_made <= i) new (&m_data[m_made++]) KroVariant();
    return m_data[i];
  }
  void push(KroVariant value) {
    if (m_spill)
      m_data[m_size] = std::move(value);
    else
      new (&m_data[m_made++]) KroVariant(std::move(value));
    ++m_size;
  }
  std::size_t size() const { return m_size; }
  KroVariant* data() { return m_data; }

 private:
  static constexpr std::size_t kOnStack = 6;
  alignas(KroVariant) unsigned char m_local[kOnStack * sizeof(KroVariant)];
  std::unique_ptr<KroVariant[]> m_spill;
  KroVariant* m_data;
  std::size_t m_made = 0;
  std::size_t m_size = 0;
};

// What a method gives back, worked out once from its type information.
struct MethodShape {
  bool withResult = false;  // the result is a value or an answer
  std::size_t values = 0;   // the result, if it counts, then the outputs
};
MethodShape ShapeOf(const KroMethodInfo* method) {
  MethodShape shape;
  if (!method) return shape;
  shape.withResult = !method->returnsResult ? method->resultTypeName != "void" : method->resultType == KroVT_BOOL;
  shape.values = (shape.withResult ? 1 : 0) + static_cast<std::size_t>(method->CountOutputs());
  return shape;
}

// Calls method dispId with the inputs, in parameter order; outputs are passed by reference where the
// type information puts them. Gives the method's value (the result where it is a value or an answer,
// then the outputs): None, the one value, or a tuple. A failing result raises.
py::object Call(ScriptObject* self, long dispId, const KroMethodInfo* method, const MethodShape& shape,
                PyObject* const* inputs, std::size_t count) {
  static const std::string unknown = "?";
  const std::string& name = method ? method->name : unknown;
  const std::size_t paramCount = method ? method->params.size() : 0;

  // Arguments left out at the end are not passed: dispatch then reports the count.
  while (count > 0 && inputs[count - 1] == hooks().missing.ptr()) --count;
  // Most methods take a few parameters: their variants stay on the stack, and only those used are made.
  VariantBlock outputs(paramCount);
  VariantBlock args(paramCount + count);
  std::size_t next = 0;
  for (std::size_t i = 0; i < paramCount; ++i) {
    const KroParamInfo& p = method->params[i];
    if (p.out)
      args.push(KroVariant::ByRef(&outputs[i]));
    else if (next < count)
      args.push(FromPython(inputs[next], p.type, Target{name, &p, next})), ++next;
  }
  // Inputs beyond the parameters still go into the block, so that dispatch reports the count.
  for (; next < count; ++next) args.push(FromPython(inputs[next], KroVT_EMPTY, Target{name, nullptr, next}));
  const std::size_t used = args.size();

  KroDispParams params{args.data(), static_cast<unsigned int>(used)};
  KroVariant result;
  KroExcepInfo exception;
  unsigned int argErr = ~0u;
  HRESULT hr = Invoke(self, dispId, params, result, exception, argErr);
  if (FAILED(hr)) {
    py::object argument = py::none();
    if (hr == DISP_E_TYPEMISMATCH && argErr != ~0u && method) {
      // argErr counts every parameter; the caller knows its inputs only.
      long position = 0;
      for (unsigned int i = 0; i < argErr && i < paramCount; ++i) position += method->params[i].out ? 0 : 1;
      argument = py::int_(position + 1);
    }
    Raise(name, hr, argument, exception.description);
  }
  if (!method) return ToPython(result);
  if (shape.values == 0) return py::none();
  if (shape.values == 1) {
    if (shape.withResult) return ToPython(result);
    for (std::size_t i = 0; i < paramCount; ++i)
      if (method->params[i].out) return ToPython(outputs[i]);
  }
  py::tuple tuple(shape.values);
  std::size_t k = 0;
  if (shape.withResult) tuple[k++] = ToPython(result);
  for (std::size_t i = 0; i < paramCount; ++i)
    if (method->params[i].out) tuple[k++] = ToPython(outputs[i]);
  return tuple;
}

// ---- methods ----------------------------------------------------------------------------------------

// One method of an interface, as a method descriptor: what the call needs is found once, when the class
// is made, and a call on an object goes straight to dispatch without a Python frame between.
struct ScriptMethod {
  PyObject_HEAD
  vectorcallfunc vectorcall;
  const KroDispatchTable* table;
  const KroMethodInfo* info;
  long dispId;
  MethodShape shape;
  PyTypeObject* knownType;  // the interface's class, once a call has seen it; it lives as long as the process
  PyObject* names;  // the inputs' Python names, a tuple
  PyObject* dict;   // __name__, __doc__, __signature__ and what else the Python half sets
};

PyTypeObject ScriptMethodType{};  // filled by ReadyTypes

// Converts a C++ exception into the Python error it carries.
PyObject* Failed() {
  try {
    throw;
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (const std::exception& error) {
    PyErr_SetString(PyExc_RuntimeError, error.what());
  }
  return nullptr;
}

// The inputs with keywords placed at their positions; a gap is MISSING, which dispatch reports.
bool BindKeywords(const ScriptMethod* m, PyObject* const* args, std::size_t count, PyObject* kwnames,
                  std::vector<PyObject*>& bound) {
  const Py_ssize_t names = PyTuple_GET_SIZE(m->names);
  bound.assign(args, args + count);
  const Py_ssize_t given = PyTuple_GET_SIZE(kwnames);
  for (Py_ssize_t k = 0; k < given; ++k) {
    PyObject* key = PyTuple_GET_ITEM(kwnames, k);
    Py_ssize_t position = -1;
    for (Py_ssize_t i = 0; i < names && position < 0; ++i) {
      PyObject* name = PyTuple_GET_ITEM(m->names, i);
      if (name == key || PyUnicode_Compare(name, key) == 0) position = i;
    }
    const std::string& method = m->info->name;
    if (position < 0) {
      PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument %R", method.c_str(), key);
      return false;
    }
    if (static_cast<std::size_t>(position) < count) {
      PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument %R", method.c_str(), key);
      return false;
    }
    if (bound.size() <= static_cast<std::size_t>(position)) bound.resize(position + 1, hooks().missing.ptr());
    bound[position] = args[count + k];
  }
  return true;
}

PyObject* MethodCall(PyObject* callable, PyObject* const* args, std::size_t nargsf, PyObject* kwnames) {
  ScriptMethod* m = reinterpret_cast<ScriptMethod*>(callable);
  const std::size_t n = PyVectorcall_NARGS(nargsf);
  // The interface's own class, once seen, is known to fit without walking its bases.
  const bool fits = n >= 1 && (Py_TYPE(args[0]) == m->knownType ||
                               (IsScriptObject(args[0]) && AsObject(args[0])->table == m->table));
  if (fits && Py_TYPE(args[0]) != m->knownType) m->knownType = RegisteredClass(Py_TYPE(args[0]), m->table);
  if (!fits) {
    PyErr_Format(PyExc_TypeError, "%s() is a method of %s objects, called on %s", m->info->name.c_str(),
                 m->table->TypeInfo().name.c_str(), n < 1 ? "nothing" : Py_TYPE(args[0])->tp_name);
    return nullptr;
  }
  try {
    if (kwnames && PyTuple_GET_SIZE(kwnames) > 0) {
      std::vector<PyObject*> bound;
      if (!BindKeywords(m, args + 1, n - 1, kwnames, bound)) return nullptr;
      return Call(AsObject(args[0]), m->dispId, m->info, m->shape, bound.data(), bound.size()).release().ptr();
    }
    return Call(AsObject(args[0]), m->dispId, m->info, m->shape, args + 1, n - 1).release().ptr();
  } catch (...) {
    return Failed();
  }
}

// Method(interface, dispid, names): the method dispid of the interface's type information.
PyObject* MethodNew(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  const char* interface = nullptr;
  long dispId = 0;
  PyObject* names = nullptr;
  static const char* keywords[] = {"interface", "dispid", "names", nullptr};
  if (!PyArg_ParseTupleAndKeywords(args, kwargs, "slO!", const_cast<char**>(keywords), &interface, &dispId,
                                   &PyTuple_Type, &names))
    return nullptr;
  const KroDispatchTable* table = KroFindDispatchTable(interface);
  const KroMethodInfo* info = table ? table->TypeInfo().Method(dispId) : nullptr;
  if (!info) {
    PyErr_Format(PyExc_LookupError, "no method %ld in %s", dispId, interface);
    return nullptr;
  }
  PyObject* made = type->tp_alloc(type, 0);
  if (!made) return nullptr;
  ScriptMethod* m = reinterpret_cast<ScriptMethod*>(made);
  m->vectorcall = MethodCall;
  m->table = table;
  m->info = info;
  m->dispId = dispId;
  m->shape = ShapeOf(info);
  Py_INCREF(names);
  m->names = names;
  return made;
}

void MethodDealloc(PyObject* p) {
  ScriptMethod* m = reinterpret_cast<ScriptMethod*>(p);
  PyObject_GC_UnTrack(p);
  Py_CLEAR(m->names);
  Py_CLEAR(m->dict);
  Py_TYPE(p)->tp_free(p);
}

int MethodTraverse(PyObject* p, visitproc visit, void* arg) {
  ScriptMethod* m = reinterpret_cast<ScriptMethod*>(p);
  Py_VISIT(m->names);
  Py_VISIT(m->dict);
  return 0;
}

int MethodClear(PyObject* p) {
  ScriptMethod* m = reinterpret_cast<ScriptMethod*>(p);
  Py_CLEAR(m->dict);
  return 0;
}

// Looked up on an object it binds like a function; on the class it is itself.
PyObject* MethodGet(PyObject* self, PyObject* obj, PyObject*) {
  if (!obj) return Py_NewRef(self);
  return PyMethod_New(self, obj);
}

PyObject* MethodRepr(PyObject* p) {
  ScriptMethod* m = reinterpret_cast<ScriptMethod*>(p);
  return PyUnicode_FromFormat("<method %s of %s>", m->info->name.c_str(), m->table->TypeInfo().name.c_str());
}

// ---- what Object adds for the Python half -----------------------------------------------------------

PyObject* ObjectQuery(PyObject* p, PyObject* arg) {
  try {
    Py_ssize_t size = 0;
    const char* name = PyUnicode_AsUTF8AndSize(arg, &size);
    if (!name) return nullptr;
    ScriptObject* self = AsObject(p);
    const IID* iid = KroFindInterfaceId(name);
    KroToBaseFn toBase = iid ? KroFindInterfaceToBase(*iid) : nullptr;
    void* out = nullptr;
    if (!toBase || FAILED(self->ref.get()->QueryInterface(*iid, &out)) || !out) Py_RETURN_NONE;
    return Wrap(KroUnknownRef(toBase(out), *iid, true)).release().ptr();
  } catch (...) {
    return Failed();
  }
}

PyObject* ObjectInterfaceName(PyObject* p, void*) {
  const KroDispatchTable* table = AsObject(p)->table;
  return PyUnicode_FromString(table ? table->TypeInfo().name.c_str() : "");
}

PyObject* ObjectClone(PyObject* p, PyObject*) {
  try {
    return Wrap(AsObject(p)->ref).release().ptr();
  } catch (...) {
    return Failed();
  }
}

PyObject* ObjectIdentity(PyObject* p, PyObject*) { return PyLong_FromSize_t(Identity(AsObject(p))); }

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

// Attribute names recur in every object of a kind: one str each, made once.
PyObject* NameOf(const KroUnicodeString& name) {
  static auto* names = new std::unordered_map<std::string, PyObject*>();
  auto found = names->find(std::string(name.view()));
  if (found != names->end()) return found->second;
  PyObject* text = PyUnicode_DecodeUTF8(name.view().data(), static_cast<Py_ssize_t>(name.view().size()), "surrogateescape");
  if (!text) throw py::error_already_set();
  PyUnicode_InternInPlace(&text);
  return names->emplace(std::string(name.view()), text).first->second;
}

// (late type, {name: value}) of a spec object in one call, or None when it is none; the values as
// GetAttributeValue gives them. Scripts reading whole documents pay one call per object this way.
PyObject* ObjectAttributes(PyObject* p, PyObject*) {
  try {
    KroBaseUnknown* component = AsObject(p)->ref.get();
    KroISpecAttrAccess_var access = component;
    KroISpecObject_var object = component;
    if (!access || !object) Py_RETURN_NONE;
    KroListValKroUnicodeString names, kinds;
    if (FAILED(access->DescribeAttributes(names, kinds))) Py_RETURN_NONE;
    py::dict values;
    for (const KroUnicodeString& name : names) {
      KroVariant value;
      const HRESULT hr = access->GetAttributeValue(name, value);
      if (FAILED(hr)) Raise("attributes", hr, py::none(), "attribute " + std::string(name.view()));
      PyObject* key = NameOf(name);
      if (PyDict_SetItem(values.ptr(), key, ToPython(value).ptr()) < 0) throw py::error_already_set();
    }
    const KroUnicodeString lateType = object->GetLateType();
    return py::make_tuple(py::reinterpret_borrow<py::object>(NameOf(lateType)), values).release().ptr();
  } catch (...) {
    return Failed();
  }
}

PyMethodDef kObjectMethods[] = {
    {"_query", ObjectQuery, METH_O, "The same component through the interface named, or None."},
    {"_clone", ObjectClone, METH_NOARGS, "Another reference to the same component."},
    {"_identity", ObjectIdentity, METH_NOARGS, "The component itself, as a number: equal for the same object."},
    {"_attributes", ObjectAttributes, METH_NOARGS, "(late type, {name: value}) of a spec object, or None."},
    {nullptr, nullptr, 0, nullptr}};

PyGetSetDef kObjectGetSet[] = {
    {"_interface_name", ObjectInterfaceName, nullptr, "The interface the object is held as.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr}};

void ReadyTypes(py::module_& m) {
  PyTypeObject& o = ScriptObjectType;
  // Static types live as long as the process: one reference that is never dropped.
  Py_SET_REFCNT(reinterpret_cast<PyObject*>(&o), 1);
  o.tp_name = "cfgso._cfgso.Object";
  o.tp_basicsize = sizeof(ScriptObject);
  o.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE;
  o.tp_doc = "A counted reference on a component, held through one of its interfaces.";
  o.tp_new = ObjectNew;
  o.tp_dealloc = ObjectDealloc;
  o.tp_hash = ObjectHash;
  o.tp_richcompare = ObjectCompare;
  o.tp_weaklistoffset = offsetof(ScriptObject, weakrefs);
  o.tp_methods = kObjectMethods;
  o.tp_getset = kObjectGetSet;
  if (PyType_Ready(&o) < 0) throw py::error_already_set();

  PyTypeObject& t = ScriptMethodType;
  Py_SET_REFCNT(reinterpret_cast<PyObject*>(&t), 1);
  t.tp_name = "cfgso._cfgso.Method";
  t.tp_basicsize = sizeof(ScriptMethod);
  t.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_GC | Py_TPFLAGS_METHOD_DESCRIPTOR | Py_TPFLAGS_HAVE_VECTORCALL;
  t.tp_doc = "A method of an interface, called through dispatch.";
  t.tp_new = MethodNew;
  t.tp_dealloc = MethodDealloc;
  t.tp_traverse = MethodTraverse;
  t.tp_clear = MethodClear;
  t.tp_descr_get = MethodGet;
  t.tp_call = PyVectorcall_Call;
  t.tp_vectorcall_offset = offsetof(ScriptMethod, vectorcall);
  t.tp_dictoffset = offsetof(ScriptMethod, dict);
  t.tp_repr = MethodRepr;
  if (PyType_Ready(&t) < 0) throw py::error_already_set();
  m.add_object("Object", py::reinterpret_borrow<py::object>(reinterpret_cast<PyObject*>(&o)));
  m.add_object("Method", py::reinterpret_borrow<py::object>(reinterpret_cast<PyObject*>(&t)));
}

}  // namespace

PYBIND11_MODULE(_cfgso, m) {
  PyDateTime_IMPORT;
  if (!PyDateTimeAPI) throw py::error_already_set();
  m.doc() = "Native dispatch layer of cfgso";

  ReadyTypes(m);
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
  m.def("setup", [](py::object classFor, py::object error) {
    hooks().classFor = std::move(classFor);
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
    return Wrap(KroUnknownRef(created, KroMakeGUID(className.c_str()), true));
  });
  m.def("connect", [](const std::string& address) {
    std::string message;
    const HRESULT hr = KroCfgServerConnection::Connect(address, message);
    if (FAILED(hr)) Raise("connect", hr, py::none(), message);
  }, "connect(address): backs the configuration manager by the configuration server at address");
  m.def("manager", []() -> py::object {
    KroICfgManager_var manager = KroCfgSOServices::GetCfgManager();
    if (!manager) return py::none();
    return Wrap(KroUnknownRef(manager.ptr(), IID_KroICfgManager, false));
  });
  // The type information of a registered interface by name, or None.
  m.def("describe", [](const std::string& name) -> py::object {
    const KroDispatchTable* table = KroFindDispatchTable(name.c_str());
    return table ? py::object(DescribeTable(table->TypeInfo())) : py::object(py::none());
  });
  m.def("live_objects", &KroBaseUnknown::LiveObjects);
  m.def("result_name", [](std::uint32_t code) { return KroResultName(static_cast<HRESULT>(code)); });
  m.def("interfaces", &KroDispatchTableNames);
  m.attr("FIRST_TIME") = kFirstTime;
  m.attr("LAST_TIME") = kLastTime;
  py::dict results;
#define KRO_SCRIPT_RESULT_ENTRY(code) results[#code] = static_cast<std::uint32_t>(code);
  KRO_SCRIPT_RESULTS(KRO_SCRIPT_RESULT_ENTRY)
#undef KRO_SCRIPT_RESULT_ENTRY
  m.attr("RESULTS") = results;
}

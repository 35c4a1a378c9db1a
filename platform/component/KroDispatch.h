// Dispatch for scripting clients: an interface's methods written down once, as a list, give its
// declarations, its dispatch ids, its Invoke marshalling, its type information and its tie's forwarders.
//
// A list is a macro that names each method as M(result type, name, const or nothing,
// ((type, name), ...), options...), one per line (lines continued with a backslash):
//
//   #define KroIFoo_METHODS(M)
//     M(HRESULT, setName, , ((const KroUnicodeString&, name)))
//     M(HRESULT, getName, const, ((KroUnicodeString&, name)))
//     M(HRESULT, getName, const, ((KroICfgSODate_var&, date)), KroDispatchName("getNameDate"))
//     M(HRESULT, setSize, , ((int, size)), KroDispatchDoc("A negative size is refused (E_INVALIDARG)."))
//
//   class KroIFoo : public virtual KroBaseUnknown {
//     KRO_INTERFACE_MEMBERS(KroIFoo)
//     KRO_DISPATCH_METHODS(KroIFoo, KroIFoo_METHODS)
//   };
//   class TIEKroIFooKroFoo : public KroTie<KroIFoo, KroFoo> {
//     KRO_TIE_FORWARDERS(KroIFoo_METHODS)
//   };
//
// and, in one source file of the library that implements KroIFoo:
//
//   KRO_DISPATCH_DEFINE(KroIFoo, KroIFoo_METHODS)
//
// A parameter is an input when it is passed by value or by const reference, an output when it is a
// non-const reference. Types in a list are written without commas (use an alias for a template).
//
// Dispatch ids are the one-based positions in the list. A name answers the first method listed under it;
// KroDispatchName gives a later overload a name of its own. The argument block carries every parameter
// in list order: a value for an input, a by-reference variant for an output (Invoke writes the output
// there whatever the result). Invoke returns the method's result; a method that returns no HRESULT gives
// S_OK and its value in the result variant, and KroResultIsAnswer makes a method's S_OK / S_FALSE a
// boolean answer in the result variant as well.
#pragma once

#include "KroExport.h"

#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "KroList.h"
#include "KroVar.h"
#include "KroVariant.h"

// Dispatch flags (Invoke accepts every value: interfaces have methods only).
constexpr unsigned short DISPATCH_METHOD = 1;

// The argument block: args[0] is the first parameter of the method.
struct KRO_PLATFORM_API KroDispParams {
  KroVariant* args = nullptr;
  unsigned int count = 0;
};

// Filled by Invoke when a method ended with an exception (DISP_E_EXCEPTION).
struct KRO_PLATFORM_API KroExcepInfo {
  HRESULT scode = S_OK;
  std::string description;
};

struct KRO_PLATFORM_API KroParamInfo {
  std::string name;
  std::string typeName;  // the C++ type without reference or const: "KroUnicodeString", "KroICfgSODate", ...
  KroVarType type = KroVT_EMPTY;
  bool out = false;
};

struct KRO_PLATFORM_API KroMethodInfo {
  std::string name;  // the dispatch name
  long dispId = 0;
  // The result: "HRESULT" for methods that return a result code (type BOOL when it is an answer, else
  // EMPTY), otherwise the returned type ("int", "void").
  std::string resultTypeName;
  KroVarType resultType = KroVT_EMPTY;
  bool returnsResult = true;
  std::vector<KroParamInfo> params;
  // What the method list says about the method (KroDispatchDoc), for help texts; empty when nothing.
  std::string doc;

  // "getStart(out KroTime start) -> HRESULT"
  std::string Signature() const;
  int CountOutputs() const;
};

// What GetTypeInfo hands out: the description of one interface, owned by the platform for the process.
struct KRO_PLATFORM_API KroTypeInfo {
  std::string name;
  IID iid{};
  std::vector<KroMethodInfo> methods;  // in dispatch-id order

  const KroMethodInfo* Method(long dispId) const;
  // The dispatch id of a name, or -1.
  long IdOfName(std::string_view name) const;
};

using KroInvokeFn = HRESULT (*)(void* self, const KroDispParams& params, KroVariant* result, unsigned int* argErr,
                                bool answer);

struct KRO_PLATFORM_API KroDispatchEntry {
  KroMethodInfo info;
  KroInvokeFn invoke = nullptr;
  bool answer = false;
};

// A method's options in a list.
struct KRO_PLATFORM_API KroDispatchName {
  constexpr explicit KroDispatchName(const char* dispatchName) : name(dispatchName) {}
  const char* name;
  void Apply(KroDispatchEntry& entry) const { entry.info.name = name; }
};
// The method's description: one place for the comment that both readers of the header and scripting
// clients see. A literal, read when the table is built, so calls pay nothing for it.
struct KRO_PLATFORM_API KroDispatchDoc {
  constexpr explicit KroDispatchDoc(const char* text) : text(text) {}
  const char* text;
  void Apply(KroDispatchEntry& entry) const {
    if (!entry.info.doc.empty()) entry.info.doc += ' ';
    entry.info.doc += text;
  }
};
struct KRO_PLATFORM_API KroResultIsAnswer {
  void Apply(KroDispatchEntry& entry) const {
    entry.answer = true;
    entry.info.resultType = KroVT_BOOL;
  }
};

// The dispatch side of one interface (or of one class of static operations).
class KRO_PLATFORM_API KroDispatchTable {
 public:
  KroDispatchTable(const char* name, const IID& iid, std::initializer_list<KroDispatchEntry> entries);

  const KroTypeInfo& TypeInfo() const { return m_info; }
  // DISP_E_UNKNOWNNAME when a name is unknown (its id is then -1; the others are still filled).
  HRESULT GetIDsOfNames(const char** names, unsigned int count, long* dispIds) const;
  // self is the interface pointer (as its own type, not its component base); null for static operations.
  HRESULT Invoke(void* self, long dispId, const KroDispParams* params, KroVariant* result, KroExcepInfo* exception,
                 unsigned int* argErr) const;

 private:
  KroTypeInfo m_info;
  std::vector<KroDispatchEntry> m_entries;
};

using KroDispatchTableFn = const KroDispatchTable& (*)();

// Registers the table of an interface (by its id and name) or of a class of static operations. Returns
// true, so that a static can register at load.
KRO_PLATFORM_API bool KroRegisterDispatchTable(const char* name, const IID& iid, KroDispatchTableFn table);
KRO_PLATFORM_API bool KroRegisterStaticDispatchTable(const char* className, KroDispatchTableFn table);
KRO_PLATFORM_API const KroDispatchTable* KroFindDispatchTable(const IID& iid);
KRO_PLATFORM_API const KroDispatchTable* KroFindDispatchTable(const char* name);
// The names of every registered table, sorted.
KRO_PLATFORM_API std::vector<std::string> KroDispatchTableNames();

// A component whose dispatch methods serve a class of static operations registered under className;
// it carries one reference, or is null when no such table is registered.
KRO_PLATFORM_API KroBaseUnknown* KroCreateStaticDispatch(const char* className);

// "S_OK", "E_FAIL", "DISP_E_TYPEMISMATCH", ...; "0x%08X" for a code without a name.
KRO_PLATFORM_API std::string KroResultName(HRESULT hr);

// ---- value conversions ------------------------------------------------------------------------------

// KroDispatchValue<T> converts a parameter or result of type T: Storage holds it during the call, Read
// fills it from a variant (false: the variant cannot be converted), Write makes a variant of it, Pass
// gives what the method takes.
template <class T, class = void>
struct KroDispatchValue;

template <class T>
struct KRO_PLATFORM_API KroDispatchPlain {
  using Storage = T;
  static Storage& Pass(Storage& s) { return s; }
};

template <>
struct KRO_PLATFORM_API KroDispatchValue<KroUnicodeString> : KroDispatchPlain<KroUnicodeString> {
  static constexpr KroVarType type = KroVT_STRING;
  static std::string TypeName() { return "KroUnicodeString"; }
  static bool Read(const KroVariant& v, Storage& out) {
    if (const KroUnicodeString* s = v.IfString()) return out = *s, true;
    return false;
  }
  static KroVariant Write(const Storage& s) { return KroVariant::String(s); }
};

// Integers accept either width within their range.
template <class T, KroVarType VT>
struct KRO_PLATFORM_API KroDispatchInteger : KroDispatchPlain<T> {
  static constexpr KroVarType type = VT;
  static bool Read(const KroVariant& v, T& out) {
    std::int64_t value = 0;
    if (!v.GetInteger(value) || value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
      return false;
    out = static_cast<T>(value);
    return true;
  }
  static KroVariant Write(const T& value) {
    if constexpr (VT == KroVT_I4)
      return KroVariant::Int(value);
    else
      return KroVariant::Long(value);
  }
};
template <>
struct KRO_PLATFORM_API KroDispatchValue<int> : KroDispatchInteger<int, KroVT_I4> {
  static std::string TypeName() { return "int"; }
};
template <>
struct KRO_PLATFORM_API KroDispatchValue<long> : KroDispatchInteger<long, KroVT_I8> {
  static std::string TypeName() { return "long"; }
};

template <>
struct KRO_PLATFORM_API KroDispatchValue<boolean> : KroDispatchPlain<boolean> {
  static constexpr KroVarType type = KroVT_BOOL;
  static std::string TypeName() { return "boolean"; }
  static bool Read(const KroVariant& v, Storage& out) {
    if (const bool* b = v.IfBool()) return out = *b ? 1 : 0, true;
    return false;
  }
  static KroVariant Write(const Storage& b) { return KroVariant::Bool(b != 0); }
};

template <>
struct KRO_PLATFORM_API KroDispatchValue<double> : KroDispatchPlain<double> {
  static constexpr KroVarType type = KroVT_R8;
  static std::string TypeName() { return "double"; }
  static bool Read(const KroVariant& v, Storage& out) {
    std::int64_t i = 0;
    if (const double* d = v.IfDouble()) return out = *d, true;
    if (v.GetInteger(i)) return out = static_cast<double>(i), true;
    return false;
  }
  static KroVariant Write(const Storage& d) { return KroVariant::Double(d); }
};

template <>
struct KRO_PLATFORM_API KroDispatchValue<SEQUENCE_octet> : KroDispatchPlain<SEQUENCE_octet> {
  static constexpr KroVarType type = KroVT_OCTETS;
  static std::string TypeName() { return "SEQUENCE_octet"; }
  static bool Read(const KroVariant& v, Storage& out) {
    if (const SEQUENCE_octet* o = v.IfOctets()) return out = *o, true;
    return false;
  }
  static KroVariant Write(const Storage& o) { return KroVariant::Octets(o); }
};

template <>
struct KRO_PLATFORM_API KroDispatchValue<KroTime> : KroDispatchPlain<KroTime> {
  static constexpr KroVarType type = KroVT_TIME;
  static std::string TypeName() { return "KroTime"; }
  static bool Read(const KroVariant& v, Storage& out) {
    if (const KroTime* t = v.IfTime()) return out = *t, true;
    return false;
  }
  static KroVariant Write(const Storage& t) { return KroVariant::Time(t); }
};

// Any value, passed through as it travels: for methods whose values take the kind of what they name.
template <>
struct KRO_PLATFORM_API KroDispatchValue<KroVariant> : KroDispatchPlain<KroVariant> {
  static constexpr KroVarType type = KroVT_EMPTY;
  static std::string TypeName() { return "KroVariant"; }
  static bool Read(const KroVariant& v, Storage& out) { return out = v, true; }
  static KroVariant Write(const Storage& v) { return v; }
};

// Interface handles: an empty variant or a null pointer is a null handle; an object that lacks the
// interface does not convert.
template <class I>
bool KroReadInterface(const KroVariant& v, KroVar<I>& out) {
  if (v.IsEmpty()) return out = nullptr, true;
  const KroUnknownRef* ref = v.IfInterface();
  if (!ref) return false;
  out = ref->get();
  return !ref->get() || out;
}

template <class I>
struct KRO_PLATFORM_API KroDispatchValue<KroVar<I>> : KroDispatchPlain<KroVar<I>> {
  static constexpr KroVarType type = KroVT_UNKNOWN;
  static std::string TypeName() { return I::InterfaceName(); }
  static bool Read(const KroVariant& v, KroVar<I>& out) { return KroReadInterface(v, out); }
  static KroVariant Write(const KroVar<I>& h) { return KroVariant::Interface(h.ptr(), I::ClassIID()); }
};

// A raw interface pointer: as a parameter it is lent for the call; as a result it carries a reference,
// which the variant takes over.
template <class I>
struct KRO_PLATFORM_API KroDispatchValue<I*, std::enable_if_t<std::is_base_of_v<KroBaseUnknown, I>>> {
  using Storage = KroVar<I>;
  static constexpr KroVarType type = KroVT_UNKNOWN;
  static std::string TypeName() { return I::InterfaceName(); }
  static I* Pass(Storage& s) { return s.ptr(); }
  static bool Read(const KroVariant& v, Storage& out) { return KroReadInterface(v, out); }
  static KroVariant Write(I* p) { return KroVariant::AdoptInterface(p, I::ClassIID()); }
};

template <class T>
struct KRO_PLATFORM_API KroDispatchValue<KroList<T>> : KroDispatchPlain<KroList<T>> {
  using Element = KroDispatchValue<T>;
  static_assert(std::is_same_v<typename Element::Storage, T>, "list elements convert in place");
  static constexpr KroVarType type = KroVT_ARRAY;
  static std::string TypeName() { return "KroList<" + Element::TypeName() + ">"; }
  static bool Read(const KroVariant& v, KroList<T>& out) {
    const std::vector<KroVariant>* items = v.IfArray();
    if (!items) return false;
    out.RemoveAll();
    out.Reserve(static_cast<int>(items->size()));
    for (const KroVariant& item : *items) {
      T value{};
      if (!Element::Read(item, value)) return false;
      out.Append(std::move(value));
    }
    return true;
  }
  static KroVariant Write(const KroList<T>& list) {
    std::vector<KroVariant> items;
    items.reserve(list.items().size());
    for (const T& value : list) items.push_back(Element::Write(value));
    return KroVariant::Array(std::move(items));
  }
};

// ---- marshalling ------------------------------------------------------------------------------------

template <class P>
struct KRO_PLATFORM_API KroDispatchParam {
  using Value = std::remove_cv_t<std::remove_reference_t<P>>;
  using Traits = KroDispatchValue<Value>;
  static constexpr bool out = std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

  static bool Read(const KroVariant& arg, typename Traits::Storage& storage) {
    if constexpr (out)
      return arg.Target() != nullptr;
    else
      return Traits::Read(arg.Deref(), storage);
  }
  static void Write(const KroVariant& arg, typename Traits::Storage& storage) {
    if constexpr (out) *arg.Target() = Traits::Write(storage);
  }
  static KroParamInfo Info(const char* name) { return {name, Traits::TypeName(), Traits::type, out}; }
};

template <class Fn>
struct KroDispatchFn;
template <class C, class R, class... P>
struct KRO_PLATFORM_API KroDispatchFn<R (C::*)(P...)> {
  using Class = C;
  using Result = R;
  using Params = std::tuple<P...>;
};
template <class C, class R, class... P>
struct KroDispatchFn<R (C::*)(P...) const> : KroDispatchFn<R (C::*)(P...)> {};
template <class R, class... P>
struct KRO_PLATFORM_API KroDispatchFn<R (*)(P...)> {
  using Class = void;
  using Result = R;
  using Params = std::tuple<P...>;
};

template <auto Fn, bool ReturnsResult, class... P, std::size_t... I>
KRO_PLATFORM_API HRESULT KroInvokeWith(void* self, const KroDispParams& params, KroVariant* result, unsigned int* argErr, bool answer,
                      std::index_sequence<I...>) {
  using Traits = KroDispatchFn<decltype(Fn)>;
  using R = typename Traits::Result;
  if (params.count != sizeof...(P)) return DISP_E_BADPARAMCOUNT;
  std::tuple<typename KroDispatchParam<P>::Traits::Storage...> values;
  long bad = -1;
  ((bad < 0 && !KroDispatchParam<P>::Read(params.args[I], std::get<I>(values)) ? (void)(bad = I) : (void)0), ...);
  if (bad >= 0) {
    if (argErr) *argErr = static_cast<unsigned int>(bad);
    return DISP_E_TYPEMISMATCH;
  }
  auto call = [&]() -> R {
    if constexpr (std::is_void_v<typename Traits::Class>)
      return Fn(KroDispatchParam<P>::Traits::Pass(std::get<I>(values))...);
    else
      return (static_cast<typename Traits::Class*>(self)->*Fn)(KroDispatchParam<P>::Traits::Pass(std::get<I>(values))...);
  };
  HRESULT hr = S_OK;
  KroVariant value;
  if constexpr (std::is_void_v<R>) {
    call();
  } else if constexpr (ReturnsResult) {
    hr = call();
    if (answer) value = KroVariant::Bool(hr == S_OK);
  } else {
    value = KroDispatchValue<std::remove_cv_t<std::remove_reference_t<R>>>::Write(call());
  }
  (KroDispatchParam<P>::Write(params.args[I], std::get<I>(values)), ...);
  if (result) *result = std::move(value);
  return hr;
}

template <auto Fn, bool ReturnsResult, class Tuple>
struct KroDispatchInvoker;
template <auto Fn, bool ReturnsResult, class... P>
struct KRO_PLATFORM_API KroDispatchInvoker<Fn, ReturnsResult, std::tuple<P...>> {
  static HRESULT Invoke(void* self, const KroDispParams& params, KroVariant* result, unsigned int* argErr,
                        bool answer) {
    return KroInvokeWith<Fn, ReturnsResult, P...>(self, params, result, argErr, answer,
                                                  std::index_sequence_for<P...>{});
  }
  static std::vector<KroParamInfo> Params(std::initializer_list<const char*> names) {
    std::vector<KroParamInfo> infos;
    const char* const* name = names.begin();
    (infos.push_back(KroDispatchParam<P>::Info(*name++)), ...);
    return infos;
  }
};

constexpr bool KroIsResultType(std::string_view typeName) { return typeName == "HRESULT"; }

template <auto Fn, bool ReturnsResult, class... Options>
KRO_PLATFORM_API KroDispatchEntry KroDispatchEntryOf(const char* name, std::initializer_list<const char*> paramNames,
                                    Options... options) {
  using Traits = KroDispatchFn<decltype(Fn)>;
  using R = typename Traits::Result;
  using Invoker = KroDispatchInvoker<Fn, ReturnsResult, typename Traits::Params>;
  KroDispatchEntry entry;
  entry.info.name = name;
  entry.info.params = Invoker::Params(paramNames);
  entry.info.returnsResult = ReturnsResult;
  if constexpr (std::is_void_v<R>) {
    entry.info.resultTypeName = "void";
  } else if constexpr (ReturnsResult) {
    entry.info.resultTypeName = "HRESULT";
  } else {
    using V = KroDispatchValue<std::remove_cv_t<std::remove_reference_t<R>>>;
    entry.info.resultTypeName = V::TypeName();
    entry.info.resultType = V::type;
  }
  entry.invoke = &Invoker::Invoke;
  (options.Apply(entry), ...);
  return entry;
}

// ---- method lists -----------------------------------------------------------------------------------

#define KRO_PP_UNPAREN(...) __VA_ARGS__
#define KRO_PP_CAT(a, b) KRO_PP_CAT_I(a, b)
#define KRO_PP_CAT_I(a, b) a##b
#define KRO_PP_NARG(...) KRO_PP_NARG_I(0 __VA_OPT__(, ) __VA_ARGS__, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define KRO_PP_NARG_I(_0, _1, _2, _3, _4, _5, _6, _7, _8, N, ...) N
// Applies F to each (type, name) pair of a parenthesised parameter list, separated by commas.
#define KRO_PP_MAP(F, params) KRO_PP_MAP_I(F, KRO_PP_UNPAREN params)
#define KRO_PP_MAP_I(F, ...) KRO_PP_CAT(KRO_PP_MAP_, KRO_PP_NARG(__VA_ARGS__))(F, __VA_ARGS__)
#define KRO_PP_MAP_0(F, ...)
#define KRO_PP_MAP_1(F, a) F a
#define KRO_PP_MAP_2(F, a, b) F a, F b
#define KRO_PP_MAP_3(F, a, b, c) F a, F b, F c
#define KRO_PP_MAP_4(F, a, b, c, d) F a, F b, F c, F d
#define KRO_PP_MAP_5(F, a, b, c, d, e) F a, F b, F c, F d, F e
#define KRO_PP_MAP_6(F, a, b, c, d, e, f) F a, F b, F c, F d, F e, F f
#define KRO_PP_MAP_7(F, a, b, c, d, e, f, g) F a, F b, F c, F d, F e, F f, F g
#define KRO_PP_MAP_8(F, a, b, c, d, e, f, g, h) F a, F b, F c, F d, F e, F f, F g, F h

#define KRO_PARAM_DECL(type, name) type name
#define KRO_PARAM_TYPE(type, name) type
#define KRO_PARAM_NAME(type, name) name
#define KRO_PARAM_TEXT(type, name) #name

#define KRO_METHOD_PURE(Ret, name, cv, params, ...) virtual Ret name(KRO_PP_MAP(KRO_PARAM_DECL, params)) cv = 0;
#define KRO_METHOD_STATIC(Ret, name, cv, params, ...) static Ret name(KRO_PP_MAP(KRO_PARAM_DECL, params));
#define KRO_METHOD_FORWARD(Ret, name, cv, params, ...)                                     \
  Ret name(KRO_PP_MAP(KRO_PARAM_DECL, params)) cv override {                              \
    return Forward([&](KroTieImpl& o) -> Ret { return o.name(KRO_PP_MAP(KRO_PARAM_NAME, params)); }); \
  }
#define KRO_METHOD_ENTRY(Ret, name, cv, params, ...)                                                        \
  KroDispatchEntryOf<static_cast<Ret (KroDispatchSelf::*)(KRO_PP_MAP(KRO_PARAM_TYPE, params)) cv>(          \
                         &KroDispatchSelf::name),                                                           \
                     KroIsResultType(#Ret)>(#name, {KRO_PP_MAP(KRO_PARAM_TEXT, params)} __VA_OPT__(, ) __VA_ARGS__),
#define KRO_STATIC_METHOD_ENTRY(Ret, name, cv, params, ...)                                            \
  KroDispatchEntryOf<static_cast<Ret (*)(KRO_PP_MAP(KRO_PARAM_TYPE, params))>(&KroDispatchSelf::name), \
                     KroIsResultType(#Ret)>(#name, {KRO_PP_MAP(KRO_PARAM_TEXT, params)} __VA_OPT__(, ) __VA_ARGS__),

#define KRO_DISPATCH_TABLE_FN(Name, IidExpr, LIST, ENTRY)                                    \
  static const KroDispatchTable& DispatchTable() {                                         \
    using KroDispatchSelf = Name;                                                          \
    static const KroDispatchTable table(#Name, IidExpr, {LIST(ENTRY)});                    \
    return table;                                                                          \
  }

// Inside an interface class: its pure virtual methods and the declaration of its dispatch table. The
// table is built (and registered at load) by KRO_DISPATCH_DEFINE in one source file of the library that
// implements the interface, so that the marshalling templates are compiled once, not in every includer.
#define KRO_DISPATCH_METHODS(Name, LIST) \
  LIST(KRO_METHOD_PURE)                  \
  static const KroDispatchTable& DispatchTable();

// The definition of Name::DispatchTable(), at namespace scope.
#define KRO_DISPATCH_TABLE_DEFINITION(Name, IidExpr, LIST, ENTRY)     \
  const KroDispatchTable& Name::DispatchTable() {                      \
    using KroDispatchSelf = Name;                                      \
    static const KroDispatchTable table(#Name, IidExpr, {LIST(ENTRY)}); \
    return table;                                                      \
  }

// At namespace scope in one source file: the table of an interface declared with KRO_DISPATCH_METHODS.
#define KRO_DISPATCH_DEFINE(Name, LIST)                                    \
  KRO_DISPATCH_TABLE_DEFINITION(Name, IID_##Name, LIST, KRO_METHOD_ENTRY) \
  [[maybe_unused]] static const bool kro_dispatch_registered_##Name =     \
      KroRegisterDispatchTable(#Name, IID_##Name, &Name::DispatchTable);

// Inside a class of static operations: the operations, and the declaration of a dispatch table
// registered under the class name (see KroCreateStaticDispatch); KRO_STATIC_DISPATCH_DEFINE builds it.
#define KRO_STATIC_DISPATCH_METHODS(Name, LIST) \
  LIST(KRO_METHOD_STATIC)                       \
  static const KroDispatchTable& DispatchTable();

#define KRO_STATIC_DISPATCH_DEFINE(Name, LIST)                                          \
  KRO_DISPATCH_TABLE_DEFINITION(Name, KroMakeGUID(#Name), LIST, KRO_STATIC_METHOD_ENTRY) \
  [[maybe_unused]] static const bool kro_dispatch_registered_##Name =                  \
      KroRegisterStaticDispatchTable(#Name, &Name::DispatchTable);

// Inside a tie class: one forwarder per method of the list.
#define KRO_TIE_FORWARDERS(LIST) \
 public:                         \
  using KroTie::KroTie;          \
  LIST(KRO_METHOD_FORWARD)

// At namespace scope, for an interface declared without a list: a table of the listed methods, which
// must match the declarations.
#define KRO_DISPATCH_TABLE_FOR(Name, LIST)                                                           \
  namespace {                                                                                        \
  struct KroDispatchTableOf##Name {                                                                  \
    KRO_DISPATCH_TABLE_FN(Name, IID_##Name, LIST, KRO_METHOD_ENTRY)                                  \
  };                                                                                                 \
  const bool kro_dispatch_registered_##Name =                                                        \
      KroRegisterDispatchTable(#Name, IID_##Name, &KroDispatchTableOf##Name::DispatchTable);         \
  }

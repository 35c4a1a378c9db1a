#include "KroDispatch.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <map>
#include <unordered_map>

namespace {

struct DispatchRegistry {
  std::map<std::string, KroDispatchTableFn> byName;
  std::unordered_map<IID, KroDispatchTableFn, KroGUIDHash> byIid;
  std::map<std::string, KroDispatchTableFn> statics;
};

// Leaked on purpose: tables are looked up from static destructors of other libraries.
DispatchRegistry& Registry() {
  static auto* registry = new DispatchRegistry();
  return *registry;
}

// Serves a class of static operations through the dispatch methods.
class KroStaticDispatch final : public KroBaseUnknown {
 public:
  explicit KroStaticDispatch(const KroDispatchTable& table) : m_table(table) {}

  HRESULT GetTypeInfoCount(unsigned int* count) override {
    if (!count) return E_INVALIDARG;
    *count = 1;
    return S_OK;
  }
  HRESULT GetTypeInfo(unsigned int index, unsigned long, void** info) override {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    *info = const_cast<KroTypeInfo*>(&m_table.TypeInfo());
    return S_OK;
  }
  HRESULT GetIDsOfNames(const IID&, const char** names, unsigned int count, unsigned long, long* dispIds) override {
    return m_table.GetIDsOfNames(names, count, dispIds);
  }
  HRESULT Invoke(long dispId, const IID&, unsigned long, unsigned short, const KroDispParams* params,
                 KroVariant* result, KroExcepInfo* exception, unsigned int* argErr) override {
    return m_table.Invoke(nullptr, dispId, params, result, exception, argErr);
  }

 private:
  const KroDispatchTable& m_table;
};

std::string TypeWord(const KroParamInfo& p) { return (p.out ? "out " : "") + p.typeName + " " + p.name; }

}  // namespace

std::string KroMethodInfo::Signature() const {
  std::string text = name + "(";
  for (std::size_t i = 0; i < params.size(); ++i) text += (i ? ", " : "") + TypeWord(params[i]);
  text += ") -> " + resultTypeName;
  if (resultType == KroVT_BOOL && returnsResult) text += " (S_OK: true, S_FALSE: false)";
  return text;
}

int KroMethodInfo::CountOutputs() const {
  return static_cast<int>(std::count_if(params.begin(), params.end(), [](const KroParamInfo& p) { return p.out; }));
}

const KroMethodInfo* KroTypeInfo::Method(long dispId) const {
  if (dispId < 1 || dispId > static_cast<long>(methods.size())) return nullptr;
  return &methods[static_cast<std::size_t>(dispId - 1)];
}

long KroTypeInfo::IdOfName(std::string_view wanted) const {
  for (const KroMethodInfo& m : methods)
    if (m.name == wanted) return m.dispId;
  return -1;
}

KroDispatchTable::KroDispatchTable(const char* name, const IID& iid, std::initializer_list<KroDispatchEntry> entries)
    : m_entries(entries) {
  m_info.name = name;
  m_info.iid = iid;
  long id = 0;
  for (KroDispatchEntry& entry : m_entries) {
    entry.info.dispId = ++id;
    m_info.methods.push_back(entry.info);
  }
}

HRESULT KroDispatchTable::GetIDsOfNames(const char** names, unsigned int count, long* dispIds) const {
  if (count && (!names || !dispIds)) return E_INVALIDARG;
  HRESULT hr = S_OK;
  for (unsigned int i = 0; i < count; ++i) {
    dispIds[i] = names[i] ? m_info.IdOfName(names[i]) : -1;
    if (dispIds[i] < 0) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT KroDispatchTable::Invoke(void* self, long dispId, const KroDispParams* params, KroVariant* result,
                                 KroExcepInfo* exception, unsigned int* argErr) const {
  if (dispId < 1 || dispId > static_cast<long>(m_entries.size())) return DISP_E_MEMBERNOTFOUND;
  const KroDispatchEntry& entry = m_entries[static_cast<std::size_t>(dispId - 1)];
  static const KroDispParams none;
  const KroDispParams& block = params ? *params : none;
  if (block.count && !block.args) return E_INVALIDARG;
  // No exception crosses an interface: a method that raises one (a null handle dereferenced, a list
  // position out of range) ends the call with DISP_E_EXCEPTION and the error's text.
  try {
    return entry.invoke(self, block, result, argErr, entry.answer);
  } catch (const std::exception& error) {
    if (exception) *exception = {DISP_E_EXCEPTION, error.what()};
  } catch (...) {
    if (exception) *exception = {DISP_E_EXCEPTION, "unknown error"};
  }
  return DISP_E_EXCEPTION;
}

bool KroRegisterDispatchTable(const char* name, const IID& iid, KroDispatchTableFn table) {
  Registry().byName[name] = table;
  Registry().byIid[iid] = table;
  return true;
}

bool KroRegisterStaticDispatchTable(const char* className, KroDispatchTableFn table) {
  Registry().statics[className] = table;
  return KroRegisterDispatchTable(className, KroMakeGUID(className), table);
}

const KroDispatchTable* KroFindDispatchTable(const IID& iid) {
  auto it = Registry().byIid.find(iid);
  return it == Registry().byIid.end() ? nullptr : &it->second();
}

const KroDispatchTable* KroFindDispatchTable(const char* name) {
  auto it = Registry().byName.find(name ? name : "");
  return it == Registry().byName.end() ? nullptr : &it->second();
}

std::vector<std::string> KroDispatchTableNames() {
  std::vector<std::string> names;
  for (const auto& [name, table] : Registry().byName) names.push_back(name);
  return names;
}

KroBaseUnknown* KroCreateStaticDispatch(const char* className) {
  auto it = Registry().statics.find(className ? className : "");
  if (it == Registry().statics.end()) return nullptr;
  return new (std::nothrow) KroStaticDispatch(it->second());
}

std::string KroResultName(HRESULT hr) {
  static const std::map<HRESULT, const char*> names = {
      {S_OK, "S_OK"},
      {S_FALSE, "S_FALSE"},
      {E_NOTIMPL, "E_NOTIMPL"},
      {E_NOINTERFACE, "E_NOINTERFACE"},
      {E_FAIL, "E_FAIL"},
      {E_UNEXPECTED, "E_UNEXPECTED"},
      {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
      {E_INVALIDARG, "E_INVALIDARG"},
      {KRO_E_FILE_NOT_FOUND, "KRO_E_FILE_NOT_FOUND"},
      {KRO_E_BAD_FORMAT, "KRO_E_BAD_FORMAT"},
      {KRO_E_UUID_NOT_BOUND, "KRO_E_UUID_NOT_BOUND"},
      {KRO_E_UUID_INVALID, "KRO_E_UUID_INVALID"},
      {KRO_E_KIND_CONFLICT, "KRO_E_KIND_CONFLICT"},
      {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE"},
      {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
      {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
      {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
      {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
      {DISP_E_BADINDEX, "DISP_E_BADINDEX"},
      {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
  };
  auto it = names.find(hr);
  if (it != names.end()) return it->second;
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned int>(hr));
  return text;
}

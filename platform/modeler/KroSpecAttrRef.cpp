#include "KroSpecAttrRef.h"

#include "KroSpecLayout.h"
#include "KroSpecObject.h"

// ---- key --------------------------------------------------------------------------------------------

KroSpecAttrRef::KroSpecAttrRef(KroSpecLayout* layout, std::uint32_t index) : m_layout(layout), m_index(index) {}

void KroSpecAttrRef::orphan() {
  const KroLayoutEntry& entry = m_layout->entry(m_index);
  m_name = entry.name;
  m_kind = entry.kind;
  m_elementKind = entry.elementKind;
  m_layout = nullptr;
}

KroSpecAttrRef::KroSpecAttrRef(KroSpecObject* owner, std::uint32_t index, std::string name, TCKind kind,
                               TCKind elementKind)
    : m_owner(owner), m_index(index), m_kind(kind), m_elementKind(elementKind), m_name(std::move(name)) {}

KroSpecAttrRef::~KroSpecAttrRef() {
  if (m_owner) {
    m_owner->forgetOwnKey(m_index, this);
  }
}

HRESULT KroSpecAttrRef::QueryInterface(const IID& iid, void** out) {
  return KroQueryInterfaces<KroISpecAttrKey>(this, iid, out);
}

TCKind KroSpecAttrRef::kind() const { return m_layout ? m_layout->entry(m_index).kind : m_kind; }
TCKind KroSpecAttrRef::elementKind() const { return m_layout ? m_layout->entry(m_index).elementKind : m_elementKind; }
const std::string& KroSpecAttrRef::name() const { return m_layout ? m_layout->entry(m_index).name : m_name; }
KroUnicodeString KroSpecAttrRef::GetName() const { return KroUnicodeString(name()); }

// ---- attribute handle -------------------------------------------------------------------------------

KroSpecAttrHandle::KroSpecAttrHandle(KroSpecObject* object, KroSpecAttrRef* key) : m_object(object), m_key(key) {
  m_object->AddRef();
  m_key->AddRef();
}

KroSpecAttrHandle::~KroSpecAttrHandle() {
  m_key->Release();
  m_object->Release();
}

HRESULT KroSpecAttrHandle::QueryInterface(const IID& iid, void** out) {
  return KroQueryInterfaces<KroISpecAttribute, KroISpecAttrKey>(this, iid, out);
}

KroUnicodeString KroSpecAttrHandle::GetName() const { return m_key->GetName(); }

namespace {

// On a list the value is appended; on a single-valued attribute it becomes the value. E_FAIL when the
// attribute is gone or its kind does not take the value.
template <class Append, class Assign>
HRESULT AppendTo(KroSpecObject* object, KroSpecAttrRef* key, KroValueKind single, KroValueKind list, Append&& append,
                 Assign&& assign) {
  KroAttrPlace place = object->resolve(key);
  if (!place) return E_FAIL;
  if (place.kind == tk_list) {
    if (place.valueKind != list) return E_FAIL;
    append(*place.slot);
    return S_OK;
  }
  if (place.valueKind != single) return E_FAIL;
  assign(*place.slot);
  return S_OK;
}

}  // namespace

HRESULT KroSpecAttrHandle::AppendInteger(int value, int) {
  return AppendTo(m_object, m_key, KroValue_Long, KroValue_LongList, [&](KroSlot& s) { s.longList().push_back(value); },
                  [&](KroSlot& s) { s.setLong(value); });
}

HRESULT KroSpecAttrHandle::AppendDouble(double value, int) {
  return AppendTo(m_object, m_key, KroValue_Double, KroValue_DoubleList,
                  [&](KroSlot& s) { s.doubleList().push_back(value); }, [&](KroSlot& s) { s.setDouble(value); });
}

HRESULT KroSpecAttrHandle::AppendString(const KroUnicodeString& value, int) {
  return AppendTo(m_object, m_key, KroValue_String, KroValue_StringList,
                  [&](KroSlot& s) { s.stringList().emplace_back(value.view()); },
                  [&](KroSlot& s) { s.setString(value.view()); });
}

HRESULT KroSpecAttrHandle::AppendSpecObject(KroISpecObject* value, int) {
  return AppendTo(m_object, m_key, KroValue_Object, KroValue_ObjectList, [&](KroSlot& s) { s.appendObject(value); },
                  [&](KroSlot& s) {
                    if (value)
                      s.setObject(value);
                    else
                      s.unset();
                  });
}

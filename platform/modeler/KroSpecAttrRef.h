// Keys and attribute handles, made on demand. A key names an attribute: an entry of a layout, valid
// on every instance that has that entry, or one instance's own attribute, valid on that instance alone.
// An attribute handle is a key bound to one spec object, whose value its Append operations write.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <string>

#include "KroModelerInterfaces.h"

class KroSpecLayout;
class KroSpecObject;

class KroSpecAttrRef final : public KroISpecAttrKey {
 public:
  // A key of a layout entry, made and kept by the layout.
  KroSpecAttrRef(KroSpecLayout* layout, std::uint32_t index);
  // A key of an instance's own attribute. The owner is not held: it detaches the key when the
  // attribute or the owner goes, after which the key is valid nowhere.
  KroSpecAttrRef(KroSpecObject* owner, std::uint32_t index, std::string name, TCKind kind, TCKind elementKind);
  ~KroSpecAttrRef() override;

  HRESULT QueryInterface(const IID& iid, void** out) override;
  KroUnicodeString GetName() const override;
  int GetType() const override { return kind(); }
  KroSpecAttrRef* GetModelerRef() override { return this; }

  KroSpecLayout* layout() const { return m_layout; }
  KroSpecObject* owner() const { return m_owner; }
  std::uint32_t index() const { return m_index; }
  TCKind kind() const;
  TCKind elementKind() const;
  const std::string& name() const;

  void moveTo(std::uint32_t index) { m_index = index; }
  void detach() { m_owner = nullptr; }
  // The layout goes: keep the name and kinds, name nothing any more.
  void orphan();

 private:
  KroSpecLayout* m_layout = nullptr;  // for layout keys; not held (the layout holds the key)
  KroSpecObject* m_owner = nullptr;   // for an instance's own attribute
  std::uint32_t m_index;
  TCKind m_kind = tk_null;
  TCKind m_elementKind = tk_null;
  std::string m_name;                 // for an instance's own attribute, or an orphan
};

// An attribute of one spec object: its key plus a reference on the object.
class KroSpecAttrHandle final : public KroISpecAttribute, public KroISpecAttrKey {
 public:
  // Takes one reference on each.
  KroSpecAttrHandle(KroSpecObject* object, KroSpecAttrRef* key);
  ~KroSpecAttrHandle() override;

  HRESULT QueryInterface(const IID& iid, void** out) override;
  KroUnicodeString GetName() const override;
  TCKind GetKind() const override { return m_key->kind(); }
  TCKind GetElementKind() const override { return m_key->elementKind(); }
  int GetType() const override { return m_key->kind(); }
  KroSpecAttrRef* GetModelerRef() override { return m_key; }
  HRESULT AppendInteger(int value, int flags = 0) override;
  HRESULT AppendDouble(double value, int flags = 0) override;
  HRESULT AppendString(const KroUnicodeString& value, int flags = 0) override;
  HRESULT AppendSpecObject(KroISpecObject* value, int flags = 0) override;

  KroSpecObject* object() const { return m_object; }
  KroSpecAttrRef* key() const { return m_key; }

 private:
  KroSpecObject* m_object;
  KroSpecAttrRef* m_key;
};

// The spec-object modeler: concrete spec objects, attributes and containers, and the free functions
// that find and create startups.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "KroExtensionHost.h"
#include "KroModelerInterfaces.h"

class KroSpecObject;
class KroContainer;

// An attribute value. The alternative in use follows the attribute's kind; monostate is "unset".
using KroAttrValue = std::variant<std::monostate, std::int32_t, double, bool, std::string,
                                  std::vector<unsigned char>, KroISpecObject_var, std::vector<std::int32_t>,
                                  std::vector<double>, std::vector<std::string>, std::vector<KroISpecObject_var>>;

// True for the (kind, element kind) pairs the modeler stores.
bool KroIsValidKind(TCKind kind, TCKind elementKind);
// The value alternative index that an attribute of this kind holds.
std::size_t KroValueIndexOf(TCKind kind, TCKind elementKind);

class KroSpecAttribute final : public KroISpecAttribute, public KroISpecAttrKey {
 public:
  KroSpecAttribute(KroSpecObject* owner, std::string name, TCKind kind, TCKind elementKind);

  HRESULT QueryInterface(const IID& iid, void** out) override;
  KroUnicodeString GetName() const override { return KroUnicodeString(m_name); }
  TCKind GetKind() const override { return m_kind; }
  TCKind GetElementKind() const override { return m_elementKind; }
  int GetType() const override { return m_kind; }
  HRESULT AppendInteger(int value, int flags = 0) override;
  HRESULT AppendDouble(double value, int flags = 0) override;
  HRESULT AppendString(const KroUnicodeString& value, int flags = 0) override;
  HRESULT AppendSpecObject(KroISpecObject* value, int flags = 0) override;

  const std::string& name() const { return m_name; }
  KroSpecObject* owner() const { return m_owner; }
  void detach() { m_owner = nullptr; m_value = std::monostate{}; }
  KroAttrValue& value() { return m_value; }
  const KroAttrValue& value() const { return m_value; }
  bool isList() const { return m_kind == tk_list; }
  // Stores a value of the attribute's own alternative; false (nothing changed) for another one.
  bool assign(KroAttrValue value);

 private:
  template <class T>
  HRESULT append(T value);

  KroSpecObject* m_owner;
  std::string m_name;
  TCKind m_kind;
  TCKind m_elementKind;
  KroAttrValue m_value;
};

class KroSpecObject final : public KroISpecObject, public KroISpecAttrAccess, public KroExtensionHost {
 public:
  KroSpecObject(std::string name, std::string lateType, bool isStartUp, KroISpecObject* startUp);
  ~KroSpecObject() override;

  HRESULT QueryInterface(const IID& iid, void** out) override;

  // KroISpecObject
  KroISpecObject* Instanciate(const KroUnicodeString& name, const KroIContainer_var& container,
                              int flags = 0) override;
  KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, int flags = 0) override;
  KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, TCKind secondKind,
                                  int flags = 0) override;
  KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, const KroUnicodeString& text,
                                  int flags = 0) override;
  KroISpecAttribute* GetAttribute(const KroUnicodeString& name) override;
  HRESULT RemoveAttribute(KroISpecAttribute* attribute) override;
  KroListValKroISpecAttribute_var* ListAttributes() override;
  int CountAttributes() const override { return static_cast<int>(m_index.size()); }
  KroUnicodeString GetName() const override { return KroUnicodeString(m_name); }
  KroUnicodeString GetLateType() const override { return KroUnicodeString(m_lateType); }
  int IsStartUp() const override { return m_isStartUp ? 1 : 0; }
  KroISpecObject* GetStartUp() override;
  KroIContainer* GetContainer() override;

  // KroISpecAttrAccess
  KroISpecAttrKey* GetAttrKey(const char* name) override;
  HRESULT ListAttrKeys(KroListValKroISpecAttrKey_var& keys) override;
  boolean TestAttribute(const char* name) override;
  HRESULT SetDouble(KroISpecAttrKey* key, double value, int flags = 0) override;
  HRESULT SetInteger(KroISpecAttrKey* key, int value, int flags = 0) override;
  HRESULT SetBoolean(KroISpecAttrKey* key, boolean value, int flags = 0) override;
  HRESULT SetString(KroISpecAttrKey* key, const KroUnicodeString& value, int flags = 0) override;
  HRESULT SetSpecObject(KroISpecAttrKey* key, KroISpecObject* value, int flags = 0, int flags2 = 0,
                        int flags3 = 0) override;
  double GetDouble(KroISpecAttrKey* key, int flags = 0) override;
  int GetInteger(KroISpecAttrKey* key, int flags = 0) override;
  boolean GetBoolean(KroISpecAttrKey* key, int flags = 0) override;
  KroUnicodeString GetString(KroISpecAttrKey* key, int flags = 0) override;
  KroISpecObject* GetSpecObject(KroISpecAttrKey* key, int flags = 0) override;
  HRESULT SetListInteger(KroISpecAttrKey* key, const KroRawCollint& values) override;
  HRESULT SetListDouble(KroISpecAttrKey* key, const KroRawColldouble& values) override;
  HRESULT SetListString(KroISpecAttrKey* key, const KroListValKroUnicodeString& values) override;
  HRESULT SetOctets(KroISpecAttrKey* key, const SEQUENCE_octet& value) override;
  KroRawCollint* GetListInteger(KroISpecAttrKey* key) override;
  KroRawColldouble* GetListDouble(KroISpecAttrKey* key) override;
  KroListValKroUnicodeString* GetListString(KroISpecAttrKey* key) override;
  SEQUENCE_octet* GetOctets(KroISpecAttrKey* key) override;
  HRESULT UnsetAttribute(KroISpecAttrKey* key) override;
  KroListValKroBaseUnknown_var* GetListSpecObject(KroISpecAttrKey* key, const IID& iid) override;

  // Modeler internals, used by containers and documents.
  KroSpecAttribute* findAttribute(const std::string& name) const;
  KroSpecAttribute* addAttribute(const std::string& name, TCKind kind, TCKind elementKind);
  // Attributes in creation order.
  std::vector<KroSpecAttribute*> attributes() const;
  const std::string& name() const { return m_name; }
  const std::string& lateType() const { return m_lateType; }
  KroSpecObject* startUp() const;
  KroContainer* container() const { return m_container; }
  void setContainer(KroContainer* container, long id) { m_container = container; m_id = id; }
  long id() const { return m_id; }
  // Unsets every spec-object-valued attribute (breaks reference cycles when a container closes).
  void dropReferences();

 private:
  KroSpecAttribute* own(KroISpecAttrKey* key) const;
  template <class T>
  T* typedValue(KroISpecAttrKey* key);
  template <class T>
  HRESULT setTyped(KroISpecAttrKey* key, T value);
  template <class T>
  HRESULT setScalar(KroISpecAttrKey* key, T value);

  std::string m_name;
  std::string m_lateType;
  bool m_isStartUp;
  KroISpecObject_var m_startUp;
  KroContainer* m_container = nullptr;
  long m_id = 0;
  std::vector<KroSpecAttribute*> m_order;  // one reference each; null where removed
  std::unordered_map<std::string, std::size_t> m_index;
};

class KroContainer final : public KroIContainer {
 public:
  explicit KroContainer(std::string name);
  ~KroContainer() override;

  HRESULT QueryInterface(const IID& iid, void** out) override;
  KroUnicodeString GetName() const override { return KroUnicodeString(m_name); }
  KroISpecObject* FindStartUpByName(const KroUnicodeString& name) override;
  KroListValKroISpecObject_var ListStartUps() override;
  KroListValKroISpecObject_var ListObjects() override;
  int CountObjects() const override { return static_cast<int>(m_objects.size()); }
  HRESULT RemoveObject(KroISpecObject* object) override;

  // Takes one reference on the object and gives it the next id.
  void adopt(KroSpecObject* object);
  bool addStartUp(KroSpecObject* startUp);
  KroSpecObject* findStartUp(const std::string& name) const;
  const std::vector<KroSpecObject*>& startUps() const { return m_startUpOrder; }
  const std::map<long, KroSpecObject*>& objects() const { return m_objects; }

 private:
  std::string m_name;
  long m_nextId = 1;
  std::vector<KroSpecObject*> m_startUpOrder;                  // one reference each
  std::unordered_map<std::string, KroSpecObject*> m_startUps;  // same objects, by name
  std::map<long, KroSpecObject*> m_objects;                    // one reference each, by creation
};

// The startup of that name (and of that type, unless type is empty) in the container, carrying one
// reference; null when there is none. The interface name says how the caller means to use it.
KroBaseUnknown* FindStartUp(const char* interfaceName, const KroUnicodeString& name, const KroUnicodeString& type,
                            const KroIContainer_var& container);
// A new startup in the container, inheriting the attributes of base when given; null when the
// container is null, the name empty or already a startup of that container.
KroISpecObject* CreateStartUp(const KroUnicodeString& name, const KroUnicodeString& type,
                              const char* interfaceClassName, const KroIContainer_var& container,
                              const KroUnicodeString& text, const KroISpecObject_var& base);

// Interfaces of the spec-object modeler: spec objects, their attributes and keys, typed attribute
// access, containers, and the uuid-carrying live objects.
#pragma once

#include "KroExport.h"

#include "KroList.h"
#include "KroUnicodeString.h"
#include "KroVar.h"
#include "SEQUENCE_octet.h"

KRO_DECLARE_INTERFACE(KroISpecObject);
KRO_DECLARE_INTERFACE(KroISpecAttribute);
KRO_DECLARE_INTERFACE(KroISpecAttrKey);
KRO_DECLARE_INTERFACE(KroISpecAttrAccess);
KRO_DECLARE_INTERFACE(KroIContainer);
KRO_DECLARE_INTERFACE(KroILinkableObject);

class KroSpecObject;
class KroSpecAttrRef;
class KroContainer;
class KroVariant;

using KroListValKroISpecObject_var = KroList<KroISpecObject_var>;
using KroListValKroISpecAttribute_var = KroList<KroISpecAttribute_var>;
using KroListValKroISpecAttrKey_var = KroList<KroISpecAttrKey_var>;
using KroListValKroBaseUnknown_var = KroList<KroBaseUnknown_var>;

// A spec object (feature). A startup is a spec object from which instances are made; an instance has
// the startup's type as its late type. Every pointer returned carries one reference.
class KRO_PLATFORM_API KroISpecObject : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroISpecObject)
  // A new instance with the startup's attributes and their initial values; null when this is not a
  // startup. An empty name with a null container places the instance in the startup's own container.
  virtual KroISpecObject* Instanciate(const KroUnicodeString& name, const KroIContainer_var& container,
                                      int flags = 0) = 0;
  // A new scalar attribute; a list needs the second-kind overload. Null when the name is taken or the
  // kinds are not valid.
  virtual KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, int flags = 0) = 0;
  virtual KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, TCKind secondKind,
                                          int flags = 0) = 0;
  // With an initial value written as in a catalog file (strings bare); null when the text does not parse.
  virtual KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, const KroUnicodeString& text,
                                          int flags = 0) = 0;
  virtual KroISpecAttribute* GetAttribute(const KroUnicodeString& name) = 0;
  // S_FALSE when the attribute is not one of this object's.
  virtual HRESULT RemoveAttribute(KroISpecAttribute* attribute) = 0;
  // A new list of all attributes in creation order; the caller deletes it.
  virtual KroListValKroISpecAttribute_var* ListAttributes() = 0;
  virtual int CountAttributes() const = 0;

  virtual KroUnicodeString GetName() const = 0;
  virtual KroUnicodeString GetLateType() const = 0;
  virtual int IsStartUp() const = 0;
  virtual KroISpecObject* GetStartUp() = 0;
  virtual KroIContainer* GetContainer() = 0;
  // The modeler's own object behind this interface, or null for spec objects of other origin.
  virtual KroSpecObject* GetModelerObject() { return nullptr; }
};

// One attribute of one spec object, made on demand; it holds a reference on that object. It answers
// KroISpecAttrKey as well, as the attribute's key.
class KRO_PLATFORM_API KroISpecAttribute : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroISpecAttribute)
  virtual KroUnicodeString GetName() const = 0;
  virtual TCKind GetKind() const = 0;
  virtual TCKind GetElementKind() const = 0;
  // On a list attribute the value is appended; on a single-valued one it becomes the value.
  // E_FAIL when the value's kind is not the attribute's.
  virtual HRESULT AppendInteger(int value, int flags = 0) = 0;
  virtual HRESULT AppendDouble(double value, int flags = 0) = 0;
  virtual HRESULT AppendString(const KroUnicodeString& value, int flags = 0) = 0;
  virtual HRESULT AppendSpecObject(KroISpecObject* value, int flags = 0) = 0;
};

// Names an attribute. A key of an attribute that a startup defines is valid on every instance of that
// startup that still has the attribute; a key of an attribute added to one instance only is valid there.
class KRO_PLATFORM_API KroISpecAttrKey : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroISpecAttrKey)
  virtual KroUnicodeString GetName() const = 0;
  virtual int GetType() const = 0;
  // The modeler's own key behind this handle, or null for keys of other origin.
  virtual KroSpecAttrRef* GetModelerRef() { return nullptr; }
};

// Typed access by key. A key works on the attributes of its layout directly and on any other spec
// object by its name. A single value set on a list attribute of its kind is appended. Setters return
// E_INVALIDARG when the object has no attribute the key names and E_FAIL when the attribute's kind does
// not take the value. Getters return the kind's zero value on a missing attribute, an unset value or
// another kind; the Read forms say which with their result. The list and octet getters return a new
// container that the caller deletes, or null when the attribute is missing or of another kind.
class KRO_PLATFORM_API KroISpecAttrAccess : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroISpecAttrAccess)
  virtual KroISpecAttrKey* GetAttrKey(const char* name) = 0;
  virtual HRESULT ListAttrKeys(KroListValKroISpecAttrKey_var& keys) = 0;
  // True when the attribute exists and holds a value.
  virtual boolean TestAttribute(const char* name) = 0;
  virtual HRESULT SetDouble(KroISpecAttrKey* key, double value, int flags = 0) = 0;
  virtual HRESULT SetInteger(KroISpecAttrKey* key, int value, int flags = 0) = 0;
  virtual HRESULT SetBoolean(KroISpecAttrKey* key, boolean value, int flags = 0) = 0;
  virtual HRESULT SetString(KroISpecAttrKey* key, const KroUnicodeString& value, int flags = 0) = 0;
  // On a list attribute the object is appended. A null object unsets a single-valued attribute.
  virtual HRESULT SetSpecObject(KroISpecAttrKey* key, KroISpecObject* value, int flags = 0, int flags2 = 0,
                                int flags3 = 0) = 0;
  virtual double GetDouble(KroISpecAttrKey* key, int flags = 0) = 0;
  virtual int GetInteger(KroISpecAttrKey* key, int flags = 0) = 0;
  virtual boolean GetBoolean(KroISpecAttrKey* key, int flags = 0) = 0;
  virtual KroUnicodeString GetString(KroISpecAttrKey* key, int flags = 0) = 0;
  virtual KroISpecObject* GetSpecObject(KroISpecAttrKey* key, int flags = 0) = 0;
  virtual HRESULT SetListInteger(KroISpecAttrKey* key, const KroRawCollint& values) = 0;
  virtual HRESULT SetListDouble(KroISpecAttrKey* key, const KroRawColldouble& values) = 0;
  virtual HRESULT SetListString(KroISpecAttrKey* key, const KroListValKroUnicodeString& values) = 0;
  virtual HRESULT SetOctets(KroISpecAttrKey* key, const SEQUENCE_octet& value) = 0;
  virtual KroRawCollint* GetListInteger(KroISpecAttrKey* key) = 0;
  virtual KroRawColldouble* GetListDouble(KroISpecAttrKey* key) = 0;
  virtual KroListValKroUnicodeString* GetListString(KroISpecAttrKey* key) = 0;
  virtual SEQUENCE_octet* GetOctets(KroISpecAttrKey* key) = 0;
  virtual HRESULT UnsetAttribute(KroISpecAttrKey* key) = 0;
  // Each element queried for iid (null where it lacks it), in list order.
  virtual KroListValKroBaseUnknown_var* GetListSpecObject(KroISpecAttrKey* key, const IID& iid) = 0;
  // GetAttrKey on the platform string, which knows its length; a name holding a NUL byte has no key.
  // An implementation may remember where it found a name, for callers that ask through one constant.
  virtual KroISpecAttrKey* GetAttrKey(const KroUnicodeString& name) {
    return name.view().find('\0') == std::string_view::npos ? GetAttrKey(name.ConvertToChar()) : nullptr;
  }
  // Checked getters: S_OK with the value; S_FALSE when the attribute holds none (out is the zero
  // value, or null); E_INVALIDARG when the object has no attribute the key names; E_FAIL when the
  // attribute is of another kind.
  virtual HRESULT ReadInteger(KroISpecAttrKey* key, int& out) = 0;
  virtual HRESULT ReadDouble(KroISpecAttrKey* key, double& out) = 0;
  virtual HRESULT ReadBoolean(KroISpecAttrKey* key, boolean& out) = 0;
  virtual HRESULT ReadString(KroISpecAttrKey* key, KroUnicodeString& out) = 0;
  virtual HRESULT ReadSpecObject(KroISpecAttrKey* key, KroISpecObject_var& out) = 0;

  // By name, for scripts and tools that hold no key; built on the methods above and on the object's
  // KroISpecObject, so that every implementation has them. The names in attribute order and, in the
  // same order, the kinds in the document format's words ("integer", "list specobject", "octets", ...).
  virtual HRESULT DescribeAttributes(KroListValKroUnicodeString& names, KroListValKroUnicodeString& kinds);
  // The value as the attribute's kind holds it: empty when unset, an integer, a double, a boolean, a
  // string, octets, a spec object (KroISpecObject), or an array for the other lists. E_INVALIDARG when
  // no attribute has the name.
  virtual HRESULT GetAttributeValue(const KroUnicodeString& name, KroVariant& value);
  // An empty value unsets; a list takes the array's elements in place of its own. E_INVALIDARG when no
  // attribute has the name, DISP_E_TYPEMISMATCH when the value does not suit the attribute's kind.
  virtual HRESULT SetAttributeValue(const KroUnicodeString& name, const KroVariant& value);
};

// Holds startups and instances. The container keeps one reference on each instance it lists, and an
// instance stays listed until RemoveObject, RemoveTree or the container's close, whoever holds it or not
// (the store mode, the default). Objects no longer listed that nothing outside holds, cycles included,
// are reclaimed by a collection, which runs by itself as they accumulate. In the transient mode, chosen
// by the client, listed instances that nothing outside holds (through a handle, a tie, or an attribute
// of an object that is itself held) are reclaimed too; objects read from a document stay until removed.
// Closing a container leaves the objects a client still holds with their values, no longer listed, and
// empties the spec-object references of the others, so that cycles among them cannot keep them alive.
class KRO_PLATFORM_API KroIContainer : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroIContainer)
  virtual KroUnicodeString GetName() const = 0;
  virtual KroISpecObject* FindStartUpByName(const KroUnicodeString& name) = 0;
  virtual KroListValKroISpecObject_var ListStartUps() = 0;
  virtual KroListValKroISpecObject_var ListObjects() = 0;
  virtual int CountObjects() const = 0;
  // S_FALSE when the object is not in this container. The object leaves the list at once; it and what
  // only it reaches, cycles included, are reclaimed once nothing outside holds them.
  virtual HRESULT RemoveObject(KroISpecObject* object) = 0;
  // Runs a collection now; returns the number of objects reclaimed.
  virtual int Collect() = 0;
  // The modeler's own container behind this interface, or null for containers of other origin.
  virtual KroContainer* GetModelerContainer() { return nullptr; }
  // Transient mode (true) or store mode (false, the default): see above.
  virtual HRESULT SetTransient(boolean transient) = 0;
  virtual boolean IsTransient() const = 0;
  // Takes the root and every listed object that only the root reaches off the list, as RemoveObject
  // does for one; `removed` counts them. An object held from outside the tree (by a client, or by a
  // listed object outside it) stays listed with what it reaches. S_FALSE, with 0, when the root is not
  // an instance listed here.
  virtual HRESULT RemoveTree(KroISpecObject* root, int& removed) = 0;
};

// A live object with a uuid that KroCfgUuid::bindObject turns back into the object.
class KRO_PLATFORM_API KroILinkableObject : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroILinkableObject)
  virtual HRESULT GetUuid(SEQUENCE_octet& uuid) = 0;
};

// Attribute access by name, for scripts and tools: every value travels as a variant of the attribute's
// kind. Written on the keyed methods, so that it holds for any implementation of KroISpecAttrAccess.
#include <cstdint>
#include <limits>
#include <memory>

#include "KroDocumentFormat.h"
#include "KroModelerInterfaces.h"
#include "KroVariant.h"

namespace {

struct Named {
  KroISpecAttribute_var attribute;
  KroISpecAttrKey_var key;
  TCKind kind = tk_null;
  TCKind elementKind = tk_null;
};

// The attribute of that name on the object behind `access`; false when there is none.
bool Find(KroISpecAttrAccess* access, const KroUnicodeString& name, Named& out) {
  KroISpecObject_var object = static_cast<KroBaseUnknown*>(access);
  if (!object) return false;
  out.attribute = KroISpecAttribute_var::Adopt(object->GetAttribute(name));
  if (!out.attribute) return false;
  out.key = out.attribute;
  if (!out.key) return false;
  out.kind = out.attribute->GetKind();
  out.elementKind = out.attribute->GetElementKind();
  return true;
}

KroVariant Object(KroISpecObject* object) { return KroVariant::AdoptInterface(object, IID_KroISpecObject); }

bool ToInt(const KroVariant& v, int& out) {
  std::int64_t n = 0;
  if (!v.GetInteger(n) || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) return false;
  out = static_cast<int>(n);
  return true;
}

bool ToDouble(const KroVariant& v, double& out) {
  std::int64_t n = 0;
  if (const double* d = v.IfDouble()) return out = *d, true;
  if (v.GetInteger(n)) return out = static_cast<double>(n), true;
  return false;
}

// The spec object a variant holds: false when it holds something else; null for a null handle.
bool ToObject(const KroVariant& v, KroISpecObject_var& out) {
  const KroUnknownRef* ref = v.IfInterface();
  if (!ref) return false;
  out = ref->get();
  return !ref->get() || out;
}

}  // namespace

HRESULT KroISpecAttrAccess::DescribeAttributes(KroListValKroUnicodeString& names, KroListValKroUnicodeString& kinds) {
  names.RemoveAll();
  kinds.RemoveAll();
  KroISpecObject_var object = static_cast<KroBaseUnknown*>(this);
  if (!object) return E_NOINTERFACE;
  std::unique_ptr<KroListValKroISpecAttribute_var> attributes(object->ListAttributes());
  if (!attributes) return E_FAIL;
  for (const KroISpecAttribute_var& attribute : *attributes) {
    names.Append(attribute->GetName());
    kinds.Append(KroUnicodeString(KroDoc::KindWords(attribute->GetKind(), attribute->GetElementKind())));
  }
  return S_OK;
}

HRESULT KroISpecAttrAccess::GetAttributeValue(const KroUnicodeString& name, KroVariant& value) {
  Named a;
  if (!Find(this, name, a)) return E_INVALIDARG;
  value = KroVariant();
  if (!TestAttribute(name.ConvertToChar())) return S_OK;
  KroISpecAttrKey* key = a.key.ptr();
  switch (a.kind) {
    case tk_long: value = KroVariant::Int(GetInteger(key)); return S_OK;
    case tk_double: value = KroVariant::Double(GetDouble(key)); return S_OK;
    case tk_boolean: value = KroVariant::Bool(GetBoolean(key) != 0); return S_OK;
    case tk_string: value = KroVariant::String(GetString(key)); return S_OK;
    case tk_specobject: {
      if (KroISpecObject* target = GetSpecObject(key)) value = Object(target);
      return S_OK;
    }
    case tk_list: break;
    default: return E_FAIL;
  }
  std::vector<KroVariant> items;
  switch (a.elementKind) {
    case tk_octet: {
      std::unique_ptr<SEQUENCE_octet> octets(GetOctets(key));
      if (octets) value = KroVariant::Octets(*octets);
      return S_OK;
    }
    case tk_long: {
      std::unique_ptr<KroRawCollint> list(GetListInteger(key));
      if (list)
        for (int n : *list) items.push_back(KroVariant::Int(n));
      break;
    }
    case tk_double: {
      std::unique_ptr<KroRawColldouble> list(GetListDouble(key));
      if (list)
        for (double d : *list) items.push_back(KroVariant::Double(d));
      break;
    }
    case tk_string: {
      std::unique_ptr<KroListValKroUnicodeString> list(GetListString(key));
      if (list)
        for (const KroUnicodeString& text : *list) items.push_back(KroVariant::String(text));
      break;
    }
    case tk_specobject: {
      std::unique_ptr<KroListValKroBaseUnknown_var> list(GetListSpecObject(key, IID_KroISpecObject));
      if (list)
        for (const KroBaseUnknown_var& item : *list) items.push_back(KroVariant::Interface(item.ptr(), IID_KroISpecObject));
      break;
    }
    default: return E_FAIL;
  }
  value = KroVariant::Array(std::move(items));
  return S_OK;
}

HRESULT KroISpecAttrAccess::SetAttributeValue(const KroUnicodeString& name, const KroVariant& given) {
  Named a;
  if (!Find(this, name, a)) return E_INVALIDARG;
  const KroVariant& value = given.Deref();
  KroISpecAttrKey* key = a.key.ptr();
  if (value.IsEmpty()) return UnsetAttribute(key);
  switch (a.kind) {
    case tk_long: {
      int n = 0;
      return ToInt(value, n) ? SetInteger(key, n) : DISP_E_TYPEMISMATCH;
    }
    case tk_double: {
      double d = 0;
      return ToDouble(value, d) ? SetDouble(key, d) : DISP_E_TYPEMISMATCH;
    }
    case tk_boolean: {
      const bool* b = value.IfBool();
      return b ? SetBoolean(key, *b ? 1 : 0) : DISP_E_TYPEMISMATCH;
    }
    case tk_string: {
      const KroUnicodeString* text = value.IfString();
      return text ? SetString(key, *text) : DISP_E_TYPEMISMATCH;
    }
    case tk_specobject: {
      KroISpecObject_var object;
      if (!ToObject(value, object)) return DISP_E_TYPEMISMATCH;
      return object ? SetSpecObject(key, object.ptr()) : UnsetAttribute(key);
    }
    case tk_list: break;
    default: return E_FAIL;
  }
  if (a.elementKind == tk_octet) {
    const SEQUENCE_octet* octets = value.IfOctets();
    return octets ? SetOctets(key, *octets) : DISP_E_TYPEMISMATCH;
  }
  const std::vector<KroVariant>* items = value.IfArray();
  if (!items) return DISP_E_TYPEMISMATCH;
  // Every element converts before anything is written, so a refused list leaves the old one.
  switch (a.elementKind) {
    case tk_long: {
      KroRawCollint list;
      for (const KroVariant& item : *items) {
        int n = 0;
        if (!ToInt(item.Deref(), n)) return DISP_E_TYPEMISMATCH;
        list.Append(n);
      }
      return SetListInteger(key, list);
    }
    case tk_double: {
      KroRawColldouble list;
      for (const KroVariant& item : *items) {
        double d = 0;
        if (!ToDouble(item.Deref(), d)) return DISP_E_TYPEMISMATCH;
        list.Append(d);
      }
      return SetListDouble(key, list);
    }
    case tk_string: {
      KroListValKroUnicodeString list;
      for (const KroVariant& item : *items) {
        const KroUnicodeString* text = item.Deref().IfString();
        if (!text) return DISP_E_TYPEMISMATCH;
        list.Append(*text);
      }
      return SetListString(key, list);
    }
    case tk_specobject: {
      std::vector<KroISpecObject_var> objects;
      for (const KroVariant& item : *items) {
        KroISpecObject_var object;
        if (!ToObject(item.Deref(), object) || !object) return DISP_E_TYPEMISMATCH;
        objects.push_back(object);
      }
      // A spec object set on a list attribute is appended.
      HRESULT hr = UnsetAttribute(key);
      for (const KroISpecObject_var& object : objects)
        if (SUCCEEDED(hr)) hr = SetSpecObject(key, object.ptr());
      return hr;
    }
    default: return E_FAIL;
  }
}

#include "KroCfgSOSpecification.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "KroCfgUuid.h"
#include "TIEKroICfgSOSpecificationKroCfgSOSpecification.h"

KRO_DISPATCH_DEFINE(KroICfgSOSpecification, KroICfgSOSpecification_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOSpecification, KroBaseUnknown, "CfgSOSpecification", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

KroISpecObject_var SpecObjectOf(KroCfgSOSpecification* self) { return KroISpecObject_var(self); }

// The five getters: one string attribute, its label on success.
HRESULT GetField(KroCfgSOSpecification* self, const char* step, const KroUnicodeString& attribute, const char* label,
                 KroUnicodeString& out) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, step);
  out = KroUnicodeString();
  HRESULT hr = KroCfgSOServices::GetStringValue(SpecObjectOf(self), attribute, out);
  if (SUCCEEDED(hr))
    KRO_TRACE_LINE(trace, label << out);
  else
    KRO_TRACE_LINE(trace, "Unable to get " << attribute << " attribute !");
  return KroTraceReturns(trace, hr);
}

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOSpecification, KroICfgSOSpecification, TIEKroICfgSOSpecificationKroCfgSOSpecification);

HRESULT KroCfgSOSpecification::getName(KroUnicodeString& name) {
  return GetField(this, "KroCfgSOSpecification::getName", KroCfgSOStrings::SPEC_NAME, "Specification name extracted: ",
                  name);
}

HRESULT KroCfgSOSpecification::getDescription(KroUnicodeString& description) {
  return GetField(this, "KroCfgSOSpecification::getDescription", KroCfgSOStrings::SPEC_DESC,
                  "Specification description extracted: ", description);
}

HRESULT KroCfgSOSpecification::getAlias(KroUnicodeString& alias) {
  return GetField(this, "KroCfgSOSpecification::getAlias", KroCfgSOStrings::SPEC_ALIAS,
                  "Specification alias extracted: ", alias);
}

HRESULT KroCfgSOSpecification::getCategoryName(KroUnicodeString& name) {
  return GetField(this, "KroCfgSOSpecification::getCategoryName", KroCfgSOStrings::CAT_NAME,
                  "Specification Category name extracted: ", name);
}

HRESULT KroCfgSOSpecification::getCategoryDescription(KroUnicodeString& description) {
  return GetField(this, "KroCfgSOSpecification::getCategoryDescription", KroCfgSOStrings::CAT_DESC,
                  "Specification Category description extracted: ", description);
}

HRESULT KroCfgSOSpecification::setSpecification(const KroICfgSimpleSpecification_var& spec) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecification::setSpecification");
  KroISpecObject_var so = SpecObjectOf(this);
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };

  if (!spec) {
    // The uuid is left alone on purpose: a later getSpecification still finds the old specification.
    KRO_TRACE_LINE(trace, "The input Specification is null. Clearing the SpecObject attributes.");
    for (const KroUnicodeString* name : {&KroCfgSOStrings::SPEC_NAME, &KroCfgSOStrings::SPEC_DESC,
                                         &KroCfgSOStrings::SPEC_ALIAS, &KroCfgSOStrings::CAT_NAME,
                                         &KroCfgSOStrings::CAT_DESC})
      KroCfgSOServices::ClearAttribute(so, *name);
    return done(S_FALSE);
  }

  // Everything is read from the input before the first write.
  KRO_TRACE_LINE(trace, "Extracting the data from the input Specification.");
  KroICfgSpecCategory_var category;
  HRESULT hr = spec->getCategory(category);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to retrieve the specification input SpecCategory !");
    return done(hr);
  }
  KroUnicodeString name, description, alias, categoryName, categoryDescription;
  if (FAILED(hr = spec->getName(name))) {
    KRO_TRACE_LINE(trace, "Unable to get the Specification input Name !");
    return done(hr);
  }
  if (FAILED(hr = spec->getDescription(description))) {
    KRO_TRACE_LINE(trace, "Unable to get the Specification input Description !");
    return done(hr);
  }
  SEQUENCE_octet uuid;
  KroCfgUuid(KroILinkableObject_var(spec)).getUuid(uuid);
  if (FAILED(hr = spec->getAlias(alias))) {
    KRO_TRACE_LINE(trace, "Unable to get the Specification input alias !");
    return done(hr);
  }
  if (FAILED(hr = category->getName(categoryName))) {
    KRO_TRACE_LINE(trace, "Unable to get the SpecCategory input name !");
    return done(hr);
  }
  if (FAILED(hr = category->getDescription(categoryDescription))) {
    KRO_TRACE_LINE(trace, "Unable to get the SpecCategory input description !");
    return done(hr);
  }

  KRO_TRACE_LINE(trace, "Valuating the SpecObject attributes.");
  struct Write {
    const KroUnicodeString& attribute;
    const KroUnicodeString* text;  // null: the uuid octets
    const char* failure;
  };
  const Write writes[] = {
      {KroCfgSOStrings::SPEC_NAME, &name, "Unable to set the Specification name !"},
      {KroCfgSOStrings::SPEC_DESC, &description, "Unable to set the Specification description !"},
      {KroCfgSOStrings::SPEC_UID, nullptr, "Unable to set the Specification uuid !"},
      {KroCfgSOStrings::SPEC_ALIAS, &alias, "Unable to set the Specification alias !"},
      {KroCfgSOStrings::CAT_NAME, &categoryName, "Unable to set the SpecCategory name !"},
      {KroCfgSOStrings::CAT_DESC, &categoryDescription, "Unable to set the SpecCategory description !"},
  };
  for (const Write& write : writes) {
    hr = write.text ? KroCfgSOServices::SetStringValue(so, write.attribute, *write.text)
                    : KroCfgSOServices::SetByteArrayValue(so, write.attribute, uuid);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, write.failure);
      return done(hr);
    }
  }
  return done(hr);
}

HRESULT KroCfgSOSpecification::getSpecification(KroICfgSimpleSpecification_var& spec) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecification::getSpecification");
  spec = nullptr;
  SEQUENCE_octet uuid;
  HRESULT hr = KroCfgSOServices::GetByteArrayValue(SpecObjectOf(this), KroCfgSOStrings::SPEC_UID, uuid);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get " << KroCfgSOStrings::SPEC_UID << " attribute !");
    return KroTraceReturns(trace, hr);
  }
  KroILinkableObject_var bound;
  hr = KroCfgUuid(uuid).bindObject(bound);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to bind the object according to the Uuid contained by this SpecObject !");
    return KroTraceReturns(trace, hr);
  }
  // A bound object of another kind leaves spec null without failing.
  spec = bound;
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOSpecification::toString(KroUnicodeString& text) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecification::toString");
  text = KroUnicodeString();
  struct Line {
    HRESULT (KroCfgSOSpecification::*getter)(KroUnicodeString&);
    const char* prefix;
    const char* failure;
  };
  static const Line lines[] = {
      {&KroCfgSOSpecification::getName, "\n  name          : ", "Unable to make call to getName !"},
      {&KroCfgSOSpecification::getDescription, "\n  description   : ", "Unable to make call to getDescription !"},
      {&KroCfgSOSpecification::getAlias, "\n  alias         : ", "Unable to make call to getAlias !"},
      {&KroCfgSOSpecification::getCategoryName, "\n  cat_name      : ", "Unable to make call to getCategoryName !"},
      {&KroCfgSOSpecification::getCategoryDescription, "\n  cat_desc      : ",
       "Unable to make call to getCategoryDescription !"},
  };
  HRESULT hr = S_OK;
  for (const Line& line : lines) {
    KroUnicodeString value;
    hr = (this->*line.getter)(value);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, line.failure);
      break;
    }
    text.Append(line.prefix).Append(value);
  }
  return KroTraceReturns(trace, hr);
}

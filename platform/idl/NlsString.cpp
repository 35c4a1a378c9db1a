#include "NlsString.h"

HRESULT KroCorbaNlsServices::convertCorbaStringToString(const NlsString& in, KroUnicodeString* out) {
  if (!out) return E_INVALIDARG;
  out->assign(in.text.str());
  return S_OK;
}

HRESULT KroCorbaNlsServices::convertStringToCorbaString(const KroUnicodeString& in, NlsString* out) {
  if (!out) return E_INVALIDARG;
  out->text = in.view();
  return S_OK;
}

// The configuration server's string: a structure around one CORBA string holding UTF-8 text, and its
// conversions to and from the platform string.
#pragma once

#include "KroExport.h"

#include "CORBA.h"
#include "IDLSequence.h"
#include "KroTypes.h"
#include "KroUnicodeString.h"

struct KRO_PLATFORM_API NlsString {
  CORBA::String_mgr text;

  friend bool operator==(const NlsString&, const NlsString&) = default;
};

using _IDL_SEQUENCE_NlsString = IDLSequence<NlsString>;

class KRO_PLATFORM_API KroCorbaNlsServices {
 public:
  KroCorbaNlsServices() = delete;

  // Both give E_INVALIDARG (and convert nothing) for a null output pointer, S_OK otherwise.
  static HRESULT convertCorbaStringToString(const NlsString& in, KroUnicodeString* out);
  static HRESULT convertStringToCorbaString(const KroUnicodeString& in, NlsString* out);
};

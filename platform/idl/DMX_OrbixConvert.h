// The server's octet sequence and its conversions to and from the platform's SEQUENCE_octet.
#pragma once

#include "KroExport.h"

#include "CORBA.h"
#include "IDLSequence.h"
#include "SEQUENCE_octet.h"

using _IDL_SEQUENCE_octet = IDLSequence<CORBA::Octet>;

class KRO_PLATFORM_API DMX_OrbixConvert {
 public:
  DMX_OrbixConvert() = delete;

  static SEQUENCE_octet convertOrbixOctSeqToSEQOct(const _IDL_SEQUENCE_octet& in);
  static _IDL_SEQUENCE_octet convertSEQOctToOrbixOctSeq(const SEQUENCE_octet& in);
};

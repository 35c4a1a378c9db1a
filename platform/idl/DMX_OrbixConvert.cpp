#include "DMX_OrbixConvert.h"

#include <vector>

SEQUENCE_octet DMX_OrbixConvert::convertOrbixOctSeqToSEQOct(const _IDL_SEQUENCE_octet& in) {
  return SEQUENCE_octet(std::vector<unsigned char>(in.begin(), in.end()));
}

_IDL_SEQUENCE_octet DMX_OrbixConvert::convertSEQOctToOrbixOctSeq(const SEQUENCE_octet& in) {
  _IDL_SEQUENCE_octet out;
  out.length(in.length());
  for (CORBA::ULong i = 0; i < in.length(); ++i) out[i] = in[i];
  return out;
}

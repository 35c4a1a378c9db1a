// The configuration server's structures, as its interface definition (idl/DMX_Config.idl) declares
// them: base objects, normal and effectivity values, modifications, group modifications, changes,
// spec expressions, basic and domain effectivities, with their sequences. Modules are namespaces;
// each sequence keeps the name the server's generated code gives it.
#pragma once

#include "KroExport.h"

#include "CORBA.h"
#include "DMX_OrbixConvert.h"
#include "DMX_OrbixTypes.h"
#include "IDLSequence.h"
#include "NlsString.h"

// ---- Base objects ----

struct KRO_PLATFORM_API NlsBaseObject {
  NlsString name;
  NlsString type;
  NlsString info;
  _IDL_SEQUENCE_octet uid;

  friend bool operator==(const NlsBaseObject&, const NlsBaseObject&) = default;
};

using _IDL_SEQUENCE_NlsBaseObject = IDLSequence<NlsBaseObject>;
using NlsBaseObjectSeq = _IDL_SEQUENCE_NlsBaseObject;

struct KRO_PLATFORM_API BaseObject {
  CORBA::String_mgr name;
  CORBA::String_mgr type;
  CORBA::String_mgr info;
  _IDL_SEQUENCE_octet uid;

  friend bool operator==(const BaseObject&, const BaseObject&) = default;
};

// ---- Normal and effectivity values ----

namespace DMX_ConfigTypes {

struct KRO_PLATFORM_API DateValue {
  DMX_OrbixTypes::DateCorba start;
  DMX_OrbixTypes::DateCorba end;

  friend bool operator==(const DateValue&, const DateValue&) = default;
};

struct KRO_PLATFORM_API RangeValue {
  CORBA::Long start = 0;
  CORBA::Long end = 0;

  friend bool operator==(const RangeValue&, const RangeValue&) = default;
};

using _IDL_SEQUENCE_DMX_ConfigTypes_DateValue = IDLSequence<DateValue>;
using _IDL_SEQUENCE_DMX_ConfigTypes_RangeValue = IDLSequence<RangeValue>;
using DateValueSeq = _IDL_SEQUENCE_DMX_ConfigTypes_DateValue;
using RangeValueSeq = _IDL_SEQUENCE_DMX_ConfigTypes_RangeValue;

}  // namespace DMX_ConfigTypes

namespace DMX_Config {

// Each optional part is present when its sequence has exactly one element.
struct KRO_PLATFORM_API NlsNormalValue {
  DMX_ConfigTypes::_IDL_SEQUENCE_DMX_ConfigTypes_DateValue optionalDate;
  DMX_ConfigTypes::_IDL_SEQUENCE_DMX_ConfigTypes_RangeValue optionalRange;
  _IDL_SEQUENCE_NlsString optionalSpec;
  NlsString mlsStartName;
  NlsString mlsEndName;

  friend bool operator==(const NlsNormalValue&, const NlsNormalValue&) = default;
};

// One alternative of effectivity values.
using _IDL_SEQUENCE_DMX_Config_NlsNormalValue = IDLSequence<NlsNormalValue>;
using NlsNormalValueSeq = _IDL_SEQUENCE_DMX_Config_NlsNormalValue;
// The effectivity values: a sequence of alternatives.
using _IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq = IDLSequence<NlsNormalValueSeq>;

struct KRO_PLATFORM_API NlsXEffectivityValues {
  NlsString domain;
  NlsString info;
  _IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq ev;

  friend bool operator==(const NlsXEffectivityValues&, const NlsXEffectivityValues&) = default;
};

using _IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues = IDLSequence<NlsXEffectivityValues>;
using NlsXEffectivityValuesSeq = _IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues;

}  // namespace DMX_Config

// ---- Modifications, group modifications and changes ----

struct KRO_PLATFORM_API NlsModification {
  NlsBaseObject bo;
  NlsString xml_tree;
  DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues xev_lst;

  friend bool operator==(const NlsModification&, const NlsModification&) = default;
};

using _IDL_SEQUENCE_NlsModification = IDLSequence<NlsModification>;
using NlsModificationSeq = _IDL_SEQUENCE_NlsModification;

// Its extended effectivity values, when it has any, travel beside it, not in it.
struct KRO_PLATFORM_API NlsGroupMod {
  _IDL_SEQUENCE_NlsModification mod_lst;
  NlsBaseObject bo;
  DMX_Config::NlsNormalValue nv;

  friend bool operator==(const NlsGroupMod&, const NlsGroupMod&) = default;
};

using _IDL_SEQUENCE_NlsGroupMod = IDLSequence<NlsGroupMod>;
using NlsGroupModSeq = _IDL_SEQUENCE_NlsGroupMod;

struct KRO_PLATFORM_API NlsChange {
  CORBA::Long id = 0;
  NlsString op_str;
  NlsString op;
  NlsBaseObject bo_one;
  NlsBaseObject bo_two;
  NlsBaseObject bo_three;
  NlsBaseObject bo_cv;
  NlsBaseObject bo_mod;
  NlsBaseObject bo_act;

  friend bool operator==(const NlsChange&, const NlsChange&) = default;
};

using _IDL_SEQUENCE_NlsChange = IDLSequence<NlsChange>;
using NlsChangeSeq = _IDL_SEQUENCE_NlsChange;

// ---- Spec expressions, basic and domain effectivities ----

struct KRO_PLATFORM_API NlsSpecExpression {
  NlsString domain;
  CORBA::Short position = 0;
  NlsString expression;

  friend bool operator==(const NlsSpecExpression&, const NlsSpecExpression&) = default;
};

struct KRO_PLATFORM_API NlsBasicEffectivity {
  DMX_OrbixTypes::DateCorba date_start;
  DMX_OrbixTypes::DateCorba date_end;
  CORBA::Long range_start = 0;
  CORBA::Long range_end = 0;
  NlsString mls_start;
  NlsString mls_end;
  NlsSpecExpression se;
  NlsString usr_start;
  NlsString usr_end;
  NlsString spec_start;  // the start specification bound: not carried into spec objects
  NlsString spec_end;

  friend bool operator==(const NlsBasicEffectivity&, const NlsBasicEffectivity&) = default;
};

using _IDL_SEQUENCE_NlsBasicEffectivity = IDLSequence<NlsBasicEffectivity>;
using NlsBasicEffectivitySeq = _IDL_SEQUENCE_NlsBasicEffectivity;

struct KRO_PLATFORM_API NlsDomainEffectivity {
  _IDL_SEQUENCE_NlsBasicEffectivity be_lst;
  NlsString domain;

  friend bool operator==(const NlsDomainEffectivity&, const NlsDomainEffectivity&) = default;
};

using _IDL_SEQUENCE_NlsDomainEffectivity = IDLSequence<NlsDomainEffectivity>;
using NlsDomainEffectivitySeq = _IDL_SEQUENCE_NlsDomainEffectivity;
using _IDL_SEQUENCE_NlsDomainEffectivitySeq = IDLSequence<NlsDomainEffectivitySeq>;
using NlsDomainEffectivitySeqSeq = _IDL_SEQUENCE_NlsDomainEffectivitySeq;

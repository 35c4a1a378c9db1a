#include "KroCfgEffectivityReader.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "KroCfgStreamer.h"
#include "KroICfgSOIntervalDate.h"
#include "KroICfgSOIntervalRange.h"

namespace {

using Record = KroCfgEffectivityRecord;
using St = KroCfgStreamer;
using Str = KroCfgSOStrings;

bool OfType(const KroISpecObject_var& so, const KroUnicodeString& lateType) {
  return so && so->GetLateType() == lateType;
}

// Unset attributes read back as zero or empty; a rule that needs one must see it set.
bool IsSet(const KroISpecObject_var& so, const KroUnicodeString& name) {
  boolean set = 0;
  return SUCCEEDED(KroCfgSOServices::TestAttribute(so, name, set)) && set;
}

HRESULT RequiredString(const KroISpecObject_var& so, const KroUnicodeString& name, KroUnicodeString& out) {
  return IsSet(so, name) && SUCCEEDED(KroCfgSOServices::GetStringValue(so, name, out)) ? S_OK
                                                                                       : KRO_E_DAMAGED_EFFECTIVITY;
}

HRESULT RequiredDouble(const KroISpecObject_var& so, const KroUnicodeString& name, double& out) {
  return IsSet(so, name) && SUCCEEDED(KroCfgSOServices::GetDoubleValue(so, name, out)) && std::isfinite(out)
             ? S_OK
             : KRO_E_DAMAGED_EFFECTIVITY;
}

// ---- The wrappers' records ----

HRESULT ReadWrapperExpression(const KroISpecObject_var& so, Record::Basic& basic) {
  KroListValKroISpecObject_var specs;
  KroRawCollint signs;
  if (FAILED(KroCfgSOServices::GetListSOValue(so, Str::SPECEXPRESSION_SPEC_LST, specs)) ||
      FAILED(KroCfgSOServices::GetListIntegerValue(so, Str::SPECEXPRESSION_EXPR_LST, signs)) ||
      specs.Size() != signs.Size())
    return KRO_E_DAMAGED_EFFECTIVITY;
  basic.hasExpression = true;
  for (int i = 1; i <= specs.Size(); ++i) {
    KroUnicodeString name;
    if (!OfType(specs[i], Str::STARTUP_SPECIFICATION) || FAILED(RequiredString(specs[i], Str::SPEC_NAME, name)))
      return KRO_E_DAMAGED_EFFECTIVITY;
    basic.terms.push_back({name.str(), signs[i]});
  }
  return S_OK;
}

HRESULT ReadWrapperInterval(const KroISpecObject_var& so, Record::Basic& basic) {
  if (OfType(so, Str::STARTUP_INTERVAL_DATES)) {
    KroICfgSOIntervalDate_var dates = so;
    KroTime start, end;
    boolean infinite = 0;
    if (!dates || FAILED(dates->getStart(start)) || FAILED(dates->isInfinite(infinite))) return KRO_E_DAMAGED_EFFECTIVITY;
    const HRESULT hr = dates->getEnd(end);
    if (FAILED(hr)) return KRO_E_DAMAGED_EFFECTIVITY;
    // An infinite interval, or one without an end, is open; otherwise the end reads as stored dates do.
    basic.dates.push_back(infinite || hr == S_FALSE ? Record::Interval{start.Gettime_t(), std::nullopt}
                                                    : Record::Interval::Dates(start.Gettime_t(), end.Gettime_t()));
    return S_OK;
  }
  if (OfType(so, Str::STARTUP_INTERVAL_RANGES)) {
    KroICfgSOIntervalRange_var ranks = so;
    int start = 0, end = 0;
    boolean infinite = 0;
    if (!ranks || FAILED(ranks->getStart(start)) || FAILED(ranks->getEnd(end)) || FAILED(ranks->isInfinite(infinite)))
      return KRO_E_DAMAGED_EFFECTIVITY;
    // A bound is a milestone's rank or the plain rank; with neither it would read as 0.
    KroICfgSOMilestoneRange_var startMilestone, endMilestone;
    if (ranks->getStart(startMilestone) != S_OK && !IsSet(so, Str::INTERVAL_START_RANGE)) return KRO_E_DAMAGED_EFFECTIVITY;
    if (!infinite && ranks->getEnd(endMilestone) != S_OK && !IsSet(so, Str::INTERVAL_END_RANGE))
      return KRO_E_DAMAGED_EFFECTIVITY;
    basic.ranks.push_back(infinite ? Record::Interval{start, std::nullopt} : Record::Interval::Ranks(start, end));
    return S_OK;
  }
  return KRO_E_DAMAGED_EFFECTIVITY;
}

HRESULT ReadWrapperBasic(const KroISpecObject_var& so, Record::Basic& basic) {
  KroISpecObject_var interval, expression;
  if (FAILED(KroCfgSOServices::GetSOValue(so, Str::BASIC_EFFECTIVITY_INTERVAL, interval)) ||
      FAILED(KroCfgSOServices::GetSOValue(so, Str::BASIC_EFFECTIVITY_SPECEXPR, expression)))
    return KRO_E_DAMAGED_EFFECTIVITY;
  HRESULT hr = S_OK;
  if (interval && FAILED(hr = ReadWrapperInterval(interval, basic))) return hr;
  if (!expression) return S_OK;
  if (!OfType(expression, Str::STARTUP_SPECEXPRESSION)) return KRO_E_DAMAGED_EFFECTIVITY;
  return ReadWrapperExpression(expression, basic);
}

HRESULT ReadWrapperEffectivity(const KroISpecObject_var& so, Record& out) {
  KroUnicodeString domain;
  KroListValKroISpecObject_var basics;
  if (FAILED(RequiredString(so, Str::EFFECTIVITY_DOMAIN, domain)) ||
      FAILED(KroCfgSOServices::GetListSOValue(so, Str::EFFECTIVITY_BASIC_LST, basics)))
    return KRO_E_DAMAGED_EFFECTIVITY;
  out.hasDomain = true;
  out.domain = domain.str();
  for (const KroISpecObject_var& element : basics) {
    if (!OfType(element, Str::STARTUP_BASIC_EFFECTIVITY)) return KRO_E_DAMAGED_EFFECTIVITY;
    out.basics.emplace_back();
    if (HRESULT hr = ReadWrapperBasic(element, out.basics.back()); FAILED(hr)) return hr;
  }
  return S_OK;
}

// ---- The streamer's trees ----

// A child that must be of the given kind when present.
HRESULT Child(const KroISpecObject_var& so, const KroUnicodeString& name, const KroUnicodeString& lateType,
              KroISpecObject_var& child) {
  if (FAILED(KroCfgSOServices::GetSOValue(so, name, child))) return KRO_E_DAMAGED_EFFECTIVITY;
  return !child || OfType(child, lateType) ? S_OK : KRO_E_DAMAGED_EFFECTIVITY;
}

// The list's children, each of the given kind.
HRESULT Children(const KroISpecObject_var& so, const KroUnicodeString& name, const KroUnicodeString& lateType,
                 KroListValKroISpecObject_var& children) {
  if (FAILED(KroCfgSOServices::GetListSOValue(so, name, children))) return KRO_E_DAMAGED_EFFECTIVITY;
  for (const KroISpecObject_var& child : children)
    if (!OfType(child, lateType)) return KRO_E_DAMAGED_EFFECTIVITY;
  return S_OK;
}

HRESULT Seconds(const KroISpecObject_var& date, std::int64_t& seconds) {
  seconds = 0;
  KroTime time;
  if (!OfType(date, Str::STARTUP_DATE) || FAILED(St::KroTimeFromSpecObject(date, time))) return KRO_E_DAMAGED_EFFECTIVITY;
  seconds = time.Gettime_t();
  return S_OK;
}

HRESULT ReadStreamedExpression(const KroISpecObject_var& so, Record& out, Record::Basic& basic) {
  KroUnicodeString domain, text;
  int position = 0;
  if (FAILED(RequiredString(so, St::so_tofrom_se_domain, domain)) ||
      FAILED(KroCfgSOServices::GetIntegerValue(so, St::so_tofrom_se_position, position)) ||
      FAILED(RequiredString(so, St::so_tofrom_se_expression, text)) ||
      FAILED(KroCfgEffectivityReader::ParseExpression(text.str(), basic.terms)))
    return KRO_E_DAMAGED_EFFECTIVITY;
  basic.hasExpression = !basic.terms.empty();
  // A basic effectivity standing alone takes its expression's domain, when it names one.
  if (!domain.str().empty() && !out.hasDomain) {
    out.hasDomain = true;
    out.domain = domain.str();
  }
  return S_OK;
}

HRESULT ReadStreamedBasic(const KroISpecObject_var& so, Record& out, Record::Basic& basic) {
  KroISpecObject_var dateStart, dateEnd, expression;
  double rangeStart = 0, rangeEnd = 0;
  HRESULT hr = S_OK;
  if (FAILED(hr = Child(so, St::so_tofrom_be_date_start, Str::STARTUP_DATE, dateStart)) ||
      FAILED(hr = Child(so, St::so_tofrom_be_date_end, Str::STARTUP_DATE, dateEnd)) ||
      FAILED(hr = Child(so, St::so_tofrom_be_se, St::STARTUP_SE, expression)))
    return hr;
  // Every field is always streamed: a missing one is damage, not the epoch or rank 0.
  if (!dateStart || !dateEnd || FAILED(RequiredDouble(so, St::so_tofrom_be_range_start, rangeStart)) ||
      FAILED(RequiredDouble(so, St::so_tofrom_be_range_end, rangeEnd)))
    return KRO_E_DAMAGED_EFFECTIVITY;
  std::int64_t start = 0, end = 0;
  if (FAILED(hr = Seconds(dateStart, start)) || FAILED(hr = Seconds(dateEnd, end))) return hr;
  // Both fields are always there: a pair of zeros (dates at the epoch) means no such interval.
  if (start != 0 || end != 0) basic.dates.push_back(Record::Interval::Dates(start, end));
  // Ranks are stored as doubles; far beyond any rank they only need to stay ordered.
  constexpr double kLimit = 4e18;
  const auto first = static_cast<std::int64_t>(std::trunc(std::clamp(rangeStart, -kLimit, kLimit)));
  const auto last = static_cast<std::int64_t>(std::trunc(std::clamp(rangeEnd, -kLimit, kLimit)));
  if (first != 0 || last != 0) basic.ranks.push_back(Record::Interval::Ranks(first, last));
  return expression ? ReadStreamedExpression(expression, out, basic) : S_OK;
}

HRESULT ReadDomainEffectivity(const KroISpecObject_var& so, Record& out) {
  KroUnicodeString domain;
  KroISpecObject_var list;
  KroListValKroISpecObject_var basics;
  HRESULT hr = S_OK;
  if (FAILED(RequiredString(so, St::so_tofrom_de_domain, domain))) return KRO_E_DAMAGED_EFFECTIVITY;
  if (FAILED(hr = Child(so, St::so_tofrom_de_be_lst, St::STARTUP_BE_LST, list))) return hr;
  if (list && FAILED(hr = Children(list, St::so_tofrom_be_lst, St::STARTUP_BE, basics))) return hr;
  out.hasDomain = true;
  out.domain = domain.str();
  for (const KroISpecObject_var& element : basics) {
    out.basics.emplace_back();
    if (FAILED(hr = ReadStreamedBasic(element, out, out.basics.back()))) return hr;
  }
  return S_OK;
}

// One alternative of normal values is one basic effectivity: all its intervals and terms must hold.
HRESULT ReadNormalValue(const KroISpecObject_var& so, Record::Basic& basic) {
  KroRawCollint ranges;
  KroListValKroISpecObject_var dates;
  KroListValKroUnicodeString specs;
  if (FAILED(KroCfgSOServices::GetListIntegerValue(so, St::so_tofrom_nv_lst_range, ranges)) ||
      FAILED(KroCfgSOServices::GetListSOValue(so, St::so_tofrom_nv_lst_date, dates)) ||
      FAILED(KroCfgSOServices::GetListStringValue(so, St::so_tofrom_nv_lst_spec, specs)))
    return KRO_E_DAMAGED_EFFECTIVITY;
  if (ranges.Size() != 0 && ranges.Size() != 2) return KRO_E_DAMAGED_EFFECTIVITY;
  if (dates.Size() != 0 && dates.Size() != 2) return KRO_E_DAMAGED_EFFECTIVITY;
  if (ranges.Size() == 2) basic.ranks.push_back(Record::Interval::Ranks(ranges[1], ranges[2]));
  if (dates.Size() == 2) {
    std::int64_t start = 0, end = 0;
    if (!dates[1] || !dates[2]) return KRO_E_DAMAGED_EFFECTIVITY;
    if (HRESULT hr = Seconds(dates[1], start); FAILED(hr)) return hr;
    if (HRESULT hr = Seconds(dates[2], end); FAILED(hr)) return hr;
    basic.dates.push_back(Record::Interval::Dates(start, end));
  }
  for (const KroUnicodeString& spec : specs) {
    std::vector<Record::Term> terms;
    if (FAILED(KroCfgEffectivityReader::ParseExpression(spec.str(), terms))) return KRO_E_DAMAGED_EFFECTIVITY;
    basic.hasExpression = basic.hasExpression || !terms.empty();
    basic.terms.insert(basic.terms.end(), terms.begin(), terms.end());
  }
  return S_OK;
}

HRESULT ReadXEffectivityValues(const KroISpecObject_var& so, Record& out) {
  KroUnicodeString domain;
  KroISpecObject_var values;
  KroListValKroISpecObject_var alternatives;
  HRESULT hr = S_OK;
  if (FAILED(RequiredString(so, St::so_tofrom_xev_domain, domain))) return KRO_E_DAMAGED_EFFECTIVITY;
  if (FAILED(hr = Child(so, St::so_tofrom_xev_ev, St::STARTUP_EV_LST, values))) return hr;
  if (values && FAILED(hr = Children(values, St::so_tofrom_ev_lst, St::STARTUP_NV_LST, alternatives))) return hr;
  out.hasDomain = true;
  out.domain = domain.str();
  for (const KroISpecObject_var& alternative : alternatives) {
    KroListValKroISpecObject_var normalValues;
    if (FAILED(hr = Children(alternative, St::so_tofrom_nv_lst, St::STARTUP_NV, normalValues))) return hr;
    out.basics.emplace_back();
    for (const KroISpecObject_var& value : normalValues)
      if (FAILED(hr = ReadNormalValue(value, out.basics.back()))) return hr;
  }
  return S_OK;
}

bool Word(std::string_view text, std::size_t at, std::string_view word) {
  if (at + word.size() > text.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
  const std::size_t after = at + word.size();
  return after == text.size() || std::isspace(static_cast<unsigned char>(text[after]));
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

}  // namespace

HRESULT KroCfgEffectivityReader::ParseExpression(std::string_view text, std::vector<KroCfgEffectivityRecord::Term>& terms) {
  terms.clear();
  if (Trim(text).empty()) return S_OK;
  // Split at every AND that stands as a word of its own.
  std::vector<std::string_view> parts;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool wordStart = i == 0 || std::isspace(static_cast<unsigned char>(text[i - 1]));
    if (wordStart && Word(text, i, "AND")) {
      parts.push_back(text.substr(begin, i - begin));
      begin = i + 3;
    }
  }
  parts.push_back(text.substr(begin));
  for (std::string_view part : parts) {
    part = Trim(part);
    int sign = 1;
    if (Word(part, 0, "NOT")) {
      sign = -1;
      part = Trim(part.substr(3));
    }
    // A term without a name (a lone NOT, a leading, trailing or doubled AND) would silently change the
    // expression's meaning.
    if (part.empty()) {
      terms.clear();
      return KRO_E_DAMAGED_EFFECTIVITY;
    }
    terms.push_back({std::string(part), sign});
  }
  return S_OK;
}

std::vector<KroCfgEffectivityRecord::Term> KroCfgEffectivityReader::ParseExpression(std::string_view text) {
  std::vector<Record::Term> terms;
  ParseExpression(text, terms);
  return terms;
}

bool KroCfgEffectivityReader::IsRecord(const KroISpecObject_var& so) {
  if (!so) return false;
  const KroUnicodeString type = so->GetLateType();
  return type == Str::STARTUP_EFFECTIVITY || type == Str::STARTUP_BASIC_EFFECTIVITY ||
         type == Str::STARTUP_SPECEXPRESSION || type == St::STARTUP_DE || type == St::STARTUP_BE ||
         type == St::STARTUP_SE || type == St::STARTUP_XEV;
}

HRESULT KroCfgEffectivityReader::Read(const KroISpecObject_var& so, KroCfgEffectivityRecord& out) {
  if (!so) return E_INVALIDARG;
  out = Record();
  const KroUnicodeString type = so->GetLateType();
  if (type == Str::STARTUP_EFFECTIVITY) {
    out.kind = Record::Kind::Effectivity;
    return ReadWrapperEffectivity(so, out);
  }
  if (type == Str::STARTUP_BASIC_EFFECTIVITY) {
    out.kind = Record::Kind::BasicEffectivity;
    out.basics.emplace_back();
    return ReadWrapperBasic(so, out.basics.back());
  }
  if (type == Str::STARTUP_SPECEXPRESSION) {
    out.kind = Record::Kind::SpecExpression;
    out.basics.emplace_back();
    return ReadWrapperExpression(so, out.basics.back());
  }
  if (type == St::STARTUP_DE) {
    out.kind = Record::Kind::StreamedDomainEffectivity;
    return ReadDomainEffectivity(so, out);
  }
  if (type == St::STARTUP_BE) {
    out.kind = Record::Kind::StreamedBasicEffectivity;
    out.basics.emplace_back();
    return ReadStreamedBasic(so, out, out.basics.back());
  }
  if (type == St::STARTUP_SE) {
    out.kind = Record::Kind::StreamedSpecExpression;
    out.basics.emplace_back();
    return ReadStreamedExpression(so, out, out.basics.back());
  }
  if (type == St::STARTUP_XEV) {
    out.kind = Record::Kind::StreamedXEffectivityValues;
    return ReadXEffectivityValues(so, out);
  }
  return KRO_E_NOT_AN_EFFECTIVITY;
}

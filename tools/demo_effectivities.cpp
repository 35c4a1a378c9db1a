// cfgso demo: Effectivities.
#include "demo_effectivities.h"

#include <cstdio>
#include <string>

#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "cfgso_results.h"

namespace {

namespace B = KroCfgModelBuilder;

const char* const kDateFormat = "%Y - %B - %d";

std::string IntervalText(const KroICfgInterval_var& interval) {
  KroTime start, end;
  int first = 0, last = 0;
  if (interval->getType() == KroICfgInterval::Date && SUCCEEDED(interval->getDateBounds(start, end)))
    return std::string("dates ") + start.ConvertToString(kDateFormat).str() + " to " +
           (end.Gettime_t() > 0 ? end.ConvertToString(kDateFormat).str() : std::string("no end"));
  if (interval->getType() == KroICfgInterval::Range && SUCCEEDED(interval->getRangeBounds(first, last)))
    return "ranks " + std::to_string(first) + " to " + (last >= 0 ? std::to_string(last) : std::string("no end"));
  return "interval of kind " + std::to_string(interval->getType());
}

std::string ExpressionText(const KroICfgSpecANDExpression_var& expression) {
  if (!expression) return "none";
  KroListValKroICfgSignedSpec_var terms;
  expression->getSignedSpecs(terms);
  std::string out;
  for (const KroICfgSignedSpec_var& term : terms) {
    KroICfgSimpleSpecification_var spec;
    KroUnicodeString name;
    term->getSpecification(spec);
    if (spec) spec->getName(name);
    out += (out.empty() ? "" : " AND ") + std::string(term->getSign() < 0 ? "NOT " : "") + name.str();
  }
  return out.empty() ? "(no term)" : out;
}

// The stored record as the nested spec objects show it.
void PrintRecord(const KroICfgSOEffectivity_var& record) {
  KroUnicodeString domain;
  record->getDomain(domain);
  KroListValKroISpecObject_var basics;
  KroCfgSOServices::GetListSOValue(KroISpecObject_var(record), KroCfgSOStrings::EFFECTIVITY_BASIC_LST, basics);
  std::printf("  stored: effdom %s, effbas with %d basic effectivities\n", domain.ConvertToChar(), basics.Size());
  for (int i = 1; i <= basics.Size(); ++i) {
    KroISpecObject_var interval, expression;
    KroCfgSOServices::GetSOValue(basics[i], KroCfgSOStrings::BASIC_EFFECTIVITY_INTERVAL, interval);
    KroCfgSOServices::GetSOValue(basics[i], KroCfgSOStrings::BASIC_EFFECTIVITY_SPECEXPR, expression);
    KroUnicodeString text("(none)");
    if (KroICfgSOIntervalDate_var dates = interval) dates->toString(text);
    if (KroICfgSOIntervalRange_var ranks = interval) ranks->toString(text);
    KroListValKroISpecObject_var terms;
    if (expression) KroCfgSOServices::GetListSOValue(expression, KroCfgSOStrings::SPECEXPRESSION_SPEC_LST, terms);
    std::printf("    #%d interval %s, %s\n", i, text.ConvertToChar(),
                expression ? ("specexpr with " + std::to_string(terms.Size()) + " terms").c_str() : "no specexpr");
    for (const KroISpecObject_var& term : terms) {
      KroUnicodeString lines;
      if (KroICfgSOSpecification_var spec = term) spec->toString(lines);
      std::string indented;
      for (char c : lines.str()) indented += c == '\n' ? std::string("\n      ") : std::string(1, c);
      std::printf("      specification%s\n", indented.c_str());
    }
  }
}

}  // namespace

int DemoEffectivities() {
  KroICfgSOEffectivity_var record;
  HRESULT hr = KroCfgSOFactory::createEffectivity(record);
  if (FAILED(hr)) {
    std::fprintf(stderr, "cfgso demo: cannot create an effectivity (%s)\n", ResultText(hr).c_str());
    return 1;
  }
  KroICfgSimpleSpecification_var v6 = B::Specification(
      {.name = "ENGINE-V6", .description = "six-cylinder engine", .alias = "V6", .categoryName = "Engine",
       .categoryDescription = "engine family"});
  KroICfgSimpleSpecification_var automatic = B::Specification(
      {.name = "GEARBOX-AUTO", .description = "automatic gearbox", .alias = "AT", .categoryName = "Gearbox",
       .categoryDescription = "transmission"});
  KroICfgXEff_var xeff = B::XEff(
      "Powertrain",
      {B::BasicEffectivity({B::DateInterval(KroTime(2004, 3, 15, 0, 0, 0), KroTime(2005, 1, 1, 0, 0, 0))},
                           B::ANDExpression({B::SignedSpec(KroICfgSignedSpec::Positive, v6),
                                             B::SignedSpec(KroICfgSignedSpec::Negative, automatic)})),
       B::BasicEffectivity({B::RangeInterval(100, 250)})});
  hr = record->setXEff(xeff);
  std::printf("Effectivity (setXEff %s)\n", ResultText(hr).c_str());
  PrintRecord(record);

  KroICfgXEff_var rebuilt;
  HRESULT read = record->getXEff(rebuilt);
  std::printf("  read back (getXEff %s):\n", ResultText(read).c_str());
  if (FAILED(read) || !rebuilt) return 1;
  KroUnicodeString domain;
  KroListValKroICfgBasicEffectivity_var basics;
  rebuilt->getDomain(domain);
  rebuilt->getBasicEffectivities(basics);
  std::printf("    domain %s\n", domain.ConvertToChar());
  for (int i = 1; i <= basics.Size(); ++i) {
    KroListValKroICfgInterval_var intervals;
    KroICfgSpecANDExpression_var expression;
    basics[i]->getIntervals(intervals);
    basics[i]->getSpecExpression(expression);
    std::printf("    #%d %s; expression: %s\n", i, intervals.Size() == 1 ? IntervalText(intervals[1]).c_str() : "no interval",
                ExpressionText(expression).c_str());
  }
  return SUCCEEDED(hr) && basics.Size() == 2 ? 0 : 1;
}

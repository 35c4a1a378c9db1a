// cfgso stream: a sample of each server structure streamed to spec objects and back, printed on both
// sides: the structure, the spec-object tree the streamer built, and the structure read back.
#include "demo_streamer.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "KroCfgModelBuilder.h"
#include "KroCfgStreamer.h"
#include "cfgso_results.h"

namespace {

using St = KroCfgStreamer;
namespace B = KroCfgModelBuilder;

int s_failures = 0;

HRESULT Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    std::fprintf(stderr, "cfgso stream: %s failed (%s)\n", what, ResultText(hr).c_str());
    ++s_failures;
  }
  return hr;
}

void Line(int depth, const std::string& text) { std::printf("%*s%s\n", 2 * depth, "", text.c_str()); }

// ---- The structure side ----

std::string Q(const std::string& text) { return "\"" + text + "\""; }
std::string Q(const NlsString& text) { return Q(text.text.str()); }

std::string Hex(const SEQUENCE_octet& octets) { return octets.length() ? octets.ToHex() : "(empty)"; }
std::string Hex(const _IDL_SEQUENCE_octet& octets) { return Hex(DMX_OrbixConvert::convertOrbixOctSeqToSEQOct(octets)); }

std::string Date(const DMX_OrbixTypes::DateCorba& d) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
  return text;
}

std::string Describe(const NlsBaseObject& bo) {
  return "name " + Q(bo.name) + ", type " + Q(bo.type) + ", info " + Q(bo.info) + ", uid " + Hex(bo.uid);
}

std::string Describe(const DMX_Config::NlsNormalValue& nv) {
  std::string text;
  if (nv.optionalDate.length() == 1)
    text += "dates " + Date(nv.optionalDate[0].start) + " .. " + Date(nv.optionalDate[0].end) + ", ";
  if (nv.optionalRange.length() == 1)
    text +=
        "range " + std::to_string(nv.optionalRange[0].start) + " .. " + std::to_string(nv.optionalRange[0].end) + ", ";
  if (nv.optionalSpec.length() == 1) text += "spec " + Q(nv.optionalSpec[0]) + ", ";
  return text + "milestones " + Q(nv.mlsStartName) + " .. " + Q(nv.mlsEndName);
}

void Print(int depth, const DMX_Config::NlsXEffectivityValues& xev) {
  Line(depth, "NlsXEffectivityValues: domain " + Q(xev.domain) + ", info " + Q(xev.info));
  for (CORBA::ULong a = 0; a < xev.ev.length(); ++a) {
    Line(depth + 1, "alternative " + std::to_string(a));
    for (const DMX_Config::NlsNormalValue& nv : xev.ev[a]) Line(depth + 2, "NlsNormalValue: " + Describe(nv));
  }
}

void Print(int depth, const NlsModification& mod) {
  Line(depth, "NlsModification: xml_tree " + Q(mod.xml_tree));
  Line(depth + 1, "bo: " + Describe(mod.bo));
  for (const DMX_Config::NlsXEffectivityValues& xev : mod.xev_lst) Print(depth + 1, xev);
}

void Print(int depth, const NlsGroupMod& group, const DMX_Config::NlsXEffectivityValuesSeq& xevs) {
  Line(depth, "NlsGroupMod");
  Line(depth + 1, "bo: " + Describe(group.bo));
  Line(depth + 1, "nv: " + Describe(group.nv));
  for (const NlsModification& mod : group.mod_lst) Print(depth + 1, mod);
  Line(depth, "beside it, its extended effectivity values:");
  for (const DMX_Config::NlsXEffectivityValues& xev : xevs) Print(depth + 1, xev);
}

void Print(int depth, const NlsChange& change) {
  Line(depth, "NlsChange: id " + std::to_string(change.id) + ", op_str " + Q(change.op_str) + ", op " + Q(change.op));
  const std::pair<const char*, const NlsBaseObject*> roles[] = {
      {"bo_one", &change.bo_one}, {"bo_two", &change.bo_two}, {"bo_three", &change.bo_three},
      {"bo_cv", &change.bo_cv},   {"bo_mod", &change.bo_mod}, {"bo_act", &change.bo_act}};
  for (const auto& [role, bo] : roles) Line(depth + 1, std::string(role) + ": " + Describe(*bo));
}

void Print(int depth, const NlsBasicEffectivity& be) {
  Line(depth, "NlsBasicEffectivity: dates " + Date(be.date_start) + " .. " + Date(be.date_end) + ", range " +
                  std::to_string(be.range_start) + " .. " + std::to_string(be.range_end));
  Line(depth + 1, "milestones " + Q(be.mls_start) + " .. " + Q(be.mls_end) + ", users " + Q(be.usr_start) + " .. " +
                      Q(be.usr_end) + ", spec end " + Q(be.spec_end));
  Line(depth + 1, "se: domain " + Q(be.se.domain) + ", position " + std::to_string(be.se.position) + ", expression " +
                      Q(be.se.expression));
}

void Print(int depth, const _IDL_SEQUENCE_NlsDomainEffectivity& domains) {
  for (const NlsDomainEffectivity& domain : domains) {
    Line(depth, "NlsDomainEffectivity: domain " + Q(domain.domain));
    for (const NlsBasicEffectivity& be : domain.be_lst) Print(depth + 1, be);
  }
}

// ---- The spec-object side ----

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return "[" + text + "]";
}

void PrintTree(int depth, const std::string& label, const KroISpecObject_var& so) {
  if (!so) {
    Line(depth, label + "(none)");
    return;
  }
  std::string head = label + so->GetLateType().str() + " " + Q(so->GetName().str());
  if (so->GetLateType() == "CfgSODate") {
    KroTime time;
    St::KroTimeFromSpecObject(so, time);
    Line(depth, head + " = " + time.ConvertToString("%Y-%m-%d %H:%M:%S", 0).str());
    return;
  }
  Line(depth, head);
  KroISpecAttrAccess_var access = so;
  std::unique_ptr<KroListValKroISpecAttribute_var> attributes(so->ListAttributes());
  if (!access || !attributes) return;
  for (const KroISpecAttribute_var& attribute : *attributes) {
    const std::string name = attribute->GetName().str();
    KroISpecAttrKey_var key = KroISpecAttrKey_var::Adopt(access->GetAttrKey(name.c_str()));
    const std::string prefix = name + ": ";
    switch (attribute->GetKind()) {
      case tk_string:
        Line(depth + 1, prefix + Q(access->GetString(key).str()));
        break;
      case tk_long:
        Line(depth + 1, prefix + std::to_string(access->GetInteger(key)));
        break;
      case tk_double:
        Line(depth + 1, prefix + KroUnicodeString::BuildFromNum(access->GetDouble(key)).str());
        break;
      case tk_specobject:
        PrintTree(depth + 1, prefix, KroISpecObject_var::Adopt(access->GetSpecObject(key)));
        break;
      case tk_list:
        switch (attribute->GetElementKind()) {
          case tk_octet: {
            std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key));
            Line(depth + 1, prefix + (octets ? Hex(*octets) : "(empty)"));
            break;
          }
          case tk_long: {
            std::unique_ptr<KroRawCollint> values(access->GetListInteger(key));
            std::vector<std::string> items;
            if (values)
              for (int v : *values) items.push_back(std::to_string(v));
            Line(depth + 1, prefix + Join(items));
            break;
          }
          case tk_string: {
            std::unique_ptr<KroListValKroUnicodeString> values(access->GetListString(key));
            std::vector<std::string> items;
            if (values)
              for (const KroUnicodeString& v : *values) items.push_back(Q(v.str()));
            Line(depth + 1, prefix + Join(items));
            break;
          }
          case tk_specobject: {
            std::unique_ptr<KroListValKroBaseUnknown_var> children(access->GetListSpecObject(key, IID_KroISpecObject));
            if (!children || children->Size() == 0) Line(depth + 1, prefix + "[]");
            if (children)
              for (int i = 1; i <= children->Size(); ++i)
                PrintTree(depth + 1, name + "[" + std::to_string(i) + "]: ", KroISpecObject_var((*children)[i]));
            break;
          }
          default:
            Line(depth + 1, prefix + "(list)");
            break;
        }
        break;
      default:
        Line(depth + 1, prefix + "?");
        break;
    }
  }
}

// One family: the structure, the tree, the structure read back, and whether both agree.
template <class PrintStructure>
void Section(const char* title, PrintStructure print, const KroISpecObject_var& tree, bool same) {
  std::printf("%s\n", title);
  Line(1, "structure:");
  print(2, false);
  Line(1, "spec objects:");
  PrintTree(2, "", tree);
  Line(1, "read back:");
  print(2, true);
  Line(1, same ? "=> the same structure" : "=> DIFFERS from the structure");
  if (!same) ++s_failures;
  std::printf("\n");
}

NlsString N(const char* text) { return NlsString{text}; }

NlsBaseObject Bo(const char* name, const char* type, std::initializer_list<CORBA::Octet> uid) {
  return {N(name), N(type), N(""), _IDL_SEQUENCE_octet(uid)};
}

DMX_Config::NlsNormalValue Value(const char* start, const char* end) {
  DMX_Config::NlsNormalValue nv;
  nv.mlsStartName = N(start);
  nv.mlsEndName = N(end);
  return nv;
}

DMX_OrbixTypes::DateCorba Day(int year, int month, int day) { return {year, month, day, 0, 0, 0}; }

}  // namespace

int DemoStreamer() {
  s_failures = 0;
  KroISpecObject_var so;

  const _IDL_SEQUENCE_NlsBaseObject bos{Bo("Gear box", "Part", {0x3f, 0x2a, 0x01}), Bo("Wing", "Assembly", {})};
  if (FAILED(Check(St::BaseObjectSeqToSpecObjectList(bos, so), "BaseObjectSeqToSpecObjectList"))) {
    std::fprintf(stderr, "cfgso stream: is CfgSOCatalog.feat along KroGraphicPath?\n");
    return 1;
  }
  _IDL_SEQUENCE_NlsBaseObject bosBack;
  Check(St::BaseObjectSeqFromSpecObjectList(so, bosBack), "BaseObjectSeqFromSpecObjectList");
  Section(
      "Base objects (a sequence of two)",
      [&](int depth, bool back) {
        for (const NlsBaseObject& bo : back ? bosBack : bos) Line(depth, "NlsBaseObject: " + Describe(bo));
      },
      so, bosBack == bos);

  DMX_Config::NlsNormalValue dated = Value("M1", "M2");
  dated.optionalDate = {{Day(2004, 3, 15), Day(2005, 1, 1)}};
  DMX_Config::NlsNormalValue ranked = Value("", "");
  ranked.optionalRange = {{10, 20}};
  ranked.optionalSpec = {N("Colour = Red")};
  const DMX_Config::NlsXEffectivityValues xev{
      N("Plant A"), N("two alternatives"), {{dated, ranked}, {Value("M3", "")}}};
  Check(St::XEffectivityValuesToSpecObject(xev, so), "XEffectivityValuesToSpecObject");
  DMX_Config::NlsXEffectivityValues xevBack;
  Check(St::XEffectivityValuesFromSpecObject(so, xevBack), "XEffectivityValuesFromSpecObject");
  Section(
      "Extended effectivity values (alternatives of normal values: a three-level tree)",
      [&](int depth, bool back) { Print(depth, back ? xevBack : xev); }, so, xevBack == xev);

  auto model = B::NormalValue({.rangeInterval = B::RangeInterval(3, 7),
                               .condition = B::Specification({.name = "S1", .condition = "Engine = V8"}),
                               .startMilestone = "Start",
                               .endMilestone = "End"});
  Check(St::NormalValueToSpecObject(model, so), "NormalValueToSpecObject");
  DMX_Config::NlsNormalValue modelBack;
  Check(St::NormalValueFromSpecObject(so, modelBack), "NormalValueFromSpecObject");
  std::printf("A normal value of the configuration model (range 3 .. 7, condition, two milestones)\n");
  Line(1, "spec objects:");
  PrintTree(2, "", so);
  Line(1, "read back as a server structure:");
  Line(2, "NlsNormalValue: " + Describe(modelBack));
  std::printf("\n");

  const NlsModification mod{Bo("Change 12", "Modification", {0x12}), N("<mod id=\"12\"/>"), {xev}};
  Check(St::ModificationToSpecObject(mod, so), "ModificationToSpecObject");
  NlsModification modBack;
  Check(St::ModificationFromSpecObject(so, modBack), "ModificationFromSpecObject");
  Section(
      "Modification", [&](int depth, bool back) { Print(depth, back ? modBack : mod); }, so, modBack == mod);

  const NlsGroupMod group{{mod}, Bo("Group 1", "GroupMod", {0x01}), ranked};
  const DMX_Config::NlsXEffectivityValuesSeq groupXev{{N("Plant B"), N(""), {{Value("G1", "G2")}}}};
  Check(St::GroupModToSpecObject(group, groupXev, so), "GroupModToSpecObject");
  NlsGroupMod groupBack;
  DMX_Config::NlsXEffectivityValuesSeq groupXevBack;
  Check(St::GroupModFromSpecObject(so, groupBack, groupXevBack), "GroupModFromSpecObject");
  Section(
      "Group modification with its extended effectivity values",
      [&](int depth, bool back) { Print(depth, back ? groupBack : group, back ? groupXevBack : groupXev); }, so,
      groupBack == group && groupXevBack == groupXev);

  const NlsChange change{42,
                         N("attach"),
                         N("ATT"),
                         Bo("Gear box", "Part", {0x3f}),
                         Bo("Wing", "Assembly", {}),
                         {},
                         Bo("Variant 2", "ConfigView", {}),
                         Bo("Change 12", "Modification", {0x12}),
                         {}};
  Check(St::ChangeToSpecObject(change, so), "ChangeToSpecObject");
  NlsChange changeBack;
  Check(St::ChangeFromSpecObject(so, changeBack), "ChangeFromSpecObject");
  Section(
      "Change (its id is kept as a double)", [&](int depth, bool back) { Print(depth, back ? changeBack : change); },
      so, changeBack == change);

  NlsBasicEffectivity dates;
  dates.date_start = Day(2004, 3, 15);
  dates.date_end = Day(2006, 12, 31);
  dates.range_start = 1;
  dates.range_end = 2147483647;
  dates.mls_start = N("M1");
  dates.mls_end = N("M2");
  dates.se = {N("Plant A"), 2, N("Engine = V8 AND Colour = Red")};
  NlsBasicEffectivity ranks = dates;
  ranks.range_start = -5;
  ranks.range_end = 7;
  ranks.usr_start = N("alice");
  ranks.usr_end = N("bob");
  ranks.spec_end = N("S9");
  const _IDL_SEQUENCE_NlsDomainEffectivity domains{{{dates, ranks}, N("Plant A")}, {{}, N("Plant B")}};
  Check(St::DomainEffectivitySeqToSpecObjectList(domains, so), "DomainEffectivitySeqToSpecObjectList");
  _IDL_SEQUENCE_NlsDomainEffectivity domainsBack;
  Check(St::DomainEffectivitySeqFromSpecObjectList(so, domainsBack), "DomainEffectivitySeqFromSpecObjectList");
  Section(
      "Domain effectivities (basic effectivities with their spec expressions)",
      [&](int depth, bool back) { Print(depth, back ? domainsBack : domains); }, so, domainsBack == domains);

  return s_failures ? 1 : 0;
}

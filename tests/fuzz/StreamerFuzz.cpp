// The streamer's readers on spec-object trees built from the fuzz bytes: any startup of the shipped
// catalog at any place, attributes left unset, set, removed or replaced by one of another kind, and
// every FromSpecObject operation run on the result.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "KroCfgSOFactory.h"
#include "KroCfgStreamer.h"
#include "KroDmxTrace.h"
#include "KroSpecModeler.h"

namespace {

class NullBuffer final : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};
NullBuffer g_nullBuffer;
std::ostream g_nullStream(&g_nullBuffer);

KroIContainer_var g_container;
std::vector<KroISpecObject_var> g_startUps;  // the streamer's shapes and the date

constexpr TCKind kKinds[][2] = {{tk_long, tk_null},   {tk_double, tk_null},       {tk_boolean, tk_null},
                                {tk_string, tk_null}, {tk_specobject, tk_null},   {tk_list, tk_octet},
                                {tk_list, tk_long},   {tk_list, tk_double},       {tk_list, tk_string},
                                {tk_list, tk_specobject}};

class TreeBuilder {
 public:
  explicit TreeBuilder(FuzzedDataProvider& in) : m_in(in) {}

  KroISpecObject_var Build(int depth) {
    const KroISpecObject_var& startUp = g_startUps[m_in.ConsumeIntegralInRange<std::size_t>(0, g_startUps.size() - 1)];
    KroISpecObject_var so = KroISpecObject_var::Adopt(startUp->Instanciate("fuzz", g_container));
    std::unique_ptr<KroListValKroISpecAttribute_var> attributes(so->ListAttributes());
    for (int i = 1; attributes && i <= attributes->Size() && m_in.remaining_bytes(); ++i) {
      KroISpecAttribute_var attribute = (*attributes)[i];
      switch (m_in.ConsumeIntegralInRange(0, 3)) {
        case 0: break;  // unset
        case 1: Fill(so, attribute, depth); break;
        case 2: so->RemoveAttribute(attribute); break;
        default: {
          const KroUnicodeString name = attribute->GetName();
          so->RemoveAttribute(attribute);
          const auto& kind = kKinds[m_in.ConsumeIntegralInRange<std::size_t>(0, std::size(kKinds) - 1)];
          KroISpecAttribute_var other = KroISpecAttribute_var::Adopt(
              kind[1] == tk_null ? so->AddAttribute(name, kind[0]) : so->AddAttribute(name, kind[0], kind[1]));
          if (other) Fill(so, other, depth);
        }
      }
    }
    return so;
  }

 private:
  void Fill(const KroISpecObject_var& so, const KroISpecAttribute_var& attribute, int depth) {
    KroISpecAttrAccess_var access = so;
    KroISpecAttrKey_var key = attribute;
    const int count = attribute->GetKind() == tk_list ? m_in.ConsumeIntegralInRange(0, 4) : 1;
    for (int n = 0; n < count; ++n) {
      switch (attribute->GetKind() == tk_list ? attribute->GetElementKind() : attribute->GetKind()) {
        case tk_long: access->SetInteger(key, m_in.ConsumeIntegral<int>()); break;
        case tk_double: access->SetDouble(key, m_in.ConsumeFloatingPoint<double>()); break;
        case tk_boolean: access->SetBoolean(key, m_in.ConsumeBool()); break;
        case tk_string: access->SetString(key, KroUnicodeString(m_in.ConsumeRandomLengthString(24))); break;
        case tk_octet: {
          const std::string bytes = m_in.ConsumeRandomLengthString(20);
          access->SetOctets(key, SEQUENCE_octet(std::vector<unsigned char>(bytes.begin(), bytes.end())));
          break;
        }
        case tk_specobject:
          if (depth < 4 && m_in.ConsumeBool()) access->SetSpecObject(key, Build(depth + 1));
          break;
        default: break;
      }
    }
  }

  FuzzedDataProvider& m_in;
};

template <class Out>
void Read(HRESULT (*reader)(const KroISpecObject_var&, Out&), const KroISpecObject_var& in) {
  Out out{};
  reader(in, out);
}

void RunReader(int which, const KroISpecObject_var& in) {
  using S = KroCfgStreamer;
  switch (which) {
    case 0: Read<NlsBaseObject>(&S::BaseObjectFromSpecObject, in); break;
    case 1: Read<_IDL_SEQUENCE_NlsBaseObject>(&S::BaseObjectSeqFromSpecObjectList, in); break;
    case 2: Read<BaseObject>(&S::BaseObjectFromSpecObject, in); break;
    case 3: Read<KroTime>(&S::KroTimeFromSpecObject, in); break;
    case 4: Read<DMX_Config::NlsNormalValue>(&S::NormalValueFromSpecObject, in); break;
    case 5: Read<DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValue>(&S::NormalValueSeqFromSpecObjectList, in); break;
    case 6: Read<DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq>(&S::EffectivityValuesFromSpecObjectList, in); break;
    case 7: Read<DMX_Config::NlsXEffectivityValues>(&S::XEffectivityValuesFromSpecObject, in); break;
    case 8:
      Read<DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues>(&S::XEffectivityValuesSeqFromSpecObjectList, in);
      break;
    case 9: Read<NlsModification>(&S::ModificationFromSpecObject, in); break;
    case 10: Read<_IDL_SEQUENCE_NlsModification>(&S::ModificationSeqFromSpecObjectList, in); break;
    case 11: Read<NlsGroupMod>(&S::GroupModFromSpecObject, in); break;
    case 12: {
      NlsGroupMod out;
      DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues xev;
      S::GroupModFromSpecObject(in, out, xev);
      break;
    }
    case 13: Read<_IDL_SEQUENCE_NlsGroupMod>(&S::GroupModSeqFromSpecObjectList, in); break;
    case 14: Read<NlsChange>(&S::ChangeFromSpecObject, in); break;
    case 15: Read<_IDL_SEQUENCE_NlsChange>(&S::ChangeSeqFromSpecObjectList, in); break;
    case 16: Read<NlsSpecExpression>(&S::SpecExpressionFromSpecObject, in); break;
    case 17: Read<NlsBasicEffectivity>(&S::BasicEffectivityFromSpecObject, in); break;
    case 18: Read<_IDL_SEQUENCE_NlsBasicEffectivity>(&S::BasicEffectivitySeqFromSpecObjectList, in); break;
    case 19: Read<NlsDomainEffectivity>(&S::DomainEffectivityFromSpecObject, in); break;
    case 20: Read<_IDL_SEQUENCE_NlsDomainEffectivity>(&S::DomainEffectivitySeqFromSpecObjectList, in); break;
    default: Read<_IDL_SEQUENCE_NlsDomainEffectivitySeq>(&S::DomainEffectivitySeqSeqFromSpecObjectList, in); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("KroGraphicPath", KRO_SHIPPED_CATALOG_DIR, 1);
  if (FAILED(KroCfgSOFactory::getContainer(g_container)) || !g_container) std::abort();
  KroListValKroISpecObject_var startUps = g_container->ListStartUps();
  for (int i = 1; i <= startUps.Size(); ++i) {
    const std::string name = startUps[i]->GetName().str();
    if (name.rfind("Streamer", 0) == 0 || name == "CfgSODate") g_startUps.push_back(startUps[i]);
  }
  if (g_startUps.empty()) std::abort();
  KroDmxTrace::SetOutputOverride(&g_nullStream);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int reader = in.ConsumeIntegralInRange(0, 21);
  // Traces on for some inputs, so that their formatting runs too (into a stream that drops it all).
  if (in.ConsumeBool()) KroDmxTrace::Enable("ALL");
  const int before = g_container->CountObjects();
  {
    KroISpecObject_var tree = in.ConsumeBool() ? TreeBuilder(in).Build(0) : KroISpecObject_var();
    RunReader(reader, tree);
  }
  KroDmxTrace::DisableAll();
  // The container keeps what was instantiated: take it all out again.
  KroListValKroISpecObject_var objects = g_container->ListObjects();
  for (int i = objects.Size(); i > before; --i) g_container->RemoveObject(objects[i]);
  return 0;
}

// The text and value conversions: numbers, initial values given as text, octets and uuids, KroTime
// from six fields and back, NlsString and octet sequences of the server's types, and the values of
// the document format.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "DMX_ConfigServices.h"
#include "DMX_OrbixConvert.h"
#include "KroCfgUuid.h"
#include "KroDocumentFormat.h"
#include "KroSpecModeler.h"
#include "KroTime.h"
#include "NlsString.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "ConversionsFuzz: %s\n", what);
    std::abort();
  }
}

void Numbers(FuzzedDataProvider& in) {
  const KroUnicodeString text(in.ConsumeRemainingBytesAsString());
  int value = 0;
  if (text.ConvertToNum(value)) {
    int again = 0;
    Check(KroUnicodeString::BuildFromNum(value).ConvertToNum(again) && again == value, "integer text round trip");
  }
  KroUnicodeString::BuildFromNum(static_cast<double>(value));
}

// An attribute with an initial value given as text, read back through typed access.
void InitialValues(FuzzedDataProvider& in) {
  static const TCKind kinds[] = {tk_long, tk_double, tk_boolean, tk_string, tk_specobject, tk_list, tk_octet, tk_null};
  const TCKind kind = in.PickValueInArray(kinds);
  const std::string name = in.ConsumeRandomLengthString(16);
  const std::string text = in.ConsumeRemainingBytesAsString();
  KroIContainer_var container = KroIContainer_var::Adopt(new KroContainer("fuzz"));
  KroISpecObject_var startUp = KroISpecObject_var::Adopt(CreateStartUp("S", "S", "KroISpecObject", container, "", nullptr));
  KroISpecAttribute_var attribute = KroISpecAttribute_var::Adopt(startUp->AddAttribute(name, kind, text));
  if (!attribute) return;
  Check(!name.empty() && name.find('\0') == std::string::npos, "an attribute with an unusable name was added");
  KroISpecObject_var so = KroISpecObject_var::Adopt(startUp->Instanciate("", nullptr));
  KroISpecAttrAccess_var access = so;
  KroISpecAttrKey_var key = KroISpecAttrKey_var::Adopt(access->GetAttrKey(name.c_str()));
  Check(bool(key), "the new attribute has no key");
  access->GetInteger(key);
  access->GetDouble(key);
  access->GetString(key);
  std::unique_ptr<KroListValKroUnicodeString> strings(access->GetListString(key));
  std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key));
}

void OctetsAndUuids(FuzzedDataProvider& in) {
  const std::string bytes = in.ConsumeRemainingBytesAsString();
  SEQUENCE_octet octets(std::vector<unsigned char>(bytes.begin(), bytes.end()));
  const std::string hex = octets.ToHex();
  Check(hex.size() == bytes.size() * 2, "hex length");
  const std::string uuid = KroCfgUuid(octets).ToString();
  Check(bytes.size() != 16 || (uuid.size() == 36 && uuid[8] == '-'), "canonical uuid form");
  _IDL_SEQUENCE_octet idl = DMX_OrbixConvert::convertSEQOctToOrbixOctSeq(octets);
  Check(DMX_OrbixConvert::convertOrbixOctSeqToSEQOct(idl) == octets, "octet sequence round trip");
  KroILinkableObject_var bound;
  KroCfgUuid(octets).bindObject(bound);
}

void Times(FuzzedDataProvider& in) {
  int f[6];
  for (int& field : f) field = in.ConsumeIntegral<int>();
  const KroTime time(f[0], f[1], f[2], f[3], f[4], f[5]);
  time.ConvertToString(in.ConsumeRandomLengthString(64).c_str(), 0);
  time.GetYear();
  time.GetDay();
  std::tm tm{};
  const time_t t = time.Gettime_t();
  if (gmtime_r(&t, &tm)) {
    const DMX_OrbixTypes::DateCorba date = DMX_ConfigServices::ToDateCorba(time);
    Check(KroTime(date.year, date.month, date.day, date.hour, date.minute, date.second) == time,
          "DateCorba round trip");
  }
}

void Strings(FuzzedDataProvider& in) {
  const std::string bytes = in.ConsumeRemainingBytesAsString();
  NlsString nls{CORBA::String_mgr(bytes)};
  KroUnicodeString text;
  Check(KroCorbaNlsServices::convertCorbaStringToString(nls, &text) == S_OK, "NlsString to string");
  NlsString back;
  Check(KroCorbaNlsServices::convertStringToCorbaString(text, &back) == S_OK && back == nls, "NlsString round trip");
  Check(KroCorbaNlsServices::convertCorbaStringToString(nls, nullptr) == E_INVALIDARG, "null output");
}

// One value in the document format, of a chosen kind.
void DocumentValues(FuzzedDataProvider& in) {
  static const char* const kinds[] = {"integer",     "double",      "boolean",     "string",         "octets",
                                      "list integer", "list double", "list string", "list specobject", "specobject"};
  const std::string kind = in.PickValueInArray(kinds);
  const std::string value = in.ConsumeRemainingBytesAsString();
  const std::string text = "object 1 of \"S\"\n  attribute \"a\" " + kind + " = " + value + "\nend\n";
  KroDoc::Document doc;
  KroDoc::ParseError err;
  if (!KroDoc::Parse(text, "value.kro", doc, err)) return;
  const std::string written = KroDoc::Write(doc);
  KroDoc::Document again;
  Check(KroDoc::Parse(written, "again.kro", again, err) && KroDoc::Write(again) == written, "value round trip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: Numbers(in); break;
    case 1: InitialValues(in); break;
    case 2: OctetsAndUuids(in); break;
    case 3: Times(in); break;
    case 4: Strings(in); break;
    default: DocumentValues(in); break;
  }
  return 0;
}

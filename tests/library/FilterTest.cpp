// The filter wrapper: the record written from a live filter and bound back; the record after a null
// input, a failing input and a failing write; binding a uuid that is not a filter's.
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;

const char* const kAttributes[] = {"name", "domain", "uid", "mode", "mode150"};

KroICfgSOFilter_var NewRecord() {
  UseShippedCatalog();
  KroICfgSOFilter_var record;
  EXPECT_EQ(KroCfgSOFactory::createFilter(record), S_OK);
  return record;
}

std::vector<std::string> Filled(const KroISpecObject_var& so) {
  std::vector<std::string> out;
  for (const char* name : kAttributes) {
    boolean held = 0;
    KroCfgSOServices::TestAttribute(so, name, held);
    if (held) out.push_back(name);
  }
  return out;
}

KroICfgFilter_var SampleFilter() { return B::Filter({"F", "D", B::Context("ctx"), {}, 2, 1}); }

TEST(FilterTest, FilterIsRecordedAndBoundBack) {
  KroICfgSOFilter_var record = NewRecord();
  KroICfgFilter_var filter = SampleFilter();
  ASSERT_EQ(record->setFilter(filter), S_OK);

  KroISpecObject_var so = record;
  KroUnicodeString id, domain;
  int mode = 0;
  boolean mode150 = 0;
  SEQUENCE_octet uuid;
  KroCfgSOServices::GetStringValue(so, "name", id);
  KroCfgSOServices::GetStringValue(so, "domain", domain);
  KroCfgSOServices::GetIntegerValue(so, "mode", mode);
  KroCfgSOServices::GetBooleanValue(so, "mode150", mode150);
  KroCfgSOServices::GetByteArrayValue(so, "uid", uuid);
  EXPECT_EQ(id, "F");
  EXPECT_EQ(domain, "D");
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(mode150, 1);
  EXPECT_EQ(uuid, KroCfgUuid(KroILinkableObject_var(filter)).octets());

  KroICfgFilter_var bound;
  EXPECT_EQ(record->getFilter(bound), S_OK);
  EXPECT_EQ(bound.ptr(), filter.ptr());
}

TEST(FilterTest, NullOrFailingInputLeavesTheRecordEmpty) {
  KroICfgSOFilter_var record = NewRecord();
  KroISpecObject_var so = record;
  ASSERT_EQ(record->setFilter(SampleFilter()), S_OK);
  {
    TraceCapture capture({"CfgSO"});
    EXPECT_EQ(record->setFilter(nullptr), E_INVALIDARG);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"[KroCfgSOFilter::setFilter] The input argument is invalid.",
                                                         "[KroCfgSOFilter::setFilter] returns 0x80070057"}));
    EXPECT_TRUE(Filled(so).empty());
  }
  const std::pair<const char*, const char*> faults[] = {
      {"KroICfgFilter::getId", "Unable to get the filter ID."},
      {"KroICfgFilter::getDomainAndContext", "Unable to get the filter domain and configuration context."},
      {"KroICfgFilter::getMode", "Unable to get the filtering mode."},
      {"KroICfgFilter::getMode150", "Unable to get the filter 150% mode flag."},
      {"KroILinkableObject::GetUuid", "Unable to get the filter uuid."},
  };
  for (const auto& [fault, message] : faults) {
    SCOPED_TRACE(fault);
    ASSERT_EQ(record->setFilter(SampleFilter()), S_OK);
    KroICfgFilter_var filter = SampleFilter();
    KroCfgFaults::Set(fault, E_UNEXPECTED);
    TraceCapture capture({"CfgSO"});
    HRESULT hr = record->setFilter(filter);
    KroCfgFaults::Clear();
    EXPECT_EQ(hr, E_UNEXPECTED);
    EXPECT_TRUE(capture.has(std::string("[KroCfgSOFilter::setFilter] ") + message)) << capture.text();
    EXPECT_TRUE(Filled(so).empty());
  }
}

TEST(FilterTest, FailingWriteKeepsTheAttributesBeforeIt) {
  UseShippedCatalog();
  KroIContainer_var container;
  ASSERT_EQ(KroCfgSOFactory::getContainer(container), S_OK);
  // A filter spec object without the "mode" attribute.
  KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName("FilterTestNoMode"));
  if (!startup) {
    startup = KroISpecObject_var::Adopt(CreateStartUp("FilterTestNoMode", "CfgSOFilter", "KroISpecObject", container,
                                                      "", nullptr));
    struct Declared {
      const char* name;
      TCKind kind, element;
    };
    for (const Declared& d : {Declared{"name", tk_string, tk_null}, Declared{"domain", tk_string, tk_null},
                              Declared{"uid", tk_list, tk_octet}, Declared{"mode150", tk_boolean, tk_null}})
      KroISpecAttribute_var::Adopt(startup->AddAttribute(d.name, d.kind, d.element));
  }
  KroISpecObject_var so = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
  KroICfgSOFilter_var record = so;
  ASSERT_TRUE(record);
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(record->setFilter(SampleFilter()), E_FAIL);
  EXPECT_TRUE(capture.has("[KroCfgSOFilter::setFilter] Unable to set the filter mode attribute."));
  EXPECT_EQ(Filled(so), (std::vector<std::string>{"name", "domain", "uid"}));
}

TEST(FilterTest, GetFilterFailsUnlessTheUuidBindsToAFilter) {
  KroICfgSOFilter_var record = NewRecord();
  KroISpecObject_var so = record;
  KroICfgFilter_var out = SampleFilter();
  EXPECT_EQ(record->getFilter(out), KRO_E_UUID_INVALID);  // the empty uuid of a new record
  EXPECT_FALSE(out);

  {
    KroICfgFilter_var gone = SampleFilter();
    ASSERT_EQ(record->setFilter(gone), S_OK);
  }
  EXPECT_EQ(record->getFilter(out), KRO_E_UUID_NOT_BOUND);

  KroICfgModification_var modification = B::Modification("M", "", "");
  KroCfgSOServices::SetByteArrayValue(so, "uid", KroCfgUuid(KroILinkableObject_var(modification)).octets());
  TraceCapture capture({"CfgSO"});
  out = SampleFilter();
  EXPECT_EQ(record->getFilter(out), E_FAIL);
  EXPECT_FALSE(out);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{"[KroCfgSOFilter::getFilter] The object is not a KroICfgFilter ?!",
                                                       "[KroCfgSOFilter::getFilter] returns 0x80004005"}));
}

}  // namespace

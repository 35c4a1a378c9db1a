// The modification wrapper: the whole record written from a live modification, read back field by
// field and bound back by uuid; the record after a null input or a failing input; the shared keys.
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOModification.h"
#include "KroCfgSOServices.h"
#include "KroDocument.h"
#include "LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;

const char* const kAttributes[] = {"modName", "modUid", "modActName", "modEffStr", "modUnderAct"};

KroICfgSOModification_var NewRecord() {
  UseShippedCatalog();
  KroICfgSOModification_var record;
  EXPECT_EQ(KroCfgSOFactory::createModification(record), S_OK);
  return record;
}

// The attributes of the record that hold a value.
std::vector<std::string> Filled(const KroICfgSOModification_var& record) {
  KroISpecObject_var so = record;
  std::vector<std::string> out;
  for (const char* name : kAttributes) {
    boolean held = 0;
    KroCfgSOServices::TestAttribute(so, name, held);
    if (held) out.push_back(name);
  }
  return out;
}

KroUnicodeString StoredString(const KroICfgSOModification_var& record, const char* name) {
  KroUnicodeString value;
  KroCfgSOServices::GetStringValue(KroISpecObject_var(record), name, value);
  return value;
}

KroICfgModification_var GroupedModification() {
  return B::Modification("M1", "A", "B",
                         B::GroupMod({B::ActionSubscriber("X"), B::PlainSubscriber(), B::ActionSubscriber("Y")}));
}

TEST(ModificationTest, GroupedModificationIsRecordedAndBoundBack) {
  KroICfgSOModification_var record = NewRecord();
  KroICfgModification_var modification = GroupedModification();
  TraceCapture capture({"CfgSO"});
  ASSERT_EQ(record->setModification(modification), S_OK);
  EXPECT_EQ(capture.lines(), std::vector<std::string>{"[KroCfgSOModification::setModification] returns 0x00000000"});

  KroUnicodeString name, actions, effectivity;
  EXPECT_EQ(record->getName(name), S_OK);
  EXPECT_EQ(record->getActionName(actions), S_OK);
  EXPECT_EQ(record->getEffectivityString(effectivity), S_OK);
  EXPECT_EQ(name, "M1");
  EXPECT_EQ(actions, "XY");
  EXPECT_EQ(effectivity, "B (A)");  // second, then first in parentheses
  EXPECT_TRUE(capture.has("[KroCfgSOModification::getActionName] Action name extracted: XY"));
  EXPECT_EQ(record->isUnderAction(), S_OK);

  KroCfgUuid uuid;
  EXPECT_EQ(record->getUuid(uuid), S_OK);
  EXPECT_EQ(uuid, KroCfgUuid(KroILinkableObject_var(modification)));
  EXPECT_TRUE(capture.has("[KroCfgSOModification::getUuid] Modification uuid extracted: " + uuid.ToString()));
  KroICfgModification_var bound;
  EXPECT_EQ(record->getModification(bound), S_OK);
  EXPECT_EQ(bound.ptr(), modification.ptr());

  // The keys are shared, yet a second record keeps its own values and leaves the first alone.
  KroICfgSOModification_var other = NewRecord();
  ASSERT_EQ(other->setModification(B::Modification("M2", "", "")), S_OK);
  other->getName(name);
  EXPECT_EQ(name, "M2");
  EXPECT_EQ(StoredString(other, "modEffStr"), " ()");
  EXPECT_EQ(StoredString(other, "modActName"), "");
  EXPECT_EQ(other->isUnderAction(), S_FALSE);
  EXPECT_EQ(StoredString(record, "modName"), "M1");
  EXPECT_EQ(record->isUnderAction(), S_OK);
}

TEST(ModificationTest, NullInputAndEmptyRecord) {
  KroICfgSOModification_var record = NewRecord();
  ASSERT_EQ(record->setModification(GroupedModification()), S_OK);
  EXPECT_EQ(Filled(record).size(), 5u);

  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(record->setModification(nullptr), S_FALSE);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOModification::setModification] The Modification argument is null. Nothing "
                                 "to do and returning S_FALSE.",
                                 "[KroCfgSOModification::setModification] returns 0x00000001",
                             }));
  EXPECT_TRUE(Filled(record).empty());

  // Reads of the empty record succeed with empty values; the empty uuid does not bind.
  KroCfgUuid uuid(SEQUENCE_octet{1, 2});
  EXPECT_EQ(record->getUuid(uuid), S_OK);
  EXPECT_EQ(uuid.octets().length(), 0u);
  EXPECT_EQ(record->isUnderAction(), S_FALSE);
  KroICfgModification_var bound = GroupedModification();
  EXPECT_EQ(record->getModification(bound), KRO_E_UUID_INVALID);
  EXPECT_FALSE(bound);
  EXPECT_TRUE(capture.has("[KroCfgSOModification::getModification] Unable to bind the Modification Uuid."));

  // A uuid of a live object that is no modification: success with a null modification.
  KroICfgFilter_var filter = B::Filter({.id = "F"});
  KroISpecObject_var so = record;
  KroCfgSOServices::SetByteArrayValue(so, "modUid", KroCfgUuid(KroILinkableObject_var(filter)).octets());
  EXPECT_EQ(record->getModification(bound), S_OK);
  EXPECT_FALSE(bound);
}

TEST(ModificationTest, FailingInputStopsWithWhatWasWritten) {
  struct Case {
    const char* fault;
    int passFirst;
    std::vector<std::string> filled;
    const char* message;
  };
  const Case cases[] = {
      {"KroICfgModification::getEffectivityString", 0, {"modName", "modUid"},
       "Unable to get the Modification effectivity string."},
      {"KroICfgModification::getGroupMod", 0, {"modName", "modUid", "modEffStr"},
       "Unable to get the Modification GroupMod."},
      {"KroICfgGroupMod::getSubscribers", 0, {"modName", "modUid", "modEffStr", "modUnderAct"},
       "Unable to get the GroupMod subscriber list."},
  };
  KroICfgSOModification_var record = NewRecord();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    ASSERT_EQ(record->setModification(GroupedModification()), S_OK);  // a full record to start from
    KroCfgFaults::Set(c.fault, E_FAIL, c.passFirst);
    TraceCapture capture({"CfgSO"});
    EXPECT_EQ(record->setModification(GroupedModification()), E_FAIL);
    KroCfgFaults::Clear();
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   std::string("[KroCfgSOModification::setModification] ") + c.message,
                                   "[KroCfgSOModification::setModification] returns 0x80004005",
                               }));
    EXPECT_EQ(Filled(record), c.filled);
  }

  // Results that are not consulted: an unreadable name or uuid is stored empty, an unreadable action
  // name adds nothing.
  KroCfgFaults::Set("KroICfgModification::getName", E_FAIL);
  KroCfgFaults::Set("KroILinkableObject::GetUuid", E_FAIL);
  KroCfgFaults::Set("QuorINamedObject::getName", E_FAIL, 1);
  EXPECT_EQ(record->setModification(GroupedModification()), S_OK);
  KroCfgFaults::Clear();
  KroCfgUuid uuid;
  record->getUuid(uuid);
  EXPECT_EQ(uuid.octets().length(), 0u);
  EXPECT_EQ(StoredString(record, "modName"), "");
  EXPECT_EQ(StoredString(record, "modActName"), "X");
  EXPECT_EQ(record->isUnderAction(), S_OK);
}

TEST(ModificationTest, KeysComeFromAFullRecordOrNotAtAll) {
  InFreshProcess([] {
    UseShippedCatalog();
    KroIContainer_var container;
    KroCfgSOFactory::getContainer(container);
    // A modification spec object that has only one of the five attributes.
    KroISpecObject_var startup = KroISpecObject_var::Adopt(
        CreateStartUp("ModificationTestPartial", "CfgSOModification", "KroISpecObject", container, "", nullptr));
    KroISpecAttribute_var added = KroISpecAttribute_var::Adopt(startup->AddAttribute("modName", tk_string));
    KroISpecObject_var partial = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
    KroICfgSOModification_var bare = partial;
    if (!bare) return std::string("no modification interface");

    for (const KroISpecObject_var& so : {partial, KroISpecObject_var()}) {
      try {
        KroCfgSOModification::initKeys(so);
        return std::string("initKeys accepted an incomplete spec object");
      } catch (const KroNullVarError&) {
      }
    }
    try {
      KroUnicodeString name;
      bare->getName(name);
      return std::string("getName ran without keys");
    } catch (const KroNullVarError&) {
    }
    // Nothing was kept: the first full record sets the keys and works.
    KroICfgSOModification_var record;
    KroCfgSOFactory::createModification(record);
    if (record->setModification(GroupedModification()) != S_OK) return std::string("setModification failed");
    KroUnicodeString actions;
    record->getActionName(actions);
    return actions == "XY" ? std::string() : "action names read " + actions.str();
  });
}

// The five class-wide keys come from whichever record is used first; every other record, from the
// factory, from a document (open or closed since) or from a startup of another layout, reads and writes
// through them by name.
std::string RecordsOfEveryOriginShareTheKeys(const std::string& order) {
  UseShippedCatalog();
  const std::string file = ::testing::TempDir() + "modification-keys-" + std::to_string(getpid()) + ".kro";
  const std::string make = kro_test::CfgsoTool() + " demo --save " + file + " >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) return "cfgso demo --save failed";
  KroIContainer_var container;
  KroCfgSOFactory::getContainer(container);

  auto fromDocument = [&](bool close) -> std::string {
    KroDocument* document = nullptr;
    if (FAILED(KroDocumentServices::Open(file.c_str(), document))) return "cannot open " + file;
    KroICfgSOModification_var record;
    KroIContainer_var opened = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    for (const KroISpecObject_var& so : opened->ListObjects())
      if (so->GetLateType() == "CfgSOModification") record = so;
    if (!record) return "no modification in " + file;
    KroUnicodeString name, effectivity;
    if (record->getName(name) != S_OK || name != "MOD-042") return "document record's name read " + name.str();
    record->getEffectivityString(effectivity);
    if (effectivity != "Serial 120 (2004-03-15)") return "document record's effectivity read " + effectivity.str();
    if (record->isUnderAction() != S_OK) return "document record not under action";
    if (close) KroDocumentServices::Close(document);
    return {};
  };
  auto written = [](KroICfgSOModification_var record, const char* what) -> std::string {
    if (!record) return std::string("no ") + what + " record";
    if (record->setModification(B::Modification("M-2", "A", "B", nullptr)) != S_OK) return std::string(what) + " set failed";
    KroUnicodeString name, stored;
    record->getName(name);
    KroCfgSOServices::GetStringValue(KroISpecObject_var(record), "modName", stored);
    if (name != "M-2" || stored != "M-2") return std::string(what) + " record's name read " + name.str() + "/" + stored.str();
    return record->isUnderAction() == S_FALSE ? std::string() : std::string(what) + " record under action";
  };
  auto fromFactory = [&]() {
    KroICfgSOModification_var record;
    KroCfgSOFactory::createModification(record);
    return written(record, "factory");
  };
  auto fromDerived = [&]() {
    // Another layout: an extra attribute first, and the five in another order.
    KroISpecObject_var startUp = KroISpecObject_var::Adopt(
        CreateStartUp("DerivedModification", "CfgSOModification", "KroISpecObject", container, "", nullptr));
    if (!startUp) startUp = KroISpecObject_var::Adopt(container->FindStartUpByName("DerivedModification"));
    else
      for (const char* name : {"extra", "modUnderAct", "modEffStr", "modActName", "modName"})
        KroISpecAttribute_var::Adopt(startUp->AddAttribute(name, std::string(name) == "modUnderAct" ? tk_boolean : tk_string));
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("modUid", tk_list, tk_octet));
    return written(KroISpecObject_var::Adopt(startUp->Instanciate("", nullptr)), "derived");
  };
  for (char step : order) {
    std::string problem = step == 'd' ? fromDocument(false) : step == 'c' ? fromDocument(true)
                          : step == 'f' ? fromFactory() : fromDerived();
    if (!problem.empty()) return std::string(1, step) + ": " + problem;
  }
  std::remove(file.c_str());
  return {};
}

TEST(ModificationTest, RecordsOfEveryOriginShareTheKeysInAnyOrder) {
  // d: a document's record (its document left open), c: the same with the document closed after,
  // f: a factory record, x: a record of a derived startup.
  for (const char* order : {"dfx", "cfxc", "xcf", "fdx"}) {
    SCOPED_TRACE(order);
    InFreshProcess([order] { return RecordsOfEveryOriginShareTheKeys(order); });
  }
}

}  // namespace

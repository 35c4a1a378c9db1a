// What the library puts into the factory's container: in the store mode everything made stays until
// removed (and is saved with the container); in the transient mode released wrappers, dropped streamed
// trees and nested objects replaced by a later write are reclaimed.
#include <gtest/gtest.h>

#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgStreamer.h"
#include "KroContainer.h"
#include "KroDocument.h"
#include "LibraryTestSupport.h"

namespace {

_IDL_SEQUENCE_NlsBaseObject Records(int count, const std::string& prefix) {
  _IDL_SEQUENCE_NlsBaseObject seq;
  seq.length(static_cast<CORBA::ULong>(count));
  for (int i = 0; i < count; ++i) {
    NlsBaseObject& bo = seq[static_cast<CORBA::ULong>(i)];
    bo.name.text = prefix + std::to_string(i);
    bo.type.text = "Part";
    bo.uid.length(16);
    for (CORBA::ULong k = 0; k < 16; ++k) bo.uid[k] = static_cast<CORBA::Octet>(i + k);
  }
  return seq;
}

// The factory's container in one mode for the length of a test.
class FactoryMode {
 public:
  explicit FactoryMode(boolean transient) {
    UseShippedCatalog();
    EXPECT_EQ(KroCfgSOFactory::getContainer(m_container), S_OK);
    m_was = m_container->IsTransient();
    m_container->SetTransient(transient);
  }
  ~FactoryMode() { m_container->SetTransient(m_was); }
  const KroIContainer_var& container() const { return m_container; }

 private:
  KroIContainer_var m_container;
  boolean m_was = 0;
};

TEST(LifetimeTest, StoreModeSavesWhatWasMadeAfterManyDroppedObjects) {
  FactoryMode mode(0);
  const KroIContainer_var& container = mode.container();
  KroContainer& modeler = *container->GetModelerContainer();
  modeler.setCollectionFloor(64);  // collections run often, whatever KRO_GC_FLOOR says
  {
    // What is made once per process (meta objects, ties) comes before the starting point.
    KroICfgSOContext_var context;
    KroCfgSOFactory::createContext(context);
    KroICfgSOUuidList_var list;
    KroCfgSOFactory::createUuidList(list);
    KroISpecObject_var tree;
    KroCfgStreamer::BaseObjectSeqToSpecObjectList(Records(8, "r"), tree);
    KroDocumentServices::Save(container, (::testing::TempDir() + "lifetime-warm-up.kro").c_str());
    int removed = 0;
    for (const KroISpecObject_var& root : {KroISpecObject_var(context), KroISpecObject_var(list), tree})
      EXPECT_EQ(container->RemoveTree(root, removed), S_OK);
  }
  const int before = container->CountObjects();
  const long live = KroBaseUnknown::LiveObjects();
  for (int i = 0; i < 1000; ++i) {
    KroICfgSOContext_var dropped;
    ASSERT_EQ(KroCfgSOFactory::createContext(dropped), S_OK);
    KroISpecObject_var tree;
    KroCfgStreamer::BaseObjectSeqToSpecObjectList(Records(8, "r"), tree);
  }
  {
    KroICfgSOContext_var context;
    ASSERT_EQ(KroCfgSOFactory::createContext(context), S_OK);
    context->setName("made, named and dropped");
  }
  for (int i = 0; i < 100; ++i) {
    KroICfgSOUuidList_var list;
    KroCfgSOFactory::createUuidList(list);
  }
  modeler.setCollectionFloor(KroContainer::DefaultCollectionFloor());
  EXPECT_EQ(container->CountObjects(), before + 1000 * 10 + 1 + 100) << "each streamed list: a list and 8 records";

  const std::string file = ::testing::TempDir() + "lifetime-store.kro";
  ASSERT_EQ(KroDocumentServices::Save(container, file.c_str()), S_OK);
  KroDocument* document = nullptr;
  ASSERT_EQ(KroDocumentServices::Open(file.c_str(), document), S_OK);
  int found = 0;
  KroIContainer_var reopened = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
  for (const KroISpecObject_var& so : reopened->ListObjects()) {
    KroICfgSOContext_var context = so;
    KroUnicodeString name;
    if (context && context->getName(name) == S_OK && name == "made, named and dropped") ++found;
  }
  EXPECT_EQ(found, 1);
  reopened = nullptr;
  KroDocumentServices::Close(document);
  std::remove(file.c_str());

  // Taking each record's tree off the list frees it.
  int removed = 0, total = 0;
  KroListValKroISpecObject_var listed = container->ListObjects();
  for (int i = before + 1; i <= listed.Size(); ++i)
    if (container->RemoveTree(listed[i], removed) == S_OK) total += removed;
  listed.RemoveAll();
  EXPECT_EQ(total, 1000 * 10 + 1 + 100);
  EXPECT_EQ(container->CountObjects(), before);
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), live);
}

// A record made through a wrapper keeps nothing of the wrapper once its handles are dropped: no tie, no
// implementation object; a new handle finds its values.
TEST(LifetimeTest, ARecordWhoseHandlesWereDroppedIsItsSpecObjectAlone) {
  FactoryMode mode(0);
  const KroIContainer_var& container = mode.container();
  {
    KroICfgSOContext_var first;  // what the first wrapper of a kind makes once per process
    ASSERT_EQ(KroCfgSOFactory::createContext(first), S_OK);
    first->setName("first");
    first->setType("t");
    int removed = 0;
    container->RemoveTree(KroISpecObject_var(first), removed);
  }
  const int before = container->CountObjects();
  const long live = KroBaseUnknown::LiveObjects();
  for (int i = 0; i < 100; ++i) {
    KroICfgSOContext_var context;
    ASSERT_EQ(KroCfgSOFactory::createContext(context), S_OK);
    ASSERT_EQ(context->setName("ctx-" + std::to_string(i)), S_OK);
    ASSERT_EQ(context->setType("t"), S_OK);
  }
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), live + 100) << "one component per record";
  KroListValKroISpecObject_var listed = container->ListObjects();
  ASSERT_EQ(listed.Size(), before + 100);
  KroICfgSOContext_var again = listed[before + 7];
  KroUnicodeString name;
  ASSERT_EQ(again->getName(name), S_OK);
  EXPECT_EQ(name, "ctx-6");
  again = nullptr;
  int removed = 0;
  for (int i = before + 1; i <= listed.Size(); ++i) container->RemoveTree(listed[i], removed);
  listed.RemoveAll();
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), live);
}

TEST(LifetimeTest, TransientModeKeepsHeldWrappersAndTreesAndReclaimsTheRest) {
  FactoryMode mode(1);
  const KroIContainer_var& container = mode.container();
  container->Collect();
  const int before = container->CountObjects();

  KroICfgSOContext_var kept;
  ASSERT_EQ(KroCfgSOFactory::createContext(kept), S_OK);
  kept->setName("kept");
  for (int i = 0; i < 100; ++i) {
    KroICfgSOContext_var dropped;
    KroCfgSOFactory::createContext(dropped);
    dropped->setName("dropped");
  }

  // Each write of an interval replaces the nested objects of the previous one.
  KroICfgManager_var manager = KroCfgSOServices::GetCfgManager();
  KroICfgInterval_var model;
  ASSERT_EQ(manager->createDateInterval(KroTime(2020, 1, 1, 0, 0, 0), KroTime(2021, 1, 1, 0, 0, 0), model), S_OK);
  KroICfgSOIntervalDate_var interval;
  ASSERT_EQ(KroCfgSOFactory::createIntervalDate(interval), S_OK);
  ASSERT_EQ(interval->setInterval(model), S_OK);
  container->Collect();
  const int withOneInterval = container->CountObjects();
  for (int i = 0; i < 50; ++i) interval->setInterval(model);

  const _IDL_SEQUENCE_NlsBaseObject records = Records(10, "held-");
  KroISpecObject_var heldTree;
  ASSERT_EQ(KroCfgStreamer::BaseObjectSeqToSpecObjectList(records, heldTree), S_OK);
  for (int i = 0; i < 20; ++i) {
    KroISpecObject_var droppedTree;
    KroCfgStreamer::BaseObjectSeqToSpecObjectList(Records(10, "dropped-"), droppedTree);
  }

  EXPECT_GT(container->Collect(), 0);
  EXPECT_EQ(container->CountObjects(), withOneInterval + 11) << "the held tree: a list and its ten children";
  KroUnicodeString name;
  EXPECT_EQ(kept->getName(name), S_OK);
  EXPECT_EQ(name, "kept");
  _IDL_SEQUENCE_NlsBaseObject back;
  ASSERT_EQ(KroCfgStreamer::BaseObjectSeqFromSpecObjectList(heldTree, back), S_OK);
  EXPECT_EQ(back, records);

  kept = nullptr;
  interval = nullptr;
  heldTree = nullptr;
  container->Collect();
  EXPECT_EQ(container->CountObjects(), before);
}

}  // namespace

// What the library puts into the factory's container lives exactly as long as something holds it:
// released wrappers, dropped streamed trees and nested objects replaced by a later write are reclaimed.
#include <gtest/gtest.h>

#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgStreamer.h"
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

TEST(LifetimeTest, HeldWrappersAndTreesStayWhileTheRestIsReclaimed) {
  UseShippedCatalog();
  KroIContainer_var container;
  ASSERT_EQ(KroCfgSOFactory::getContainer(container), S_OK);
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

// The frame every wrapper shares: each implementation class's meta object derives from the base
// component's, names the class, its late type and the framework; the abstract wrapper bases have none.
#include "KroCfgSOBasicEffectivity.h"
#include "KroCfgSOContext.h"
#include "KroCfgSODate.h"
#include "KroCfgSOEffectivity.h"
#include "KroCfgSOFilter.h"
#include "KroCfgSOIntervalDate.h"
#include "KroCfgSOIntervalRange.h"
#include "KroCfgSOMilestoneDate.h"
#include "KroCfgSOMilestoneRange.h"
#include "KroCfgSOModification.h"
#include "KroCfgSOSpecExpression.h"
#include "KroCfgSOSpecification.h"
#include "KroCfgSOUuidList.h"
#include "KroCfgSOVariabilitySpace.h"
#include "LibraryTestSupport.h"
#include "QuorCfgDispatchContainer.h"

namespace {

struct ImplementationClass {
  KroMetaClass* meta;
  const char* name;
  const char* lateType;
};

#define KRO_CLASS(Class, lateType) {Class::MetaObject(), #Class, lateType}

TEST(ExtensionFrameTest, EveryImplementationClassDerivesFromTheBaseComponentDirectly) {
  const ImplementationClass classes[] = {
      KRO_CLASS(KroCfgSOBasicEffectivity, "CfgSOBasicEffectivity"),
      KRO_CLASS(KroCfgSOContext, "CfgSOContext"),
      KRO_CLASS(KroCfgSODate, "CfgSODate"),
      KRO_CLASS(KroCfgSOEffectivity, "CfgSOEffectivity"),
      KRO_CLASS(KroCfgSOFilter, "CfgSOFilter"),
      KRO_CLASS(KroCfgSOIntervalDate, "CfgSOIntervalDates"),
      KRO_CLASS(KroCfgSOIntervalRange, "CfgSOIntervalRanges"),
      KRO_CLASS(KroCfgSOMilestoneDate, "CfgSOMilestoneDate"),
      KRO_CLASS(KroCfgSOMilestoneRange, "CfgSOMilestoneRange"),
      KRO_CLASS(KroCfgSOModification, "CfgSOModification"),
      KRO_CLASS(KroCfgSOSpecExpression, "CfgSOSpecExpression"),
      KRO_CLASS(KroCfgSOSpecification, "CfgSOSpecification"),
      KRO_CLASS(KroCfgSOUuidList, "CfgSOUuidList"),
      KRO_CLASS(KroCfgSOVariabilitySpace, "CfgSOVariabilitySpace"),
      KRO_CLASS(QuorCfgDispatchContainer, "CfgDispatchContainer"),
  };
  for (const ImplementationClass& c : classes) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(c.meta->ClassName(), c.name);
    EXPECT_EQ(c.meta->GetBase(), KroBaseUnknown::MetaObject());
    EXPECT_STREQ(c.meta->GetLateType(), c.lateType);
    EXPECT_STREQ(c.meta->GetFramework(), "DMXCfgIDLInterfaces");
    EXPECT_EQ(c.meta->GetTypeOfClass(), 2);
  }
}

TEST(ExtensionFrameTest, AbstractWrapperBasesHaveNoLateTypeOfTheirOwn) {
  const long liveAtStart = KroBaseUnknown::LiveObjects();
  for (KroBaseUnknown* implementation :
       {KroCfgSOIntervalDate::CreateItself(), KroCfgSOIntervalRange::CreateItself(),
        KroCfgSOMilestoneDate::CreateItself(), KroCfgSOMilestoneRange::CreateItself()}) {
    ASSERT_NE(implementation, nullptr);
    SCOPED_TRACE(implementation->IsA());
    EXPECT_TRUE(implementation->IsAKindOf(implementation->IsA()));
    EXPECT_TRUE(implementation->IsAKindOf("KroBaseUnknown"));
    EXPECT_FALSE(implementation->IsAKindOf("KroCfgSOInterval"));
    EXPECT_FALSE(implementation->IsAKindOf("KroCfgSOMilestone"));
    implementation->Release();
  }
  EXPECT_EQ(KroFindMetaObject("KroCfgSOInterval"), nullptr);
  EXPECT_EQ(KroFindMetaObject("KroCfgSOMilestone"), nullptr);
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), liveAtStart);
}

}  // namespace

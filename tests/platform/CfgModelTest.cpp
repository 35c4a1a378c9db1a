#include <gtest/gtest.h>

#include "DMXSession.h"
#include "KroCfgModelBuilder.h"
#include "KroCfgFaults.h"

namespace B = KroCfgModelBuilder;

namespace {

class CfgModelTest : public ::testing::Test {
 protected:
  void TearDown() override {
    KroCfgFaults::Clear();
    KroCfgManager::ClearErrors();
    m_manager = nullptr;
    EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_liveAtStart);
    EXPECT_EQ(KroCfgUuid::RegisteredCount(), m_uuidsAtStart);
  }
  // Made first: the session's manager lives for the whole process.
  KroICfgManager_var m_manager = KroICfgInit::GetCfgManager();
  long m_liveAtStart = KroBaseUnknown::LiveObjects();
  long m_uuidsAtStart = KroCfgUuid::RegisteredCount();
};

KroUnicodeString Name(QuorINamedObject_var named) {
  KroUnicodeString name;
  named->getName(name);
  return name;
}

TEST_F(CfgModelTest, BuiltSpecificationsAndModificationsGiveBackTheirValues) {
  auto spec = B::Specification({"S1", "first spec", "s-one", "A & !B", "Colour", "paint colours"});
  KroUnicodeString name, description, alias, condition;
  EXPECT_EQ(spec->getName(name) | spec->getDescription(description) | spec->getAlias(alias) |
                spec->getConditionString(condition),
            S_OK);
  EXPECT_EQ(name + "|" + description + "|" + alias + "|" + condition, "S1|first spec|s-one|A & !B");
  KroICfgSpecCategory_var category;
  ASSERT_EQ(spec->getCategory(category), S_OK);
  category->getName(name);
  category->getDescription(description);
  EXPECT_EQ(name + "|" + description, "Colour|paint colours");
  auto bare = B::Specification({.name = "S2", .withCategory = false});
  EXPECT_EQ(bare->getCategory(category), S_OK);
  EXPECT_FALSE(category);

  auto group = B::GroupMod({B::ActionSubscriber("X"), B::PlainSubscriber(), B::ActionSubscriber("Y")});
  auto modification = B::Modification("M1", "first", "second", group);
  KroUnicodeString first, second;
  modification->getName(name);
  modification->getEffectivityString(first, second);
  EXPECT_EQ(name + "|" + first + "|" + second, "M1|first|second");
  KroICfgGroupMod_var gotGroup;
  ASSERT_EQ(modification->getGroupMod(gotGroup), S_OK);
  EXPECT_EQ(gotGroup.ptr(), group.ptr());
  KroListValQuorISubScribeGroupMod_var subscribers{B::PlainSubscriber()};  // replaced, not appended to
  ASSERT_EQ(group->getSubscribers(subscribers), S_OK);
  ASSERT_EQ(subscribers.Size(), 3);
  EXPECT_TRUE(KroIDmxAFLAction_var(subscribers[1]));
  EXPECT_EQ(Name(subscribers[1]), "X");
  EXPECT_FALSE(KroIDmxAFLAction_var(subscribers[2]));
  EXPECT_FALSE(QuorINamedObject_var(subscribers[2]));
  EXPECT_EQ(Name(subscribers[3]), "Y");
  EXPECT_THROW(subscribers[0], std::out_of_range);

  EXPECT_EQ(B::Modification("M2", "", "")->getGroupMod(gotGroup), S_OK);
  EXPECT_FALSE(gotGroup);
}

TEST_F(CfgModelTest, BuiltIntervalsMilestonesAndValuesGiveBackTheirValues) {
  const KroTime d1(2004, 3, 15, 0, 0, 0), d2(2005, 1, 1, 0, 0, 0);
  KroTime start, end;
  int low = 0, high = 0;
  auto dates = B::DateInterval(d1, d2);
  EXPECT_EQ(dates->getType(), KroICfgInterval::Date);
  EXPECT_EQ(dates->getDateBounds(start, end), S_OK);
  EXPECT_TRUE(start == d1 && end == d2);
  EXPECT_EQ(dates->getRangeBounds(low, high), E_FAIL);
  EXPECT_EQ(B::InfiniteDateInterval(d1)->getDateBounds(start, end), S_OK);
  EXPECT_LE(end.Gettime_t(), 0);

  auto ranks = B::RangeInterval(3, 7);
  EXPECT_EQ(ranks->getType(), KroICfgInterval::Range);
  EXPECT_EQ(ranks->getRangeBounds(low, high), S_OK);
  EXPECT_EQ(low * 10 + high, 37);
  EXPECT_EQ(ranks->getDateBounds(start, end), E_FAIL);
  B::InfiniteRangeInterval(5)->getRangeBounds(low, high);
  EXPECT_EQ(low, 5);
  EXPECT_LT(high, 0);
  EXPECT_EQ(B::IntervalOfKind(3)->getType(), 3);

  KroICfgValue_var value;
  ASSERT_EQ(B::DateMilestone("M1", d1)->getValue(value), S_OK);
  EXPECT_EQ(value->getType(), KroICfgValue::Date);
  EXPECT_EQ(value->getDateValue(start), S_OK);
  EXPECT_EQ(start, d1);
  EXPECT_EQ(value->getRangeValue(low), E_FAIL);
  auto rank = B::RangeMilestone("R", 42);
  KroUnicodeString name;
  rank->getName(name);
  rank->getValue(value);
  EXPECT_EQ(value->getType(), KroICfgValue::Range);
  EXPECT_EQ(value->getRangeValue(low), S_OK);
  EXPECT_EQ(name + ":" + KroUnicodeString::BuildFromNum(low), "R:42");
}

TEST_F(CfgModelTest, BuiltFiltersAndNormalValuesGiveBackTheirValues) {
  auto condition = B::Specification({.name = "C", .condition = "C1 | C2"});
  auto modification = B::Modification("M", "a", "b");
  auto dates = B::DateInterval(KroTime(100), KroTime(200));
  auto full = B::NormalValue({dates, B::RangeInterval(1, 9), condition, modification, "Start", "End"});
  auto sparse = B::NormalValue({.startMilestone = "S"});

  KroICfgInterval_var date, range;
  KroICfgSimpleSpecification_var gotCondition;
  KroICfgModification_var gotModification;
  ASSERT_EQ(full->getValues(date, range, gotCondition, gotModification), S_OK);
  EXPECT_EQ(date.ptr(), dates.ptr());
  EXPECT_EQ(range->getType(), KroICfgInterval::Range);
  EXPECT_EQ(gotCondition.ptr(), condition.ptr());
  EXPECT_EQ(gotModification.ptr(), modification.ptr());
  KroUnicodeString startName, endName;
  full->getStartMilestoneName(startName);
  full->getEndMilestoneName(endName);
  EXPECT_EQ(startName + "-" + endName, "Start-End");
  // An absent interval is still a handle, of neither kind.
  ASSERT_EQ(sparse->getValues(date, range, gotCondition, gotModification), S_OK);
  ASSERT_TRUE(date && range);
  EXPECT_EQ(date->getType(), 0);
  EXPECT_EQ(range->getType(), 0);
  EXPECT_FALSE(gotCondition || gotModification);

  auto filter = B::Filter({"F", "D", B::Context("ctx"), {full, sparse}, 2, 1});
  KroUnicodeString id, domain, contextName;
  KroICfgContext_var context;
  KroListValKroICfgNormalValue_var values;
  int mode = 0;
  boolean mode150 = 0;
  EXPECT_EQ(filter->getId(id) | filter->getDomainAndContext(context, domain, values) | filter->getMode(mode) |
                filter->getMode150(mode150),
            S_OK);
  context->getName(contextName);
  EXPECT_EQ(id + "|" + domain + "|" + contextName, "F|D|ctx");
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(mode150, 1);
  ASSERT_EQ(values.Size(), 2);
  EXPECT_EQ(values[1].ptr(), full.ptr());
  EXPECT_EQ(values[2].ptr(), sparse.ptr());
}

TEST_F(CfgModelTest, ManagerMakesEmptyObjectsThatFillInOrder) {
  KroICfgInterval_var interval;
  KroTime start, end;
  int low = 0, high = 0;
  ASSERT_EQ(m_manager->createDateInterval(KroTime(10), KroTime(20), interval), S_OK);
  interval->getDateBounds(start, end);
  EXPECT_EQ(start.Gettime_t() + end.Gettime_t(), 30);
  ASSERT_EQ(m_manager->createInfiniteDateInterval(KroTime(10), interval), S_OK);
  EXPECT_EQ(interval->getType(), KroICfgInterval::Date);
  interval->getDateBounds(start, end);
  EXPECT_LE(end.Gettime_t(), 0);
  ASSERT_EQ(m_manager->createRangeInterval(4, -1, interval), S_OK);
  EXPECT_EQ(interval->getRangeBounds(low, high), S_OK);
  EXPECT_EQ(low, 4);
  EXPECT_EQ(high, -1);

  KroICfgSpecANDExpression_var expression;
  ASSERT_EQ(m_manager->createSpecANDExpression(expression), S_OK);
  KroListValKroICfgSignedSpec_var terms;
  expression->getSignedSpecs(terms);
  EXPECT_EQ(terms.Size(), 0);
  for (int sign : {-1, 7}) {
    KroICfgSignedSpec_var term;
    ASSERT_EQ(m_manager->createSignedSpec(term), S_OK);
    EXPECT_EQ(term->getSign(), KroICfgSignedSpec::Positive);
    term->setSign(sign);
    term->setSpecification(B::Specification({.name = KroUnicodeString::BuildFromNum(sign)}));
    EXPECT_EQ(expression->addSignedSpec(term), S_OK);
  }
  EXPECT_EQ(expression->addSignedSpec(nullptr), E_INVALIDARG);
  expression->getSignedSpecs(terms);
  ASSERT_EQ(terms.Size(), 2);
  KroICfgSimpleSpecification_var spec;
  terms[2]->getSpecification(spec);
  KroUnicodeString name;
  spec->getName(name);
  EXPECT_EQ(terms[1]->getSign(), -1);
  EXPECT_EQ(name, "7");

  KroICfgBasicEffectivity_var basic;
  ASSERT_EQ(m_manager->createBasicEffectivity(basic), S_OK);
  KroListValKroICfgInterval_var intervals;
  KroICfgSpecANDExpression_var gotExpression;
  basic->getIntervals(intervals);
  basic->getSpecExpression(gotExpression);
  EXPECT_EQ(intervals.Size(), 0);
  EXPECT_FALSE(gotExpression);
  EXPECT_EQ(basic->setInterval(nullptr), E_INVALIDARG);
  basic->setInterval(interval);
  basic->setInterval(B::DateInterval(KroTime(1), KroTime(2)));
  basic->setSpecExpression(expression);
  basic->getIntervals(intervals);
  basic->getSpecExpression(gotExpression);
  ASSERT_EQ(intervals.Size(), 2);
  EXPECT_EQ(intervals[1].ptr(), interval.ptr());
  EXPECT_EQ(gotExpression.ptr(), expression.ptr());

  KroICfgXEff_var xeff;
  KroICfgEffectivity_var effectivity;
  ASSERT_EQ(m_manager->createXEff("D", xeff), S_OK);
  ASSERT_EQ(m_manager->createEffectivity(effectivity), S_OK);
  KroUnicodeString domain;
  KroListValKroICfgBasicEffectivity_var basics;
  xeff->getDomain(domain);
  xeff->getBasicEffectivities(basics);
  EXPECT_EQ(domain, "D");
  EXPECT_EQ(basics.Size(), 0);
  auto other = B::BasicEffectivity({});
  effectivity->addBasicEffectivity(basic);
  effectivity->addBasicEffectivity(other);
  EXPECT_EQ(effectivity->addBasicEffectivity(nullptr), E_INVALIDARG);
  EXPECT_EQ(xeff->setEffectivity(effectivity, KroICfgXEff::Replace), S_OK);
  EXPECT_EQ(xeff->setEffectivity(effectivity, KroICfgXEff::Add), S_OK);
  EXPECT_EQ(xeff->setEffectivity(effectivity, 5), E_INVALIDARG);
  EXPECT_EQ(xeff->setEffectivity(nullptr, KroICfgXEff::Replace), E_INVALIDARG);
  xeff->getBasicEffectivities(basics);
  ASSERT_EQ(basics.Size(), 4);
  EXPECT_EQ(basics[1].ptr(), basic.ptr());
  EXPECT_EQ(basics[4].ptr(), other.ptr());
  EXPECT_EQ(xeff->setEffectivity(B::Effectivity({other}), KroICfgXEff::Replace), S_OK);
  xeff->getBasicEffectivities(basics);
  ASSERT_EQ(basics.Size(), 1);
  EXPECT_EQ(basics[1].ptr(), other.ptr());
}

TEST_F(CfgModelTest, UuidsBindLiveObjectsOnly) {
  auto spec = B::Specification({.name = "S"});
  auto modification = B::Modification("M", "", "");
  auto filter = B::Filter({.id = "F"});
  KroCfgUuid specUuid{KroILinkableObject_var(spec)}, modUuid{KroILinkableObject_var(modification)},
      filterUuid{KroILinkableObject_var(filter)};
  EXPECT_FALSE(specUuid == modUuid);

  KroILinkableObject_var bound;
  ASSERT_EQ(specUuid.bindObject(bound), S_OK);
  EXPECT_EQ(KroICfgSimpleSpecification_var(bound).ptr(), spec.ptr());
  ASSERT_EQ(modUuid.bindObject(bound), S_OK);
  EXPECT_EQ(KroICfgModification_var(bound).ptr(), modification.ptr());
  ASSERT_EQ(filterUuid.bindObject(bound), S_OK);
  EXPECT_EQ(KroICfgFilter_var(bound).ptr(), filter.ptr());
  EXPECT_FALSE(KroICfgModification_var(bound));
  EXPECT_TRUE(KroIDmxFactoryObject_var(bound));
  bound = nullptr;

  spec = nullptr;
  modification = nullptr;
  filter = nullptr;
  for (const KroCfgUuid* uuid : {&specUuid, &modUuid, &filterUuid})
    EXPECT_EQ(uuid->bindObject(bound), KRO_E_UUID_NOT_BOUND);
  EXPECT_FALSE(bound);
}

TEST_F(CfgModelTest, FaultsFailExactlyTheNamedOperation) {
  auto interval = B::DateInterval(KroTime(10), KroTime(20));
  KroCfgFaults::Set("KroICfgInterval::getDateBounds", E_UNEXPECTED);
  KroTime start(1), end(2);
  EXPECT_EQ(interval->getDateBounds(start, end), E_UNEXPECTED);
  EXPECT_EQ(start.Gettime_t() * 10 + end.Gettime_t(), 12);
  int low = 0, high = 0;
  EXPECT_EQ(B::RangeInterval(1, 2)->getRangeBounds(low, high), S_OK);
  EXPECT_EQ(interval->getType(), KroICfgInterval::Date);

  // A chosen code of success is returned too, still without touching the outs.
  KroCfgFaults::Set("KroICfgManager::createXEff", S_FALSE);
  KroICfgXEff_var xeff;
  EXPECT_EQ(m_manager->createXEff("D", xeff), S_FALSE);
  EXPECT_FALSE(xeff);

  KroCfgFaults::Set("KroICfgInterval::getType", 3);
  EXPECT_EQ(interval->getType(), 3);

  // The first calls may pass, so that a later element of a list fails.
  KroCfgFaults::Set("KroICfgFilter::getMode", E_FAIL, 1);
  auto filter = B::Filter({.mode = 4});
  int mode = 0;
  EXPECT_EQ(filter->getMode(mode), S_OK);
  mode = 9;
  EXPECT_EQ(filter->getMode(mode), E_FAIL);
  EXPECT_EQ(filter->getMode(mode), E_FAIL);
  EXPECT_EQ(mode, 9);

  KroCfgFaults::Set("KroILinkableObject::GetUuid", E_FAIL);
  EXPECT_EQ(KroCfgUuid(KroILinkableObject_var(filter)).octets().length(), 0u);

  KroCfgFaults::Clear("KroICfgInterval::getType");
  EXPECT_EQ(interval->getType(), KroICfgInterval::Date);
  KroCfgFaults::Clear();
  EXPECT_EQ(interval->getDateBounds(start, end), S_OK);
  EXPECT_EQ(end.Gettime_t(), 20);
  EXPECT_EQ(filter->getMode(mode), S_OK);
  EXPECT_THROW(KroCfgFaults::Set("KroICfgInterval::getDateBound", E_FAIL), std::invalid_argument);
}

TEST_F(CfgModelTest, SessionManagerIsTheConfigurationManagerAndRecordsErrors) {
  KroIDmxFactoryManager_var factory;
  ASSERT_EQ(DMXSession::OpenSession()->GetDMXObjectFactory(factory), S_OK);
  KroICfgManager_var fromSession = factory;
  ASSERT_TRUE(fromSession);
  EXPECT_EQ(fromSession.ptr(), m_manager.ptr());
  EXPECT_TRUE(factory->IsEqual(m_manager));

  fromSession->setError(1, 0);
  fromSession->addErrorParameter("KroICfgSOSpecification", 1);
  m_manager->setError(2004, 1);
  const std::vector<KroCfgManagerError> expected = {{1, 0, {{"KroICfgSOSpecification", 1}}}, {2004, 1, {}}};
  EXPECT_EQ(KroCfgManager::Errors(), expected);
  KroCfgFaults::Set("KroICfgManager::setError", E_FAIL);
  EXPECT_EQ(m_manager->setError(3, 0), E_FAIL);
  EXPECT_EQ(KroCfgManager::Errors().size(), 2u);
  KroCfgManager::ClearErrors();
  EXPECT_TRUE(KroCfgManager::Errors().empty());
}

}  // namespace

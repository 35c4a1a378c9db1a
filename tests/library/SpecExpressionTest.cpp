// The specification-expression wrapper: terms appended one by one or written whole, rebuilt as a new
// expression; null inputs, unequal lists, terms that no longer bind, and the errors on the manager.
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;

KroICfgSOSpecExpression_var NewRecord() {
  UseShippedCatalog();
  KroICfgSOSpecExpression_var record;
  EXPECT_EQ(KroCfgSOFactory::createSpecExpression(record), S_OK);
  return record;
}

KroICfgSimpleSpecification_var Spec(const char* name) { return B::Specification({.name = name}); }

// (sign, specification) of each term, in order.
std::vector<std::pair<int, KroICfgSimpleSpecification*>> Terms(const KroICfgSpecANDExpression_var& expr) {
  KroListValKroICfgSignedSpec_var terms;
  expr->getSignedSpecs(terms);
  std::vector<std::pair<int, KroICfgSimpleSpecification*>> out;
  for (const KroICfgSignedSpec_var& term : terms) {
    KroICfgSimpleSpecification_var spec;
    term->getSpecification(spec);
    out.emplace_back(term->getSign(), spec.ptr());
  }
  return out;
}

// The sizes of "spec_list" and "expr_list".
std::pair<int, int> Sizes(const KroICfgSOSpecExpression_var& record) {
  KroISpecObject_var so = record;
  KroListValKroISpecObject_var specs;
  KroRawCollint signs;
  KroCfgSOServices::GetListSOValue(so, "spec_list", specs);
  KroCfgSOServices::GetListIntegerValue(so, "expr_list", signs);
  return {specs.Size(), signs.Size()};
}

class SpecExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override { KroCfgManager::ClearErrors(); }
  void TearDown() override {
    KroCfgFaults::Clear();
    KroCfgManager::ClearErrors();
  }
};

TEST_F(SpecExpressionTest, AddedTermsComeBackInCallOrder) {
  KroICfgSOSpecExpression_var record = NewRecord();
  KroICfgSimpleSpecification_var a = Spec("A"), b = Spec("B"), c = Spec("C");
  EXPECT_EQ(record->addSpecification(a, 1), S_OK);
  EXPECT_EQ(record->addSpecification(b, -1), S_OK);
  EXPECT_EQ(record->addSpecification(c, 7), S_OK);
  EXPECT_EQ(Sizes(record), std::make_pair(3, 3));

  // A null specification changes neither list.
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(record->addSpecification(nullptr, 1), E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::addSpecification] The Specification input argument is null."));
  EXPECT_EQ(Sizes(record), std::make_pair(3, 3));

  capture.clear();
  KroICfgSpecANDExpression_var expr;
  ASSERT_EQ(record->getSpecExpression(expr), S_OK);
  EXPECT_EQ(Terms(expr), (std::vector<std::pair<int, KroICfgSimpleSpecification*>>{
                             {1, a.ptr()}, {-1, b.ptr()}, {7, c.ptr()}}));
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::getAllSpecifications] Specification count: 3"));
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::getSpecExpression] Working on object #3"));

  // Each read makes a new expression.
  KroICfgSpecANDExpression_var again;
  record->getSpecExpression(again);
  EXPECT_NE(again.ptr(), expr.ptr());
}

TEST_F(SpecExpressionTest, WholeWriteReplacesTheRecord) {
  KroICfgSOSpecExpression_var record = NewRecord();
  KroICfgSimpleSpecification_var a = Spec("A"), b = Spec("B");
  record->addSpecification(Spec("old"), 1);
  ASSERT_EQ(record->setSpecExpression(B::ANDExpression({B::SignedSpec(-1, a), B::SignedSpec(1, b)})), S_OK);
  KroICfgSpecANDExpression_var expr;
  ASSERT_EQ(record->getSpecExpression(expr), S_OK);
  EXPECT_EQ(Terms(expr), (std::vector<std::pair<int, KroICfgSimpleSpecification*>>{{-1, a.ptr()}, {1, b.ptr()}}));

  // No terms: both lists empty, read back as a new empty expression.
  ASSERT_EQ(record->setSpecExpression(B::ANDExpression({})), S_OK);
  EXPECT_EQ(Sizes(record), std::make_pair(0, 0));
  ASSERT_EQ(record->getSpecExpression(expr), S_OK);
  ASSERT_TRUE(expr);
  EXPECT_TRUE(Terms(expr).empty());

  // Null: emptied first, then refused.
  record->addSpecification(a, 1);
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(record->setSpecExpression(nullptr), E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::setSpecExpression] The Specification input argument is null."));
  EXPECT_EQ(Sizes(record), std::make_pair(0, 0));

  // A term that cannot be converted: nothing written after the emptying.
  record->addSpecification(a, 1);
  KroCfgFaults::Set("KroICfgSimpleSpecification::getAlias", static_cast<HRESULT>(0x80041234u), 1);
  EXPECT_EQ(record->setSpecExpression(B::ANDExpression({B::SignedSpec(1, a), B::SignedSpec(1, b)})),
            static_cast<HRESULT>(0x80041234u));
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::setSpecExpression] Unable to convert the "
                          "KroICfgSimpleSpecification into a KroICfgSOSpecification."));
  EXPECT_EQ(Sizes(record), std::make_pair(0, 0));

}

TEST_F(SpecExpressionTest, UnequalListsAreReportedAsUnexpected) {
  KroICfgSOSpecExpression_var record = NewRecord();
  KroICfgSimpleSpecification_var a = Spec("A"), b = Spec("B");
  record->setSpecExpression(B::ANDExpression({B::SignedSpec(1, a), B::SignedSpec(1, b)}));
  KroISpecObject_var so = record;
  KroCfgSOServices::SetListIntegerValue(so, "expr_list", KroRawCollint{1});
  TraceCapture capture({"CfgSO"});
  KroICfgSpecANDExpression_var expr = B::ANDExpression({});
  EXPECT_EQ(record->getSpecExpression(expr), E_UNEXPECTED);
  EXPECT_FALSE(expr);
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::getSpecExpression] The number of Specifications and signs are different ?!"));

  // A failed clear (no "expr_list" at all) stops the whole write after emptying "spec_list".
  KroCfgSOServices::RemoveAttribute(so, "expr_list");
  EXPECT_EQ(record->setSpecExpression(B::ANDExpression({})), E_FAIL);
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::clear] Unable to clear the integer list attribute."));
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::setSpecExpression] Unable to clear the SpecObject."));
  EXPECT_EQ(Sizes(record).first, 0);
  EXPECT_EQ(record->addSpecification(a, 1), E_FAIL);
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::addSpecification] Unable to get the key to the Specification sign list attribute."));
}

TEST_F(SpecExpressionTest, TermsThatCannotBeReadRecordAnError) {
  KroICfgSOSpecExpression_var record = NewRecord();
  KroICfgSimpleSpecification_var first = Spec("first");
  record->addSpecification(first, 1);
  record->addSpecification(Spec("gone"), 1);  // released at once
  record->addSpecification(Spec("third"), 1);
  TraceCapture capture({"CfgSO"});
  KroListValKroICfgSimpleSpecification_var specs{Spec("stale")};
  EXPECT_EQ(record->getAllSpecifications(specs), KRO_E_UUID_NOT_BOUND);
  ASSERT_EQ(specs.Size(), 1);
  EXPECT_EQ(specs[1].ptr(), first.ptr());
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::getAllSpecifications] Unable to get the real "
                          "KroICfgSimpleSpecification behind the KroICfgSOSpecification."));
  EXPECT_EQ(KroCfgManager::Errors(), (std::vector<KroCfgManagerError>{{2004, 1, {}}}));

  KroICfgSpecANDExpression_var expr;
  EXPECT_EQ(record->getSpecExpression(expr), KRO_E_UUID_NOT_BOUND);
  EXPECT_FALSE(expr);
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::getSpecExpression] Unable to get all the Specifications from this "
                          "SpecExpression SpecObject."));

  // An element that is no specification spec object: E_FAIL and error 1 with its parameter.
  KroCfgManager::ClearErrors();
  KroICfgSOContext_var context;
  ASSERT_EQ(KroCfgSOFactory::createContext(context), S_OK);
  KroISpecObject_var so = record;
  KroListValKroISpecObject_var elements;
  KroCfgSOServices::GetListSOValue(so, "spec_list", elements);
  KroCfgSOServices::SetListSOValue(so, "spec_list", {elements[1], KroISpecObject_var(context)});
  EXPECT_EQ(record->getAllSpecifications(specs), E_FAIL);
  ASSERT_EQ(specs.Size(), 1);
  EXPECT_EQ(specs[1].ptr(), first.ptr());
  EXPECT_TRUE(capture.has("[KroCfgSOSpecExpression::getAllSpecifications] One of the SpecObject is not a "
                          "KroICfgSOSpecification ?!"));
  EXPECT_EQ(KroCfgManager::Errors(), (std::vector<KroCfgManagerError>{{1, 0, {{"KroICfgSOSpecification", 1}}}}));
}

}  // namespace

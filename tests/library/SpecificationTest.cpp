// The specification wrapper: the six fields written from a live specification, read back, printed
// and bound back by uuid; the record left by a null input, a failing input and a failing write.
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;

const char* const kStrings[] = {"SpecName", "SpecDesc", "SpecAlias", "CatName", "CatDesc"};

KroICfgSOSpecification_var NewRecord() {
  UseShippedCatalog();
  KroICfgSOSpecification_var record;
  EXPECT_EQ(KroCfgSOFactory::createSpecification(record), S_OK);
  return record;
}

KroICfgSimpleSpecification_var Spec(const std::string& tag) {
  return B::Specification({.name = tag + "-n", .description = tag + "-d", .alias = tag + "-a",
                           .categoryName = tag + "-c", .categoryDescription = tag + "-cd"});
}

SEQUENCE_octet UuidOf(const KroICfgSimpleSpecification_var& spec) {
  SEQUENCE_octet octets;
  KroCfgUuid(KroILinkableObject_var(spec)).getUuid(octets);
  return octets;
}

// The stored record in write order, "-" where an attribute cannot be read; the uuid as "old" or "new".
std::vector<std::string> Record(const KroICfgSOSpecification_var& record, const KroICfgSimpleSpecification_var& oldSpec,
                                const KroICfgSimpleSpecification_var& newSpec) {
  KroISpecObject_var so = record;
  auto text = [&](const char* name) {
    KroUnicodeString value;
    return SUCCEEDED(KroCfgSOServices::GetStringValue(so, name, value)) ? value.str() : std::string("-");
  };
  SEQUENCE_octet uuid;
  std::string uuidText = "-";
  if (SUCCEEDED(KroCfgSOServices::GetByteArrayValue(so, "SpecUid", uuid)))
    uuidText = uuid == UuidOf(oldSpec) ? "old" : uuid == UuidOf(newSpec) ? "new" : "?";
  return {text("SpecName"), text("SpecDesc"), uuidText, text("SpecAlias"), text("CatName"), text("CatDesc")};
}

class SpecificationTest : public ::testing::Test {
 protected:
  void TearDown() override { KroCfgFaults::Clear(); }
};

TEST_F(SpecificationTest, FieldsReadBackPrintAndBindToTheLiveSpecification) {
  KroICfgSOSpecification_var record = NewRecord();
  KroICfgSimpleSpecification_var spec = Spec("s");
  TraceCapture capture({"CfgSO"});
  ASSERT_EQ(record->setSpecification(spec), S_OK);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOSpecification::setSpecification] Extracting the data from the input Specification.",
                                 "[KroCfgSOSpecification::setSpecification] Valuating the SpecObject attributes.",
                                 "[KroCfgSOSpecification::setSpecification] returns 0x00000000",
                             }));
  // toString reads all five fields through the getters, in order.
  KroUnicodeString text;
  EXPECT_EQ(record->toString(text), S_OK);
  EXPECT_EQ(text, "\n  name          : s-n\n  description   : s-d\n  alias         : s-a"
                  "\n  cat_name      : s-c\n  cat_desc      : s-cd");
  EXPECT_TRUE(capture.has("[KroCfgSOSpecification::getCategoryName] Specification Category name extracted: s-c"));

  KroICfgSimpleSpecification_var bound;
  EXPECT_EQ(record->getSpecification(bound), S_OK);
  EXPECT_EQ(bound.ptr(), spec.ptr());

}

TEST_F(SpecificationTest, NullInputEmptiesFiveFieldsAndKeepsTheUuid) {
  KroICfgSOSpecification_var record = NewRecord();
  KroICfgSimpleSpecification_var spec = Spec("old");
  ASSERT_EQ(record->setSpecification(spec), S_OK);
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(record->setSpecification(nullptr), S_FALSE);
  EXPECT_TRUE(capture.has(
      "[KroCfgSOSpecification::setSpecification] The input Specification is null. Clearing the SpecObject attributes."));
  KroISpecObject_var so = record;
  for (const char* name : kStrings) {
    boolean held = 1;
    KroCfgSOServices::TestAttribute(so, name, held);
    EXPECT_FALSE(held) << name;
  }
  KroICfgSimpleSpecification_var bound;
  EXPECT_EQ(record->getSpecification(bound), S_OK);
  EXPECT_EQ(bound.ptr(), spec.ptr());
}

TEST_F(SpecificationTest, FailingInputWritesNothing) {
  struct Case {
    const char* operation;
    const char* message;
  };
  const Case cases[] = {
      {"KroICfgSimpleSpecification::getCategory", "Unable to retrieve the specification input SpecCategory !"},
      {"KroICfgSimpleSpecification::getName", "Unable to get the Specification input Name !"},
      {"KroICfgSimpleSpecification::getDescription", "Unable to get the Specification input Description !"},
      {"KroICfgSimpleSpecification::getAlias", "Unable to get the Specification input alias !"},
      {"KroICfgSpecCategory::getName", "Unable to get the SpecCategory input name !"},
      {"KroICfgSpecCategory::getDescription", "Unable to get the SpecCategory input description !"},
  };
  KroICfgSimpleSpecification_var oldSpec = Spec("old"), newSpec = Spec("new");
  const std::vector<std::string> oldRecord = {"old-n", "old-d", "old", "old-a", "old-c", "old-cd"};
  for (const Case& c : cases) {
    KroICfgSOSpecification_var record = NewRecord();
    ASSERT_EQ(record->setSpecification(oldSpec), S_OK);
    KroCfgFaults::Set(c.operation, static_cast<HRESULT>(0x80041234u));
    TraceCapture capture({"CfgSO"});
    EXPECT_EQ(record->setSpecification(newSpec), static_cast<HRESULT>(0x80041234u)) << c.operation;
    KroCfgFaults::Clear();
    EXPECT_TRUE(capture.has(std::string("[KroCfgSOSpecification::setSpecification] ") + c.message)) << c.operation;
    EXPECT_EQ(Record(record, oldSpec, newSpec), oldRecord) << c.operation;
  }

  // A specification without category cannot be read past its alias.
  KroICfgSOSpecification_var record = NewRecord();
  EXPECT_THROW(record->setSpecification(B::Specification({.name = "x", .withCategory = false})), KroNullVarError);
}

TEST_F(SpecificationTest, FailingWriteKeepsNewValuesBeforeAndOldOnesAfter) {
  const char* const order[] = {"SpecName", "SpecDesc", "SpecUid", "SpecAlias", "CatName", "CatDesc"};
  const char* const messages[] = {
      "Unable to set the Specification name !",  "Unable to set the Specification description !",
      "Unable to set the Specification uuid !",  "Unable to set the Specification alias !",
      "Unable to set the SpecCategory name !",   "Unable to set the SpecCategory description !",
  };
  KroICfgSimpleSpecification_var oldSpec = Spec("old"), newSpec = Spec("new");
  const std::vector<std::string> oldRecord = {"old-n", "old-d", "old", "old-a", "old-c", "old-cd"};
  const std::vector<std::string> newRecord = {"new-n", "new-d", "new", "new-a", "new-c", "new-cd"};
  for (int position = 0; position < 6; ++position) {
    KroICfgSOSpecification_var record = NewRecord();
    ASSERT_EQ(record->setSpecification(oldSpec), S_OK);
    KroISpecObject_var so = record;
    ASSERT_EQ(KroCfgSOServices::RemoveAttribute(so, order[position]), S_OK);
    TraceCapture capture({"CfgSO"});
    EXPECT_EQ(record->setSpecification(newSpec), E_FAIL) << order[position];
    EXPECT_TRUE(capture.has(std::string("[KroCfgSOSpecification::setSpecification] ") + messages[position]));
    std::vector<std::string> expected(newRecord.begin(), newRecord.begin() + position);
    expected.push_back("-");
    expected.insert(expected.end(), oldRecord.begin() + position + 1, oldRecord.end());
    EXPECT_EQ(Record(record, oldSpec, newSpec), expected) << order[position];

    // toString stops at the first getter that fails, keeping the lines before it.
    if (std::string(order[position]) == "SpecAlias") {
      KroUnicodeString text("x");
      EXPECT_EQ(record->toString(text), E_FAIL);
      EXPECT_EQ(text, "\n  name          : new-n\n  description   : new-d");
      EXPECT_TRUE(capture.has("[KroCfgSOSpecification::toString] Unable to make call to getAlias !"));
      EXPECT_TRUE(capture.has("[KroCfgSOSpecification::getAlias] Unable to get SpecAlias attribute !"));
      KroUnicodeString alias("x");
      EXPECT_EQ(record->getAlias(alias), E_FAIL);
      EXPECT_EQ(alias, "");
    }
  }
}

TEST_F(SpecificationTest, UuidThatBindsToNothingOrToAnotherKind) {
  KroICfgSOSpecification_var record = NewRecord();
  {
    KroICfgSimpleSpecification_var gone = Spec("gone");
    ASSERT_EQ(record->setSpecification(gone), S_OK);
  }
  TraceCapture capture({"CfgSO"});
  KroICfgSimpleSpecification_var bound = Spec("placeholder");
  EXPECT_EQ(record->getSpecification(bound), KRO_E_UUID_NOT_BOUND);
  EXPECT_FALSE(bound);
  EXPECT_TRUE(capture.has("[KroCfgSOSpecification::getSpecification] Unable to bind the object according to the Uuid "
                          "contained by this SpecObject !"));

  // The uuid of a live category: bound, but no specification.
  KroICfgSpecCategory_var category = B::Category("c", "d");
  SEQUENCE_octet octets;
  KroCfgUuid(KroILinkableObject_var(category)).getUuid(octets);
  KroISpecObject_var so = record;
  KroCfgSOServices::SetByteArrayValue(so, "SpecUid", octets);
  bound = Spec("placeholder");
  EXPECT_EQ(record->getSpecification(bound), S_OK);
  EXPECT_FALSE(bound);
}

}  // namespace

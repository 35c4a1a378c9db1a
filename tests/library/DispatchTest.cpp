// Scripting through dispatch: every method of every wrapper interface and of the dispatch container,
// called by name through GetIDsOfNames and Invoke; the dispatch errors; the type information; the
// factory's and the model's operations through the same path.
#include <set>

#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroDispatch.h"
#include "LibraryTestSupport.h"
#include "QuorIDispatchContainer.h"

namespace {

namespace B = KroCfgModelBuilder;

struct Call {
  HRESULT hr = E_FAIL;
  KroVariant result;
  std::vector<KroVariant> outs;  // the outputs, in parameter order (by name); every slot (Raw)
  unsigned int argErr = ~0u;

  const KroVariant& out(std::size_t i = 0) const { return outs.at(i); }
};

// Calls methods of one object by name, as a scripting client does, through the interface iid; the
// outputs are passed by reference as the type information says. Remembers the ids it reached.
class Script {
 public:
  Script(KroBaseUnknown* object, const IID& iid) : m_object(object, iid, false), m_iid(iid) {
    const KroDispatchTable* table = KroFindDispatchTable(iid);
    EXPECT_NE(table, nullptr);
    if (table) m_info = &table->TypeInfo();
  }
  template <class I>
  explicit Script(const KroVar<I>& handle) : Script(handle.ptr(), I::ClassIID()) {}

  long id(const char* name) const {
    long dispId = -1;
    EXPECT_EQ(m_object.get()->GetIDsOfNames(m_iid, &name, 1, 0, &dispId), S_OK) << name;
    return dispId;
  }

  Call operator()(const char* name, std::vector<KroVariant> inputs = {}) {
    long dispId = id(name);
    const KroMethodInfo* method = m_info ? m_info->Method(dispId) : nullptr;
    if (!method) return {};
    Call call;
    call.outs.resize(method->params.size());
    std::vector<KroVariant> args;
    std::size_t next = 0;
    for (std::size_t i = 0; i < method->params.size(); ++i)
      args.push_back(method->params[i].out ? KroVariant::ByRef(&call.outs[i]) : inputs.at(next++));
    EXPECT_EQ(next, inputs.size()) << name << ": inputs left over";
    call = Raw(dispId, std::move(args), std::move(call.outs));
    std::vector<KroVariant> outputs;
    for (std::size_t i = 0; i < method->params.size(); ++i)
      if (method->params[i].out) outputs.push_back(call.outs[i]);
    call.outs = std::move(outputs);
    return call;
  }

  // Invoke with the arguments as given.
  Call Raw(long dispId, std::vector<KroVariant> args, std::vector<KroVariant> outs = {}) {
    Call call;
    call.outs = std::move(outs);
    // By-reference arguments point into call.outs, which the move kept in place.
    KroDispParams params{args.data(), static_cast<unsigned int>(args.size())};
    call.hr = m_object.get()->Invoke(dispId, m_iid, 0, DISPATCH_METHOD, &params, &call.result, nullptr, &call.argErr);
    if (call.hr != DISP_E_BADPARAMCOUNT && call.hr != DISP_E_TYPEMISMATCH && call.hr != DISP_E_MEMBERNOTFOUND)
      m_reached.insert(dispId);
    return call;
  }

  // Every method of the interface was reached at least once.
  void ExpectEveryMethodReached() const {
    ASSERT_NE(m_info, nullptr);
    for (const KroMethodInfo& m : m_info->methods)
      EXPECT_TRUE(m_reached.count(m.dispId)) << m_info->name << "::" << m.name << " (id " << m.dispId << ") not called";
  }

  const KroTypeInfo& info() const { return *m_info; }

 private:
  KroUnknownRef m_object;
  IID m_iid;
  const KroTypeInfo* m_info = nullptr;
  std::set<long> m_reached;
};

KroVariant Str(const char* s) { return KroVariant::String(s); }
KroVariant Octets(std::initializer_list<unsigned char> bytes) { return KroVariant::Octets(SEQUENCE_octet(bytes)); }
template <class I>
KroVariant Iface(const KroVar<I>& h) {
  return KroVariant::Interface(h.ptr(), I::ClassIID());
}
std::string TextOf(const KroVariant& v) { return v.IfString() ? v.IfString()->str() : "<not a string>"; }
template <class I>
KroVar<I> As(const KroVariant& v) {
  const KroUnknownRef* ref = v.IfInterface();
  return KroVar<I>(ref ? ref->get() : nullptr);
}

template <class I>
KroVar<I> Create(HRESULT (*create)(KroVar<I>&)) {
  UseShippedCatalog();
  KroVar<I> out;
  EXPECT_EQ(create(out), S_OK);
  return out;
}

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedCatalog(); }
};

TEST_F(DispatchTest, ContextAndVariabilitySpaceStringsAndUuidsRoundTrip) {
  Script ctx(Create(&KroCfgSOFactory::createContext));
  for (const char* field : {"Name", "Type", "Info"}) {
    std::string set = std::string("set") + field, get = std::string("get") + field;
    EXPECT_EQ(ctx(set.c_str(), {Str(field)}).hr, S_OK);
    Call read = ctx(get.c_str());
    EXPECT_EQ(read.hr, S_OK);
    EXPECT_EQ(TextOf(read.out()), field);
  }
  EXPECT_EQ(ctx("setUuid", {Octets({1, 2, 3})}).hr, S_OK);
  EXPECT_EQ(*ctx("getUuid").out().IfOctets(), SEQUENCE_octet({1, 2, 3}));
  ctx.ExpectEveryMethodReached();

  Script vs(Create(&KroCfgSOFactory::createVariabilitySpace));
  unsigned char n = 0;
  for (const char* field : {"Name", "CODesc", "CVName", "CVInfo"}) {
    EXPECT_EQ(vs((std::string("set") + field).c_str(), {Str(field)}).hr, S_OK);
    EXPECT_EQ(TextOf(vs((std::string("get") + field).c_str()).out()), field);
  }
  for (const char* field : {"Uuid", "COUuid", "CVUuid"}) {
    ++n;
    EXPECT_EQ(vs((std::string("set") + field).c_str(), {Octets({n, n})}).hr, S_OK);
    EXPECT_EQ(*vs((std::string("get") + field).c_str()).out().IfOctets(), SEQUENCE_octet({n, n}));
  }
  vs.ExpectEveryMethodReached();
}

TEST_F(DispatchTest, UuidListCountsAndEmptiesThroughResultsThatAreNoCodes) {
  Script list(Create(&KroCfgSOFactory::createUuidList));
  EXPECT_EQ(list("Append", {Octets({1})}).hr, S_OK);
  EXPECT_EQ(list("Append", {Octets({2})}).hr, S_OK);
  Call size = list("Size");
  EXPECT_EQ(size.hr, S_OK);
  ASSERT_NE(size.result.IfInt(), nullptr);
  EXPECT_EQ(*size.result.IfInt(), 2);
  EXPECT_EQ(list("SetElementAt", {KroVariant::Int(1), Octets({9})}).hr, S_OK);
  // A 64-bit integer in range converts to the long position.
  EXPECT_EQ(*list("ElementAt", {KroVariant::Long(1)}).out().IfOctets(), SEQUENCE_octet({9}));
  EXPECT_EQ(list("ElementAt", {KroVariant::Int(7)}).hr, E_FAIL);
  Call empty = list("Empty");
  EXPECT_EQ(empty.hr, S_OK);
  EXPECT_TRUE(empty.result.IsEmpty());
  EXPECT_EQ(*list("Size").result.IfInt(), 0);
  // The whole list in one call each way.
  EXPECT_EQ(list("AppendAll", {KroVariant::Array({Octets({3}), Octets({4})})}).hr, S_OK);
  Call read = list("GetAll");
  const std::vector<KroVariant>* all = read.out().IfArray();
  ASSERT_NE(all, nullptr);
  ASSERT_EQ(all->size(), 2u);
  EXPECT_EQ(*(*all)[1].IfOctets(), SEQUENCE_octet({4}));
  list.ExpectEveryMethodReached();
}

TEST_F(DispatchTest, DatesAndMilestonesCarryTimesRanksAndModelMilestones) {
  const KroTime t(2004, 3, 15, 0, 0, 0);
  Script date(Create(&KroCfgSOFactory::createDate));
  EXPECT_EQ(date("setKroTime", {KroVariant::Time(t)}).hr, S_OK);
  EXPECT_EQ(*date("getKroTime").out().IfTime(), t);
  date.ExpectEveryMethodReached();

  Script md(Create(&KroCfgSOFactory::createMilestoneDate));
  EXPECT_EQ(md("setName", {Str("M")}).hr, S_OK);
  EXPECT_EQ(md("setValue", {KroVariant::Time(t)}).hr, S_OK);
  EXPECT_EQ(TextOf(md("getName").out()), "M");
  EXPECT_EQ(*md("getValue").out().IfTime(), t);
  EXPECT_EQ(md("setMilestone", {Iface(B::DateMilestone("Other", KroTime(86400)))}).hr, S_OK);
  EXPECT_EQ(TextOf(md("getName").out()), "Other");
  EXPECT_EQ(*md("getValue").out().IfTime(), KroTime(86400));
  md.ExpectEveryMethodReached();

  Script mr(Create(&KroCfgSOFactory::createMilestoneRange));
  EXPECT_EQ(mr("setName", {Str("R")}).hr, S_OK);
  EXPECT_EQ(mr("setValue", {KroVariant::Int(12)}).hr, S_OK);
  EXPECT_EQ(TextOf(mr("getName").out()), "R");
  EXPECT_EQ(*mr("getValue").out().IfInt(), 12);
  EXPECT_EQ(mr("setMilestone", {Iface(B::RangeMilestone("Q", 4))}).hr, S_OK);
  EXPECT_EQ(*mr("getValue").out().IfInt(), 4);
  // A null model milestone is S_FALSE, a success code that Invoke passes on.
  EXPECT_EQ(mr("setMilestone", {KroVariant()}).hr, S_FALSE);
  mr.ExpectEveryMethodReached();
}

TEST_F(DispatchTest, DateIntervalAnswersBothFormsOfItsOverloadedBounds) {
  KroICfgManager_var manager = KroCfgSOServices::GetCfgManager();
  Script mgr(manager);
  const KroTime start(2004, 1, 1, 0, 0, 0), end(2005, 1, 1, 0, 0, 0);
  Call made = mgr("createDateInterval", {KroVariant::Time(start), KroVariant::Time(end)});
  ASSERT_EQ(made.hr, S_OK);

  Script iv(Create(&KroCfgSOFactory::createIntervalDate));
  EXPECT_EQ(iv("setInterval", {made.out()}).hr, S_OK);
  EXPECT_EQ(*iv("getStart").out().IfTime(), start);
  EXPECT_EQ(*iv("getEnd").out().IfTime(), end);
  Call back = iv("getInterval");
  ASSERT_EQ(back.hr, S_OK);
  Script model(As<KroICfgInterval>(back.out()));
  Call bounds = model("getDateBounds");
  EXPECT_EQ(*bounds.out(0).IfTime(), start);
  EXPECT_EQ(*bounds.out(1).IfTime(), end);
  EXPECT_EQ(*model("getType").result.IfInt(), KroICfgInterval::Date);
  EXPECT_EQ(TextOf(iv("toString").out()), "[2004 - January - 01,2005 - January - 01]");
  // Bounds held as plain dates: the milestone forms give S_FALSE and a null interface.
  Call noMilestone = iv("getStartMilestone");
  EXPECT_EQ(noMilestone.hr, S_FALSE);
  ASSERT_NE(noMilestone.out().IfInterface(), nullptr);
  EXPECT_EQ(noMilestone.out().IfInterface()->get(), nullptr);

  KroICfgSOMilestoneDate_var first = Create(&KroCfgSOFactory::createMilestoneDate);
  KroICfgSOMilestoneDate_var last = Create(&KroCfgSOFactory::createMilestoneDate);
  first->setName("S");
  first->setValue(start);
  last->setName("E");
  last->setValue(end);
  EXPECT_EQ(iv("setStart", {Iface(first)}).hr, S_OK);
  EXPECT_EQ(iv("setEnd", {Iface(last)}).hr, S_OK);
  EXPECT_EQ(As<KroICfgSOMilestoneDate>(iv("getStartMilestone").out()).ptr(), first.ptr());
  EXPECT_EQ(As<KroICfgSOMilestoneDate>(iv("getEndMilestone").out()).ptr(), last.ptr());
  EXPECT_EQ(iv("setInfinite", {KroVariant::Bool(true)}).hr, S_OK);
  EXPECT_EQ(*iv("isInfinite").out().IfBool(), true);
  iv.ExpectEveryMethodReached();
}

TEST_F(DispatchTest, RangeIntervalAnswersBothFormsOfItsOverloadedBounds) {
  Script mgr(KroCfgSOServices::GetCfgManager());
  Call made = mgr("createRangeInterval", {KroVariant::Int(3), KroVariant::Int(8)});
  ASSERT_EQ(made.hr, S_OK);
  Script iv(Create(&KroCfgSOFactory::createIntervalRange));
  EXPECT_EQ(iv("setInterval", {made.out()}).hr, S_OK);
  EXPECT_EQ(*iv("getStart").out().IfInt(), 3);
  EXPECT_EQ(*iv("getEnd").out().IfInt(), 8);
  Script model(As<KroICfgInterval>(iv("getInterval").out()));
  Call bounds = model("getRangeBounds");
  EXPECT_EQ(*bounds.out(0).IfInt(), 3);
  EXPECT_EQ(*bounds.out(1).IfInt(), 8);

  KroICfgSOMilestoneRange_var first = Create(&KroCfgSOFactory::createMilestoneRange);
  KroICfgSOMilestoneRange_var last = Create(&KroCfgSOFactory::createMilestoneRange);
  first->setName("A");
  first->setValue(1);
  last->setName("B");
  last->setValue(2);
  EXPECT_EQ(iv("setStart", {Iface(first)}).hr, S_OK);
  EXPECT_EQ(iv("setEnd", {Iface(last)}).hr, S_OK);
  EXPECT_EQ(As<KroICfgSOMilestoneRange>(iv("getStartMilestone").out()).ptr(), first.ptr());
  EXPECT_EQ(As<KroICfgSOMilestoneRange>(iv("getEndMilestone").out()).ptr(), last.ptr());
  EXPECT_EQ(iv("toString").hr, S_OK);
  EXPECT_EQ(iv("setInfinite", {KroVariant::Bool(false)}).hr, S_OK);
  EXPECT_EQ(*iv("isInfinite").out().IfBool(), false);
  iv.ExpectEveryMethodReached();
}

TEST_F(DispatchTest, SpecificationsExpressionsAndEffectivitiesTakeAndGiveModelObjects) {
  B::SpecificationData data;
  data.name = "S1";
  data.description = "D";
  data.alias = "A";
  data.categoryName = "C";
  data.categoryDescription = "CD";
  KroICfgSimpleSpecification_var spec = B::Specification(data);

  Script so(Create(&KroCfgSOFactory::createSpecification));
  EXPECT_EQ(so("setSpecification", {Iface(spec)}).hr, S_OK);
  EXPECT_EQ(TextOf(so("getName").out()), "S1");
  EXPECT_EQ(TextOf(so("getDescription").out()), "D");
  EXPECT_EQ(TextOf(so("getAlias").out()), "A");
  EXPECT_EQ(TextOf(so("getCategoryName").out()), "C");
  EXPECT_EQ(TextOf(so("getCategoryDescription").out()), "CD");
  EXPECT_EQ(As<KroICfgSimpleSpecification>(so("getSpecification").out()).ptr(), spec.ptr());
  EXPECT_EQ(so("toString").hr, S_OK);
  so.ExpectEveryMethodReached();

  Script expr(Create(&KroCfgSOFactory::createSpecExpression));
  EXPECT_EQ(expr("addSpecification", {Iface(spec), KroVariant::Int(-1)}).hr, S_OK);
  Call all = expr("getAllSpecifications");
  ASSERT_NE(all.out().IfArray(), nullptr);
  ASSERT_EQ(all.out().IfArray()->size(), 1u);
  EXPECT_EQ(As<KroICfgSimpleSpecification>(all.out().IfArray()->at(0)).ptr(), spec.ptr());
  Call model = expr("getSpecExpression");
  ASSERT_EQ(model.hr, S_OK);
  EXPECT_EQ(expr("setSpecExpression", {model.out()}).hr, S_OK);
  expr.ExpectEveryMethodReached();

  // Built through the manager's dispatch, as a script would.
  Script mgr(KroCfgSOServices::GetCfgManager());
  Script be(Create(&KroCfgSOFactory::createBasicEffectivity));
  Call made = mgr("createBasicEffectivity");
  Script basicModel(As<KroICfgBasicEffectivity>(made.out()));
  EXPECT_EQ(basicModel("setInterval", {mgr("createRangeInterval", {KroVariant::Int(2), KroVariant::Int(4)}).out()}).hr, S_OK);
  EXPECT_EQ(be("setBasicEffectivity", {made.out()}).hr, S_OK);
  Script readBack(As<KroICfgBasicEffectivity>(be("getBasicEffectivity").out()));
  Call intervals = readBack("getIntervals");
  ASSERT_EQ(intervals.out().IfArray()->size(), 1u);
  be.ExpectEveryMethodReached();

  Call effectivity = mgr("createEffectivity");
  Script eff(As<KroICfgEffectivity>(effectivity.out()));
  EXPECT_EQ(eff("addBasicEffectivity", {made.out()}).hr, S_OK);
  Call xeff = mgr("createXEff", {Str("DOM")});
  Script x(As<KroICfgXEff>(xeff.out()));
  EXPECT_EQ(x("setEffectivity", {effectivity.out(), KroVariant::Int(1)}).hr, S_OK);
  Script record(Create(&KroCfgSOFactory::createEffectivity));
  EXPECT_EQ(record("setXEff", {xeff.out()}).hr, S_OK);
  EXPECT_EQ(TextOf(record("getDomain").out()), "DOM");
  Script back(As<KroICfgXEff>(record("getXEff").out()));
  EXPECT_EQ(back("getBasicEffectivities").out().IfArray()->size(), 1u);
  record.ExpectEveryMethodReached();
}

TEST_F(DispatchTest, ModificationFilterAndDispatchContainer) {
  KroICfgModification_var modification =
      B::Modification("M1", "A", "B", B::GroupMod({B::ActionSubscriber("X"), B::ActionSubscriber("Y")}));
  Script mod(Create(&KroCfgSOFactory::createModification));
  EXPECT_EQ(mod("setModification", {Iface(modification)}).hr, S_OK);
  EXPECT_EQ(TextOf(mod("getName").out()), "M1");
  EXPECT_EQ(TextOf(mod("getActionName").out()), "XY");
  EXPECT_EQ(TextOf(mod("getEffectivityString").out()), "B (A)");
  EXPECT_EQ(*mod("getUuid").out().IfOctets(), KroCfgUuid(KroILinkableObject_var(modification)).octets());
  EXPECT_EQ(As<KroICfgModification>(mod("getModification").out()).ptr(), modification.ptr());
  // The answer of a result-only method: S_OK is true, S_FALSE false.
  Call under = mod("isUnderAction");
  EXPECT_EQ(under.hr, S_OK);
  EXPECT_EQ(*under.result.IfBool(), true);
  EXPECT_EQ(mod("setModification", {Iface(B::Modification("M2", "", ""))}).hr, S_OK);
  under = mod("isUnderAction");
  EXPECT_EQ(under.hr, S_FALSE);
  EXPECT_EQ(*under.result.IfBool(), false);
  mod.ExpectEveryMethodReached();

  KroICfgFilter_var filter = B::Filter({"F", "D", B::Context("ctx"), {}, 2, 1});
  Script fil(Create(&KroCfgSOFactory::createFilter));
  EXPECT_EQ(fil("setFilter", {Iface(filter)}).hr, S_OK);
  Script bound(As<KroICfgFilter>(fil("getFilter").out()));
  EXPECT_EQ(TextOf(bound("getId").out()), "F");
  fil.ExpectEveryMethodReached();

  // The factory, a class of static operations, through a dispatch component of its own.
  KroBaseUnknown* made = KroCreateStaticDispatch("KroCfgSOFactory");
  ASSERT_NE(made, nullptr);
  Script fac(made, KroMakeGUID("KroCfgSOFactory"));
  made->Release();
  Call so = fac("instanciateSpecObject", {Str("CfgDispatchContainer"), Str("QuorIDispatchContainer")});
  ASSERT_EQ(so.hr, S_OK);
  Script dispatch(As<QuorIDispatchContainer>(so.out()));
  Call first = dispatch("GetContainer", {Str("/a")});
  Call second = dispatch("GetContainer", {Str("b")});
  EXPECT_EQ(first.hr, S_OK);
  KroIContainer_var shared;
  KroCfgSOFactory::getContainer(shared);
  EXPECT_EQ(As<KroIContainer>(first.out()).ptr(), shared.ptr());
  EXPECT_EQ(As<KroIContainer>(second.out()).ptr(), shared.ptr());
  dispatch.ExpectEveryMethodReached();

  // The container lists what the factory made, through the modeler's own table.
  Script container(shared);
  Call ctx = fac("createContext");
  KroISpecObject_var madeObject = As<KroICfgSOContext>(ctx.out());
  Call listed = container("ListObjects");
  ASSERT_NE(listed.result.IfArray(), nullptr);
  int found = 0;
  for (const KroVariant& item : *listed.result.IfArray()) found += As<KroISpecObject>(item).ptr() == madeObject.ptr();
  EXPECT_EQ(found, 1);
  EXPECT_EQ(*container("CountObjects").result.IfInt(), static_cast<int>(listed.result.IfArray()->size()));
}

TEST_F(DispatchTest, ErrorsNameTheirCauseAndArgument) {
  Script list(Create(&KroCfgSOFactory::createUuidList));
  long append = list.id("Append"), elementAt = list.id("ElementAt"), setAt = list.id("SetElementAt");

  // Wrong counts, whatever the types.
  EXPECT_EQ(list.Raw(append, {}).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(list.Raw(append, {Octets({1}), Octets({2})}).hr, DISP_E_BADPARAMCOUNT);

  // Mismatches report the zero-based position of the argument.
  KroVariant out;
  Call bad = list.Raw(elementAt, {Str("one"), KroVariant::ByRef(&out)});
  EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.argErr, 0u);
  bad = list.Raw(setAt, {KroVariant::Int(1), Str("not octets")});
  EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.argErr, 1u);
  bad = list.Raw(elementAt, {KroVariant::Int(1), KroVariant()});  // an output needs a by-reference variant
  EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.argErr, 1u);
  // A position beyond int converts to long, and is then outside the list.
  EXPECT_EQ(list.Raw(elementAt, {KroVariant::Long(1LL << 40), KroVariant::ByRef(&out)}).hr, E_FAIL);
  EXPECT_EQ(list("Size").hr, S_OK);

  Script range(Create(&KroCfgSOFactory::createMilestoneRange));
  bad = range.Raw(range.id("setValue"), {KroVariant::Long(1LL << 40)});  // does not fit an int
  EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.argErr, 0u);

  // An object that lacks the parameter's interface does not convert.
  Script iv(Create(&KroCfgSOFactory::createIntervalDate));
  KroICfgSOContext_var context = Create(&KroCfgSOFactory::createContext);
  bad = iv.Raw(iv.id("setStart"), {Iface(context)});
  EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.argErr, 0u);

  // Unknown names and ids.
  KroICfgSOUuidList_var handle = Create(&KroCfgSOFactory::createUuidList);
  const char* names[] = {"Size", "nope"};
  long ids[2] = {0, 0};
  EXPECT_EQ(handle->GetIDsOfNames(IID_KroICfgSOUuidList, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 1);
  EXPECT_EQ(ids[1], -1);
  EXPECT_EQ(list.Raw(0, {}).hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(list.Raw(8, {}).hr, DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, EveryInterfaceDescribesItsMethodsAndTheIntervalsNameTheirOverloads) {
  std::vector<std::pair<KroVariant, std::size_t>> objects;
  auto add = [&](auto handle, std::size_t methods) {
    using I = std::remove_reference_t<decltype(*handle)>;
    objects.emplace_back(KroVariant::Interface(handle.ptr(), I::ClassIID()), methods);
  };
  add(Create(&KroCfgSOFactory::createBasicEffectivity), 2);
  add(Create(&KroCfgSOFactory::createContext), 8);
  add(Create(&KroCfgSOFactory::createDate), 2);
  add(Create(&KroCfgSOFactory::createEffectivity), 3);
  add(Create(&KroCfgSOFactory::createFilter), 2);
  add(Create(&KroCfgSOFactory::createIntervalDate), 11);
  add(Create(&KroCfgSOFactory::createIntervalRange), 11);
  add(Create(&KroCfgSOFactory::createMilestoneDate), 5);
  add(Create(&KroCfgSOFactory::createMilestoneRange), 5);
  add(Create(&KroCfgSOFactory::createModification), 7);
  add(Create(&KroCfgSOFactory::createSpecExpression), 4);
  add(Create(&KroCfgSOFactory::createSpecification), 8);
  add(Create(&KroCfgSOFactory::createUuidList), 7);
  add(Create(&KroCfgSOFactory::createVariabilitySpace), 14);
  KroISpecObject_var so;
  KroCfgSOFactory::instanciateSpecObject("CfgDispatchContainer", "QuorIDispatchContainer", so);
  add(QuorIDispatchContainer_var(so), 1);
  ASSERT_EQ(objects.size(), 15u);

  for (auto& [variant, methods] : objects) {
    KroBaseUnknown* object = variant.IfInterface()->get();
    unsigned int count = 0;
    EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    void* raw = nullptr;
    ASSERT_EQ(object->GetTypeInfo(0, 0, &raw), S_OK);
    const auto* info = static_cast<const KroTypeInfo*>(raw);
    EXPECT_TRUE(info->iid == variant.IfInterface()->iid()) << info->name;
    EXPECT_EQ(info->methods.size(), methods) << info->name;
    EXPECT_EQ(object->GetTypeInfo(1, 0, &raw), DISP_E_BADINDEX);
    // Every name answers its own id.
    for (const KroMethodInfo& m : info->methods) {
      const char* name = m.name.c_str();
      long id = 0;
      EXPECT_EQ(object->GetIDsOfNames(info->iid, &name, 1, 0, &id), S_OK);
      EXPECT_EQ(id, m.dispId) << info->name << "::" << m.name;
    }
  }

  for (std::size_t interval : {5u, 6u}) {
    KroBaseUnknown* object = objects[interval].first.IfInterface()->get();
    const char* names[] = {"getStart", "getEnd", "getStartMilestone", "getEndMilestone"};
    long ids[4];
    EXPECT_EQ(object->GetIDsOfNames(objects[interval].first.IfInterface()->iid(), names, 4, 0, ids), S_OK);
    EXPECT_EQ(std::vector<long>(ids, ids + 4), (std::vector<long>{1, 2, 7, 8}));
    void* raw = nullptr;
    object->GetTypeInfo(0, 0, &raw);
    const KroMethodInfo& milestoneStart = static_cast<const KroTypeInfo*>(raw)->methods[6];
    ASSERT_EQ(milestoneStart.params.size(), 1u);
    EXPECT_TRUE(milestoneStart.params[0].out);
    EXPECT_EQ(milestoneStart.params[0].type, KroVT_UNKNOWN);
    EXPECT_EQ(milestoneStart.params[0].typeName, interval == 5 ? "KroICfgSOMilestoneDate" : "KroICfgSOMilestoneRange");
  }

  void* raw = nullptr;
  objects[12].first.IfInterface()->get()->GetTypeInfo(0, 0, &raw);
  const KroMethodInfo& setAt = static_cast<const KroTypeInfo*>(raw)->methods[3];
  EXPECT_EQ(setAt.Signature(), "SetElementAt(long position, SEQUENCE_octet uuid) -> HRESULT");
  const KroMethodInfo& elementAt = static_cast<const KroTypeInfo*>(raw)->methods[2];
  EXPECT_EQ(elementAt.Signature(), "ElementAt(long position, out SEQUENCE_octet uuid) -> HRESULT");
}

TEST_F(DispatchTest, ModelObjectsMadeAndUsedThroughDispatchAreAllReleased) {
  KroICfgManager_var manager = KroCfgSOServices::GetCfgManager();
  long live = KroBaseUnknown::LiveObjects();
  {
    Script mgr(manager);
    Call interval = mgr("createDateInterval", {KroVariant::Time(KroTime(0)), KroVariant::Time(KroTime(100))});
    Call basic = mgr("createBasicEffectivity");
    Script be(As<KroICfgBasicEffectivity>(basic.out()));
    EXPECT_EQ(be("setInterval", {interval.out()}).hr, S_OK);
    EXPECT_EQ(be("getIntervals").out().IfArray()->size(), 1u);
    EXPECT_GT(KroBaseUnknown::LiveObjects(), live);
  }
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), live);
}

}  // namespace

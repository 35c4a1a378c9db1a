// The dispatch machinery on a component of its own: a component that is no tie is dispatched through the
// interface the caller names; an exception ends a call with DISP_E_EXCEPTION; values convert strictly.
#include <gtest/gtest.h>

#include <stdexcept>

#include "KroDispatch.h"

KRO_DECLARE_INTERFACE(KroITestCounter);

#define KroITestCounter_METHODS(M)                    \
  M(HRESULT, add, , ((int, step), (long&, total)))    \
  M(double, half, const, ((double, value)))           \
  M(HRESULT, fail, , ((const KroUnicodeString&, why)))

class KroITestCounter : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroITestCounter)
  KRO_DISPATCH_METHODS(KroITestCounter, KroITestCounter_METHODS)
};
KRO_DISPATCH_DEFINE(KroITestCounter, KroITestCounter_METHODS)

namespace {

class TestCounter final : public KroITestCounter {
 public:
  HRESULT QueryInterface(const IID& iid, void** out) override { return KroQueryInterfaces<KroITestCounter>(this, iid, out); }
  HRESULT add(int step, long& total) override {
    m_total += step;
    total = m_total;
    return S_OK;
  }
  double half(double value) const override { return value / 2; }
  HRESULT fail(const KroUnicodeString& why) override { throw std::runtime_error(why.str()); }

 private:
  long m_total = 0;
};

HRESULT Call(KroBaseUnknown* object, long id, std::vector<KroVariant> args, KroVariant* result = nullptr,
             KroExcepInfo* error = nullptr, unsigned int* argErr = nullptr, const IID& iid = IID_KroITestCounter) {
  KroDispParams params{args.data(), static_cast<unsigned int>(args.size())};
  return object->Invoke(id, iid, 0, DISPATCH_METHOD, &params, result, error, argErr);
}

TEST(DispatchTableTest, ComponentsAreDispatchedThroughTheNamedInterface) {
  long live = KroBaseUnknown::LiveObjects();
  {
    KroITestCounter_var counter = KroITestCounter_var::Adopt(new TestCounter());
    KroVariant total, half;
    EXPECT_EQ(Call(counter.ptr(), 1, {KroVariant::Int(3), KroVariant::ByRef(&total)}), S_OK);
    EXPECT_EQ(Call(counter.ptr(), 1, {KroVariant::Int(4), KroVariant::ByRef(&total)}), S_OK);
    EXPECT_EQ(*total.IfLong(), 7);
    // A value returned instead of a code comes back in the result, with S_OK; integers widen to double.
    EXPECT_EQ(Call(counter.ptr(), 2, {KroVariant::Int(5)}, &half), S_OK);
    EXPECT_EQ(*half.IfDouble(), 2.5);
    // A boolean is no number.
    unsigned int argErr = 9;
    EXPECT_EQ(Call(counter.ptr(), 2, {KroVariant::Bool(true)}, nullptr, nullptr, &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    // An interface without a dispatch table.
    EXPECT_EQ(Call(counter.ptr(), 1, {}, nullptr, nullptr, nullptr, IID_KroBaseUnknown), DISP_E_UNKNOWNINTERFACE);
  }
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), live);
}

TEST(DispatchTableTest, AnExceptionEndsTheCallWithItsText) {
  KroITestCounter_var counter = KroITestCounter_var::Adopt(new TestCounter());
  KroExcepInfo error;
  EXPECT_EQ(Call(counter.ptr(), 3, {KroVariant::String("broken")}, nullptr, &error), DISP_E_EXCEPTION);
  EXPECT_EQ(error.scode, DISP_E_EXCEPTION);
  EXPECT_EQ(error.description, "broken");
  // Without an exception argument the code alone tells it.
  EXPECT_EQ(Call(counter.ptr(), 3, {KroVariant::String("again")}), DISP_E_EXCEPTION);
}

TEST(DispatchTableTest, VariantsOwnTheirInterfacesAndLookupsFindTheTables) {
  long live = KroBaseUnknown::LiveObjects();
  {
    auto* counter = new TestCounter();
    KroVariant held = KroVariant::AdoptInterface(counter, IID_KroITestCounter);
    KroVariant copy = held;
    EXPECT_EQ(counter->GetRefCount(), 2u);
    std::vector<KroVariant> array{copy, KroVariant::String("x")};
    EXPECT_EQ(counter->GetRefCount(), 3u);
  }
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), live);

  EXPECT_EQ(KroFindDispatchTable("KroITestCounter"), KroFindDispatchTable(IID_KroITestCounter));
  EXPECT_EQ(KroCreateStaticDispatch("KroITestCounter"), nullptr);  // an interface is no class of statics
  EXPECT_EQ(KroCreateStaticDispatch("NoSuchClass"), nullptr);
  EXPECT_EQ(KroResultName(DISP_E_BADPARAMCOUNT), "DISP_E_BADPARAMCOUNT");
  EXPECT_EQ(KroResultName(static_cast<HRESULT>(0x80001234u)), "0x80001234");
}

}  // namespace

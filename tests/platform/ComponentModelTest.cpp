// Extension classes, ties, handles and meta classes, seen from a client of the component model.
#include <gtest/gtest.h>

#include "KroSpecModeler.h"
#include "KroTie.h"

KRO_DECLARE_INTERFACE(KroITestWidget);
KRO_DECLARE_INTERFACE(KroITestGadget);

class KroITestWidget : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroITestWidget)
  virtual HRESULT setLabel(const KroUnicodeString& label) = 0;
  virtual HRESULT getLabel(KroUnicodeString& label) = 0;
  virtual HRESULT whoAmI(KroBaseUnknown*& implementation, KroBaseUnknown*& current) = 0;
};

class KroITestGadget : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroITestGadget)
  virtual int calls() = 0;
};

// Keeps its state in its spec object's "label" attribute, reached through the component model.
class KroTestWidget : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroTestWidget)
 public:
  HRESULT setLabel(const KroUnicodeString& label) {
    KroISpecAttrAccess_var access = static_cast<KroBaseUnknown*>(this);
    if (!access) return E_FAIL;
    KroISpecAttrKey_var key = KroISpecAttrKey_var::Adopt(access->GetAttrKey("label"));
    return access->SetString(key, label);
  }
  HRESULT getLabel(KroUnicodeString& label) {
    KroISpecAttrAccess_var access = static_cast<KroBaseUnknown*>(this);
    KroISpecAttrKey_var key = KroISpecAttrKey_var::Adopt(access->GetAttrKey("label"));
    label = access->GetString(key);
    return S_OK;
  }
  HRESULT whoAmI(KroBaseUnknown*& implementation, KroBaseUnknown*& current) {
    implementation = this;
    current = Tie_StackCtx::Current();
    return S_OK;
  }
};
KRO_IMPLEMENT_EXTENSION_CLASS(KroTestWidget, KroBaseUnknown, "TestWidget", "TestFramework");

class TIEKroITestWidgetKroTestWidget : public KroTie<KroITestWidget, KroTestWidget> {
 public:
  using KroTie::KroTie;
  HRESULT setLabel(const KroUnicodeString& l) override { return Forward([&](KroTestWidget& o) { return o.setLabel(l); }); }
  HRESULT getLabel(KroUnicodeString& l) override { return Forward([&](KroTestWidget& o) { return o.getLabel(l); }); }
  HRESULT whoAmI(KroBaseUnknown*& i, KroBaseUnknown*& c) override {
    return Forward([&](KroTestWidget& o) { return o.whoAmI(i, c); });
  }
};
KRO_REGISTER_EXTENSION(KroTestWidget, KroITestWidget, TIEKroITestWidgetKroTestWidget);

class KroTestGadget : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroTestGadget)
 public:
  int calls() { return ++m_calls; }

 private:
  int m_calls = 0;
};
KRO_IMPLEMENT_EXTENSION_CLASS(KroTestGadget, KroBaseUnknown, "TestWidget", "TestFramework");

class TIEKroITestGadgetKroTestGadget : public KroTie<KroITestGadget, KroTestGadget> {
 public:
  using KroTie::KroTie;
  int calls() override { return Forward([&](KroTestGadget& o) { return o.calls(); }); }
};
KRO_REGISTER_EXTENSION(KroTestGadget, KroITestGadget, TIEKroITestGadgetKroTestGadget);

namespace {

class ComponentModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_live = KroBaseUnknown::LiveObjects();
    m_container = KroIContainer_var::Adopt(new KroContainer("test"));
    m_widgetStartUp = KroISpecObject_var::Adopt(CreateStartUp("TestWidget", "TestWidget", "KroISpecObject",
                                                              m_container, "", nullptr));
    KroISpecAttribute_var::Adopt(m_widgetStartUp->AddAttribute("label", tk_string));
    m_otherStartUp = KroISpecObject_var::Adopt(CreateStartUp("Other", "Other", "KroISpecObject", m_container, "", nullptr));
  }
  void TearDown() override {
    m_widgetStartUp = nullptr;
    m_otherStartUp = nullptr;
    m_container = nullptr;
    EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_live) << "components leaked or freed twice";
  }
  KroISpecObject_var newWidget() { return KroISpecObject_var::Adopt(m_widgetStartUp->Instanciate("", nullptr)); }

  long m_live = 0;
  KroIContainer_var m_container;
  KroISpecObject_var m_widgetStartUp;
  KroISpecObject_var m_otherStartUp;
};

TEST_F(ComponentModelTest, ExtensionAnswersOnEveryObjectOfItsLateTypeOnly) {
  KroISpecObject_var a = newWidget(), b = newWidget();
  KroISpecObject_var other = KroISpecObject_var::Adopt(m_otherStartUp->Instanciate("", nullptr));
  KroITestWidget_var wa = a, wb = b, wo = other;
  ASSERT_TRUE(wa);
  ASSERT_TRUE(wb);
  EXPECT_FALSE(wo);

  // Each spec object has its own implementation object, and the state lands in its own attributes.
  ASSERT_EQ(wa->setLabel("first"), S_OK);
  ASSERT_EQ(wb->setLabel("second"), S_OK);
  KroUnicodeString la, lb;
  wa->getLabel(la);
  wb->getLabel(lb);
  EXPECT_EQ(la, "first");
  EXPECT_EQ(lb, "second");
  KroISpecAttrAccess_var access = a;
  KroISpecAttrKey_var key = KroISpecAttrKey_var::Adopt(access->GetAttrKey("label"));
  EXPECT_EQ(access->GetString(key), "first");
}

TEST_F(ComponentModelTest, SamePairGivesSameTieAndImplementation) {
  KroISpecObject_var so = newWidget();
  KroITestWidget_var w1 = so, w2 = so;
  EXPECT_EQ(w1.ptr(), w2.ptr());
  KroBaseUnknown *impl1, *impl2, *current;
  w1->whoAmI(impl1, current);
  EXPECT_EQ(current, impl1);  // the call context names the implementation being called
  EXPECT_EQ(Tie_StackCtx::Current(), nullptr);

  // While any tie presents the object, a tie released and made again reaches the same implementation.
  KroITestGadget_var gadget = so;
  w1 = nullptr;
  w2 = nullptr;
  KroITestWidget_var w3 = so;
  w3->whoAmI(impl2, current);
  EXPECT_EQ(impl1, impl2);
  // The last tie takes the implementation objects with it: the two ties and at least one implementation.
  const long withTies = KroBaseUnknown::LiveObjects();
  gadget = nullptr;
  w3 = nullptr;
  EXPECT_LE(KroBaseUnknown::LiveObjects(), withTies - 3);
  KroITestWidget_var again = so;
  EXPECT_EQ(again->whoAmI(impl2, current), S_OK) << "a new tie makes a new implementation";
}

TEST_F(ComponentModelTest, ImplementationAndTieAnswerForTheSpecObject) {
  KroISpecObject_var so = newWidget();
  KroITestWidget_var widget = so;
  KroBaseUnknown *impl, *current;
  widget->whoAmI(impl, current);

  KroISpecObject_var fromImpl = impl;
  KroISpecObject_var fromTie = widget;
  EXPECT_EQ(fromImpl.ptr(), so.ptr());
  EXPECT_EQ(fromTie.ptr(), so.ptr());
  EXPECT_TRUE(so->IsEqual(widget.ptr()));

  // Another extension interface of the same late type is reachable from the tie.
  KroITestGadget_var gadget = widget;
  ASSERT_TRUE(gadget);
  EXPECT_EQ(gadget->calls(), 1);
  KroITestGadget_var again = so;
  EXPECT_EQ(again->calls(), 2);
}

TEST_F(ComponentModelTest, TieKeepsItsSpecObjectAliveAndEverythingIsReleasedOnce) {
  KroITestWidget_var widget;
  {
    KroISpecObject_var so = newWidget();
    widget = so;
    m_container->RemoveObject(so);
  }
  // Only the tie holds the spec object now.
  ASSERT_EQ(widget->setLabel("kept"), S_OK);
  KroUnicodeString label;
  widget->getLabel(label);
  EXPECT_EQ(label, "kept");
  widget = nullptr;  // TearDown checks that tie, implementation and spec object are all gone
}

TEST_F(ComponentModelTest, HandlesQueryOnAssignAndRefuseNullDereference) {
  KroISpecObject_var so = newWidget();
  KroIContainer_var notAContainer = so;
  EXPECT_TRUE(!notAContainer);
  EXPECT_THROW(notAContainer->GetName(), KroNullVarError);
  KroISpecObject_var empty;
  EXPECT_THROW(empty->GetName(), KroNullVarError);

  ULONG before = so->GetRefCount();
  {
    KroISpecAttrAccess_var access = so;  // same object, another interface: one more reference
    KroISpecObject_var copy = access;
    EXPECT_EQ(copy.ptr(), so.ptr());
    EXPECT_EQ(so->GetRefCount(), before + 2);
  }
  EXPECT_EQ(so->GetRefCount(), before);

  KroBaseUnknown* byName = so->QueryInterface("KroISpecAttrAccess");
  ASSERT_NE(byName, nullptr);
  byName->Release();
  EXPECT_EQ(so->QueryInterface("NoSuchInterface"), nullptr);
}

TEST_F(ComponentModelTest, MetaClassesDescribeClassesAndTies) {
  KroISpecObject_var so = newWidget();
  KroITestWidget_var widget = so;
  KroBaseUnknown *impl, *current;
  widget->whoAmI(impl, current);

  EXPECT_STREQ(impl->IsA(), "KroTestWidget");
  EXPECT_TRUE(impl->IsAKindOf("KroBaseUnknown"));
  EXPECT_FALSE(impl->IsAKindOf("KroTestGadget"));
  EXPECT_STREQ(KroTestWidget::ClassName(), "KroTestWidget");
  EXPECT_FALSE(KroTestWidget::ClassId() == KroTestGadget::ClassId());
  KroMetaClass* meta = KroTestWidget::MetaObject();
  EXPECT_EQ(meta->GetTypeOfClass(), KroTypeOfClass_Extension);
  EXPECT_STREQ(meta->GetLateType(), "TestWidget");
  EXPECT_STREQ(meta->GetFramework(), "TestFramework");

  KroMetaClass* tieMeta = widget->GetMetaObject();
  EXPECT_EQ(tieMeta->GetTypeOfClass(), KroTypeOfClass_Tie);
  EXPECT_TRUE(tieMeta->GetIID() == IID_KroITestWidget);
  EXPECT_EQ(tieMeta->GetImplementationMeta(), meta);
  EXPECT_EQ(fct_RetrieveMetaObject("KroTestWidget", 2, nullptr, "", "", 0), meta);  // built once
}

TEST_F(ComponentModelTest, RegistrationEndsWithItsDictionaryEntry) {
  KroISpecObject_var other = KroISpecObject_var::Adopt(m_otherStartUp->Instanciate("", nullptr));
  {
    // Register the widget for the "Other" late type through a temporary meta object of that type.
    KroMetaClass* otherMeta = fct_RetrieveMetaObject("KroTestWidgetOnOther", KroTypeOfClass_Extension,
                                                     KroBaseUnknown::MetaObject(), "Other", "TestFramework", 0);
    KroFillDictionary entry(otherMeta, KroITestGadget::MetaObject(), &CreateTIEKroITestGadgetKroTestGadget, 0, 1);
    KroITestGadget_var gadget = other;
    ASSERT_TRUE(gadget);
    EXPECT_EQ(gadget->calls(), 1);
  }
  KroITestGadget_var gone = other;
  EXPECT_FALSE(gone);
}

}  // namespace

// A client's spec object that forwards to a modeler object it holds, for tests of what a container
// does with objects it does not own the implementation of.
#pragma once

#include <functional>

#include "KroSpecModeler.h"

// A client's spec object that forwards to a modeler object it holds.
class Decorator final : public KroISpecObject {
 public:
  explicit Decorator(KroISpecObject* inner) : m_inner(inner) {}
  HRESULT QueryInterface(const IID& iid, void** out) override { return KroQueryInterfaces<KroISpecObject>(this, iid, out); }
  KroISpecObject* Instanciate(const KroUnicodeString& n, const KroIContainer_var& c, int f) override {
    return m_inner->Instanciate(n, c, f);
  }
  KroISpecAttribute* AddAttribute(const KroUnicodeString& n, TCKind k, int f) override { return m_inner->AddAttribute(n, k, f); }
  KroISpecAttribute* AddAttribute(const KroUnicodeString& n, TCKind k, TCKind e, int f) override {
    return m_inner->AddAttribute(n, k, e, f);
  }
  KroISpecAttribute* AddAttribute(const KroUnicodeString& n, TCKind k, const KroUnicodeString& t, int f) override {
    return m_inner->AddAttribute(n, k, t, f);
  }
  KroISpecAttribute* GetAttribute(const KroUnicodeString& n) override { return m_inner->GetAttribute(n); }
  HRESULT RemoveAttribute(KroISpecAttribute* a) override { return m_inner->RemoveAttribute(a); }
  KroListValKroISpecAttribute_var* ListAttributes() override { return m_inner->ListAttributes(); }
  int CountAttributes() const override { return m_inner->CountAttributes(); }
  KroUnicodeString GetName() const override { return m_inner->GetName(); }
  KroUnicodeString GetLateType() const override { return m_inner->GetLateType(); }
  int IsStartUp() const override { return m_inner->IsStartUp(); }
  KroISpecObject* GetStartUp() override { return m_inner->GetStartUp(); }
  KroIContainer* GetContainer() override { return m_inner->GetContainer(); }
  KroSpecObject* GetModelerObject() override { return m_inner->GetModelerObject(); }

  // Called from the destructor, as a client's clean-up might.
  std::function<void()> onDestroy;
  ~Decorator() override {
    if (onDestroy) onDestroy();
  }

 private:
  KroISpecObject_var m_inner;
};

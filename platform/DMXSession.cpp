#include "DMXSession.h"

namespace {

class KroDmxFactoryManager final : public KroIDmxFactoryManager {
 public:
  HRESULT QueryInterface(const IID& iid, void** out) override {
    return KroQueryInterfaces<KroIDmxFactoryManager>(this, iid, out);
  }
  KroUnicodeString GetSessionName() const override { return "default"; }
};

struct SessionState {
  bool available = true;
  KroIDmxFactoryManager_var custom;
  KroIDmxFactoryManager_var builtIn;
};

SessionState& State() {
  static SessionState state;
  return state;
}

}  // namespace

DMXSession* DMXSession::OpenSession() {
  static DMXSession session;
  return State().available ? &session : nullptr;
}

HRESULT DMXSession::GetDMXObjectFactory(KroIDmxFactoryManager_var& out) {
  SessionState& state = State();
  if (state.custom) {
    out = state.custom;
    return S_OK;
  }
  if (!state.builtIn) state.builtIn = KroIDmxFactoryManager_var::Adopt(new KroDmxFactoryManager());
  out = state.builtIn;
  return S_OK;
}

void DMXSession::SetFactoryManager(KroIDmxFactoryManager* manager) { State().custom = manager; }

void DMXSession::SetAvailable(bool available) { State().available = available; }

#include "DMXSession.h"

#include "KroCfgModel.h"
#include "KroCfgServerConnection.h"

namespace {

// The built-in factory manager is also the configuration manager: one object, one identity.
class KroDmxFactoryManager final : public KroIDmxFactoryManager, public KroCfgManager {
 public:
  HRESULT QueryInterface(const IID& iid, void** out) override {
    return KroQueryInterfaces<KroIDmxFactoryManager, KroICfgManager>(this, iid, out);
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

KroIDmxFactoryManager_var CurrentManager() {
  SessionState& state = State();
  if (!state.builtIn && !state.custom) KroCfgServerConnection::FromEnvironment();
  if (state.custom) return state.custom;
  if (!state.builtIn) state.builtIn = KroIDmxFactoryManager_var::Adopt(new KroDmxFactoryManager());
  return state.builtIn;
}

}  // namespace

DMXSession* DMXSession::OpenSession() {
  static DMXSession session;
  return State().available ? &session : nullptr;
}

HRESULT DMXSession::GetDMXObjectFactory(KroIDmxFactoryManager_var& out) {
  out = CurrentManager();
  return S_OK;
}

void DMXSession::SetFactoryManager(KroIDmxFactoryManager* manager) { State().custom = manager; }

void DMXSession::SetAvailable(bool available) { State().available = available; }

bool DMXSession::ManagerMade() { return static_cast<bool>(State().builtIn); }

// The model is reachable whether or not a session can be opened: only the services' own entry point
// goes through the session.
KroICfgManager_var KroICfgInit::GetCfgManager() { return KroICfgManager_var(CurrentManager()); }

#include "KroCfgServerConnection.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "DMXSession.h"
#include "KroCfgServerManager.h"
#include "KroCfgUuid.h"

namespace {

constexpr const char* kLibrary = "libKroCfgServerConnection.so";

struct Connection {
  bool environmentRead = false;
  std::string address;
  std::string lastError;
  KroCfgServerProvider* provider = nullptr;  // owned; the library it came from stays loaded
  KroCfgServerManager* manager = nullptr;    // the session holds it
};

Connection& State() {
  // Left to the end of the process on purpose: CloseAtExit ends the connection while the transport
  // still stands.
  static auto* state = new Connection();
  return *state;
}

// The folder of the library (or program) that holds this code: the connection library is looked for
// beside the platform first.
std::string OwnFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&OwnFolder), &info) || !info.dli_fname) return {};
  std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsFile(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// KRO_CONFIG_SERVER_PROVIDER (a path) when set; else the library beside the platform; else the
// dynamic loader's own search (LD_LIBRARY_PATH, the program's run path, the system's folders).
HRESULT LoadProvider(const std::string& address, KroCfgServerProvider*& out, std::string& message) {
  std::string path;
  if (const char* chosen = std::getenv("KRO_CONFIG_SERVER_PROVIDER"); chosen && *chosen) {
    path = chosen;
  } else {
    path = OwnFolder() + kLibrary;
    if (!IsFile(path)) path = kLibrary;
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    message = "cannot connect to " + address + ": the connection library " + path + " cannot be loaded (" +
              (why ? why : "unknown reason") + ")";
    return E_FAIL;
  }
  auto open = reinterpret_cast<KroCfgServerProviderOpenFn>(dlsym(handle, KRO_CFG_SERVER_PROVIDER_ENTRY));
  if (!open) {
    message = "cannot connect to " + address + ": " + path + " is not a connection library";
    dlclose(handle);
    return E_FAIL;
  }
  std::string error;
  out = open(KRO_CFG_SERVER_PROVIDER_VERSION, address.c_str(), 0, &error);
  if (!out) {
    message = "cannot connect to " + address + ": " + error;
    return E_INVALIDARG;
  }
  // Never unloaded: the transport's threads and exit handlers live in it.
  return S_OK;
}

// A uuid that no live object of the process has.
HRESULT Resolve(const SEQUENCE_octet& uuid, KroILinkableObject_var& out) {
  KroCfgServerConnection::FromEnvironment();
  KroCfgServerManager* manager = State().manager;
  return manager ? manager->Bind(uuid, out) : KRO_E_UUID_NOT_BOUND;
}

// Installed at load, so that a process whose first call is a bind connects from KRO_CONFIG_SERVER too.
// Without a connection it answers as the registry alone would.
const bool s_resolverInstalled = (KroCfgUuid::SetResolver(&Resolve), true);

void CloseAtExit() {
  Connection& c = State();
  if (c.manager) c.manager->Forget();
  delete c.provider;
  c.provider = nullptr;
}

HRESULT Open(const std::string& address, bool checked, std::string& message) {
  Connection& c = State();
  if (c.manager) {
    message = "cannot connect to " + address + ": the process is connected to " + c.address + " already";
    return E_UNEXPECTED;
  }
  if (DMXSession::ManagerMade()) {
    message = "cannot connect to " + address +
              ": the configuration manager was handed out already; connect before the first manager call";
    return E_UNEXPECTED;
  }
  KroCfgServerProvider* provider = nullptr;
  HRESULT hr = LoadProvider(address, provider, message);
  if (FAILED(hr)) return hr;
  std::string error;
  hr = provider->Ping(error);
  if (FAILED(hr)) {
    message = "cannot connect to " + address + ": " + error;
    if (checked) {
      delete provider;
      return hr;
    }
  }
  c.address = address;
  c.provider = provider;
  c.manager = new KroCfgServerManager(provider);
  DMXSession::SetFactoryManager(c.manager);
  c.manager->Release();  // the session's reference is the one that counts
  std::atexit(&CloseAtExit);
  return hr;
}

}  // namespace

HRESULT KroCfgServerConnection::Connect(const std::string& address, std::string& message) {
  State().environmentRead = true;  // the call decides, not the variable
  message.clear();
  HRESULT hr = Open(address, true, message);
  if (FAILED(hr)) State().lastError = message;
  return hr;
}

void KroCfgServerConnection::FromEnvironment() {
  Connection& c = State();
  if (c.environmentRead) return;
  c.environmentRead = true;
  const char* address = std::getenv("KRO_CONFIG_SERVER");
  if (!address || !*address) return;
  std::string message;
  // The manager is backed by the server even when it does not answer yet: every call tries again
  // and fails with the server's code meanwhile.
  if (FAILED(Open(address, false, message)) || !message.empty()) {
    c.lastError = message;
    std::fprintf(stderr, "KRO_CONFIG_SERVER: %s\n", message.c_str());
  }
}

bool KroCfgServerConnection::IsConnected() { return State().manager != nullptr; }

std::string KroCfgServerConnection::Address() { return State().address; }

std::string KroCfgServerConnection::LastError() {
  const Connection& c = State();
  if (c.manager && !c.manager->LastError().empty()) return c.manager->LastError();
  return c.lastError;
}

long KroCfgServerConnection::Requests() { return State().manager ? State().manager->Requests() : 0; }

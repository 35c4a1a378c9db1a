// cfgso-server: the configuration server. Keeps the records in one SQLite file and answers the Store
// interface of CfgServer.idl over CORBA; prints its corbaloc: address on standard output when ready.
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>
#include <omniORB4/CORBA.h>
#include <omniORB4/IIOP.h>
#include <omniORB4/omniIOR.h>

#include "CfgServerServant.h"
#include "CfgServerStore.h"

namespace {

const char* const kObjectKey = "CfgServer";

const char* const kFooter =
    "ENDPOINT is giop:tcp:HOST:PORT (an empty PORT takes a free one) or giop:unix:PATH.\n"
    "SIGTERM or SIGINT: the requests in flight finish, the database is closed, exit status 0.\n"
    "\n"
    "Exit codes: 0 success, 1 failure, 2 usage error.";

bool Loopback(const std::string& endpoint) {
  if (endpoint.starts_with("giop:unix:")) return true;
  for (const char* host : {"giop:tcp:127.", "giop:tcp:localhost:", "giop:tcp:[::1]:"})
    if (endpoint.starts_with(host)) return true;
  return false;
}

// The corbaloc: address of the object: the TCP port the ORB chose, or the socket's path.
std::string Address(CORBA::Object_ptr object, const std::string& endpoint) {
  if (endpoint.starts_with("giop:unix:"))
    return "corbaloc:omniunix:" + endpoint.substr(10) + ":/" + kObjectKey;
  omniIOR* ior = object->_PR_getobj()->_getIOR();
  std::string address;
  const IOP::TaggedProfileList& profiles = ior->iopProfiles();
  for (CORBA::ULong i = 0; i < profiles.length() && address.empty(); ++i) {
    if (profiles[i].tag != IOP::TAG_INTERNET_IOP) continue;
    IIOP::ProfileBody body;
    IIOP::unmarshalProfile(profiles[i], body);
    std::string host = body.address.host.in();
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    // GIOP 1.2: a request over the size limit is then answered with an exception, not a dropped
    // connection, as in 1.0, the corbaloc default.
    address = "corbaloc:iiop:1.2@" + host + ":" + std::to_string(body.address.port) + "/" + kObjectKey;
  }
  ior->release();
  return address;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("cfgso-server: the configuration server, records kept in one SQLite database", "cfgso-server");
  app.set_version_flag("--version", "cfgso-server " KRO_CFGSO_VERSION);
  app.footer(kFooter);
  std::string db, endpoint = "giop:tcp:127.0.0.1:";
  bool listenAny = false;
  std::uint64_t maxRequestBytes = 64ull << 20;
  app.add_option("--db", db, "the database file, created when missing")->required()->type_name("FILE");
  app.add_option("--endpoint", endpoint, "where to listen (default giop:tcp:127.0.0.1: a free loopback port)")
      ->type_name("ENDPOINT");
  app.add_flag("--listen-any", listenAny,
               "allow an endpoint other than loopback or a Unix socket: this exposes the server, without "
               "authentication, to the network");
  app.add_option("--max-request-bytes", maxRequestBytes, "refuse requests larger than this (default 64 MiB)")
      ->type_name("N")
      ->check(CLI::Range(std::uint64_t{1024}, std::uint64_t{1} << 31));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);
    std::fprintf(stderr, "cfgso-server: %s\nrun 'cfgso-server --help' for usage\n", e.what());
    return 2;
  }
  if (!Loopback(endpoint) && !listenAny) {
    std::fprintf(stderr,
                 "cfgso-server: %s is reachable from other machines; pass --listen-any to allow it "
                 "(the server has no authentication)\n",
                 endpoint.c_str());
    return 2;
  }

  // The ORB's threads inherit this mask; the main thread alone takes the signals, below.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  std::unique_ptr<CfgServerStore> store;
  try {
    store = std::make_unique<CfgServerStore>(db);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cfgso-server: %s\n", e.what());
    return 1;
  }

  CORBA::ORB_var orb;
  try {
    const std::string maxSize = std::to_string(maxRequestBytes);
    const char* options[][2] = {{"endPoint", endpoint.c_str()},
                                {"giopMaxMsgSize", maxSize.c_str()},
                                {"supportBootstrapAgent", "0"},
                                {nullptr, nullptr}};
    int orbArgc = 1;
    char* orbArgv[] = {argv[0], nullptr};
    orb = CORBA::ORB_init(orbArgc, orbArgv, "omniORB4", options);
    CORBA::Object_var poaObject = orb->resolve_initial_references("omniINSPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(poaObject);
    auto servant = std::make_unique<CfgServerServant>(*store);
    PortableServer::ObjectId_var key = PortableServer::string_to_ObjectId(kObjectKey);
    poa->activate_object_with_id(key, servant.get());
    servant.release()->_remove_ref();  // the POA holds it now
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
    CORBA::Object_var object = poa->id_to_reference(key);
    const std::string address = Address(object, endpoint);
    if (address.empty()) throw CORBA::BAD_PARAM();
    std::printf("%s\n", address.c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stop, &signal);
    // Waits for the requests in flight.
    orb->shutdown(true);
    orb->destroy();
  } catch (const CORBA::Exception& e) {
    std::fprintf(stderr, "cfgso-server: cannot serve on %s: %s\n", endpoint.c_str(), e._name());
    if (!CORBA::is_nil(orb)) orb->destroy();
    return 1;
  }
  store.reset();
  return 0;
}

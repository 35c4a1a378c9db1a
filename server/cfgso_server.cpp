// cfgso-server: the configuration server. Keeps the records in one SQLite file and answers the Store
// interface of CfgServer.idl over CORBA; prints its corbaloc: address on standard output when ready.
#include <getopt.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <omniORB4/CORBA.h>
#include <omniORB4/IIOP.h>
#include <omniORB4/internal/giopStream.h>
#include <omniORB4/omniIOR.h>

#include "CfgServerServant.h"
#include "CfgServerStore.h"

namespace {

const char* const kObjectKey = "CfgServer";

// Five options are parsed here with getopt_long: the command-line parser cfgso uses is a header
// library that costs seconds of compiling in every file that includes it.
const char* const kHelp =
    "cfgso-server: the configuration server, records kept in one SQLite database\n"
    "Usage: cfgso-server --db FILE [OPTIONS]\n"
    "\n"
    "Options:\n"
    "  -h,--help                   Print this help message and exit\n"
    "  --version                   Display program version information and exit\n"
    "  --db FILE REQUIRED          the database file, created when missing\n"
    "  --endpoint ENDPOINT         where to listen (default giop:tcp:127.0.0.1: a free loopback port)\n"
    "  --listen-any                allow an endpoint other than loopback or a Unix socket: this exposes the\n"
    "                              server, without authentication, to the network\n"
    "  --max-request-bytes N       refuse requests larger than this, 1024 to 2147483648 (default 64 MiB)\n"
    "\n"
    "ENDPOINT is giop:tcp:HOST:PORT (an empty PORT takes a free one) or giop:unix:PATH.\n"
    "SIGTERM or SIGINT: the requests in flight finish, the database is closed, exit status 0.\n"
    "\n"
    "Exit codes: 0 success, 1 failure, 2 usage error.\n";

struct Options {
  std::string db;
  std::string endpoint = "giop:tcp:127.0.0.1:";
  bool listenAny = false;
  std::uint64_t maxRequestBytes = 64ull << 20;
};

// -1 when the program goes on with the options; else the exit status, after printing help, the
// version or what is wrong.
int Parse(int argc, char** argv, Options& options) {
  enum { kDb = 256, kEndpoint, kListenAny, kMaxRequestBytes, kVersion };
  const option longOptions[] = {{"help", no_argument, nullptr, 'h'},
                                {"version", no_argument, nullptr, kVersion},
                                {"db", required_argument, nullptr, kDb},
                                {"endpoint", required_argument, nullptr, kEndpoint},
                                {"listen-any", no_argument, nullptr, kListenAny},
                                {"max-request-bytes", required_argument, nullptr, kMaxRequestBytes},
                                {nullptr, 0, nullptr, 0}};
  auto usage = [](const std::string& what) {
    std::fprintf(stderr, "cfgso-server: %s\nrun 'cfgso-server --help' for usage\n", what.c_str());
    return 2;
  };
  opterr = 0;  // the messages are ours
  int choice;
  while ((choice = getopt_long(argc, argv, ":h", longOptions, nullptr)) != -1) {
    switch (choice) {
      case 'h': std::fputs(kHelp, stdout); return 0;
      case kVersion: std::puts("cfgso-server " KRO_CFGSO_VERSION); return 0;
      case kDb: options.db = optarg; break;
      case kEndpoint: options.endpoint = optarg; break;
      case kListenAny: options.listenAny = true; break;
      case kMaxRequestBytes: {
        char* end = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(optarg, &end, 10);
        if (*optarg == '-' || end == optarg || *end != '\0' || errno != 0 || value < 1024 || value > (1ull << 31))
          return usage(std::string("--max-request-bytes: '") + optarg + "' is not a number from 1024 to 2147483648");
        options.maxRequestBytes = value;
        break;
      }
      case ':': return usage(std::string(argv[optind - 1]) + " needs a value");
      default: return usage(std::string("unknown option ") + argv[optind - 1]);
    }
  }
  if (optind < argc) return usage(std::string("unexpected argument '") + argv[optind] + "'");
  if (options.db.empty()) return usage("--db FILE is required");
  return -1;
}

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
  Options parsed;
  if (const int status = Parse(argc, argv, parsed); status >= 0) return status;
  const std::string& db = parsed.db;
  const std::string& endpoint = parsed.endpoint;
  const std::uint64_t maxRequestBytes = parsed.maxRequestBytes;
  if (!Loopback(endpoint) && !parsed.listenAny) {
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

  // omniORB stages messages in buffers of 8 KiB and sends a fragment per buffer: a query's answer of
  // tens of KiB took a send and a wake-up of the client per fragment. One buffer takes most answers
  // whole (internal setting of omniORB's, read when the ORB starts; the client sets the same).
  omni::giopStream::bufferSize = 64 * 1024;
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

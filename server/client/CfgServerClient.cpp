#include "CfgServerClient.h"

#include <cstdlib>
#include <mutex>

#include <omniORB4/minorCode.h>
#include <omniORB4/internal/giopStream.h>

namespace {

// One ORB per process, shared by every connection and destroyed with the last.
std::mutex s_mutex;
int s_connections = 0;

std::string Hex(const CfgServer::Uuid& id) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (CORBA::ULong i = 0; i < id.length(); ++i) {
    out += digits[id[i] >> 4];
    out += digits[id[i] & 15];
  }
  return out;
}

}  // namespace

HRESULT CfgServerClient::Connect(const std::string& address, std::unique_ptr<CfgServerClient>& out,
                                 std::string& error, unsigned timeoutMs) {
  out.reset();
  if (timeoutMs == 0) {
    timeoutMs = 5000;
    if (const char* text = std::getenv("KRO_CONFIG_SERVER_TIMEOUT_MS")) {
      char* end = nullptr;
      unsigned long value = std::strtoul(text, &end, 10);
      if (end != text && *end == '\0' && value > 0 && value < 3600000) timeoutMs = static_cast<unsigned>(value);
    }
  }
  if (!address.starts_with("corbaloc:")) {
    error = "'" + address + "' is not a server address (corbaloc:..., as cfgso-server prints it)";
    return E_INVALIDARG;
  }
  std::unique_ptr<CfgServerClient> client(new CfgServerClient);
  client->m_address = address;
  client->m_timeoutMs = timeoutMs;
  std::lock_guard<std::mutex> lock(s_mutex);
  try {
    const std::string timeout = std::to_string(timeoutMs);
    const char* options[][2] = {{"clientCallTimeOutPeriod", timeout.c_str()},
                                {"clientConnectTimeOutPeriod", timeout.c_str()},
                                // Replies as large as the server sends; the server limits requests.
                                {"giopMaxMsgSize", "1073741824"},
                                {nullptr, nullptr}};
    // Replies of tens of KiB (queries, lists) arrive in one buffer rather than in fragments of 8 KiB,
    // each a wake-up (see the server's main).
    omni::giopStream::bufferSize = 64 * 1024;
    int argc = 1;
    char name[] = "cfgso";
    char* argv[] = {name, nullptr};
    client->m_orb = CORBA::ORB_init(argc, argv, "omniORB4", options);
    ++s_connections;
    CORBA::Object_var object = client->m_orb->string_to_object(address.c_str());
    client->m_store = CfgServer::Store::_unchecked_narrow(object);
  } catch (const CORBA::Exception& e) {
    error = "'" + address + "' is not a server address (" + e._name() + ")";
    return E_INVALIDARG;
  }
  out = std::move(client);
  return S_OK;
}

CfgServerClient::~CfgServerClient() {
  m_store = CfgServer::Store::_nil();
  std::lock_guard<std::mutex> lock(s_mutex);
  if (!CORBA::is_nil(m_orb) && --s_connections == 0) m_orb->destroy();
}

const char* CfgServerClient::ResultName(HRESULT hr) {
  switch (hr) {
    case KRO_E_SERVER_UNAVAILABLE: return "KRO_E_SERVER_UNAVAILABLE";
    case KRO_E_SERVER_TIMEOUT: return "KRO_E_SERVER_TIMEOUT";
    case KRO_E_SERVER_BAD_INPUT: return "KRO_E_SERVER_BAD_INPUT";
    case KRO_E_SERVER_DUPLICATE_UUID: return "KRO_E_SERVER_DUPLICATE_UUID";
    case KRO_E_SERVER_REFUSED: return "KRO_E_SERVER_REFUSED";
    case KRO_E_SERVER_STORAGE: return "KRO_E_SERVER_STORAGE";
    default: return nullptr;
  }
}

HRESULT CfgServerClient::Failure(const CORBA::Exception& e, std::string& error) const {
  if (const auto* bad = CfgServer::BadInput::_downcast(&e)) {
    error = std::string(bad->field.in()) + ": " + bad->reason.in();
    return KRO_E_SERVER_BAD_INPUT;
  }
  if (const auto* unknown = CfgServer::UnknownUuid::_downcast(&e)) {
    error = std::string(unknown->field.in()) + ": no record has the uuid " + Hex(unknown->id);
    return KRO_E_UUID_NOT_BOUND;
  }
  if (const auto* duplicate = CfgServer::DuplicateUuid::_downcast(&e)) {
    error = std::string(duplicate->field.in()) + ": a record has the uuid " + Hex(duplicate->id) + " already";
    return KRO_E_SERVER_DUPLICATE_UUID;
  }
  if (const auto* storage = CfgServer::StorageFailure::_downcast(&e)) {
    error = std::string("the server's database failed: ") + storage->reason.in();
    return KRO_E_SERVER_STORAGE;
  }
  const std::string at = " (" + m_address + ")";
  if (const auto* system = CORBA::SystemException::_downcast(&e)) {
    const CORBA::ULong minor = system->minor();
    if (CORBA::TIMEOUT::_downcast(&e) || (CORBA::TRANSIENT::_downcast(&e) && minor == omni::TRANSIENT_CallTimedout)) {
      error = "the server did not answer within " + std::to_string(m_timeoutMs) + " ms" + at;
      return KRO_E_SERVER_TIMEOUT;
    }
    // omniORB's server answers a request over its size limit by closing the connection while the
    // client is still sending it.
    if (CORBA::MARSHAL::_downcast(&e) || CORBA::IMP_LIMIT::_downcast(&e) || CORBA::BAD_PARAM::_downcast(&e) ||
        (CORBA::COMM_FAILURE::_downcast(&e) && minor == omni::COMM_FAILURE_MarshalArguments)) {
      error = std::string("the server refused the request (") + e._name() + "): larger than it takes, or malformed" + at;
      return KRO_E_SERVER_REFUSED;
    }
    if (CORBA::TRANSIENT::_downcast(&e) || CORBA::COMM_FAILURE::_downcast(&e) ||
        CORBA::OBJECT_NOT_EXIST::_downcast(&e) || CORBA::INV_OBJREF::_downcast(&e)) {
      error = std::string("no server answers (") + e._name() + " " + std::to_string(minor & 0xFFFF) + ")" + at;
      return KRO_E_SERVER_UNAVAILABLE;
    }
  }
  error = std::string("the call failed: ") + e._name() + at;
  return E_FAIL;
}

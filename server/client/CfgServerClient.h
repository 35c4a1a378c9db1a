// A client's connection to cfgso-server: the ORB, the server's object reference and the call
// timeout, with every failure turned into a documented HRESULT and a message. Not part of the library:
// programs that talk to the server link this (and omniORB) themselves.
#pragma once

#include <memory>
#include <string>

#include "CfgServer.hh"
#include "KroTypes.h"

// No server answers at the address (refused, gone, or the connection broke).
constexpr HRESULT KRO_E_SERVER_UNAVAILABLE = static_cast<HRESULT>(0x80040220u);
// The server did not answer within the timeout (KRO_CONFIG_SERVER_TIMEOUT_MS, default 5000).
constexpr HRESULT KRO_E_SERVER_TIMEOUT = static_cast<HRESULT>(0x80040221u);
// The server refused a field of the request (CfgServer::BadInput); the message names the field.
constexpr HRESULT KRO_E_SERVER_BAD_INPUT = static_cast<HRESULT>(0x80040222u);
// A record with that uuid exists already (CfgServer::DuplicateUuid).
constexpr HRESULT KRO_E_SERVER_DUPLICATE_UUID = static_cast<HRESULT>(0x80040223u);
// The request was larger than the server takes (--max-request-bytes), or not a well-formed request.
constexpr HRESULT KRO_E_SERVER_REFUSED = static_cast<HRESULT>(0x80040224u);
// The server's database failed; nothing of the request was written (CfgServer::StorageFailure).
constexpr HRESULT KRO_E_SERVER_STORAGE = static_cast<HRESULT>(0x80040225u);
// An unknown uuid gives the platform's KRO_E_UUID_NOT_BOUND.

class CfgServerClient {
 public:
  // A connection to the corbaloc: address that cfgso-server printed. timeoutMs 0 takes
  // KRO_CONFIG_SERVER_TIMEOUT_MS, else 5000. Connecting sends nothing: the first call reaches the
  // server. E_INVALIDARG (with a message) for an address that is not one.
  static HRESULT Connect(const std::string& address, std::unique_ptr<CfgServerClient>& out, std::string& error,
                         unsigned timeoutMs = 0);
  ~CfgServerClient();
  CfgServerClient(const CfgServerClient&) = delete;
  CfgServerClient& operator=(const CfgServerClient&) = delete;

  const std::string& address() const { return m_address; }
  unsigned timeoutMs() const { return m_timeoutMs; }
  CfgServer::Store_ptr store() const { return m_store.in(); }

  // Runs call(store()); S_OK, or the failure's code with its message in error.
  template <class F>
  HRESULT Call(F call, std::string& error) const {
    try {
      call(m_store.in());
      return S_OK;
    } catch (const CORBA::Exception& e) {
      return Failure(e, error);
    }
  }

  // The name of one of the KRO_E_SERVER_ codes above ("KRO_E_SERVER_TIMEOUT"), nullptr for any other.
  static const char* ResultName(HRESULT hr);

  // The HRESULT and message of an exception a call raised.
  HRESULT Failure(const CORBA::Exception& e, std::string& error) const;

 private:
  CfgServerClient() = default;
  std::string m_address;
  unsigned m_timeoutMs = 5000;
  CORBA::ORB_var m_orb;
  CfgServer::Store_var m_store;
};

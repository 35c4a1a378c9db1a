// Connects the process's configuration manager to a configuration server (cfgso-server). Once
// connected, the specifications (with their categories), action subscribers, group modifications,
// modifications and filters that the manager makes are stored on the server with their uuids, and a
// uuid that no live object of the process has is looked up there, rebuilt, and kept for the rest of the
// process. Without a connection nothing of this happens and nothing of it is loaded.
//
// The connection is made by Connect, or on the first manager call or bind of the process when the
// environment variable KRO_CONFIG_SERVER holds an address. The transport is a library of its own,
// libKroCfgServerConnection.so, loaded then (see KroCfgServerProvider.h and docs/server.md).
#pragma once

#include "KroExport.h"

#include <string>

#include "KroTypes.h"

class KRO_PLATFORM_API KroCfgServerConnection {
 public:
  // Connects to the server at address (the corbaloc: line that cfgso-server prints) and checks that it
  // answers, within the timeout (KRO_CONFIG_SERVER_TIMEOUT_MS, default 5000). Must come before the
  // process's first manager call. S_OK; otherwise message names the address and the cause:
  // E_UNEXPECTED when the manager was handed out already or the process is connected; E_INVALIDARG
  // for a text that is not an address; E_FAIL when the connection library cannot be loaded; the
  // server's own code (0x80040220 unavailable, 0x80040221 timeout) when no server answers.
  static HRESULT Connect(const std::string& address, std::string& message);
  static bool IsConnected();
  // The address connected to, or empty.
  static std::string Address();
  // The message of the last failed request to the server (or of the failed connection).
  static std::string LastError();
  // Requests sent to the server by this process, for callers that count them.
  static long Requests();

  // Called by the session before it hands out the process's first manager: connects when
  // KRO_CONFIG_SERVER is set. A server that does not answer then is reported on standard error; the
  // manager stays connected, and each call tries the server again.
  static void FromEnvironment();
};

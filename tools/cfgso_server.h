// cfgso push, cfgso pull and cfgso query --server: documents streamed to and from cfgso-server. The
// options are cfgso.cpp's to declare (it alone compiles the command-line parser); the work is here.
#pragma once

#include <string>

#include "KroTypes.h"

#include "cfgso_query.h"

// The name of a code of the server's client (KRO_E_SERVER_...), nullptr for any other or without it.
const char* ServerResultName(HRESULT hr);

// What the server commands take from the command line.
struct ServerOptions {
  std::string server;  // the address cfgso-server printed
  std::string file;    // push: the document to send; pull: the document to write
  std::string domain;  // pull: only this domain's records
};

class CfgsoServerCommands {
 public:
  enum class Command { Push, Pull, Query };

  // Whether this cfgso has the server's client (it needs omniORB): without it the commands are there
  // and say so.
  static bool Available();
  // Runs one of them; a query with neither FILE nor --server, or with both, is refused here. The exit
  // status: 0, 1 on failure, 2 for usage.
  static int Run(Command command, const ServerOptions& options, const QueryOptions& query);
};

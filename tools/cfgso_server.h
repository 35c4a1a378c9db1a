// cfgso push, cfgso pull and cfgso query --server: documents streamed to and from cfgso-server.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "KroTypes.h"

#include "cfgso_query.h"

// The name of a code of the server's client (KRO_E_SERVER_...), nullptr for any other or without it.
const char* ServerResultName(HRESULT hr);

class CfgsoServerCommands {
 public:
  // Adds push and pull to the program, and --server to its query command (whose FILE it makes
  // optional: one of the two is needed).
  CfgsoServerCommands(CLI::App& app, CLI::App* query, QueryOptions& options);

  // Whether the command given is one of these (a query with --server counts).
  bool Chosen() const;
  // Whether it needs the catalog (pull makes spec objects).
  bool NeedsCatalog() const;
  // The exit status: 0, 1 on failure, 2 for usage.
  int Run();

 private:
  CLI::App* m_push = nullptr;
  CLI::App* m_pull = nullptr;
  CLI::App* m_query = nullptr;
  QueryOptions& m_options;
  std::string m_server;
  std::string m_file;
  std::string m_domain;
};

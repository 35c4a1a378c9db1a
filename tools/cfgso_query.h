// cfgso query: what is effective where in a saved document.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct QueryOptions {
  std::string file;
  std::string domain;
  std::string date;  // YYYY-MM-DD, empty for none
  std::optional<std::int64_t> rank;
  std::vector<std::string> specs;
  bool mode150 = false;
  bool json = false;
};

// Prints every record that holds at the point, with its object number as cfgso show prints it, its
// late type and the basic effectivity that made it hold. Returns the exit status: 0, 1 when the file
// cannot be read or a record is damaged, 2 for a malformed date.
int QueryDocument(const QueryOptions& options);

// One record that cfgso-server answered holds, as `cfgso query --server --json` prints it.
struct ServerQueryHit {
  std::string uuid;  // 32 hex digits
  std::string type;
  unsigned element = 0;
  unsigned basic = 0;
};

// Prints the server's answer as a JSON array laid out like the file query's, through the same JSON library.
void PrintServerHitsJson(const std::vector<ServerQueryHit>& hits);

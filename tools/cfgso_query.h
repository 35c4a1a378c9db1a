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

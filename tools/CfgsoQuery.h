// cfgso query and cfgso show --svg: what is effective where in a saved document.
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

// Writes the document's effectivities as an SVG picture to standard output: one lane per record,
// grouped by domain, bars on a date axis and a rank axis, the point (at, rank) as lines. Returns the
// exit status as QueryDocument.
int ShowSvg(const std::string& file, const std::string& at, std::optional<std::int64_t> rank);

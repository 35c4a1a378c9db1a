// cfgso show --svg: a saved document's effectivities as a picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The point at which the picture marks what holds; without a date and a rank nothing is marked.
struct SvgPoint {
  std::string at;  // YYYY-MM-DD, empty for none
  std::optional<std::int64_t> rank;
  std::vector<std::string> specs;
  bool mode150 = false;
};

// Writes the document's effectivities as an SVG picture to standard output: one lane per record,
// grouped by domain, each group under its own date and rank axes (a panel only for the kinds that
// occur), the point as lines, and the records and bars that hold there marked and counted. Returns
// the exit status as QueryDocument.
int ShowSvg(const std::string& file, const SvgPoint& point);

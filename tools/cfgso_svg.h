// cfgso show --svg: a saved document's effectivities as a picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Writes the document's effectivities as an SVG picture to standard output: one lane per record,
// grouped by domain, bars on a date axis and a rank axis, the point (at, rank) as lines. Returns the
// exit status as QueryDocument.
int ShowSvg(const std::string& file, const std::string& at, std::optional<std::int64_t> rank);

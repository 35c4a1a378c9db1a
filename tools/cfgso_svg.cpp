// cfgso show --svg: a document's effectivities on their axes, one lane per record, and what holds at
// the point marked.

#include "cfgso_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "KroCfgEffectivityQuery.h"
#include "KroCfgEffectivityReader.h"
#include "KroDocument.h"
#include "cfgso_results.h"

namespace {

using Record = KroCfgEffectivityRecord;

struct Lane {
  int object = 0;
  std::string name;  // the spec object's own name, often empty
  Record record;
};

// Geometry, in pixels. Rows are tall enough for an 11 px label; lanes of several basic effectivities
// stack one row per basic effectivity. Each domain's group repeats the axes above its lanes.
constexpr double kLabelWidth = 230, kGap = 20, kWideWidth = 640, kNarrowWidth = 300, kRow = 18, kTop = 58,
                 kGroupName = 20, kGroupAxis = 26, kLanePad = 4, kBottom = 16;
// Average advance of an 11 px sans-serif character, generous so that estimated widths are not short.
constexpr double kCharWidth = 6.6;
constexpr const char* kEllipsis = "\xE2\x80\xA6";

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Every coordinate goes through here; the axes keep them finite, and this keeps a slip from writing
// "nan" into the file.
std::string Num(double value) {
  if (!std::isfinite(value)) value = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

double TextWidth(const std::string& text) {
  std::size_t characters = 0;
  for (unsigned char c : text) characters += (c & 0xC0) != 0x80;  // UTF-8 lead bytes
  return double(characters) * kCharWidth;
}

// The text cut to fit the width, with an ellipsis when cut; empty when not even three characters fit.
std::string Fitted(const std::string& text, double width) {
  if (TextWidth(text) <= width) return text;
  const auto keep = static_cast<std::size_t>(std::max(0.0, std::floor(width / kCharWidth) - 1));
  if (keep < 3) return std::string();
  std::size_t end = 0, characters = 0;
  while (end < text.size() && characters < keep) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    ++characters;
  }
  return text.substr(0, end) + kEllipsis;
}

std::tm Utc(std::int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm out{};
  gmtime_r(&t, &out);
  return out;
}

std::int64_t FromUtc(int year, int month) {  // first of the month, month 0-11
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month;
  fields.tm_mday = 1;
  return static_cast<std::int64_t>(timegm(&fields));
}

std::string DayText(std::int64_t seconds) {
  std::tm t = Utc(seconds);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return text;
}

std::string RankText(std::int64_t rank) { return std::to_string(rank); }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::int64_t Saturated(__int128 v) {
  return static_cast<std::int64_t>(std::clamp<__int128>(v, std::numeric_limits<std::int64_t>::min(),
                                                        std::numeric_limits<std::int64_t>::max()));
}

// One axis over whole numbers (seconds or ranks): [low, high] onto [x0, x0 + width]. Differences are
// taken in 128 bits before they become doubles, so that values near the ends of 64 bits, where
// doubles are 512 apart, still spread over the width.
struct Axis {
  std::int64_t low = 0, high = 1;
  double x0 = 0, width = 0;
  double at(std::int64_t value) const {
    return x0 + double(static_cast<__int128>(value) - low) / double(static_cast<__int128>(high) - low) * width;
  }
  double clamped(std::int64_t value) const { return std::clamp(at(value), x0, end()); }
  double end() const { return x0 + width; }
};

// The span of the values with a margin of 4% (at least minimum on each side).
Axis Spanning(std::int64_t low, std::int64_t high, std::int64_t minimum, double x0, double width) {
  const __int128 margin = std::max<__int128>(minimum, (static_cast<__int128>(high) - low) / 25);
  Axis axis{Saturated(low - margin), Saturated(high + margin), x0, width};
  if (axis.high <= axis.low) axis.high = axis.low + 1;  // both saturated at the same end
  return axis;
}

struct Text {
  double x, y;
  std::string cls, text, anchor;
};

std::string TextElement(const Text& t) {
  return "<text class=\"" + t.cls + "\" x=\"" + Num(t.x) + "\" y=\"" + Num(t.y) + "\"" +
         (t.anchor.empty() ? std::string() : " text-anchor=\"" + t.anchor + "\"") + ">" + Escaped(t.text) + "</text>";
}

// A bar's label where it fits: inside the bar, after it, or before it, never across the point's line;
// cut with an ellipsis to the widest of those places when it fits nowhere whole.
std::string PlacedLabel(const std::string& label, double x0, double x1, const Axis& panel, std::optional<double> pointX,
                        double y) {
  if (label.empty()) return std::string();
  struct Place {
    double from, to;
    bool inside;
  };
  std::vector<Place> places;
  auto add = [&](double from, double to, bool inside) {
    if (pointX && *pointX + 4 > from && *pointX - 4 < to) {
      places.push_back({from, *pointX - 4, inside});
      places.push_back({*pointX + 4, to, inside});
    } else {
      places.push_back({from, to, inside});
    }
  };
  add(x0 + 3, x1 - 3, true);
  add(x1 + 5, panel.end() - 2, false);
  add(panel.x0 + 2, x0 - 5, false);
  const double width = TextWidth(label);
  const Place* widest = nullptr;
  for (const Place& place : places) {
    if (place.to - place.from >= width)
      return TextElement({place.from, y, place.inside ? "label" : "label out", label, ""});
    if (!widest || place.to - place.from > widest->to - widest->from) widest = &place;
  }
  const std::string cut = widest ? Fitted(label, widest->to - widest->from) : std::string();
  return cut.empty() ? std::string() : TextElement({widest->from, y, widest->inside ? "label" : "label out", cut, ""});
}

struct Panels {
  bool dates = false, ranks = false;
  Axis dateAxis, rankAxis;
  std::optional<double> atX, rankX;
};

// A lane's bars in one panel; holds marks the basic effectivity that holds at the point.
void Bar(std::string& out, const char* kind, bool holds, const Axis& axis, const Record::Interval& interval, double y,
         const std::string& tip) {
  const double x0 = axis.clamped(interval.start);
  const double x1 = interval.end ? axis.clamped(*interval.end) : axis.end();
  out += "<rect class=\"bar " + std::string(kind) + (holds ? " hold" : "") + "\" x=\"" + Num(x0) + "\" y=\"" +
         Num(y + 2) + "\" width=\"" + Num(std::max(2.0, x1 - x0)) + "\" height=\"" + Num(kRow - 4) + "\"><title>" +
         Escaped(tip) + "</title></rect>\n";
  if (!interval.end) {
    const double tip0 = axis.end(), mid = y + kRow / 2;
    out += "<path class=\"arrow\" d=\"M" + Num(tip0 - 8) + " " + Num(y + 1) + " L" + Num(tip0 + 2) + " " + Num(mid) +
           " L" + Num(tip0 - 8) + " " + Num(y + kRow - 1) + " Z\"/>\n";
  }
}

// Year lines and labels, by count: a step of 1, 2, 5, 10, 20... years that leaves labels 42 px apart.
void DateAxis(std::string& out, const Axis& axis, double labelY, double axisY, double bottom) {
  out += "<line class=\"axis\" x1=\"" + Num(axis.x0) + "\" y1=\"" + Num(axisY) + "\" x2=\"" + Num(axis.end()) +
         "\" y2=\"" + Num(axisY) + "\"/>\n";
  const int firstYear = Utc(axis.low).tm_year + 1900, lastYear = Utc(axis.high).tm_year + 1900;
  const double yearWidth = axis.width / std::max(1e-9, double(axis.high - axis.low) / (365.2425 * 86400));
  std::int64_t stepYears = 1;
  for (std::int64_t candidate : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000})
    if ((stepYears = candidate) * yearWidth >= 42) break;
  const bool months = yearWidth / 12 >= 4;
  const std::int64_t from = FloorDiv(firstYear, stepYears) * stepYears;
  bool named = false;
  for (std::int64_t year = from; year <= lastYear; year += stepYears) {
    const std::int64_t jan = FromUtc(static_cast<int>(year), 0);
    if (jan >= axis.low && jan <= axis.high) {
      const double x = axis.at(jan);
      out += "<line class=\"tick year\" x1=\"" + Num(x) + "\" y1=\"" + Num(axisY - 8) + "\" x2=\"" + Num(x) +
             "\" y2=\"" + Num(bottom) + "\"/>\n";
      if (axis.end() - x >= 30) out += TextElement({x + 2, labelY, "year", std::to_string(year), ""}) + "\n", named = true;
    }
    if (!months) continue;
    for (int month = 1; month < 12; ++month) {
      const std::int64_t first = FromUtc(static_cast<int>(year), month);
      if (first < axis.low || first > axis.high) continue;
      const double x = axis.at(first);
      out += "<line class=\"tick month\" x1=\"" + Num(x) + "\" y1=\"" + Num(axisY - 4) + "\" x2=\"" + Num(x) +
             "\" y2=\"" + Num(axisY) + "\"/>\n";
    }
  }
  // The axis's first year is named at its start when its January lies before it, or no year is named.
  const std::int64_t nextJan = FromUtc(firstYear + 1, 0);
  if (!named || axis.at(nextJan) - axis.x0 >= 40)
    out += TextElement({axis.x0 + 2, labelY, "year", std::to_string(firstYear), ""}) + "\n";
}

// About six ticks at 1, 2 or 5 times a power of ten, by count; whole ranks only.
void RankAxis(std::string& out, const Axis& axis, double labelY, double axisY, double bottom) {
  out += "<line class=\"axis\" x1=\"" + Num(axis.x0) + "\" y1=\"" + Num(axisY) + "\" x2=\"" + Num(axis.end()) +
         "\" y2=\"" + Num(axisY) + "\"/>\n";
  const double raw = std::max(1.0, double(static_cast<__int128>(axis.high) - axis.low) / 6);
  std::int64_t power = 1;
  while (power <= std::numeric_limits<std::int64_t>::max() / 10 && double(power) * 10 <= raw) power *= 10;
  std::int64_t step = power;
  for (std::int64_t factor : {2, 5, 10})
    if (double(step) * 1.5 < raw && power <= std::numeric_limits<std::int64_t>::max() / factor) step = power * factor;
  const std::int64_t first = FloorDiv(axis.low, step) + 1, last = FloorDiv(axis.high, step);
  double lastLabelEnd = -1e9;
  for (std::int64_t i = first; i <= last; ++i) {
    const std::int64_t v = Saturated(static_cast<__int128>(i) * step);
    const double x = axis.at(v);
    out += "<line class=\"tick rank\" x1=\"" + Num(x) + "\" y1=\"" + Num(axisY - 6) + "\" x2=\"" + Num(x) + "\" y2=\"" +
           Num(bottom) + "\"/>\n";
    const std::string label = RankText(v);
    if (x + 2 >= lastLabelEnd && x + 2 + TextWidth(label) <= axis.end() + kGap) {
      out += TextElement({x + 2, labelY, "rank", label, ""}) + "\n";
      lastLabelEnd = x + 2 + TextWidth(label) + 6;
    }
  }
}

// The point's line across a group, and its label whole on the side where it fits.
void PointLine(std::string& out, const char* kind, double x, const Axis& axis, const std::string& label, double labelY,
               double top, double bottom) {
  out += "<line class=\"point " + std::string(kind) + "\" x1=\"" + Num(x) + "\" y1=\"" + Num(top) + "\" x2=\"" + Num(x) +
         "\" y2=\"" + Num(bottom) + "\"/>\n";
  const bool right = x + 3 + TextWidth(label) <= axis.end() + kGap - 2;
  out += TextElement({right ? x + 3 : x - 3, labelY, "point-label", label, right ? "" : "end"}) + "\n";
}

std::string LaneName(const Lane& lane) {
  // The domain says most; instance names are often made up from the startup's.
  if (lane.record.hasDomain) return lane.record.domain;
  if (!lane.name.empty()) return lane.name;
  using Kind = Record::Kind;
  switch (lane.record.kind) {
    case Kind::BasicEffectivity:
    case Kind::StreamedBasicEffectivity: return "basic effectivity";
    case Kind::SpecExpression:
    case Kind::StreamedSpecExpression: return "expression";
    default: return std::string();
  }
}

}  // namespace

int ShowSvg(const std::string& file, const SvgPoint& options) {
  std::int64_t atSeconds = 0;
  if (!options.at.empty() && !KroCfgEffectivityPoint::ParseDate(options.at, atSeconds)) {
    std::fprintf(stderr, "cfgso show: --at %s is not a date of the form YYYY-MM-DD\n", options.at.c_str());
    return 2;
  }
  KroDocument* document = nullptr;
  HRESULT hr = KroDocumentServices::Open(file.c_str(), document, 0);
  if (FAILED(hr) || !document) {
    std::fprintf(stderr, "cfgso show: cannot open %s (%s)\n", file.c_str(), ResultText(hr).c_str());
    return 1;
  }
  std::vector<Lane> lanes;
  int damaged = 0;
  {
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    for (const auto& [object, so, damage] : KroCfgEffectivityQuery::Records(container->ListObjects())) {
      Lane lane{object, so->GetName().str(), {}};
      if (HRESULT read = FAILED(damage) ? damage : KroCfgEffectivityReader::Read(so, lane.record); FAILED(read)) {
        std::fprintf(stderr, "cfgso show: object %d (type %s) is damaged: %s\n", object, so->GetLateType().str().c_str(),
                     ResultText(read).c_str());
        ++damaged;
        continue;
      }
      lanes.push_back(std::move(lane));
    }
  }
  KroDocumentServices::Close(document);

  // The point; without a date or a rank nothing is marked.
  const bool marking = !options.at.empty() || options.rank.has_value();
  KroCfgEffectivityPoint point;
  if (!options.at.empty()) point.setDate(atSeconds);
  if (options.rank) point.setRank(*options.rank);
  point.setChosen(options.specs);
  point.setMode150(options.mode150);

  // Lanes grouped by domain in the order domains first appear; records without a domain last.
  struct Group {
    std::string name;
    bool domainless = false;
    std::vector<const Lane*> lanes;
    std::size_t holding = 0;
  };
  std::vector<Group> groups;
  std::map<std::string, std::size_t> byDomain;
  Group domainless{"(no domain)", true, {}, 0};
  for (const Lane& lane : lanes) {
    if (!lane.record.hasDomain) {
      domainless.lanes.push_back(&lane);
      continue;
    }
    auto [it, added] = byDomain.try_emplace(lane.record.domain, groups.size());
    if (added) groups.push_back({lane.record.domain, false, {}, 0});
    groups[it->second].lanes.push_back(&lane);
  }
  if (!domainless.lanes.empty()) groups.push_back(std::move(domainless));

  // Which basic effectivities hold, per lane (a lane's domain is its group's).
  std::map<const Lane*, std::vector<char>> holds;
  std::size_t holdingTotal = 0;
  if (marking)
    for (Group& group : groups) {
      point.setDomain(group.domainless ? std::string() : group.name);
      for (const Lane* lane : group.lanes) {
        std::vector<char>& basics = holds[lane];
        for (const Record::Basic& basic : lane->record.basics) basics.push_back(basic.holds(point));
        if (lane->record.holds(point) > 0) ++group.holding, ++holdingTotal;
      }
    }
  auto basicHolds = [&](const Lane* lane, std::size_t b) {
    auto it = holds.find(lane);
    return it != holds.end() && b < it->second.size() && it->second[b];
  };

  // The axes' spans: every bound, and the point. Dates beyond years 1 to 9999 are drawn at the edge.
  constexpr std::int64_t kFirstDay = -62135596800, kLastDay = 253402214400;
  std::int64_t dLow = std::numeric_limits<std::int64_t>::max(), dHigh = std::numeric_limits<std::int64_t>::min();
  std::int64_t rLow = dLow, rHigh = dHigh;
  Panels panels;
  for (const Lane& lane : lanes)
    for (const Record::Basic& basic : lane.record.basics) {
      for (const Record::Interval& i : basic.dates) {
        panels.dates = true;
        dLow = std::min(dLow, std::clamp(i.start, kFirstDay, kLastDay));
        dHigh = std::max(dHigh, std::clamp(i.end.value_or(i.start), kFirstDay, kLastDay));
      }
      for (const Record::Interval& i : basic.ranks) {
        panels.ranks = true;
        rLow = std::min(rLow, i.start);
        rHigh = std::max(rHigh, i.end.value_or(i.start));
      }
    }
  if (panels.dates && !options.at.empty())
    dLow = std::min(dLow, std::clamp(atSeconds, kFirstDay, kLastDay)), dHigh = std::max(dHigh, std::clamp(atSeconds, kFirstDay, kLastDay));
  if (panels.ranks && options.rank) rLow = std::min(rLow, *options.rank), rHigh = std::max(rHigh, *options.rank);
  double x = kLabelWidth + kGap;
  if (panels.dates) {
    panels.dateAxis = Spanning(dLow, dHigh, 90 * 86400, x, kWideWidth);
    x = panels.dateAxis.end() + 2 * kGap;
  }
  if (panels.ranks) {
    panels.rankAxis = Spanning(rLow, rHigh, 5, x, panels.dates ? kNarrowWidth : kWideWidth);
    x = panels.rankAxis.end() + 2 * kGap;
  }
  // Without any interval the notes still need a column.
  const Axis notes{0, 1, kLabelWidth + kGap, panels.dates || panels.ranks ? 0.0 : kNarrowWidth};
  const Axis& firstPanel = panels.dates ? panels.dateAxis : panels.ranks ? panels.rankAxis : notes;
  if (!panels.dates && !panels.ranks) x = notes.end() + kGap;
  if (panels.dates && !options.at.empty()) panels.atX = panels.dateAxis.clamped(atSeconds);
  if (panels.ranks && options.rank) panels.rankX = panels.rankAxis.clamped(*options.rank);
  const double width = std::max(x - kGap, 640.0);

  double height = kTop;
  for (const Group& group : groups) {
    height += kGroupName + kGroupAxis;
    for (const Lane* lane : group.lanes) height += double(std::max<std::size_t>(1, lane->record.basics.size())) * kRow + kLanePad;
  }
  height += kBottom;

  std::string svg;
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
         "\" viewBox=\"0 0 " + Num(width) + " " + Num(height) + "\" font-family=\"sans-serif\" font-size=\"11\">\n";
  svg +=
      "<style>.bar.date{fill:#9ecae1;stroke:#3182bd}.bar.rank{fill:#a1d99b;stroke:#31a354}"
      ".bar.hold{fill:#fdae6b;stroke:#d94801;stroke-width:2}.arrow{fill:#555}.lane{fill:#f4f4f4}"
      ".lane.hold{fill:#fff1e0}.tick{stroke:#ccc}.tick.year{stroke:#999}.tick.month{stroke:#999}.axis{stroke:#333}"
      ".point{stroke:#d62728;stroke-width:1.5;stroke-dasharray:4 3}.point-label{fill:#d62728;font-weight:bold}"
      ".domain{font-weight:bold;font-size:12px}.label{fill:#111}.label.out{paint-order:stroke;stroke:#fff;"
      "stroke-width:3px}.record{fill:#333}.record.hold{fill:#a63603;font-weight:bold}.mark{fill:#d94801}"
      ".none{fill:#888;font-style:italic}.legend{fill:#333}.title{font-size:13px}</style>\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + Num(width) + "\" height=\"" + Num(height) + "\" fill=\"white\"/>\n";

  std::string title = file + ": " + std::to_string(lanes.size()) + " effectivity record(s)";
  if (marking) {
    std::string at;
    if (!options.at.empty()) at += options.at;
    if (options.rank) at += (at.empty() ? "rank " : ", rank ") + RankText(*options.rank);
    title += "; " + std::to_string(holdingTotal) + " hold at " + at;
    if (!options.specs.empty()) {
      title += " with";
      for (const std::string& spec : options.specs) title += " " + spec;
    }
    if (options.mode150) title += " (150%)";
  }
  svg += TextElement({8, 17, "title", title, ""}) + "\n";

  // The legend: what each colour and shape means, only for what the picture holds.
  double lx = 8;
  const double ly = 30;
  auto legend = [&](const std::string& swatch, const std::string& text) {
    svg += "<g class=\"legend\">" + swatch + TextElement({lx + 22, ly + 10, "legend", text, ""}) + "</g>\n";
    lx += 22 + TextWidth(text) + 16;
  };
  auto box = [&](const char* cls) {
    return "<rect class=\"" + std::string(cls) + "\" x=\"" + Num(lx) + "\" y=\"" + Num(ly + 1) + "\" width=\"16\" height=\"10\"/>";
  };
  if (panels.dates) legend(box("bar date"), "date interval");
  if (panels.ranks) legend(box("bar rank"), "rank interval");
  if (marking) legend(box("bar hold"), "holds at the point (\xE2\x97\x8F in the label column)");
  if (panels.dates || panels.ranks)
    legend("<path class=\"arrow\" d=\"M" + Num(lx + 6) + " " + Num(ly) + " L" + Num(lx + 16) + " " + Num(ly + 6) + " L" +
               Num(lx + 6) + " " + Num(ly + 12) + " Z\"/>",
           "open end");
  if (panels.atX || panels.rankX)
    legend("<line class=\"point\" x1=\"" + Num(lx + 8) + "\" y1=\"" + Num(ly - 1) + "\" x2=\"" + Num(lx + 8) + "\" y2=\"" +
               Num(ly + 13) + "\"/>",
           "the point");

  // Per group: its name and count, its own axes, then its lanes; grid lines stay within the group.
  std::string backgrounds, grid, bars, points, labels, marks;
  double y = kTop;
  int index = 0;
  for (const Group& group : groups) {
    const double head = y, axisY = y + kGroupName + kGroupAxis - 4, labelY = axisY - 10;
    double bottom = axisY + 4;
    for (const Lane* lane : group.lanes)
      bottom += double(std::max<std::size_t>(1, lane->record.basics.size())) * kRow + kLanePad;
    std::string name = group.name + " (" + std::to_string(group.lanes.size());
    if (marking) name += ", " + std::to_string(group.holding) + " hold";
    name += ")";
    labels += TextElement({6, head + 15, "domain", Fitted(name, kLabelWidth + kGap - 8), ""}) + "\n";
    if (panels.dates) {
      DateAxis(grid, panels.dateAxis, labelY, axisY, bottom);
      labels += TextElement({panels.dateAxis.x0, head + 15, "record", "date (UTC)", ""}) + "\n";
    }
    if (panels.ranks) {
      RankAxis(grid, panels.rankAxis, labelY, axisY, bottom);
      labels += TextElement({panels.rankAxis.x0, head + 15, "record", "rank", ""}) + "\n";
    }
    y = axisY + 4;
    for (const Lane* lane : group.lanes) {
      const std::size_t rows = std::max<std::size_t>(1, lane->record.basics.size());
      const double h = double(rows) * kRow;
      const bool laneHolds = marking && std::any_of(lane->record.basics.begin(), lane->record.basics.end(), [&](const auto& b) {
                               return basicHolds(lane, std::size_t(&b - lane->record.basics.data()));
                             });
      if (laneHolds || index++ % 2 == 0)
        backgrounds += "<rect class=\"lane" + std::string(laneHolds ? " hold" : "") + "\" x=\"0\" y=\"" + Num(y) +
                       "\" width=\"" + Num(width) + "\" height=\"" + Num(h + kLanePad) + "\"/>\n";
      const double top = y + kLanePad / 2;
      if (laneHolds) marks += TextElement({4, top + kRow - 5, "mark", "\xE2\x97\x8F", ""}) + "\n";
      labels += TextElement({16, top + kRow - 5, laneHolds ? "record hold" : "record",
                             Fitted("object " + std::to_string(lane->object) + "  " + LaneName(*lane), kLabelWidth - 16),
                             ""}) +
                "\n";
      if (lane->record.basics.empty())
        labels += TextElement({firstPanel.x0 + 3, top + kRow - 5, "none", "no basic effectivity", ""}) + "\n";
      for (std::size_t b = 0; b < lane->record.basics.size(); ++b) {
        const Record::Basic& basic = lane->record.basics[b];
        const bool on = basicHolds(lane, b);
        const double row = top + double(b) * kRow, textY = row + kRow - 5;
        const std::string label = basic.expressionText();
        const std::string tip = "object " + std::to_string(lane->object) + ", basic effectivity " + std::to_string(b + 1) +
                                (on ? " (holds)" : "");
        for (const Record::Interval& i : basic.dates) {
          Bar(bars, "date", on, panels.dateAxis, i, row,
              tip + ": " + DayText(i.start) + " to " + (i.end ? DayText(*i.end) : std::string("open")));
          const double x0 = panels.dateAxis.clamped(i.start), x1 = i.end ? panels.dateAxis.clamped(*i.end) : panels.dateAxis.end();
          if (&i == &basic.dates.front()) labels += PlacedLabel(label, x0, x1, panels.dateAxis, panels.atX, textY) + "\n";
        }
        for (const Record::Interval& i : basic.ranks) {
          Bar(bars, "rank", on, panels.rankAxis, i, row,
              tip + ": " + RankText(i.start) + " to " + (i.end ? RankText(*i.end) : std::string("open")));
          const double x0 = panels.rankAxis.clamped(i.start), x1 = i.end ? panels.rankAxis.clamped(*i.end) : panels.rankAxis.end();
          if (basic.dates.empty() && &i == &basic.ranks.front())
            labels += PlacedLabel(label, x0, x1, panels.rankAxis, panels.rankX, textY) + "\n";
        }
        if (basic.dates.empty() && basic.ranks.empty()) {
          const std::string note = "every date and rank" + (label.empty() ? std::string() : ": " + label);
          const double room = (panels.dates && panels.ranks ? panels.rankAxis.end() : firstPanel.end()) - firstPanel.x0;
          labels += TextElement({firstPanel.x0 + 3, textY, on ? "none label out" : "none", Fitted(note, room - 6), ""}) + "\n";
        }
      }
      y += h + kLanePad;
    }
    if (panels.atX) PointLine(points, "date", *panels.atX, panels.dateAxis, options.at, head + 15, axisY - 8, bottom);
    if (panels.rankX)
      PointLine(points, "rank", *panels.rankX, panels.rankAxis, "rank " + RankText(*options.rank), head + 15, axisY - 8, bottom);
  }
  // Backgrounds, then grid and point lines, then bars, then every text, so that no line crosses a label.
  svg += backgrounds + grid + bars + points;
  // Empty placements leave blank lines; drop them.
  std::string kept;
  for (std::size_t at = 0; at < labels.size();) {
    const std::size_t end = labels.find('\n', at);
    if (end != at) kept += labels.substr(at, end - at + 1);
    at = end + 1;
  }
  svg += kept + marks + "</svg>\n";
  std::fwrite(svg.data(), 1, svg.size(), stdout);
  return damaged ? 1 : 0;
}

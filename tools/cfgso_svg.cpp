// cfgso show --svg: a document's effectivities on their axes, one lane per record.

#include "cfgso_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
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
  std::string lateType;
  Record record;
};

// Geometry, in pixels. Rows are tall enough for an 11 px label; lanes of several basic effectivities
// stack one row per basic effectivity.
constexpr double kLabelWidth = 250, kGap = 20, kDateWidth = 640, kRankWidth = 300, kRow = 18, kTop = 72,
                 kGroupHead = 22, kLanePad = 4, kBottom = 20;

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

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::tm Utc(std::int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm out{};
  gmtime_r(&t, &out);
  return out;
}

std::int64_t FromUtc(int year, int month) {  // first of the month, month 0-11 (may overflow into years)
  std::tm fields{};
  fields.tm_year = year - 1900 + month / 12;
  fields.tm_mon = month % 12;
  fields.tm_mday = 1;
  return static_cast<std::int64_t>(timegm(&fields));
}

std::string DayText(std::int64_t seconds) {
  std::tm t = Utc(seconds);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return text;
}

// One axis: values [low, high] onto [x0, x0 + width].
struct Axis {
  double low = 0, high = 1, x0 = 0, width = 1;
  double at(double value) const { return x0 + (value - low) / (high - low) * width; }
  double end() const { return x0 + width; }
};

// Widens [low, high] by a margin, keeping a span when there is none.
void Pad(double& low, double& high, double empty) {
  if (high <= low) {
    low -= empty;
    high += empty;
  }
  const double margin = (high - low) * 0.04;
  low -= margin;
  high += margin;
}

class Picture {
 public:
  void add(const std::string& text) {
    m_out += text;
    m_out += '\n';
  }
  const std::string& text() const { return m_out; }

 private:
  std::string m_out;
};

void Bar(Picture& svg, const char* kind, const Axis& axis, const Record::Interval& interval, double y,
         const std::string& label, const std::string& tip) {
  const double x0 = std::clamp(axis.at(static_cast<double>(interval.start)), axis.x0, axis.end());
  const double x1 = !interval.end ? axis.end() : std::clamp(axis.at(static_cast<double>(*interval.end)), axis.x0, axis.end());
  const double w = std::max(2.0, x1 - x0);
  svg.add("<rect class=\"bar " + std::string(kind) + "\" x=\"" + Num(x0) + "\" y=\"" + Num(y + 2) + "\" width=\"" +
          Num(w) + "\" height=\"" + Num(kRow - 4) + "\"><title>" + Escaped(tip) + "</title></rect>");
  if (!interval.end) {
    const double tip0 = axis.end(), mid = y + kRow / 2;
    svg.add("<path class=\"arrow\" d=\"M" + Num(tip0 - 8) + " " + Num(y + 1) + " L" + Num(tip0 + 2) + " " + Num(mid) +
            " L" + Num(tip0 - 8) + " " + Num(y + kRow - 1) + " Z\"/>");
  }
  if (!label.empty())
    svg.add("<text class=\"label\" x=\"" + Num(x0 + 3) + "\" y=\"" + Num(y + kRow - 5) + "\">" + Escaped(label) + "</text>");
}

std::string RankText(std::int64_t rank) { return std::to_string(rank); }

}  // namespace

int ShowSvg(const std::string& file, const std::string& at, std::optional<std::int64_t> rank) {
  std::int64_t atSeconds = 0;
  if (!at.empty() && !KroCfgEffectivityPoint::ParseDate(at, atSeconds)) {
    std::fprintf(stderr, "cfgso show: --at %s is not a date of the form YYYY-MM-DD\n", at.c_str());
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
      Lane lane{object, so->GetLateType().str(), {}};
      if (HRESULT read = FAILED(damage) ? damage : KroCfgEffectivityReader::Read(so, lane.record); FAILED(read)) {
        std::fprintf(stderr, "cfgso show: object %d (type %s) is damaged: %s\n", object, lane.lateType.c_str(),
                     ResultText(read).c_str());
        ++damaged;
        continue;
      }
      lanes.push_back(std::move(lane));
    }
  }
  KroDocumentServices::Close(document);

  // Lanes grouped by domain in the order domains first appear; records without a domain last.
  std::vector<std::string> domains;
  std::map<std::string, std::vector<const Lane*>> byDomain;
  for (const Lane& lane : lanes) {
    const std::string key = lane.record.hasDomain ? lane.record.domain : std::string("\x01");
    if (!byDomain.count(key)) domains.push_back(key);
    byDomain[key].push_back(&lane);
  }
  std::stable_partition(domains.begin(), domains.end(), [](const std::string& d) { return d != "\x01"; });

  // The axes' spans: every finite bound, and the point.
  double dLow = INFINITY, dHigh = -INFINITY, rLow = INFINITY, rHigh = -INFINITY;
  for (const Lane& lane : lanes)
    for (const Record::Basic& basic : lane.record.basics) {
      for (const Record::Interval& i : basic.dates) {
        dLow = std::min(dLow, double(i.start));
        dHigh = std::max(dHigh, double(i.end.value_or(i.start)));
      }
      for (const Record::Interval& i : basic.ranks) {
        rLow = std::min(rLow, double(i.start));
        rHigh = std::max(rHigh, double(i.end.value_or(i.start)));
      }
    }
  if (!at.empty()) dLow = std::min(dLow, double(atSeconds)), dHigh = std::max(dHigh, double(atSeconds));
  if (rank) rLow = std::min(rLow, double(*rank)), rHigh = std::max(rHigh, double(*rank));
  const bool haveRanks = std::isfinite(rLow);
  if (!std::isfinite(dLow)) {  // no date anywhere: show the current year's neighbourhood
    dLow = double(FromUtc(2000, 0));
    dHigh = double(FromUtc(2001, 0));
  }
  Pad(dLow, dHigh, 180.0 * 86400);
  if (haveRanks) Pad(rLow, rHigh, 5);
  const Axis dates{dLow, dHigh, kLabelWidth + kGap, kDateWidth};
  const Axis ranks{rLow, rHigh, dates.end() + 2 * kGap, kRankWidth};

  double height = kTop;
  for (const std::string& d : domains) {
    height += kGroupHead;
    for (const Lane* lane : byDomain[d]) height += std::max<std::size_t>(1, lane->record.basics.size()) * kRow + kLanePad;
  }
  height += kBottom;
  const double width = (haveRanks ? ranks.end() : dates.end()) + kGap;

  Picture svg;
  svg.add("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
          "\" viewBox=\"0 0 " + Num(width) + " " + Num(height) + "\" font-family=\"sans-serif\" font-size=\"11\">");
  svg.add(
      "<style>.bar.date{fill:#9ecae1;stroke:#3182bd}.bar.rank{fill:#a1d99b;stroke:#31a354}.arrow{fill:#555}"
      ".lane{fill:#f4f4f4}.tick{stroke:#bbb}.tick.year{stroke:#888}.axis{stroke:#333}.point{stroke:#d62728;"
      "stroke-width:1.5;stroke-dasharray:4 3}.domain{font-weight:bold;font-size:12px}.label{fill:#111}"
      ".record{fill:#333}.none{fill:#888;font-style:italic}</style>");
  svg.add("<rect x=\"0\" y=\"0\" width=\"" + Num(width) + "\" height=\"" + Num(height) + "\" fill=\"white\"/>");
  svg.add("<text class=\"title\" x=\"8\" y=\"16\" font-size=\"13\">" + Escaped(file) + ": " +
          std::to_string(lanes.size()) + " effectivity record(s)" +
          (at.empty() ? std::string() : ", at " + at) + (rank ? ", rank " + RankText(*rank) : std::string()) + "</text>");
  svg.add("<defs><clipPath id=\"dates\"><rect x=\"" + Num(dates.x0) + "\" y=\"0\" width=\"" + Num(dates.width + 4) +
          "\" height=\"" + Num(height) + "\"/></clipPath><clipPath id=\"ranks\"><rect x=\"" + Num(ranks.x0) +
          "\" y=\"0\" width=\"" + Num(ranks.width + 4) + "\" height=\"" + Num(height) + "\"/></clipPath></defs>");

  // Lane backgrounds first, so that ticks and bars lie on them.
  struct Placed {
    const Lane* lane;
    double y;
  };
  std::vector<std::pair<std::string, double>> heads;
  std::vector<Placed> placed;
  double y = kTop;
  int index = 0;
  for (const std::string& d : domains) {
    heads.emplace_back(d, y);
    y += kGroupHead;
    for (const Lane* lane : byDomain[d]) {
      const double h = std::max<std::size_t>(1, lane->record.basics.size()) * kRow;
      if (index++ % 2 == 0)
        svg.add("<rect class=\"lane\" x=\"0\" y=\"" + Num(y) + "\" width=\"" + Num(width) + "\" height=\"" + Num(h + kLanePad) + "\"/>");
      placed.push_back({lane, y + kLanePad / 2});
      y += h + kLanePad;
    }
  }
  const double bottom = y;

  // Date axis: a tick and label per year, a short tick per month when months are 4 px apart or more.
  svg.add("<g class=\"axis date\">");
  svg.add("<line class=\"axis\" x1=\"" + Num(dates.x0) + "\" y1=\"" + Num(kTop - 4) + "\" x2=\"" + Num(dates.end()) +
          "\" y2=\"" + Num(kTop - 4) + "\"/>");
  svg.add("<text x=\"" + Num(dates.x0) + "\" y=\"30\" class=\"record\">date (UTC)</text>");
  const int firstYear = Utc(static_cast<std::int64_t>(dLow)).tm_year + 1900;
  const int lastYear = Utc(static_cast<std::int64_t>(dHigh)).tm_year + 1900;
  const double monthWidth = dates.width / ((dHigh - dLow) / (30.44 * 86400));
  const int yearStep = std::max(1, static_cast<int>(std::ceil(40.0 / (monthWidth * 12))));
  // The first year is named at the axis's start when its January lies before it.
  if (double(FromUtc(firstYear, 0)) < dLow && dates.at(double(FromUtc(firstYear + 1, 0))) - dates.x0 >= 40)
    svg.add("<text class=\"year\" x=\"" + Num(dates.x0 + 2) + "\" y=\"" + Num(kTop - 14) + "\">" +
            std::to_string(firstYear) + "</text>");
  for (int year = firstYear; year <= lastYear + 1; ++year) {
    for (int month = 0; month < 12; ++month) {
      const double v = double(FromUtc(year, month));
      if (v < dLow || v > dHigh) continue;
      const double x = dates.at(v);
      if (month == 0) {
        svg.add("<line class=\"tick year\" x1=\"" + Num(x) + "\" y1=\"" + Num(kTop - 12) + "\" x2=\"" + Num(x) +
                "\" y2=\"" + Num(bottom) + "\"/>");
        if ((year - firstYear) % yearStep == 0)
          svg.add("<text class=\"year\" x=\"" + Num(x + 2) + "\" y=\"" + Num(kTop - 14) + "\">" + std::to_string(year) + "</text>");
      } else if (monthWidth >= 4) {
        svg.add("<line class=\"tick month\" x1=\"" + Num(x) + "\" y1=\"" + Num(kTop - 8) + "\" x2=\"" + Num(x) +
                "\" y2=\"" + Num(kTop - 4) + "\"/>");
      }
    }
  }
  svg.add("</g>");

  // Rank axis, only where ranks occur: about six ticks at 1, 2 or 5 times a power of ten.
  if (haveRanks) {
    svg.add("<g class=\"axis rank\">");
    svg.add("<line class=\"axis\" x1=\"" + Num(ranks.x0) + "\" y1=\"" + Num(kTop - 4) + "\" x2=\"" + Num(ranks.end()) +
            "\" y2=\"" + Num(kTop - 4) + "\"/>");
    svg.add("<text x=\"" + Num(ranks.x0) + "\" y=\"30\" class=\"record\">rank</text>");
    const double raw = (rHigh - rLow) / 6;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double step = raw / power < 1.5 ? power : raw / power < 3.5 ? 2 * power : raw / power < 7.5 ? 5 * power : 10 * power;
    for (double v = std::ceil(rLow / step) * step; v <= rHigh; v += step) {
      const double x = ranks.at(v);
      svg.add("<line class=\"tick rank\" x1=\"" + Num(x) + "\" y1=\"" + Num(kTop - 10) + "\" x2=\"" + Num(x) + "\" y2=\"" +
              Num(bottom) + "\"/>");
      svg.add("<text class=\"rank\" x=\"" + Num(x + 2) + "\" y=\"" + Num(kTop - 14) + "\">" +
              RankText(static_cast<std::int64_t>(std::llround(v))) + "</text>");
    }
    svg.add("</g>");
  }

  for (const auto& [d, top] : heads) {
    const std::string name = d == "\x01" ? std::string("(no domain)") : d;
    svg.add("<text class=\"domain\" x=\"6\" y=\"" + Num(top + 15) + "\">" + Escaped(name) + " (" +
            std::to_string(byDomain[d].size()) + ")</text>");
  }

  std::string dateBars, rankBars;
  for (const Placed& p : placed) {
    const Lane& lane = *p.lane;
    svg.add("<text class=\"record\" x=\"14\" y=\"" + Num(p.y + kRow - 5) + "\">object " + std::to_string(lane.object) +
            " " + Escaped(lane.lateType) + "</text>");
    if (lane.record.basics.empty())
      svg.add("<text class=\"none\" x=\"" + Num(dates.x0 + 3) + "\" y=\"" + Num(p.y + kRow - 5) +
              "\">no basic effectivity</text>");
    for (std::size_t b = 0; b < lane.record.basics.size(); ++b) {
      const Record::Basic& basic = lane.record.basics[b];
      const double row = p.y + double(b) * kRow;
      const std::string label = basic.expressionText();
      const std::string tip = "object " + std::to_string(lane.object) + ", basic effectivity " + std::to_string(b + 1);
      Picture dateRow, rankRow;
      for (const Record::Interval& i : basic.dates)
        Bar(dateRow, "date", dates, i, row, label,
            tip + ": " + DayText(i.start) + " to " + (i.end ? DayText(*i.end) : std::string("open")));
      for (const Record::Interval& i : basic.ranks)
        Bar(rankRow, "rank", ranks, i, row, basic.dates.empty() ? label : std::string(),
            tip + ": " + RankText(i.start) + " to " + (i.end ? RankText(*i.end) : std::string("open")));
      if (basic.dates.empty() && basic.ranks.empty())
        dateRow.add("<text class=\"label none\" x=\"" + Num(dates.x0 + 3) + "\" y=\"" + Num(row + kRow - 5) +
                    "\">every date and rank" + (label.empty() ? std::string() : ": " + Escaped(label)) + "</text>");
      dateBars += dateRow.text();
      rankBars += rankRow.text();
    }
  }
  svg.add("<g clip-path=\"url(#dates)\">\n" + dateBars + "</g>");
  if (haveRanks) svg.add("<g clip-path=\"url(#ranks)\">\n" + rankBars + "</g>");

  if (!at.empty()) {
    const double x = dates.at(double(atSeconds));
    svg.add("<line class=\"point date\" x1=\"" + Num(x) + "\" y1=\"" + Num(kTop - 30) + "\" x2=\"" + Num(x) + "\" y2=\"" +
            Num(bottom) + "\"/>");
    svg.add("<text class=\"point-label\" fill=\"#d62728\" x=\"" + Num(x + 3) + "\" y=\"" + Num(kTop - 32) + "\">" + at + "</text>");
  }
  if (rank && haveRanks) {
    const double x = ranks.at(double(*rank));
    svg.add("<line class=\"point rank\" x1=\"" + Num(x) + "\" y1=\"" + Num(kTop - 30) + "\" x2=\"" + Num(x) + "\" y2=\"" +
            Num(bottom) + "\"/>");
    svg.add("<text class=\"point-label\" fill=\"#d62728\" x=\"" + Num(x + 3) + "\" y=\"" + Num(kTop - 32) + "\">rank " +
            RankText(*rank) + "</text>");
  }
  svg.add("</svg>");
  std::fwrite(svg.text().data(), 1, svg.text().size(), stdout);
  return damaged ? 1 : 0;
}

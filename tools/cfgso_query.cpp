// cfgso query: the records of a saved document that hold at a configuration point.

#include "cfgso_query.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "KroCfgEffectivityQuery.h"
#include "KroDocument.h"
#include "cfgso_results.h"

int QueryDocument(const QueryOptions& options) {
  KroCfgEffectivityPoint point(options.domain);
  if (!options.date.empty()) {
    std::int64_t seconds = 0;
    if (!KroCfgEffectivityPoint::ParseDate(options.date, seconds)) {
      std::fprintf(stderr, "cfgso query: --date %s is not a date of the form YYYY-MM-DD\n", options.date.c_str());
      return 2;
    }
    point.setDate(seconds);
  }
  if (options.rank) point.setRank(*options.rank);
  point.setChosen(options.specs);
  point.setMode150(options.mode150);

  KroDocument* document = nullptr;
  HRESULT hr = KroDocumentServices::Open(options.file.c_str(), document, 0);
  if (FAILED(hr) || !document) {
    std::fprintf(stderr, "cfgso query: cannot open %s (%s)\n", options.file.c_str(), ResultText(hr).c_str());
    return 1;
  }
  std::vector<KroCfgEffectivityQuery::Match> matches;
  std::vector<KroCfgEffectivityQuery::Problem> problems;
  {
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    KroCfgEffectivityQuery::Select(container, point, matches, &problems);
    for (auto& match : matches) match.record = nullptr;  // nothing outlives the document
  }
  KroDocumentServices::Close(document);

  for (const auto& problem : problems)
    std::fprintf(stderr, "cfgso query: object %d (type %s) is damaged: %s\n", problem.object, problem.lateType.c_str(),
                 ResultText(problem.result).c_str());
  if (options.json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& match : matches)
      out.push_back({{"object", match.object}, {"type", match.lateType}, {"basic", match.basic}});
    std::printf("%s\n", out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
  } else {
    std::printf("%s: %zu record(s) hold\n", options.file.c_str(), matches.size());
    for (const auto& match : matches) {
      if (match.basic > 0)
        std::printf("object %d (type %s): basic effectivity %d\n", match.object, match.lateType.c_str(), match.basic);
      else
        std::printf("object %d (type %s): its expression\n", match.object, match.lateType.c_str());
    }
  }
  return problems.empty() ? 0 : 1;
}

void PrintServerHitsJson(const std::vector<ServerQueryHit>& hits) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const auto& hit : hits)
    out.push_back({{"uuid", hit.uuid}, {"type", hit.type}, {"element", hit.element}, {"basic", hit.basic}});
  std::printf("%s\n", out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
}

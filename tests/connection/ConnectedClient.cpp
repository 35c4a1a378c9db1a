// One process of the connected scenario, a client of the installed libraries only:
//   write DOC    makes the Powertrain specifications, an expression over them, a modification in a
//                group with two action subscribers and a filter through the manager, records each in
//                its wrapper, saves DOC, and prints what every record binds to
//   read DOC     reopens DOC and prints what every record binds to
//   down DOC GO  reopens DOC, binds every record while the server is down and prints each code and
//                its time; then waits for the file GO (a minute at most) and prints what every
//                record binds to
// The connection comes from KRO_CONFIG_SERVER, or from --connect ADDRESS before the mode.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgServerConnection.h"
#include "KroDocument.h"

namespace {

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

bool Check(HRESULT hr, const char* what) {
  if (SUCCEEDED(hr)) return true;
  std::printf("FAILED %s %s %s\n", what, Hex(hr).c_str(), KroCfgServerConnection::LastError().c_str());
  return false;
}

std::string Spec(const KroICfgSimpleSpecification_var& spec) {
  if (!spec) return "null";
  KroUnicodeString name, description, alias, condition, catName, catDescription;
  KroICfgSpecCategory_var category;
  spec->getName(name), spec->getDescription(description), spec->getAlias(alias);
  spec->getConditionString(condition), spec->getCategory(category);
  if (category) category->getName(catName), category->getDescription(catDescription);
  return std::string(name.view()) + " (" + description.str() + ", " + alias.str() + ", " + condition.str() + ", " +
         catName.str() + "/" + catDescription.str() + ")";
}

std::string Modification(const KroICfgModification_var& mod) {
  if (!mod) return "null";
  KroUnicodeString name, first, second;
  KroICfgGroupMod_var group;
  mod->getName(name), mod->getEffectivityString(first, second), mod->getGroupMod(group);
  std::string text = name.str() + " [" + first.str() + "|" + second.str() + "]";
  if (group) {
    KroListValQuorISubScribeGroupMod_var subscribers;
    group->getSubscribers(subscribers);
    for (const QuorISubScribeGroupMod_var& s : subscribers) {
      KroUnicodeString sname;
      if (QuorINamedObject_var named = s) named->getName(sname);
      text += std::string(" subscriber ") + (KroIDmxAFLAction_var(s) ? "action " : "plain ") + sname.str();
    }
  }
  return text;
}

std::string Interval(const KroICfgInterval_var& interval) {
  if (!interval) return "none";
  if (interval->getType() == KroICfgInterval::Date) {
    KroTime start, end;
    interval->getDateBounds(start, end);
    return "dates " + std::to_string(start.Gettime_t()) + ".." + std::to_string(end.Gettime_t());
  }
  if (interval->getType() == KroICfgInterval::Range) {
    int start = 0, end = 0;
    interval->getRangeBounds(start, end);
    return "ranks " + std::to_string(start) + ".." + std::to_string(end);
  }
  return "none";
}

std::string Filter(const KroICfgFilter_var& filter) {
  if (!filter) return "null";
  KroUnicodeString id, domain, ctxName;
  KroICfgContext_var ctx;
  KroListValKroICfgNormalValue_var values;
  int mode = 0;
  boolean mode150 = 0;
  filter->getId(id), filter->getDomainAndContext(ctx, domain, values), filter->getMode(mode);
  filter->getMode150(mode150);
  if (ctx) ctx->getName(ctxName);
  std::string text = id.str() + " domain " + domain.str() + " context " + ctxName.str() + " mode " +
                     std::to_string(mode) + " mode150 " + std::to_string(mode150);
  for (const KroICfgNormalValue_var& v : values) {
    KroICfgInterval_var dates, ranges;
    KroICfgSimpleSpecification_var condition;
    KroICfgModification_var mod;
    KroUnicodeString start, end;
    v->getValues(dates, ranges, condition, mod), v->getStartMilestoneName(start), v->getEndMilestoneName(end);
    text += "\n    value " + Interval(dates) + ", " + Interval(ranges) + ", condition " + Spec(condition) +
            ", modification " + Modification(mod) + ", milestones " + start.str() + "-" + end.str();
  }
  return text;
}

// Binds every record and prints what it binds to; false at the first failure.
bool Show(const KroListValKroISpecObject_var& roots) {
  for (const KroISpecObject_var& root : roots) {
    if (KroICfgSOSpecification_var record = root) {
      KroICfgSimpleSpecification_var spec;
      if (!Check(record->getSpecification(spec), "getSpecification")) return false;
      std::printf("specification %s\n", Spec(spec).c_str());
    } else if (KroICfgSOSpecExpression_var record = root) {
      KroListValKroICfgSimpleSpecification_var specs;
      if (!Check(record->getAllSpecifications(specs), "getAllSpecifications")) return false;
      std::printf("expression");
      for (const auto& spec : specs) std::printf(" %s", Spec(spec).c_str());
      std::printf("\n");
    } else if (KroICfgSOModification_var record = root) {
      KroICfgModification_var mod;
      if (!Check(record->getModification(mod), "getModification")) return false;
      std::printf("modification %s\n", Modification(mod).c_str());
    } else if (KroICfgSOFilter_var record = root) {
      KroICfgFilter_var filter;
      if (!Check(record->getFilter(filter), "getFilter")) return false;
      std::printf("filter %s\n", Filter(filter).c_str());
    }
  }
  return true;
}

bool Write(const char* path) {
  KroICfgManager_var mgr = KroCfgSOServices::GetCfgManager();
  KroICfgSimpleSpecification_var engine, gearbox;
  QuorISubScribeGroupMod_var release, homologation;
  KroICfgGroupMod_var group;
  KroICfgModification_var mod;
  KroICfgContext_var ctx;
  KroICfgInterval_var dates, ranks;
  KroICfgNormalValue_var value;
  KroICfgFilter_var filter;
  if (!Check(mgr->createSpecification("ENGINE-V6", "V6 engine", "V6", "", "Engine", "Engines", engine), "spec") ||
      !Check(mgr->createSpecification("GEARBOX-AUTO", "Automatic gearbox", "AUTO", "", "Gearbox", "Gearboxes", gearbox),
             "spec") ||
      !Check(mgr->createActionSubscriber("Release 2024", release), "subscriber") ||
      !Check(mgr->createActionSubscriber("Homologation", homologation), "subscriber"))
    return false;
  KroListValQuorISubScribeGroupMod_var subscribers;
  subscribers.Append(release), subscribers.Append(homologation);
  if (!Check(mgr->createGroupMod(subscribers, group), "group") ||
      !Check(mgr->createModification("MOD-PT-2024", "Powertrain 2024-01-01 to 2024-12-31", "", group, mod), "mod") ||
      !Check(mgr->createContext("Powertrain line", ctx), "context") ||
      !Check(mgr->createDateInterval(KroTime(2024, 1, 1, 0, 0, 0), KroTime(2024, 12, 31, 0, 0, 0), dates), "dates") ||
      !Check(mgr->createRangeInterval(100, -1, ranks), "ranks") ||
      !Check(mgr->createNormalValue(dates, ranks, engine, mod, "SOP", "EOP", value), "value"))
    return false;
  KroListValKroICfgNormalValue_var values;
  values.Append(value);
  if (!Check(mgr->createFilter("FLT-PT", "Powertrain", ctx, values, 2, 1, filter), "filter")) return false;

  KroICfgSOSpecification_var engineRecord, gearboxRecord;
  KroICfgSOSpecExpression_var expression;
  KroICfgSOModification_var modRecord;
  KroICfgSOFilter_var filterRecord;
  if (!Check(KroCfgSOFactory::createSpecification(engineRecord), "record") ||
      !Check(engineRecord->setSpecification(engine), "setSpecification") ||
      !Check(KroCfgSOFactory::createSpecification(gearboxRecord), "record") ||
      !Check(gearboxRecord->setSpecification(gearbox), "setSpecification") ||
      !Check(KroCfgSOFactory::createSpecExpression(expression), "record") ||
      !Check(expression->addSpecification(engine, 1), "addSpecification") ||
      !Check(expression->addSpecification(gearbox, -1), "addSpecification") ||
      !Check(KroCfgSOFactory::createModification(modRecord), "record") ||
      !Check(modRecord->setModification(mod), "setModification") ||
      !Check(KroCfgSOFactory::createFilter(filterRecord), "record") ||
      !Check(filterRecord->setFilter(filter), "setFilter"))
    return false;
  KroListValKroISpecObject_var roots;
  roots.Append(KroISpecObject_var(engineRecord)), roots.Append(KroISpecObject_var(gearboxRecord));
  roots.Append(KroISpecObject_var(expression)), roots.Append(KroISpecObject_var(modRecord));
  roots.Append(KroISpecObject_var(filterRecord));
  return Check(KroDocumentServices::Save(roots, path), "save") && Show(roots);
}

bool Roots(const char* path, KroListValKroISpecObject_var& roots) {
  KroDocument* document = nullptr;
  return Check(KroDocumentServices::Open(path, document), "open") && Check(document->GetRoots(roots), "roots");
}

// Every bind fails while the server is down; each code and how long it took.
bool Down(const KroListValKroISpecObject_var& roots) {
  for (const KroISpecObject_var& root : roots) {
    const auto start = std::chrono::steady_clock::now();
    HRESULT hr = S_OK;
    if (KroICfgSOSpecification_var record = root) {
      KroICfgSimpleSpecification_var spec;
      hr = record->getSpecification(spec);
    } else if (KroICfgSOSpecExpression_var record = root) {
      KroListValKroICfgSimpleSpecification_var specs;
      hr = record->getAllSpecifications(specs);
    } else if (KroICfgSOModification_var record = root) {
      KroICfgModification_var mod;
      hr = record->getModification(mod);
    } else if (KroICfgSOFilter_var record = root) {
      KroICfgFilter_var filter;
      hr = record->getFilter(filter);
    }
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("down %s %.1f ms\n", Hex(hr).c_str(), ms);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--connect") {
    std::string message;
    if (FAILED(KroCfgServerConnection::Connect(argv[2], message))) {
      std::printf("connect failed: %s\n", message.c_str());
      return 3;
    }
    first = 3;
  }
  if (argc < first + 2) {
    std::fprintf(stderr, "usage: %s [--connect ADDRESS] write|read|down DOC [GO]\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[first];
  const char* path = argv[first + 1];
  if (mode == "write") return Write(path) ? 0 : 1;
  KroListValKroISpecObject_var roots;
  if (!Roots(path, roots)) return 1;
  if (mode == "read") return Show(roots) ? 0 : 1;
  if (mode == "down" && argc > first + 2) {
    Down(roots);
    std::fflush(stdout);
    // At most a minute: a test that failed before making the file leaves nothing behind.
    for (int i = 0; access(argv[first + 2], F_OK) != 0; ++i) {
      if (i == 3000) return 4;
      usleep(20000);
    }
    return Show(roots) ? 0 : 1;
  }
  return 2;
}

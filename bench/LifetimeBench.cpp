// How much a long-running client leaves behind. Makes and drops contexts, streams and drops lists of
// base objects, and rewrites one interval many times (each write replaces its two nested dates), then
// prints how many instances the factory's container still holds and how much the resident set grew.
// Only the interval and its two current bounds are still held by this program at the end.
//
//   cfgso_lifetime [--contexts N] [--lists N] [--list-size N] [--intervals N] [--remove-trees]
//                  [--remove-records]
//
// Defaults: 1 000 000 contexts, 100 000 lists of 10 base objects, 100 000 interval writes. The
// container's mode comes from KRO_CONTAINER_MODE: in the store mode (the default) everything made stays
// listed unless the program removes it; --remove-trees takes each streamed list off with RemoveTree
// once dropped, --remove-records each context as well.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BenchSupport.h"
#include "KroCfgModelBuilder.h"
#include "KroCfgStreamer.h"

namespace {

struct Counts {
  long contexts = 1000000;
  long lists = 100000;
  long listSize = 10;
  long intervals = 100000;
  bool removeTrees = false;
  bool removeRecords = false;
};

bool ParseCounts(int argc, char** argv, Counts& counts) {
  for (int i = 1; i < argc; ++i) {
    long* target = nullptr;
    if (!std::strcmp(argv[i], "--remove-trees")) {
      counts.removeTrees = true;
      continue;
    }
    if (!std::strcmp(argv[i], "--remove-records")) {
      counts.removeRecords = counts.removeTrees = true;
      continue;
    }
    if (!std::strcmp(argv[i], "--contexts")) target = &counts.contexts;
    else if (!std::strcmp(argv[i], "--lists")) target = &counts.lists;
    else if (!std::strcmp(argv[i], "--list-size")) target = &counts.listSize;
    else if (!std::strcmp(argv[i], "--intervals")) target = &counts.intervals;
    char* end = nullptr;
    if (!target || i + 1 >= argc || (*target = std::strtol(argv[++i], &end, 10)) < 0 || *end) {
      std::fprintf(stderr,
                   "usage: %s [--contexts N] [--lists N] [--list-size N] [--intervals N] [--remove-trees] "
                   "[--remove-records]\n",
                   argv[0]);
      return false;
    }
  }
  return true;
}

double Megabytes(long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// One line per phase: the instances in the container and the resident set, both against the start.
struct Report {
  long instances0 = bench::InstanceCount();
  long resident0 = bench::ResidentBytes();

  void Line(const char* phase) const {
    long instances = bench::InstanceCount();
    std::printf("%-27s %9ld instances (%+9ld)   resident %+9.1f MB\n", phase, instances, instances - instances0,
                Megabytes(bench::ResidentBytes() - resident0));
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  Counts counts;
  if (!ParseCounts(argc, argv, counts)) return 2;
  bench::FindCatalog();
  KroIContainer_var container;
  if (FAILED(KroCfgSOFactory::getContainer(container))) {
    std::fprintf(stderr, "cfgso_lifetime: CfgSOCatalog.feat not found along KroGraphicPath\n");
    return 1;
  }
  // What every run makes once (meta objects, ties, the interval and its first bounds) is made before
  // the starting point, so that the figures show only what the repetitions leave.
  namespace B = KroCfgModelBuilder;
  const KroTime from(2024, 1, 1, 0, 0, 0), to(2024, 12, 31, 0, 0, 0);
  KroICfgSOIntervalDate_var interval;
  if (FAILED(KroCfgSOFactory::createIntervalDate(interval)) || FAILED(interval->setInterval(B::DateInterval(from, to)))) {
    std::fprintf(stderr, "cfgso_lifetime: no interval record\n");
    return 1;
  }
  const _IDL_SEQUENCE_NlsBaseObject sample = bench::Sample(static_cast<int>(counts.listSize));
  {
    KroICfgSOContext_var context;
    KroCfgSOFactory::createContext(context);
    KroISpecObject_var root;
    KroCfgStreamer::BaseObjectSeqToSpecObjectList(sample, root);
  }

  std::printf("contexts %ld, lists %ld of %ld base objects, interval writes %ld; %s mode%s\n", counts.contexts,
              counts.lists, counts.listSize, counts.intervals, container->IsTransient() ? "transient" : "store",
              counts.removeRecords ? ", each record removed" : counts.removeTrees ? ", each streamed list removed" : "");
  int removed = 0;
  const Report report;
  report.Line("start");

  for (long i = 0; i < counts.contexts; ++i) {
    KroICfgSOContext_var context;
    if (FAILED(KroCfgSOFactory::createContext(context))) return 1;
    context->setName(KroUnicodeString("context-").AppendNum(i));
    if (counts.removeRecords) container->RemoveTree(KroISpecObject_var(context), removed);
  }
  report.Line("after the contexts");

  for (long i = 0; i < counts.lists; ++i) {
    KroISpecObject_var root;
    if (FAILED(KroCfgStreamer::BaseObjectSeqToSpecObjectList(sample, root))) return 1;
    if (counts.removeTrees) container->RemoveTree(root, removed);
  }
  report.Line("after the streamed lists");

  for (long i = 0; i < counts.intervals; ++i)
    if (FAILED(interval->setInterval(B::DateInterval(from, to)))) return 1;
  report.Line("after the interval writes");

  std::printf("\ninstances in the container: %ld (still held by this program: the interval and its two bounds)\n",
              bench::InstanceCount());
  std::printf("resident set growth:        %.1f MB (target: below 100 MB)\n",
              Megabytes(bench::ResidentBytes() - report.resident0));
  return 0;
}

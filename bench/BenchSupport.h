// Helpers shared by the benchmarks: the catalog, the sample records, the factory's container and the
// process's memory.
#pragma once

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "DMX_Config.h"
#include "KroCfgSOFactory.h"

namespace bench {

// The catalog lies next to cfgso, one directory above the benchmark programs, unless KroGraphicPath
// says otherwise.
inline void FindCatalog() {
  if (std::getenv("KroGraphicPath")) return;
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return;
  std::string path = self.parent_path().string() + ":" + self.parent_path().parent_path().string();
  setenv("KroGraphicPath", path.c_str(), 1);
}

// The records every round trip carries: {name, type, info, 16-octet uid}.
inline _IDL_SEQUENCE_NlsBaseObject Sample(int count) {
  _IDL_SEQUENCE_NlsBaseObject seq;
  seq.length(static_cast<CORBA::ULong>(count));
  for (int i = 0; i < count; ++i) {
    NlsBaseObject& bo = seq[static_cast<CORBA::ULong>(i)];
    bo.name.text = "part-" + std::to_string(i);
    bo.type.text = "Part";
    bo.info.text = "benchmark sample";
    bo.uid.length(16);
    for (CORBA::ULong k = 0; k < 16; ++k) bo.uid[k] = static_cast<CORBA::Octet>(i + k);
  }
  return seq;
}

// Removes every instance from the factory's container and reclaims them, so that runs do not pile up.
inline void EmptyContainer() {
  KroIContainer_var container;
  if (FAILED(KroCfgSOFactory::getContainer(container))) return;
  for (const KroISpecObject_var& object : container->ListObjects()) container->RemoveObject(object);
  container->Collect();
}

inline long InstanceCount() {
  KroIContainer_var container;
  return SUCCEEDED(KroCfgSOFactory::getContainer(container)) ? container->CountObjects() : -1;
}

// Resident set size in bytes, from /proc/self/statm.
inline long ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

// Bytes the allocator has handed out and not had back.
inline long HeapInUseBytes() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<long>(info.uordblks + info.hblkhd);
}

// Gives freed memory back to the system, so that the next growth of the resident set is new memory
// rather than pages an earlier run left behind.
inline void ReturnFreeMemory() { malloc_trim(0); }

// Freed memory otherwise goes back to the system at once or only after the allocator has seen a large
// block freed, depending on which benchmark ran first; a run would then pay page faults for what its
// previous iteration freed, or not. Fixed thresholds keep freed memory in the process for every
// benchmark alike, as in a long-running client. ReturnFreeMemory still gives it back on request.
inline const bool kSteadyHeap = [] {
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
  return true;
}();

}  // namespace bench

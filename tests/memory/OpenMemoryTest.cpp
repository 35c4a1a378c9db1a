// Heap used while a document opens, counted by replacing the global allocation functions (so this is
// its own program, and not built under the sanitizers, which replace them too).
#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "KroDocument.h"
#include "KroSpecModeler.h"

namespace {
std::atomic<long long> g_current{0}, g_peak{0};

void Count(long long delta) {
  const long long now = g_current += delta;
  long long peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}
}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  Count(static_cast<long long>(malloc_usable_size(p)));
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
  if (!p) return;
  Count(-static_cast<long long>(malloc_usable_size(p)));
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// Objects like those the library stores: a few scalar attributes and a reference each.
std::string WriteDocument(int count) {
  const std::string path = ::testing::TempDir() + "memory-" + std::to_string(getpid()) + ".kro";
  KroIContainer_var container = KroIContainer_var::Adopt(new KroContainer("c"));
  KroISpecObject_var startUp =
      KroISpecObject_var::Adopt(CreateStartUp("CfgSODate", "CfgSODate", "KroISpecObject", container, "", nullptr));
  KroISpecAttribute_var::Adopt(startUp->AddAttribute("S", tk_long));
  KroISpecAttribute_var::Adopt(startUp->AddAttribute("name", tk_string));
  KroISpecAttribute_var::Adopt(startUp->AddAttribute("next", tk_specobject));
  KroISpecObject_var previous;
  for (int i = 0; i < count; ++i) {
    KroISpecObject_var so = KroISpecObject_var::Adopt(startUp->Instanciate("", nullptr));
    KroISpecAttrAccess_var a = so;
    a->SetInteger(KroISpecAttrKey_var::Adopt(a->GetAttrKey("S")), 1079308800 + i);
    a->SetString(KroISpecAttrKey_var::Adopt(a->GetAttrKey("name")), "a name of some length");
    if (previous) a->SetSpecObject(KroISpecAttrKey_var::Adopt(a->GetAttrKey("next")), previous);
    previous = so;
  }
  previous = nullptr;
  EXPECT_EQ(KroDocumentServices::Save(container, path.c_str()), S_OK);
  return path;
}

// Opening holds the file's text once and no parsed form of the whole document: what the heap's peak
// holds beyond the container it leaves stays within twice the file's size.
TEST(OpenMemoryTest, OpeningHoldsTheTextOnceBesideTheContainer) {
  const std::string path = WriteDocument(50000);
  const auto size = static_cast<long long>(std::filesystem::file_size(path));
  const long long before = g_current;
  g_peak = before;
  KroDocument* document = nullptr;
  ASSERT_EQ(KroDocumentServices::Open(path.c_str(), document, 0), S_OK);
  const long long peak = g_peak - before, kept = g_current - before;
  KroDocumentServices::Close(document);
  std::remove(path.c_str());
  RecordProperty("file_bytes", std::to_string(size));
  RecordProperty("peak_bytes", std::to_string(peak));
  RecordProperty("container_bytes", std::to_string(kept));
  std::printf("file %lld bytes; peak while opening %lld (%.2fx); container %lld (%.2fx); opening's own %lld (%.2fx)\n",
              size, peak, double(peak) / size, kept, double(kept) / size, peak - kept, double(peak - kept) / size);
  EXPECT_LE(peak - kept, 2 * size);
}

}  // namespace

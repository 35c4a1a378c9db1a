// The names table. Each constant lives in raw static storage that its member reference is bound to at
// compile time; one initialiser builds the strings at load, in declaration order, and destroys them in
// reverse order at unload.
#include "KroCfgSOStrings.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#include "KroCfgSOStringsIndex.h"

namespace {

// Storage for one constant: raw bytes, zeroed at compile time, until the initialiser places the
// string over them.
union Slot {
  constexpr Slot() : raw{} {}
  ~Slot() {}
  unsigned char raw[sizeof(KroUnicodeString)];
  KroUnicodeString value;
};

namespace storage {
#define KRO_CFGSO_STRINGS_SLOT(name, text) constinit Slot name;
KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_SLOT)
#undef KRO_CFGSO_STRINGS_SLOT
}  // namespace storage

// One guard counter per constant, zero before any code of the library runs.
namespace counter {
#define KRO_CFGSO_STRINGS_COUNTER(name, text) constinit int name = 0;
KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_COUNTER)
#undef KRO_CFGSO_STRINGS_COUNTER
}  // namespace counter

struct Entry {
  const char* name;
  const char* text;
  Slot* slot;
  int* counter;
};

constexpr Entry kEntries[] = {
#define KRO_CFGSO_STRINGS_ENTRY(name, text) {#name, text, &storage::name, &counter::name},
    KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_ENTRY)
#undef KRO_CFGSO_STRINGS_ENTRY
};

constexpr int kCount = static_cast<int>(sizeof(kEntries) / sizeof(kEntries[0]));
static_assert(kCount == 392, "the names table holds 392 constants");

const Entry& EntryAt(int i) {
  if (i < 0 || i >= kCount) throw std::out_of_range("KroCfgSOStrings index out of range");
  return kEntries[i];
}

struct Initialiser {
  Initialiser() { KroCfgSOStringsInitialise(); }
  // Unload destroys every constant once, whatever the counters say.
  ~Initialiser() {
    for (int i = kCount - 1; i >= 0; --i) std::destroy_at(&kEntries[i].slot->value);
  }
};

}  // namespace

// Bound at compile time, so a reference is valid (though its string may not be built yet) from the start.
#define KRO_CFGSO_STRINGS_DEFINE(name, text) \
  constinit KroUnicodeString& KroCfgSOStrings::name = storage::name.value;
KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_DEFINE)
#undef KRO_CFGSO_STRINGS_DEFINE

void KroCfgSOStringsInitialise() {
  for (const Entry& entry : kEntries) {
    if (++*entry.counter == 1) std::construct_at(&entry.slot->value, entry.text);
  }
}

int KroCfgSOStringsCount() { return kCount; }

const char* KroCfgSOStringsNameAt(int i) { return EntryAt(i).name; }

const KroUnicodeString& KroCfgSOStringsValueAt(int i) { return EntryAt(i).slot->value; }

const KroUnicodeString* KroCfgSOStringsFind(const char* name) {
  if (!name) return nullptr;
  for (const Entry& entry : kEntries) {
    if (std::strcmp(entry.name, name) == 0) return &entry.slot->value;
  }
  return nullptr;
}

namespace {
// Runs before the library's other static initialisers, so they may read the constants.
#if defined(__GNUC__)
Initialiser s_initialiser __attribute__((init_priority(101)));
#else
Initialiser s_initialiser;
#endif
}  // namespace

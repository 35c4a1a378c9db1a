// The names table. Every constant is a static member, constant-initialised empty; one initialiser gives
// them their text at load, in declaration order, before the library's other statics run.
#include "KroCfgSOStrings.h"

#include <cstring>
#include <stdexcept>

#include "KroCfgSOFramework.h"
#include "KroCfgSOStringsIndex.h"

#define KRO_CFGSO_STRINGS_DEFINE(name, text) KRO_NAMES_CONSTINIT KroUnicodeString KroCfgSOStrings::name KRO_NAMES_PRIORITY;
KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_DEFINE)
#undef KRO_CFGSO_STRINGS_DEFINE

namespace {

// One guard counter per constant, zero before any code of the library runs.
namespace counter {
#define KRO_CFGSO_STRINGS_COUNTER(name, text) constinit int name = 0;
KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_COUNTER)
#undef KRO_CFGSO_STRINGS_COUNTER
}  // namespace counter

constexpr const char* kNames[] = {
#define KRO_CFGSO_STRINGS_NAME(name, text) #name,
    KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_NAME)
#undef KRO_CFGSO_STRINGS_NAME
};

constexpr KroNameConstant kConstants[] = {
#define KRO_CFGSO_STRINGS_ENTRY(name, text) {&KroCfgSOStrings::name, text, &counter::name},
    KRO_CFGSO_STRINGS_LIST(KRO_CFGSO_STRINGS_ENTRY)
#undef KRO_CFGSO_STRINGS_ENTRY
};

constexpr int kCount = static_cast<int>(sizeof(kConstants) / sizeof(kConstants[0]));
static_assert(kCount == 392, "the names table holds 392 constants");

int Checked(int i) {
  if (i < 0 || i >= kCount) throw std::out_of_range("KroCfgSOStrings index out of range");
  return i;
}

}  // namespace

void KroCfgSOStringsInitialise() { KroBuildNameConstants(kConstants); }

int KroCfgSOStringsCount() { return kCount; }

const char* KroCfgSOStringsNameAt(int i) { return kNames[Checked(i)]; }

const KroUnicodeString& KroCfgSOStringsValueAt(int i) { return *kConstants[Checked(i)].value; }

const KroUnicodeString* KroCfgSOStringsFind(const char* name) {
  if (!name) return nullptr;
  for (int i = 0; i < kCount; ++i)
    if (std::strcmp(kNames[i], name) == 0) return kConstants[i].value;
  return nullptr;
}

namespace {
// Defined after the constants, at their priority, so it runs after they exist and before any other
// static of the library.
struct Initialiser {
  Initialiser() { KroCfgSOStringsInitialise(); }
};
Initialiser s_initialiser KRO_NAMES_PRIORITY;
}  // namespace

#include "KroPlatformServices.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

void KroFatalError(const char* message, int, int, int, const char* sourcePath, int line) {
  std::fprintf(stderr, "Fatal error: %s\n  at %s, line %d\n", message ? message : "", sourcePath ? sourcePath : "?",
               line);
  std::fflush(stderr);
  std::abort();
}

std::string KroFindPath(const char* fileName, const char* pathList) {
  if (!fileName || !*fileName || !pathList) return std::string();
  std::string_view list(pathList);
  while (true) {
    std::size_t sep = list.find_first_of(":;");
    std::string_view dir = list.substr(0, sep);
    if (!dir.empty()) {
      std::filesystem::path candidate = std::filesystem::path(dir) / fileName;
      std::error_code ec;
      if (std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
    }
    if (sep == std::string_view::npos) break;
    list.remove_prefix(sep + 1);
  }
  return std::string();
}

HRESULT KroGetEnvValue(const char* name, char** value) {
  if (!value) return E_INVALIDARG;
  *value = nullptr;
  const char* found = name ? std::getenv(name) : nullptr;
  if (!found) return S_FALSE;
  *value = strdup(found);
  return *value ? S_OK : E_OUTOFMEMORY;
}

#include "TestPaths.h"

namespace kro_test {
std::string TestDataDir() { return KRO_TEST_DATA_DIR; }
std::string ShippedCatalogDir() { return KRO_SHIPPED_CATALOG_DIR; }
std::string SourceDir() { return KRO_SOURCE_DIR; }
std::string CfgsoTool() { return KRO_CFGSO_TOOL; }
std::string ProjectVersion() { return KRO_PROJECT_VERSION; }
}  // namespace kro_test

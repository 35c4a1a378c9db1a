// Where the tests find their data, the shipped catalog and cfgso. Defined in one source that alone
// carries the build's absolute paths, so that every other test source compiles the same in any
// checkout and a compiler cache can reuse it.
#pragma once

#include <string>

namespace kro_test {
std::string TestDataDir();        // tests/data
std::string ShippedCatalogDir();  // data/, the shipped catalog's folder
std::string SourceDir();          // the project's checkout
std::string CfgsoTool();          // the built cfgso
std::string ProjectVersion();
}  // namespace kro_test

// The server's interface definition and the C++ structures the streamer compiles against declare the
// same structures with the same fields in the same order, and the same scalar types.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestPaths.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;  // (name, type) in declaration order

std::string Read(const std::string& path) {
  std::ifstream in(kro_test::ShippedCatalogDir() + "/../" + path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every "struct Name { ... };" of a text, with its data members; comments and operators are skipped.
std::map<std::string, Fields> Structs(const std::string& text) {
  std::map<std::string, Fields> out;
  const std::regex head(R"(struct\s+(?:KRO_PLATFORM_API\s+)?(\w+)\s*\{)");
  const std::regex member(R"(^\s*([\w:<>, ]+?)\s+(\w+)\s*(=[^;]*)?;)");
  for (std::sregex_iterator it(text.begin(), text.end(), head), end; it != end; ++it) {
    std::size_t from = static_cast<std::size_t>(it->position(0) + it->length(0));
    std::string body = text.substr(from, text.find("};", from) - from);
    Fields& fields = out[(*it)[1]];
    std::istringstream lines(body);
    for (std::string line; std::getline(lines, line);) {
      line = line.substr(0, line.find("//"));
      std::smatch m;
      if (line.find("friend") == std::string::npos && std::regex_search(line, m, member))
        fields.emplace_back(m[2], m[1]);
    }
  }
  return out;
}

TEST(IdlDefinitionTest, CppStructuresFollowTheInterfaceDefinition) {
  const std::string idl = Read("platform/idl/DMX_Config.idl");
  ASSERT_FALSE(idl.empty());
  const std::map<std::string, Fields> declared = Structs(idl);
  std::map<std::string, Fields> compiled;
  for (const char* header : {"platform/idl/DMX_Config.h", "platform/idl/DMX_OrbixTypes.h", "platform/idl/NlsString.h"})
    for (auto& [name, fields] : Structs(Read(header))) compiled[name] = fields;
  ASSERT_EQ(declared.size(), 14u);

  const std::map<std::string, std::string> scalars{
      {"long", "CORBA::Long"}, {"short", "CORBA::Short"}, {"string", "CORBA::String_mgr"}};
  for (const auto& [name, fields] : declared) {
    auto found = compiled.find(name);
    if (found == compiled.end()) {
      ADD_FAILURE() << "no C++ structure " << name;
      continue;
    }
    ASSERT_EQ(found->second.size(), fields.size()) << name;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      EXPECT_EQ(found->second[i].first, fields[i].first) << name << " field " << i;
      auto scalar = scalars.find(fields[i].second);
      if (scalar != scalars.end()) {
        EXPECT_EQ(found->second[i].second, scalar->second) << name << "." << fields[i].first;
      }
    }
  }
  for (const auto& [name, fields] : compiled)
    EXPECT_TRUE(declared.contains(name)) << "C++ structure " << name << " is not in the interface definition";
}

}  // namespace

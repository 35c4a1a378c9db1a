#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "KroList.h"
#include "KroPlatformServices.h"
#include "KroUnicodeString.h"
#include "SEQUENCE_octet.h"

namespace fs = std::filesystem;

namespace {

TEST(PlatformServicesTest, FindPathSearchesDirectoriesInOrder) {
  const fs::path root = fs::path(testing::TempDir()) / "kro_findpath_test";
  fs::remove_all(root);
  fs::create_directories(root / "first");
  fs::create_directories(root / "second");
  fs::create_directories(root / "third" / "data.txt");  // a directory, not a file
  std::ofstream(root / "second" / "data.txt") << "x";
  std::ofstream(root / "first" / "other.txt") << "x";
  const std::string missing = (root / "missing").string();
  const std::string first = (root / "first").string();
  const std::string second = (root / "second").string();
  const std::string third = (root / "third").string();
  const std::string found = (root / "second" / "data.txt").string();

  EXPECT_EQ(KroFindPath("data.txt", (missing + ":" + third + ":" + first + ":" + second).c_str()), found);
  EXPECT_EQ(KroFindPath("data.txt", (missing + ";" + third + ";;" + second + ";").c_str()), found);
  EXPECT_EQ(KroFindPath("other.txt", (second + ":" + first).c_str()), (root / "first" / "other.txt").string());
  EXPECT_EQ(KroFindPath("data.txt", (missing + ":" + third + ":" + first).c_str()), "");
  EXPECT_EQ(KroFindPath("data.txt", ""), "");
  EXPECT_EQ(KroFindPath("", second.c_str()), "");
  fs::remove_all(root);
}

TEST(PlatformServicesTest, GetEnvValueCopiesOrReportsUnset) {
  const char* name = "KRO_PLATFORM_SERVICES_TEST_VAR";
  setenv(name, "value", 1);
  char* value = nullptr;
  ASSERT_EQ(KroGetEnvValue(name, &value), S_OK);
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(value, "value");
  std::free(value);

  unsetenv(name);
  value = reinterpret_cast<char*>(&value);  // must be reset, not left dangling
  EXPECT_EQ(KroGetEnvValue(name, &value), S_FALSE);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(KroGetEnvValue(name, nullptr), E_INVALIDARG);
}

TEST(PlatformServicesDeathTest, FatalErrorReportsMessageAndPlace) {
  EXPECT_DEATH(KroFatalError("AssertionFailed:x", 0, 0, 0, "some/path", 125), "AssertionFailed:x.*some/path.*125");
}

TEST(PlatformServicesTest, ListIsOneBasedAndChecked) {
  KroList<int> list{10, 20, 30};
  EXPECT_EQ(list[1], 10);
  EXPECT_EQ(list[3], 30);
  const KroList<int>& constList = list;
  EXPECT_THROW(constList[0], std::out_of_range);
  EXPECT_THROW(list[list.Size() + 1], std::out_of_range);
  EXPECT_THROW(list.RemovePosition(4), std::out_of_range);

  list.RemovePosition(2);
  EXPECT_EQ(list, (KroList<int>{10, 30}));
  list.Append(KroList<int>{40});
  EXPECT_EQ(list, (KroList<int>{10, 30, 40}));
  list.RemoveAll();
  EXPECT_EQ(list.Size(), 0);
  EXPECT_THROW(list[1], std::out_of_range);
}

TEST(PlatformServicesTest, UnicodeStringNumbersAndComparison) {
  EXPECT_EQ(KroUnicodeString::BuildFromNum(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(KroUnicodeString::BuildFromNum(0.1), "0.1");
  EXPECT_EQ(KroUnicodeString::BuildFromNum(100.0), "100");
  EXPECT_EQ(KroUnicodeString("n=").AppendNum(7).AppendNum(-3L), "n=7-3");

  int value = 99;
  EXPECT_TRUE(KroUnicodeString("-42").ConvertToNum(value));
  EXPECT_EQ(value, -42);
  for (const char* bad : {"", "12a", " 1", "2147483648", "1.5"}) {
    EXPECT_FALSE(KroUnicodeString(bad).ConvertToNum(value)) << bad;
    EXPECT_EQ(value, -42) << bad;
  }

  EXPECT_LT(KroUnicodeString("abc").Compare("abd"), 0);
  EXPECT_LT(KroUnicodeString("ab"), KroUnicodeString("abc"));
  EXPECT_EQ(KroUnicodeString(static_cast<const char*>(nullptr)), "");
  EXPECT_EQ(KroUnicodeString("a") + KroUnicodeString("b") + "c", "abc");
  EXPECT_EQ(SEQUENCE_octet({0x00, 0x7f, 0xff}).ToHex(), "007fff");
}

}  // namespace

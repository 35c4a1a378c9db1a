#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

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

// Texts on both sides of the inline limit, through copies, moves, growth and self-reference; the
// sanitizers see any byte read or written past the storage.
TEST(PlatformServicesTest, UnicodeStringKeepsTextAcrossTheInlineLimit) {
  const std::string full(KroUnicodeString::kInlineCapacity, 'x');
  for (const std::string& text : {std::string(), std::string("a"), full.substr(1), full, full + "y",
                                  std::string(100, 'z') + std::string(1, '\0') + "tail"}) {
    KroUnicodeString s(text);
    EXPECT_EQ(s.view(), text);
    EXPECT_EQ(s.size(), text.size());
    EXPECT_EQ(s.ConvertToChar()[text.size()], '\0');
    KroUnicodeString copy = s;
    KroUnicodeString moved = std::move(s);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(copy, moved);
    EXPECT_EQ(moved.str(), text);
    copy = KroUnicodeString("short");
    EXPECT_EQ(copy, "short");
    const KroUnicodeString& same = moved;
    moved = same;
    EXPECT_EQ(moved.view(), text);
  }

  // Growing past the limit one byte at a time, and from its own text.
  KroUnicodeString grown;
  std::string expected;
  for (int i = 0; i < 40; ++i) {
    grown.Append(std::string_view("0123456789").substr(static_cast<std::size_t>(i % 10), 1));
    expected += static_cast<char>('0' + i % 10);
    ASSERT_EQ(grown.view(), expected);
  }
  KroUnicodeString twice("abcdefghijklm");
  twice.Append(twice);
  EXPECT_EQ(twice, "abcdefghijklmabcdefghijklm");
  twice.Append(twice.view().substr(2, 3));
  EXPECT_EQ(twice, "abcdefghijklmabcdefghijklmcde");
  twice.assign(twice.view().substr(1, 4));
  EXPECT_EQ(twice, "bcde");
  twice.assign(std::string(30, 'q'));
  EXPECT_EQ(twice.view(), std::string(30, 'q'));
}

}  // namespace

// Registry functions under HKEY_CURRENT_USER, in a key of the test's own.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

namespace {

const uint32_t kCurrentUser = 0x80000001u;

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { key_ = "Software\\SolvikaTests\\" + std::to_string(GetCurrentProcessId()); }
  void TearDown() override { SHDeleteKeyW(HKEY_CURRENT_USER, sv::Wide(key_).c_str()); }
  std::string Get(const std::string& name, const std::string& def = "def", std::string key = "") {
    if (key.empty()) key = key_;
    return sv::TakeOut(
        [&](SvStr* out) { GetRegistryString(out, kCurrentUser, key.c_str(), name.c_str(), def.c_str()); });
  }
  std::string key_;
};

}  // namespace

TEST_F(Registry, MissingKeyOrValueGivesDefault) {
  EXPECT_EQ("def", Get("Name"));
  EXPECT_EQ(-3, GetRegistryInt(kCurrentUser, key_.c_str(), "Count", -3));
  ASSERT_TRUE(SetRegistryInt(kCurrentUser, key_.c_str(), "Other", 1));
  EXPECT_EQ("def", Get("Name"));
  EXPECT_EQ(-3, GetRegistryInt(kCurrentUser, key_.c_str(), "Count", -3));
}

TEST_F(Registry, WritesCreateNestedKeysAndReadBack) {
  std::string nested = key_ + "\\a\\b";
  ASSERT_TRUE(SetRegistryString(kCurrentUser, nested.c_str(), sv::Ru(u8"Имя").c_str(), sv::Ru(u8"Значение ё").c_str()));
  EXPECT_EQ(sv::Ru(u8"Значение ё"), Get(sv::Ru(u8"Имя"), "def", nested));
  ASSERT_TRUE(SetRegistryInt(kCurrentUser, key_.c_str(), "Count", -7));
  EXPECT_EQ(-7, GetRegistryInt(kCurrentUser, key_.c_str(), "Count", 0));
  ASSERT_TRUE(SetRegistryString(kCurrentUser, key_.c_str(), "Empty", ""));
  EXPECT_EQ("", Get("Empty"));

  // What was written is a real REG_SZ / REG_DWORD, readable by other programs.
  DWORD type = 0, value = 0, size = sizeof(value);
  ASSERT_EQ(ERROR_SUCCESS, SHGetValueW(HKEY_CURRENT_USER, sv::Wide(key_).c_str(), L"Count", &type, &value, &size));
  EXPECT_EQ((DWORD)REG_DWORD, type);
  EXPECT_EQ((DWORD)-7, value);
}

TEST_F(Registry, DeleteValue) {
  ASSERT_TRUE(SetRegistryString(kCurrentUser, key_.c_str(), "Name", "x"));
  EXPECT_TRUE(DeleteRegistryValue(kCurrentUser, key_.c_str(), "Name"));
  EXPECT_EQ("def", Get("Name"));
  EXPECT_TRUE(DeleteRegistryValue(kCurrentUser, key_.c_str(), "Name")) << "a missing value counts as deleted";
  std::string missing = key_ + "\\missing";
  EXPECT_FALSE(DeleteRegistryValue(kCurrentUser, missing.c_str(), "Name")) << "but not in a missing key";
}

TEST_F(Registry, ValueTooLongForTheBufferGivesDefault) {
  std::wstring big(40000, L'x');  // 80000 bytes
  ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, sv::Wide(key_).c_str(), L"Big", REG_SZ, big.c_str(),
                                       (DWORD)((big.size() + 1) * 2)));
  EXPECT_EQ("def", Get("Big"));
}

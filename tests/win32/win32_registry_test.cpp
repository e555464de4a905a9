#include "platform/win32/registry/win32_registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using vtsetup::TextString;
using vtsetup::platform::ERR_ACCESS_DENIED;
using vtsetup::platform::ERR_FILE_NOT_FOUND;
using vtsetup::platform::ERR_MORE_DATA;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::KeyContents;
using vtsetup::platform::KeyOpen;
using vtsetup::platform::RegistryAccess;
using vtsetup::platform::ValueRead;
using vtsetup::platform::win32::Win32Registry;

// A key of the tests' own below HKEY_LOCAL_MACHINE\SOFTWARE, made and deleted with the system's calls
// so that what the adapter leaves there is seen by other means.
class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "SOFTWARE\\VtSetupSeamTest" + std::to_string(::GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, base_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
  }
  void TearDown() override {
    // RegDeleteTreeA is newer than the adapter may use, but the tests run on a system that has it.
    using DeleteTree = LONG(WINAPI*)(HKEY, const char*);
    const auto delete_tree = reinterpret_cast<DeleteTree>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("advapi32.dll"), "RegDeleteTreeA")));
    if (delete_tree != nullptr) {
      delete_tree(HKEY_LOCAL_MACHINE, base_.c_str());
    }
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, base_.c_str());
  }

  std::string Below(const std::string& name) const { return base_ + "\\" + name; }
  static bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    ::RegCloseKey(key);
    return true;
  }
  void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, base_.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(key);
  }
  KeyOpen OpenBase(RegistryAccess access) { return registry_.Open(base_.c_str(), access); }

  std::string base_;
  Win32Registry registry_;
};

TEST_F(Win32RegistryTest, CreatesEveryMissingLevelAndOpensWhatExists) {
  const KeyOpen base = OpenBase(RegistryAccess::Write);
  ASSERT_NE(base.key, nullptr);
  const KeyOpen deep = base.key->Create("Company\\Product\\1.0\\");
  ASSERT_EQ(deep.error, ERR_NONE);
  ASSERT_NE(deep.key, nullptr);
  EXPECT_TRUE(KeyExists(Below("Company\\Product\\1.0")));
  // The new key is opened for writing.
  EXPECT_EQ(deep.key->SetString("Path", "C:\\Gry"), ERR_NONE);
  EXPECT_EQ(base.key->Create("company\\PRODUCT").error, ERR_NONE);

  const KeyOpen again = registry_.Open(Below("COMPANY\\product\\1.0").c_str(), RegistryAccess::Read);
  ASSERT_NE(again.key, nullptr);
  EXPECT_EQ(again.key->QueryString("path", 260).value, "C:\\Gry");
  EXPECT_EQ(registry_.Open(Below("Missing").c_str(), RegistryAccess::Read).error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(registry_.Open(Below("Missing").c_str(), RegistryAccess::Read).key, nullptr);
}

TEST_F(Win32RegistryTest, StringsGoInWithTheirZeroAndComeBackAsWritten) {
  const KeyOpen key = OpenBase(RegistryAccess::Write);
  ASSERT_NE(key.key, nullptr);
  const char polish[] = "Instalator gry \xBF\xF3\xB3\xE6";  // code page 1250
  ASSERT_EQ(key.key->SetString("Name", polish), ERR_NONE);
  ASSERT_EQ(key.key->SetString(nullptr, "default"), ERR_NONE);
  ASSERT_EQ(key.key->SetString("Empty", ""), ERR_NONE);
  EXPECT_EQ(key.key->QueryString("Name", 260).value, polish);
  EXPECT_EQ(key.key->QueryString(nullptr, 260).value, "default");
  EXPECT_EQ(key.key->QueryString("", 260).value, "default");
  const ValueRead empty = key.key->QueryString("Empty", 260);
  EXPECT_EQ(empty.error, ERR_NONE);
  EXPECT_EQ(empty.value, "");

  // What the system stored: a REG_SZ whose size counts the zero.
  HKEY raw = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, base_.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  DWORD type = 0;
  char data[64] = {};
  DWORD size = sizeof(data);
  EXPECT_EQ(::RegQueryValueExA(raw, "Name", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  ::RegCloseKey(raw);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, sizeof(polish));
  EXPECT_STREQ(data, polish);
}

TEST_F(Win32RegistryTest, MoreDataWhenTheTextWithItsZeroDoesNotFit) {
  const KeyOpen key = OpenBase(RegistryAccess::Write);
  ASSERT_NE(key.key, nullptr);
  ASSERT_EQ(key.key->SetString("Five", "abcde"), ERR_NONE);
  const ValueRead fits = key.key->QueryString("Five", 6);
  EXPECT_EQ(fits.error, ERR_NONE);
  EXPECT_EQ(fits.value, "abcde");
  const ValueRead short_by_one = key.key->QueryString("Five", 5);
  EXPECT_EQ(short_by_one.error, ERR_MORE_DATA);
  EXPECT_EQ(short_by_one.value, "");
  EXPECT_EQ(key.key->QueryString("Five", 0).error, ERR_MORE_DATA);
  EXPECT_EQ(key.key->QueryString("Missing", 260).error, ERR_FILE_NOT_FOUND);
}

TEST_F(Win32RegistryTest, AStringWithoutItsZeroEndsWhereItsDataEnds) {
  // Stored by someone else's program: five bytes, no terminating zero, then nothing of ours.
  SetRaw("Bare", REG_SZ, "abcdeXYZ", 5);
  const KeyOpen key = OpenBase(RegistryAccess::Read);
  ASSERT_NE(key.key, nullptr);
  const ValueRead whole = key.key->QueryString("Bare", 6);
  EXPECT_EQ(whole.error, ERR_NONE);
  EXPECT_EQ(whole.value, "abcde");
  EXPECT_EQ(whole.value.Length(), 5u);
  EXPECT_EQ(key.key->QueryString("Bare", 5).error, ERR_MORE_DATA);
}

TEST_F(Win32RegistryTest, OnlyStringsAreStrings) {
  const DWORD number = 0x102;
  SetRaw("Version", REG_DWORD, &number, sizeof(number));
  const char expandable[] = "%TEMP%\\setup";
  SetRaw("Expandable", REG_EXPAND_SZ, expandable, sizeof(expandable));
  SetRaw("Bytes", REG_BINARY, "ab\0", 3);
  const KeyOpen key = OpenBase(RegistryAccess::Read);
  ASSERT_NE(key.key, nullptr);
  EXPECT_EQ(key.key->QueryString("Version", 260).error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(key.key->QueryString("Bytes", 260).error, ERR_FILE_NOT_FOUND);
  const ValueRead unexpanded = key.key->QueryString("Expandable", 260);
  EXPECT_EQ(unexpanded.error, ERR_NONE);
  EXPECT_EQ(unexpanded.value, expandable);
}

TEST_F(Win32RegistryTest, DeletesValuesOfEveryType) {
  const DWORD number = 7;
  SetRaw("Number", REG_DWORD, &number, sizeof(number));
  const KeyOpen key = OpenBase(RegistryAccess::Write);
  ASSERT_NE(key.key, nullptr);
  ASSERT_EQ(key.key->SetString("Text", "x"), ERR_NONE);
  EXPECT_EQ(key.key->DeleteValue("Text"), ERR_NONE);
  EXPECT_EQ(key.key->QueryString("Text", 260).error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(key.key->DeleteValue("Number"), ERR_NONE);
  EXPECT_EQ(key.key->Contents().values, 0u);
  EXPECT_EQ(key.key->DeleteValue("Text"), ERR_FILE_NOT_FOUND);
}

TEST_F(Win32RegistryTest, AKeyOpenedForReadingRefusesEveryWrite) {
  {
    const KeyOpen writer = OpenBase(RegistryAccess::Write);
    ASSERT_NE(writer.key, nullptr);
    ASSERT_EQ(writer.key->SetString("Kept", "yes"), ERR_NONE);
    ASSERT_NE(writer.key->Create("Existing").key, nullptr);
  }
  const KeyOpen reader = OpenBase(RegistryAccess::Read);
  ASSERT_NE(reader.key, nullptr);
  EXPECT_EQ(reader.key->SetString("New", "no"), ERR_ACCESS_DENIED);
  EXPECT_EQ(reader.key->DeleteValue("Kept"), ERR_ACCESS_DENIED);
  EXPECT_EQ(reader.key->Create("Fresh").error, ERR_ACCESS_DENIED);
  EXPECT_EQ(reader.key->Create("Existing").error, ERR_ACCESS_DENIED);
  EXPECT_FALSE(KeyExists(Below("Fresh")));
  EXPECT_EQ(reader.key->QueryString("Kept", 260).value, "yes");
  EXPECT_EQ(reader.key->QueryString("New", 260).error, ERR_FILE_NOT_FOUND);
}

TEST_F(Win32RegistryTest, ContentsCountSubkeysOneLevelDownAndEveryValue) {
  const KeyOpen key = OpenBase(RegistryAccess::Write);
  ASSERT_NE(key.key, nullptr);
  KeyContents contents = key.key->Contents();
  EXPECT_EQ(contents.error, ERR_NONE);
  EXPECT_EQ(contents.subkeys, 0u);
  EXPECT_EQ(contents.values, 0u);
  ASSERT_NE(key.key->Create("One\\Deeper\\Deepest").key, nullptr);
  ASSERT_NE(key.key->Create("Two").key, nullptr);
  ASSERT_EQ(key.key->SetString("A", "1"), ERR_NONE);
  ASSERT_EQ(key.key->SetString(nullptr, "default"), ERR_NONE);
  const DWORD number = 1;
  SetRaw("B", REG_DWORD, &number, sizeof(number));
  contents = key.key->Contents();
  EXPECT_EQ(contents.error, ERR_NONE);
  EXPECT_EQ(contents.subkeys, 2u);
  EXPECT_EQ(contents.values, 3u);
}

TEST_F(Win32RegistryTest, DeletesAWholeTreeAndKeepsItsParent) {
  {
    const KeyOpen key = OpenBase(RegistryAccess::Write);
    ASSERT_NE(key.key, nullptr);
    for (const char* path : {"Game\\A\\B\\C", "Game\\A\\B2", "Game\\D", "Sibling"}) {
      const KeyOpen made = key.key->Create(path);
      ASSERT_NE(made.key, nullptr) << path;
      ASSERT_EQ(made.key->SetString("Value", path), ERR_NONE);
    }
  }
  EXPECT_EQ(registry_.DeleteKeyTree((Below("Game") + "\\").c_str()), ERR_NONE);
  EXPECT_FALSE(KeyExists(Below("Game")));
  EXPECT_TRUE(KeyExists(base_));
  EXPECT_TRUE(KeyExists(Below("Sibling")));
  EXPECT_EQ(registry_.DeleteKeyTree(Below("Game").c_str()), ERR_FILE_NOT_FOUND);

  // The root itself is no tree to delete, however it is named.
  EXPECT_EQ(registry_.DeleteKeyTree(""), ERR_ACCESS_DENIED);
  EXPECT_EQ(registry_.DeleteKeyTree(nullptr), ERR_ACCESS_DENIED);
  EXPECT_EQ(registry_.DeleteKeyTree("\\"), ERR_ACCESS_DENIED);
  EXPECT_TRUE(KeyExists("SOFTWARE"));
}

}  // namespace

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "platform/host/registry/host_registry.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform {
namespace {

using host::HostRegistry;
using testing::ReadText;
using testing::TempDir;
using testing::TestMachine;
using testing::WriteText;

// A registry file's text: each line ended with CRLF, as the registry writes them.
std::string FileLines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

constexpr char kGame[] = "SOFTWARE\\Vantor\\Orvella";

// Orvella's key in two sections with a duplicate value, two subkeys (one only through a deeper key), a
// value of another type, a default value, a comment; and its siblings, one whose name begins with its own.
const std::string kGameKeys = FileLines({
    "REGEDIT4",
    "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella]",
    "@=\"C:\\\\Gry\\\\Orvella\"",
    "\"Path\"=\"C:\\\\Gry\"",
    "\"Count\"=dword:00000002",
    "; a comment",
    "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella2]",
    "\"Path\"=\"C:\\\\Gry2\"",
    "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\orvella\\1.0]",
    "\"Version\"=\"1.0\"",
    "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\ORVELLA\\Saves\\Slot1]",
    "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella]",
    "\"PATH\"=\"C:\\\\Gry\\\\Nowa\"",
    "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Tellun]",
    "",
});

class HostRegistryRemovalTest : public ::testing::Test {
 protected:
  HostRegistryRemovalTest() { WriteText(file_, kGameKeys); }

  std::unique_ptr<RegistryKey> OpenKey(const char* path, RegistryAccess access = RegistryAccess::Write) {
    KeyOpen open = registry_.Open(path, access);
    EXPECT_EQ(open.error, ERR_NONE) << path;
    return std::move(open.key);
  }
  SystemError OpenError(const char* path) { return registry_.Open(path, RegistryAccess::Read).error; }
  SystemError QueryError(const char* path, const char* name) {
    const auto key = OpenKey(path, RegistryAccess::Read);
    return key ? key->QueryString(name, 256).error : ERR_FILE_NOT_FOUND;
  }

  TempDir dir_;
  std::string file_ = dir_.File("registry.reg");
  HostRegistry registry_{file_};
};

TEST_F(HostRegistryRemovalTest, ContentsCountEachSubkeyAndValueOnce) {
  const KeyContents game = OpenKey(kGame, RegistryAccess::Read)->Contents();
  EXPECT_EQ(game.error, ERR_NONE);
  EXPECT_EQ(game.subkeys, 2u);  // 1.0 and Saves, however spelled and however deep their sections
  EXPECT_EQ(game.values, 3u);   // the default value, Path (twice) and Count
  const KeyContents vantor = OpenKey("software\\vantor", RegistryAccess::Read)->Contents();
  EXPECT_EQ(vantor.error, ERR_NONE);
  EXPECT_EQ(vantor.subkeys, 3u);
  EXPECT_EQ(vantor.values, 0u);
  const KeyContents saves = OpenKey("SOFTWARE\\Vantor\\Orvella\\Saves", RegistryAccess::Read)->Contents();
  EXPECT_EQ(saves.subkeys, 1u);
  EXPECT_EQ(saves.values, 0u);

  // The default value counts only while it is set.
  const auto slot = OpenKey("SOFTWARE\\Vantor\\Orvella\\Saves\\Slot1");
  EXPECT_EQ(slot->Contents().values, 0u);
  ASSERT_EQ(slot->SetString("", ""), ERR_NONE);
  EXPECT_EQ(slot->Contents().values, 1u);
  EXPECT_EQ(slot->Contents().subkeys, 0u);
}

TEST_F(HostRegistryRemovalTest, DeleteValueRemovesEveryEntryOfItsName) {
  const auto game = OpenKey(kGame);
  EXPECT_EQ(game->DeleteValue("path"), ERR_NONE);
  // Neither entry is left to be read, the earlier one included.
  EXPECT_EQ(game->QueryString("Path", 256).error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(game->DeleteValue("Path"), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(game->DeleteValue("Count"), ERR_NONE);  // a value of any type
  EXPECT_EQ(game->DeleteValue(nullptr), ERR_NONE);  // the default value
  EXPECT_EQ(game->DeleteValue(""), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(game->DeleteValue("a comment"), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(game->Contents().values, 0u);
  EXPECT_EQ(game->Contents().subkeys, 2u);
  // The sibling's value of the same name, and the key itself with its comment, stay.
  EXPECT_EQ(QueryError("SOFTWARE\\Vantor\\Orvella2", "Path"), ERR_NONE);
  EXPECT_EQ(OpenError(kGame), ERR_NONE);
  EXPECT_NE(ReadText(file_).find("; a comment\r\n"), std::string::npos);

  // A key opened for reading may not lose a value.
  const std::string before = ReadText(file_);
  EXPECT_EQ(OpenKey("SOFTWARE\\Vantor\\Orvella2", RegistryAccess::Read)->DeleteValue("Path"),
            ERR_ACCESS_DENIED);
  EXPECT_EQ(ReadText(file_), before);
}

TEST_F(HostRegistryRemovalTest, DeleteKeyTreeTakesTheKeyAndAllBelowIt) {
  const auto opened = OpenKey(kGame, RegistryAccess::Read);
  EXPECT_EQ(registry_.DeleteKeyTree("software\\VANTOR\\orvella\\"), ERR_NONE);
  for (const char* gone : {kGame, "SOFTWARE\\Vantor\\Orvella\\1.0", "SOFTWARE\\Vantor\\Orvella\\Saves",
                           "SOFTWARE\\Vantor\\Orvella\\Saves\\Slot1"}) {
    EXPECT_EQ(OpenError(gone), ERR_FILE_NOT_FOUND) << gone;
  }
  // A key deleted while open has nothing left to give.
  EXPECT_EQ(opened->Contents().error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(opened->QueryString("Path", 256).error, ERR_FILE_NOT_FOUND);
  // Its siblings and its parent stay as they were.
  EXPECT_EQ(ReadText(file_), FileLines({
                                 "REGEDIT4",
                                 "",
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella2]",
                                 "\"Path\"=\"C:\\\\Gry2\"",
                                 "",
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Tellun]",
                                 "",
                             }));
  EXPECT_EQ(OpenKey("SOFTWARE\\Vantor", RegistryAccess::Read)->Contents().subkeys, 2u);
  EXPECT_EQ(registry_.DeleteKeyTree(kGame), ERR_FILE_NOT_FOUND);
}

TEST_F(HostRegistryRemovalTest, AParentKnownOnlyThroughTheDeletedKeyStays) {
  // Nothing but the deep key names Saves, as an import or a Create of every level leaves it.
  EXPECT_EQ(registry_.DeleteKeyTree("SOFTWARE\\Vantor\\Orvella\\Saves\\Slot1"), ERR_NONE);
  EXPECT_EQ(OpenError("SOFTWARE\\Vantor\\Orvella\\Saves\\Slot1"), ERR_FILE_NOT_FOUND);
  const KeyContents saves = OpenKey("SOFTWARE\\Vantor\\Orvella\\Saves", RegistryAccess::Read)->Contents();
  EXPECT_EQ(saves.error, ERR_NONE);
  EXPECT_EQ(saves.subkeys, 0u);
  EXPECT_NE(ReadText(file_).find("\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella\\Saves]\r\n\r\n["),
            std::string::npos);
}

TEST_F(HostRegistryRemovalTest, TheRootAndMissingOrMalformedPathsAreRefused) {
  for (const char* root : {"", "\\"}) {
    EXPECT_EQ(registry_.DeleteKeyTree(root), ERR_ACCESS_DENIED) << root;
  }
  EXPECT_EQ(registry_.DeleteKeyTree(nullptr), ERR_ACCESS_DENIED);
  for (const char* missing : {"SOFTWARE\\Vantor\\Orv", "SOFTWARE\\Vantor\\Orvella\\2.0", "SOFTWARE\\\\Vantor",
                              "SOFTWARE\\Vantor\nX"}) {
    EXPECT_EQ(registry_.DeleteKeyTree(missing), ERR_FILE_NOT_FOUND) << missing;
  }
  EXPECT_EQ(ReadText(file_), kGameKeys);
}

// What a setup adds to a machine just made, taken away again, leaves its registry file as it was, byte
// for byte: deleting the keys from the deepest up, each parent once it is empty, and the values added
// to a key that was there.
TEST(HostRegistryRoundTrip, RemovingWhatASetupAddedGivesBackTheFile) {
  TestMachine machine;
  Registry& registry = machine.System().LocalMachine();
  const std::string file = machine.Machine().RegistryFile();
  const std::string fresh = ReadText(file);

  {
    const auto software = registry.Open("SOFTWARE", RegistryAccess::Write).key;
    const KeyOpen product = software->Create("Vantor\\Orvella\\1.0");
    ASSERT_EQ(product.error, ERR_NONE);
    ASSERT_EQ(product.key->SetString("Path", "C:\\Gry\\Orvella"), ERR_NONE);
    ASSERT_EQ(product.key->SetString("", "1.0"), ERR_NONE);
    const auto uninstall =
        registry.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", RegistryAccess::Write).key;
    const KeyOpen entry = uninstall->Create("Orvella");
    ASSERT_EQ(entry.error, ERR_NONE);
    ASSERT_EQ(entry.key->SetString("DisplayName", "Orvella"), ERR_NONE);
    ASSERT_EQ(entry.key->SetString("UninstallString", "C:\\Gry\\Orvella\\dinstall.exe"), ERR_NONE);
    const auto current =
        registry.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", RegistryAccess::Write).key;
    ASSERT_EQ(current->SetString("OrvellaShared", "C:\\Gry\\Wspolne"), ERR_NONE);
  }
  ASSERT_NE(ReadText(file), fresh);

  EXPECT_EQ(registry.DeleteKeyTree("SOFTWARE\\Vantor\\Orvella\\1.0"), ERR_NONE);
  for (const char* parent : {"SOFTWARE\\Vantor\\Orvella", "SOFTWARE\\Vantor"}) {
    const KeyOpen opened = registry.Open(parent, RegistryAccess::Read);
    ASSERT_EQ(opened.error, ERR_NONE) << parent;  // an emptied parent stays until it is deleted
    const KeyContents left = opened.key->Contents();
    ASSERT_EQ(left.error, ERR_NONE) << parent;
    ASSERT_EQ(left.subkeys + left.values, 0u) << parent;
    EXPECT_EQ(registry.DeleteKeyTree(parent), ERR_NONE);
  }
  EXPECT_GT(registry.Open("SOFTWARE", RegistryAccess::Read).key->Contents().subkeys, 0u);
  EXPECT_EQ(registry.DeleteKeyTree("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvella"),
            ERR_NONE);
  EXPECT_EQ(registry.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", RegistryAccess::Write)
                .key->DeleteValue("OrvellaShared"),
            ERR_NONE);
  EXPECT_EQ(ReadText(file), fresh);
}

}  // namespace
}  // namespace vtsetup::platform

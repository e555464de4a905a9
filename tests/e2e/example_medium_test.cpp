#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/system.h"
#include "setupdb/setup_file.h"
#include "setupdb/setup_info.h"
#include "tests/support/reference_crc.h"
#include "tests/support/temp_dir.h"

namespace {

using vtsetup::FileEntry;
using vtsetup::PackDir;
using vtsetup::PackInfo;
using vtsetup::SETUP_FILE_OK;
using vtsetup::SetupFileResult;
using vtsetup::SetupInfo;
using vtsetup::ShortcutEntry;
using vtsetup::TextString;
using vtsetup::testing::BitwiseCrc;
using vtsetup::testing::ReadBytes;
using vtsetup::testing::TempDir;
using Strings = std::vector<std::string>;

std::string Text(const TextString& text) {
  return std::string(text.Data(), text.Length());
}

// What the example script promises for one installation type. Listed entries come first and in
// script order; what the compiler finds below a directory follows in the order the folder is listed,
// which is the host's business, so those are compared as sets.
struct PackExpectation {
  std::string typename_bytes;
  Strings listed_files;
  Strings found_files;
  Strings listed_dirs;
  std::vector<bool> listed_delete_unempty;  // true where the script writes /DELETEUNEMPTY
  Strings found_dirs;
  std::vector<std::array<std::string, 2>> shortcuts;  // name, target
  std::vector<std::array<std::string, 2>> desktop_shortcuts;
  std::vector<std::array<std::string, 2>> internet_shortcuts;
};

// What Dir1 (with its subfolder) and Dir3 bring in; both types install them.
Strings DataFiles() {
  return {"DATA\\world.dat", "DATA\\items.dat", "DATA\\MAPS\\map01.dat", "DATA\\MAPS\\map02.dat",
          "SAVE\\slot0.sav"};
}

PackExpectation MinimalPack() {
  return {"Minimalna",
          {"dinstall.exe", "orv.exe", "orv.cfg"},
          DataFiles(),
          {"DATA\\", "SAVE\\"},
          {false, true},
          {"DATA\\MAPS\\"},
          {{"Orvella", "orv.exe"}},
          {{"Orvella", "orv.exe"}},
          {}};
}

PackExpectation FullPack() {
  Strings found = DataFiles();
  found.insert(found.end(), {"MUSIC\\theme.dat", "MUSIC\\credits.txt"});
  return {"Pe\xb3na",  // the script's text in code page 1250
          {"dinstall.exe", "orv.exe", "orv.cfg", "manual.txt"},
          found,
          {"DATA\\", "MUSIC\\", "SAVE\\"},
          {false, false, true},
          {"DATA\\MAPS\\"},
          {{"Orvella", "orv.exe"}, {"Instrukcja obs\xb3ugi", "manual.txt"}},
          {{"Orvella", "orv.exe"}},
          {{"Orvella w sieci", "http://www.vantor.example/orvella"}}};
}

Strings Sorted(Strings strings) {
  std::sort(strings.begin(), strings.end());
  return strings;
}

std::vector<std::array<std::string, 2>> Pairs(const std::vector<ShortcutEntry>& shortcuts) {
  std::vector<std::array<std::string, 2>> pairs;
  for (const ShortcutEntry& shortcut : shortcuts) {
    pairs.push_back({Text(shortcut.Name), Text(shortcut.Target)});
  }
  return pairs;
}

// Builds the example medium once for the test program with the same script a user runs, then reads
// its SETUP.INF back. Everything is checked against the laid-out medium, because the setup will
// verify the copied files against exactly those bytes.
class ExampleMediumTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempDir>();
    const std::string command = std::string("bash '") + VT_BUILD_MEDIUM + "' --tools '" + VT_MEDIUM_TOOLS +
                                "' '" + Medium().string() + "' >'" + dir_->File("build.log") + "' 2>&1";
    built_ = std::system(command.c_str());
    if (built_ == 0) {
      read_ = vtsetup::ReadSetupFile(vtsetup::platform::TheSystem().Files(),
                                     (Medium() / "SETUP.INF").string().c_str(), info_);
    }
  }
  static void TearDownTestSuite() {
    info_.reset();
    dir_.reset();
  }

  void SetUp() override {
    ASSERT_EQ(built_, 0) << "examples/build-medium failed:\n" << LogText();
    ASSERT_EQ(read_, SETUP_FILE_OK);
    ASSERT_NE(info_, nullptr);
  }

  static std::filesystem::path Medium() { return dir_->Path() / "medium"; }
  static std::string LogText() {
    const std::vector<unsigned char> log = ReadBytes(dir_->File("build.log"));
    return {log.begin(), log.end()};
  }

  // A database path below the source folder (the medium's folder RelativeDir) as a host path.
  static std::filesystem::path OnMedium(const std::string& windows_path) {
    std::string path = windows_path;
    std::replace(path.begin(), path.end(), '\\', '/');
    return Medium() / Text(info_->Options.RelativeDir) / path;
  }

  static void ExpectFilesOfTheMedium(const std::vector<FileEntry>& files) {
    for (const FileEntry& file : files) {
      SCOPED_TRACE(Text(file.Path));
      const std::vector<unsigned char> bytes = ReadBytes(OnMedium(Text(file.Path)).string());
      ASSERT_GT(bytes.size(), 0u);
      EXPECT_EQ(file.FileSize, bytes.size());
      EXPECT_EQ(file.Crc, BitwiseCrc(0xFFFFFFFFu, bytes.data(), bytes.size()));
    }
  }

  static void ExpectPack(const PackInfo& pack, const PackExpectation& expected) {
    EXPECT_EQ(Text(pack.Typename), expected.typename_bytes);

    Strings paths;
    for (const FileEntry& file : pack.Files) {
      paths.push_back(Text(file.Path));
    }
    ASSERT_GE(paths.size(), expected.listed_files.size());
    EXPECT_EQ(
        Strings(paths.begin(), paths.begin() + static_cast<std::ptrdiff_t>(expected.listed_files.size())),
        expected.listed_files);
    Strings all = expected.listed_files;
    all.insert(all.end(), expected.found_files.begin(), expected.found_files.end());
    EXPECT_EQ(Sorted(paths), Sorted(all));
    ExpectFilesOfTheMedium(pack.Files);

    std::array<std::uint32_t, vtsetup::PACK_SIZE_ENTRIES> sizes{};
    for (const FileEntry& file : pack.Files) {
      for (std::size_t j = 0; j < sizes.size(); ++j) {
        sizes[j] += file.FileSize + file.FileSize % (std::uint32_t{1} << j);
      }
    }
    EXPECT_EQ(pack.PackSizes, sizes);

    Strings dirs;
    for (const PackDir& dir : pack.Dirs) {
      dirs.push_back(Text(dir.Path));
    }
    ASSERT_GE(dirs.size(), expected.listed_dirs.size());
    for (std::size_t r = 0; r < expected.listed_dirs.size(); ++r) {
      EXPECT_EQ(dirs[r], expected.listed_dirs[r]);
      EXPECT_EQ(pack.Dirs[r].DeleteUnempty, expected.listed_delete_unempty[r]) << dirs[r];
    }
    Strings all_dirs = expected.listed_dirs;
    all_dirs.insert(all_dirs.end(), expected.found_dirs.begin(), expected.found_dirs.end());
    EXPECT_EQ(Sorted(dirs), Sorted(all_dirs));

    EXPECT_EQ(Pairs(pack.Shortcuts), expected.shortcuts);
    EXPECT_EQ(Pairs(pack.DesktopShortcuts), expected.desktop_shortcuts);
    EXPECT_EQ(Pairs(pack.InternetShortcuts), expected.internet_shortcuts);
  }

  static inline std::unique_ptr<TempDir> dir_;
  static inline int built_ = -1;
  static inline SetupFileResult read_ = vtsetup::SETUP_FILE_CANNOT_OPEN;  // until the medium is read
  static inline std::unique_ptr<SetupInfo> info_;
};

TEST_F(ExampleMediumTest, HoldsTheMinimalAndTheFullInstallation) {
  ASSERT_EQ(info_->Packs.size(), 2u);
  {
    SCOPED_TRACE("Pack1");
    ExpectPack(info_->Packs[0], MinimalPack());
  }
  {
    SCOPED_TRACE("Pack2");
    ExpectPack(info_->Packs[1], FullPack());
  }
  EXPECT_LT(info_->Options.DefaultPack, info_->Packs.size());
}

TEST_F(ExampleMediumTest, CarriesTheTwoTemporaryFiles) {
  Strings paths;
  std::uint32_t total = 0;
  for (const FileEntry& file : info_->TempFiles) {
    paths.push_back(Text(file.Path));
    total += file.FileSize;
  }
  EXPECT_EQ(Sorted(paths), (Strings{"TEMP\\vtcheck.dat", "TEMP\\vtinfo.txt"}));
  ExpectFilesOfTheMedium(info_->TempFiles);
  EXPECT_EQ(info_->TempTotalSize, total);
}

// The setup finds these by the names in the database, below the source folder.
TEST_F(ExampleMediumTest, HoldsThePicturesAndTextsTheSetupLooksFor) {
  const vtsetup::SetupOptions& options = info_->Options;
  ASSERT_TRUE(options.CheckCRC);
  const std::string bitmaps = Text(options.BitmapDir);
  ASSERT_FALSE(bitmaps.empty());
  EXPECT_EQ(bitmaps.back(), '\\') << "the background's path is BitmapDir and the name without a separator";
  for (const TextString* name : {&info_->Bitmaps.Background640x480, &info_->Bitmaps.Background800x600,
                                 &info_->Bitmaps.Background1024x768, &info_->Bitmaps.Background1280x1024}) {
    ASSERT_FALSE(name->IsEmpty());
    EXPECT_TRUE(std::filesystem::is_regular_file(OnMedium(bitmaps + Text(*name)))) << Text(*name);
  }
  for (const char* name :
       {"dialog.bmp", "splash001.bmp", "splash002.bmp", "splash003.bmp", "pl\\agree.rtf"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(OnMedium(bitmaps + name))) << name;
  }
  ASSERT_FALSE(options.ReadmeFile.IsEmpty());
  EXPECT_TRUE(std::filesystem::is_regular_file(OnMedium(bitmaps + "pl\\" + Text(options.ReadmeFile))));

  // The type page's labels, read as the setup reads them.
  const std::string desc = OnMedium(bitmaps + "pl\\desc.dat").string();
  vtsetup::platform::Profile& profile = vtsetup::platform::TheSystem().Profiles();
  EXPECT_EQ(Text(profile.ReadString(desc.c_str(), "Pack1", "Name", "Set", 512)), "Minimalna");
  EXPECT_EQ(Text(profile.ReadString(desc.c_str(), "Pack2", "Name", "Set", 512)), "Pe\xb3na");
  const std::string full_desc = Text(profile.ReadString(desc.c_str(), "Pack2", "Desc", "Set", 512));
  EXPECT_TRUE(full_desc.starts_with("Pe\xb3na instalacja:")) << full_desc;
}

// The first shortcut's target is what the setup starts at the end, and the program it looks for in an
// earlier installation is Filename: both must be the game, installed into the destination's root.
TEST_F(ExampleMediumTest, StartsTheGameThatItInstalls) {
  const std::string game = Text(info_->Filename);
  for (const PackInfo& pack : info_->Packs) {
    ASSERT_FALSE(pack.Shortcuts.empty());
    EXPECT_EQ(Text(pack.Shortcuts[0].Target), game);
    EXPECT_TRUE(std::any_of(pack.Files.begin(), pack.Files.end(),
                            [&](const FileEntry& file) { return Text(file.Path) == game; }));
  }
  const std::string output = dir_->File("game.out");
  std::string command(1, '\'');  // appended: GCC 12 at -O3 warns falsely on "'" + a temporary
  command += OnMedium(game).string() + "' -window >'" + output + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::vector<unsigned char> printed = ReadBytes(output);
  EXPECT_EQ(std::string(printed.begin(), printed.end()), "Orvella: the game ran\nargument 1: -window\n");
}

}  // namespace

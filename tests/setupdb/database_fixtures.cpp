#include "tests/setupdb/database_fixtures.h"

#include <gtest/gtest.h>

#include "tests/support/reference_crc.h"

namespace vtsetup::testing {

ByteBuilder& ByteBuilder::U8(std::uint8_t value) {
  bytes_.push_back(value);
  return *this;
}

ByteBuilder& ByteBuilder::U16(std::uint16_t value) {
  return U8(value & 0xFF).U8(value >> 8);
}

ByteBuilder& ByteBuilder::U32(std::uint32_t value) {
  return U16(value & 0xFFFF).U16(value >> 16);
}

ByteBuilder& ByteBuilder::Str(const std::string& text) {
  string_starts_.insert(bytes_.size());
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  return U8(0);
}

ByteBuilder& ByteBuilder::Mark(const std::string& name) {
  marks_[name] = bytes_.size();
  return *this;
}

void SealDatabase(std::vector<unsigned char>& bytes) {
  std::vector<unsigned char> fed(bytes.begin() + 12, bytes.end());
  fed.insert(fed.end(), 12, 0xCD);
  const std::uint32_t checksum = BitwiseCrc(0xFFFFFFFFu, fed.data(), fed.size());
  for (int i = 0; i < 4; ++i) {
    bytes[8 + i] = static_cast<unsigned char>(checksum >> (8 * i));
  }
}

namespace {

FileEntry File(const char* path, std::uint32_t size, std::uint32_t crc) {
  FileEntry entry;
  entry.Path = path;
  entry.FileSize = size;
  entry.Crc = crc;
  return entry;
}

PackDir Dir(const char* path, bool delete_unempty) {
  PackDir dir;
  dir.Path = path;
  dir.DeleteUnempty = delete_unempty;
  return dir;
}

ShortcutEntry Shortcut(const char* name, const char* target) {
  ShortcutEntry shortcut;
  shortcut.Name = name;
  shortcut.Target = target;
  return shortcut;
}

void StoredShortcuts(ByteBuilder& b, std::initializer_list<std::pair<const char*, const char*>> entries) {
  b.U32(static_cast<std::uint32_t>(entries.size()));
  for (const auto& [name, target] : entries) {
    b.Str(name).Str(target);
  }
}

}  // namespace

ByteBuilder SampleTreeBytes() {
  ByteBuilder b;
  b.U8('V').U8('T').U8('S').U8('I').U32(6).U32(0);
  b.Str(
       "Orvella \xA3\xF3"
       "d\xBC")
      .Str("%DefaultPrgDir%\\Orvella")
      .Str("Orvella")
      .Str("Vantor Software");
  b.Str("Orvella").Str("1.0").Str("orvella.exe");
  // Options block: tag, SpareSpace, InstallDirectX, InstallGame, zero, SplashDelay, Uninstall, Readme,
  // CheckCRC, zero, DefaultPack, zero.
  b.U32(44).U32(0xFFFFFFFB).U8(1).U8(0).U16(0).U32(2000).U8(1).U8(0).U8(1).U8(0).U16(1).U16(0);
  b.Str("dinstall.exe").Str("DIRECTX").Str("BMP").Str("readme.rtf").Str("GAME");
  b.Str("bg640.bmp").Str("bg800.bmp").Str("").Str("bg1280.bmp");
  b.Mark("PackCount").U32(2);
  b.Str("Minimalna")
      .Str(
          "Ma\xB3"
          "a instalacja");
  for (std::uint32_t j = 0; j < 24; ++j) {
    b.U32(1000 + j);
  }
  b.Mark("Pack1DirCount").U32(0);
  b.Mark("Pack1FileCount").U32(1).Str("orvella.exe").U32(1234).U32(0xDEADBEEF);
  b.Mark("Pack1ShortcutCount");
  StoredShortcuts(b, {{"Orvella", "orvella.exe"}});
  StoredShortcuts(b, {});
  StoredShortcuts(b, {});
  b.Str("Pe\xB3na").Str("Wszystko");
  b.U32(0x01020304);
  for (int j = 1; j < 23; ++j) {
    b.U32(0);
  }
  b.U32(0xFFFFFFFF);
  b.U32(2).Str("DATA\\").U8(1).Str("DATA\\Maps\\").U8(0);
  b.U32(2).Str("orvella.exe").U32(1234).U32(0xDEADBEEF).Str("DATA\\world.dat").U32(70000).U32(0x12345678);
  StoredShortcuts(b, {{"Orvella", "orvella.exe"}, {"Czytaj", "readme.txt"}});
  StoredShortcuts(b, {{"Orvella", "orvella.exe"}});
  StoredShortcuts(b, {{"Strona", "http://www.example.com"}});
  b.Mark("TempFileCount").U32(2).Mark("TempTotalSize").U32(300);
  b.Str("MISC\\helper.dll").U32(100).U32(0xAABBCCDD).Str("MISC\\\xE8ten\xED.txt").U32(200).U32(0);
  SealDatabase(b.Bytes());
  return b;
}

SetupInfo SampleTree() {
  SetupInfo info;
  info.PrgName =
      "Orvella \xA3\xF3"
      "d\xBC";  // Polish letters in code page 1250
  info.DefDestDir = "%DefaultPrgDir%\\Orvella";
  info.GroupName = TextString("Orvella");
  info.Company = "Vantor Software";
  info.Product = "Orvella";
  info.Version = "1.0";
  info.Filename = "orvella.exe";
  SetupOptions& options = info.Options;
  options.SpareSpace = -5;
  options.InstallDirectX = true;
  options.SplashDelay = 2000;
  options.Uninstall = true;
  options.Readme = false;
  options.CheckCRC = true;
  options.DefaultPack = 1;
  options.RelativeDir = "GAME";
  options.DirectXDir = "DIRECTX";
  options.UninstallPrg = "dinstall.exe";
  options.BitmapDir = "BMP";
  options.ReadmeFile = "readme.rtf";
  info.Bitmaps.Background640x480 = "bg640.bmp";
  info.Bitmaps.Background800x600 = "bg800.bmp";
  info.Bitmaps.Background1024x768 = "";
  info.Bitmaps.Background1280x1024 = "bg1280.bmp";

  PackInfo small;
  small.Typename = "Minimalna";
  small.Typedesc =
      "Ma\xB3"
      "a instalacja";
  for (std::size_t j = 0; j < PACK_SIZE_ENTRIES; ++j) {
    small.PackSizes[j] = 1000 + static_cast<std::uint32_t>(j);
  }
  small.Files = {File("orvella.exe", 1234, 0xDEADBEEF)};
  small.Shortcuts = {Shortcut("Orvella", "orvella.exe")};
  info.Packs.push_back(small);

  PackInfo full;
  full.Typename = "Pe\xB3na";
  full.Typedesc = "Wszystko";
  full.PackSizes[0] = 0x01020304;
  full.PackSizes[23] = 0xFFFFFFFF;
  full.Dirs = {Dir("DATA\\", true), Dir("DATA\\Maps\\", false)};
  full.Files = {File("orvella.exe", 1234, 0xDEADBEEF), File("DATA\\world.dat", 70000, 0x12345678)};
  full.Shortcuts = {Shortcut("Orvella", "orvella.exe"), Shortcut("Czytaj", "readme.txt")};
  full.DesktopShortcuts = {Shortcut("Orvella", "orvella.exe")};
  full.InternetShortcuts = {Shortcut("Strona", "http://www.example.com")};
  info.Packs.push_back(full);

  info.TempTotalSize = 300;
  info.TempFiles = {File("MISC\\helper.dll", 100, 0xAABBCCDD), File("MISC\\\xE8ten\xED.txt", 200, 0)};
  return info;
}

void ExpectSameTree(const SetupInfo& expected, const SetupInfo& actual) {
  auto same_files = [](const std::vector<FileEntry>& a, const std::vector<FileEntry>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(b[i].RecordSize, RECORD_SIZE_FILE);
      EXPECT_EQ(a[i].Path, b[i].Path);
      EXPECT_EQ(a[i].FileSize, b[i].FileSize);
      EXPECT_EQ(a[i].Crc, b[i].Crc);
    }
  };
  auto same_shortcuts = [](const std::vector<ShortcutEntry>& a, const std::vector<ShortcutEntry>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(b[i].Reserved, 0u);
      EXPECT_EQ(a[i].Name, b[i].Name);
      EXPECT_EQ(a[i].Target, b[i].Target);
    }
  };
  EXPECT_EQ(actual.RecordSize, RECORD_SIZE_SETUP_INFO);
  EXPECT_EQ(expected.PrgName, actual.PrgName);
  EXPECT_EQ(expected.DefDestDir, actual.DefDestDir);
  ASSERT_TRUE(actual.GroupName.has_value());
  EXPECT_EQ(*expected.GroupName, *actual.GroupName);
  EXPECT_EQ(expected.Company, actual.Company);
  EXPECT_EQ(expected.Product, actual.Product);
  EXPECT_EQ(expected.Version, actual.Version);
  EXPECT_EQ(expected.Filename, actual.Filename);
  const SetupOptions& a = expected.Options;
  const SetupOptions& b = actual.Options;
  EXPECT_EQ(b.RecordSize, RECORD_SIZE_OPTIONS);
  EXPECT_EQ(a.SpareSpace, b.SpareSpace);
  EXPECT_EQ(a.InstallDirectX, b.InstallDirectX);
  EXPECT_EQ(a.InstallGame, b.InstallGame);
  EXPECT_EQ(a.SplashDelay, b.SplashDelay);
  EXPECT_EQ(a.Uninstall, b.Uninstall);
  EXPECT_EQ(a.Readme, b.Readme);
  EXPECT_EQ(a.CheckCRC, b.CheckCRC);
  EXPECT_EQ(a.DefaultPack, b.DefaultPack);
  EXPECT_EQ(a.RelativeDir, b.RelativeDir);
  EXPECT_EQ(a.DirectXDir, b.DirectXDir);
  EXPECT_EQ(a.UninstallPrg, b.UninstallPrg);
  EXPECT_EQ(a.BitmapDir, b.BitmapDir);
  EXPECT_EQ(a.ReadmeFile, b.ReadmeFile);
  EXPECT_EQ(actual.Bitmaps.RecordSize, 0u);
  EXPECT_EQ(expected.Bitmaps.Background640x480, actual.Bitmaps.Background640x480);
  EXPECT_EQ(expected.Bitmaps.Background800x600, actual.Bitmaps.Background800x600);
  EXPECT_EQ(expected.Bitmaps.Background1024x768, actual.Bitmaps.Background1024x768);
  EXPECT_EQ(expected.Bitmaps.Background1280x1024, actual.Bitmaps.Background1280x1024);
  ASSERT_EQ(expected.Packs.size(), actual.Packs.size());
  for (std::size_t p = 0; p < expected.Packs.size(); ++p) {
    const PackInfo& x = expected.Packs[p];
    const PackInfo& y = actual.Packs[p];
    EXPECT_EQ(y.RecordSize, RECORD_SIZE_PACK);
    EXPECT_EQ(x.Typename, y.Typename);
    EXPECT_EQ(x.Typedesc, y.Typedesc);
    EXPECT_EQ(x.PackSizes, y.PackSizes);
    ASSERT_EQ(x.Dirs.size(), y.Dirs.size());
    for (std::size_t d = 0; d < x.Dirs.size(); ++d) {
      EXPECT_EQ(y.Dirs[d].RecordSize, RECORD_SIZE_DIR);
      EXPECT_EQ(x.Dirs[d].Path, y.Dirs[d].Path);
      EXPECT_FALSE(y.Dirs[d].SubDirs);
      EXPECT_EQ(x.Dirs[d].DeleteUnempty, y.Dirs[d].DeleteUnempty);
    }
    same_files(x.Files, y.Files);
    same_shortcuts(x.Shortcuts, y.Shortcuts);
    same_shortcuts(x.DesktopShortcuts, y.DesktopShortcuts);
    same_shortcuts(x.InternetShortcuts, y.InternetShortcuts);
  }
  EXPECT_EQ(expected.TempTotalSize, actual.TempTotalSize);
  same_files(expected.TempFiles, actual.TempFiles);
}

}  // namespace vtsetup::testing

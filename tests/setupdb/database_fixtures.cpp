#include "tests/setupdb/database_fixtures.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "setupdb/setup_file.h"
#include "tests/support/records.h"
#include "tests/support/reference_crc.h"
#include "tests/support/temp_dir.h"

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

std::vector<unsigned char> StoredBytes(const SetupInfo& info) {
  TempDir dir;
  const std::string path = dir.File("SETUP.INF");
  EXPECT_EQ(WriteSetupFile(platform::TheSystem().Files(), info, path.c_str()), SETUP_FILE_OK);
  return ReadBytes(path);
}

}  // namespace vtsetup::testing

#include "compiler/database_json.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/records.h"

namespace vtsetup {
namespace {

using testing::File;
using testing::Shortcut;

SetupInfo SmallTree() {
  SetupInfo info;
  info.PrgName = "Gra \"Super\"";
  info.DefDestDir = "C:\\Gry\\Gra";
  info.GroupName.reset();
  info.Company = "Firma";
  info.Product = "\xA3\xF3\x64\x9F";  // Łódź in code page 1250
  info.Version = "1.0\x1F\t";
  info.Filename = "GRA.EXE";
  info.Options.SpareSpace = -5;
  info.Options.InstallDirectX = true;
  info.Options.SplashDelay = 2000;
  info.Options.Uninstall = true;
  info.Options.CheckCRC = true;
  info.Options.DefaultPack = 65535;
  info.Options.DirectXDir = "DirectX\\";
  info.Options.UninstallPrg = "dinstall.exe";
  info.Options.BitmapDir = "bmp";
  info.Options.ReadmeFile = "czytaj.txt";
  info.Bitmaps.RecordSize = RECORD_SIZE_BITMAPS_COMPILING;
  info.Bitmaps.Background640x480 = "t640.bmp";
  info.Bitmaps.Background1280x1024 = "t1280.bmp";

  PackInfo& pack = info.Packs.emplace_back();
  pack.Typename = "Pe\xB3na";  // Pełna
  pack.Typedesc = "Wszystko";
  pack.PackSizes[0] = 5000;
  pack.PackSizes[12] = 5904;
  pack.PackSizes[23] = 4294967295u;
  pack.Dirs.resize(2);
  pack.Dirs[0].Path = "DATA\\";
  pack.Dirs[0].DeleteUnempty = true;
  pack.Dirs[1].Path = "DATA\\SND\\";
  pack.Dirs[1].SubDirs = true;
  pack.Files.push_back(File("DATA\\a.bin", 5000, 4294967295u));
  pack.Shortcuts.push_back(Shortcut("Gra", "GRA.EXE"));
  pack.InternetShortcuts.push_back(Shortcut("Strona", "http://example.com"));

  info.TempTotalSize = 12;
  info.TempFiles.push_back(File("misc\\x.tmp", 12, 0x12345678));
  return info;
}

TEST(DatabaseJson, WritesEveryFieldInOrderWithTextsInUtf8AndEscaped) {
  const std::string expected = R"({
  "PrgName": "Gra \"Super\"",
  "DefDestDir": "C:\\Gry\\Gra",
  "GroupName": null,
  "Company": "Firma",
  "Product": "Łódź",
  "Version": "1.0\u001f\u0009",
  "Filename": "GRA.EXE",
  "Options": {
    "RecordSize": 44,
    "SpareSpace": -5,
    "InstallDirectX": true,
    "InstallGame": false,
    "SplashDelay": 2000,
    "Uninstall": true,
    "Readme": false,
    "CheckCRC": true,
    "DefaultPack": 65535,
    "RelativeDir": "",
    "DirectXDir": "DirectX\\",
    "UninstallPrg": "dinstall.exe",
    "BitmapDir": "bmp",
    "ReadmeFile": "czytaj.txt"
  },
  "Bitmaps": {
    "Background640x480": "t640.bmp",
    "Background800x600": "",
    "Background1024x768": "",
    "Background1280x1024": "t1280.bmp"
  },
  "Packs": [
    {
      "Typename": "Pełna",
      "Typedesc": "Wszystko",
      "PackSizes": [5000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5904, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4294967295],
      "Dirs": [
        {"Path": "DATA\\", "DeleteUnempty": true},
        {"Path": "DATA\\SND\\", "DeleteUnempty": false}
      ],
      "Files": [
        {"Path": "DATA\\a.bin", "FileSize": 5000, "Crc": 4294967295}
      ],
      "Shortcuts": [
        {"Name": "Gra", "Target": "GRA.EXE"}
      ],
      "DesktopShortcuts": [],
      "InternetShortcuts": [
        {"Name": "Strona", "Target": "http://example.com"}
      ]
    }
  ],
  "TempTotalSize": 12,
  "TempFiles": [
    {"Path": "misc\\x.tmp", "FileSize": 12, "Crc": 305419896}
  ]
}
)";
  EXPECT_EQ(DatabaseJson(SmallTree()), expected);
}

TEST(DatabaseJson, WritesAPresentGroupAndEmptyTablesOfAnEmptyTree) {
  const std::string json = DatabaseJson(SetupInfo());
  EXPECT_NE(json.find("\n  \"GroupName\": \"\",\n"), std::string::npos) << json;
  EXPECT_NE(json.find("\n  \"Packs\": [],\n"), std::string::npos) << json;
  EXPECT_TRUE(json.ends_with("\n  \"TempFiles\": []\n}\n")) << json;
}

}  // namespace
}  // namespace vtsetup

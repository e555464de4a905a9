#include "compiler/compile_script.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "compiler/file_measurer.h"
#include "compiler/source_list.h"
#include "platform/system.h"
#include "setupdb/checksum_flag.h"
#include "setupdb/setup_file.h"
#include "tests/compiler/script_fixture.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

TEST_F(CompileScriptTest, CompilesPacksFilesDirectoriesShortcutsAndTemporaryFiles) {
  ASSERT_EQ(Compile(BaseScript()), COMPILE_OK) << console_;
  const SetupInfo& info = *info_;
  EXPECT_EQ(info.PrgName, "Orvella");
  EXPECT_EQ(info.DefDestDir, "%DefaultPrgPath%\\Orvella");
  EXPECT_EQ(*info.GroupName, "Orvella Games");
  EXPECT_EQ(info.Company, "Vantor Software");
  EXPECT_EQ(info.Bitmaps.RecordSize, RECORD_SIZE_BITMAPS_COMPILING);
  EXPECT_FALSE(info.Options.Readme);  // only the exact value 1 switches a flag on
  EXPECT_TRUE(info.Options.Uninstall);
  EXPECT_EQ(info.Options.SplashDelay, 2000);
  EXPECT_EQ(info.Options.UninstallPrg, "dinstall.exe");
  ASSERT_EQ(info.Packs.size(), 2u);  // Pack3 is missing, so Pack4 is never reached

  const PackInfo& small = info.Packs[0];
  EXPECT_EQ(small.Typename, "Small");
  ASSERT_EQ(small.Files.size(), 1u);
  EXPECT_EQ(small.Files[0].Path, "orv.exe");
  EXPECT_EQ(small.Files[0].FileSize, 5000u);
  EXPECT_EQ(small.Files[0].Crc, Crc("src/orv.exe"));
  ASSERT_EQ(small.Dirs.size(), 1u);
  EXPECT_EQ(small.Dirs[0].Path, "EMPTY\\");
  EXPECT_TRUE(small.Dirs[0].DeleteUnempty);
  // 5000 bytes: the remainder past whole units of 2^j bytes is added, 904 for 4096-byte units.
  EXPECT_EQ(small.PackSizes[0], 5000u);
  EXPECT_EQ(small.PackSizes[1], 5000u);
  EXPECT_EQ(small.PackSizes[12], 5904u);
  EXPECT_EQ(small.PackSizes[13], 10000u);
  EXPECT_EQ(small.PackSizes[23], 10000u);
  ASSERT_EQ(small.Shortcuts.size(), 2u);  // Shortcut3 is missing, so Shortcut4 is never reached
  EXPECT_EQ(small.Shortcuts[0].Name, "Orvella");
  EXPECT_EQ(small.Shortcuts[0].Target, "orv.exe");
  EXPECT_EQ(small.Shortcuts[1].Name, " Read me");
  EXPECT_EQ(small.Shortcuts[1].Target, "readme.txt");
  ASSERT_EQ(small.InternetShortcuts.size(), 1u);
  EXPECT_EQ(small.InternetShortcuts[0].Target, "http://www.example.com");
  EXPECT_EQ(small.InternetShortcuts[0].Name, "Home page");
  EXPECT_TRUE(small.DesktopShortcuts.empty());

  const PackInfo& full = info.Packs[1];
  std::vector<std::string> dirs;
  for (const PackDir& dir : full.Dirs) {
    dirs.push_back(std::string(dir.Path.Data()) + (dir.SubDirs ? " walked" : "") +
                   (dir.DeleteUnempty ? " unempty" : ""));
  }
  EXPECT_EQ(dirs, (std::vector<std::string>{"DATA\\", "EMPTY\\ unempty", "DATA\\SND\\ walked"}));
  std::vector<std::string> paths;
  std::uint32_t total = 0;
  for (const FileEntry& file : full.Files) {
    paths.push_back(file.Path.Data());
    total += file.FileSize;
  }
  // Names in the order NTFS lists them, a walked folder's files where the folder was met, dot folders
  // left out.
  EXPECT_EQ(paths, (std::vector<std::string>{"orv.exe", "big.dat", "DATA\\A.bin", "DATA\\b.bin",
                                             "DATA\\SND\\c.wav"}));
  EXPECT_EQ(full.PackSizes[0], total);
  EXPECT_EQ(full.Files[4].Crc, Crc("src/DATA/SND/c.wav"));
  ASSERT_EQ(full.DesktopShortcuts.size(), 1u);
  EXPECT_EQ(full.DesktopShortcuts[0].Target, "orv.exe");

  ASSERT_EQ(info.TempFiles.size(), 1u);  // only plain files directly inside the folder
  EXPECT_EQ(info.TempFiles[0].Path, "MISC\\helper.dll");
  EXPECT_EQ(info.TempFiles[0].Crc, Crc("src/MISC/helper.dll"));
  EXPECT_EQ(info.TempTotalSize, 100u);

  EXPECT_THAT(console_, HasSubstr("\nOptions:\n----------------------------------------------------------\n"
                                  "CRC enabled\nRelative Dir: GAME\nCompany Name: Vantor Software\n"
                                  "Product:      Orvella\nVersion:      2.1\nFilename:     orv.exe\n\n\n"));
  EXPECT_THAT(console_, HasSubstr("==> Pack1\n"));
  EXPECT_THAT(console_, HasSubstr("orv.exe Groesse:5000 CRC:0x"));
  EXPECT_THAT(console_, HasSubstr("Packsizes: 1388 1388 "));
  EXPECT_THAT(console_, HasSubstr("Temporaere Dateien:\nMISC\\helper.dll Groesse:100 CRC:0x"));
}

TEST_F(CompileScriptTest, WithoutChecksumsEveryCrcIsZeroAndFilesAreCounted) {
  Sections script = BaseScript();
  Set(script, "Options", "CheckCRC", "0");
  ASSERT_EQ(Compile(script), COMPILE_OK) << console_;
  EXPECT_FALSE(ChecksumVerification());
  for (const PackInfo& pack : info_->Packs) {
    for (const FileEntry& file : pack.Files) {
      EXPECT_EQ(file.Crc, 0u) << file.Path.Data();
    }
  }
  EXPECT_EQ(info_->TempFiles[0].Crc, 0u);
  EXPECT_THAT(console_, HasSubstr("CRC disabled !!\n"));
  EXPECT_THAT(console_, HasSubstr("Collected files: 5 (CheckSum disabled!)\n"));
  EXPECT_THAT(console_, HasSubstr("MISC\\helper.dll Groesse:100 CRC:0x0\n"));
  SetChecksumVerification(true);
}

// SpareSpace and SplashDelay are signed in the file: -5 is FB FF FF FF and -250 is 06 FF FF FF.
TEST_F(CompileScriptTest, NegativeSpareSpaceAndSplashDelayAreStoredSigned) {
  Sections script = BaseScript();
  Set(script, "Options", "SpareSpace", "-5");
  Set(script, "Options", "SplashDelay", "-250 // milliseconds");
  ASSERT_EQ(Compile(script), COMPILE_OK) << console_;
  EXPECT_EQ(info_->Options.SpareSpace, -5);
  EXPECT_EQ(info_->Options.SplashDelay, -250);

  ASSERT_EQ(WriteSetupFile(platform::TheSystem().Files(), *info_, "SETUP.INF"), SETUP_FILE_OK);
  const std::vector<unsigned char> bytes = ReadBytes("SETUP.INF");
  // The options block follows the header and the seven root texts, each with its zero byte.
  std::size_t block = 12;
  for (const TextString* text : {&info_->PrgName, &info_->DefDestDir, &*info_->GroupName, &info_->Company,
                                 &info_->Product, &info_->Version, &info_->Filename}) {
    block += text->Length() + 1;
  }
  ASSERT_GT(bytes.size(), block + 16);
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + block + 4, bytes.begin() + block + 8),
            (std::vector<unsigned char>{0xFB, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + block + 12, bytes.begin() + block + 16),
            (std::vector<unsigned char>{0x06, 0xFF, 0xFF, 0xFF}));
}

TEST_F(CompileScriptTest, DirectoryValuesAreUpperCasedAndLoseTheirFlags) {
  ASSERT_EQ(Compile(BaseScript()), COMPILE_OK) << console_;
  CompileNotes notes;
  SourceList sources;
  ASSERT_EQ(ReadSources(ScriptValues(platform::TheSystem().Profiles(), ScriptPath().c_str(), notes), sources),
            COMPILE_OK);
  ASSERT_EQ(sources.Dirs.size(), 3u);
  EXPECT_EQ(sources.Dirs[0].Path, "DATA\\");
  EXPECT_TRUE(sources.Dirs[0].SubDirs);
  EXPECT_EQ(sources.Dirs[1].Path, "GFX\\   ");  // no flag, so the blanks stay
  EXPECT_FALSE(sources.Dirs[1].SubDirs);
  EXPECT_EQ(sources.Dirs[2].Path, "EMPTY\\");
  EXPECT_TRUE(sources.Dirs[2].DeleteUnempty);
  EXPECT_EQ(sources.SrcDir, "src\\");
}

TEST_F(CompileScriptTest, MissingProginfoValuesAreAllReportedBeforeFailing) {
  Sections script = BaseScript();
  Remove(script, "Proginfo", "Product");
  Set(script, "Proginfo", "Filename", "   // only a comment");
  Remove(script, "Proginfo", "Version");
  EXPECT_EQ(Compile(script), COMPILE_MISSING_KEY);
  EXPECT_THAT(console_, HasSubstr("Key Proginfo->Product must be set in script (e.g. Orvella)\n"
                                  "Key Proginfo->Filename must be set in script (e.g. ORV.EXE)\n"));
  EXPECT_THAT(console_, HasSubstr("Version:      1.0\n"));
  Set(script, "Proginfo", "Product", "Orvella");
  Set(script, "Proginfo", "Filename", "orv.exe");
  Set(script, "Proginfo", "Version", "\"\"");
  EXPECT_EQ(Compile(script), COMPILE_MISSING_KEY);
  EXPECT_THAT(console_, HasSubstr("Key Proginfo->Version must be set in script (e.g. 1.0)\n"));
}

TEST_F(CompileScriptTest, MissingScriptAndSectionsAreReported) {
  platform::System& system = platform::TheSystem();
  CaptureStdout();
  EXPECT_EQ(CompileScript(system.Files(), system.Profiles(), "absent.ini", info_), COMPILE_CANNOT_OPEN);
  EXPECT_EQ(GetCapturedStdout(),
            "Die Datei absent.ini konnte nicht ge\xF6"
            "ffnet werden => Abbruch\n");
  EXPECT_EQ(info_, nullptr);
  for (const char* section : {"Proginfo", "Options", "Bitmaps", "Sources"}) {
    Sections script = BaseScript();
    for (auto& [name, lines] : script) {
      if (name == section) {
        lines.clear();  // an empty section counts as missing
      }
    }
    EXPECT_EQ(Compile(script), COMPILE_MISSING_SECTION) << section;
    EXPECT_THAT(console_, HasSubstr(std::string("Sektion ") + section + " in Datei " + ScriptPath() +
                                    " nicht gefunden. => Abbruch\n"));
    EXPECT_NE(info_, nullptr);
  }
}

struct BrokenPack {
  const char* key;
  const char* value;  // null: the key is removed
  CompileResult result;
  const char* message;
};

class CompileScriptPackErrors : public CompileScriptTest, public ::testing::WithParamInterface<BrokenPack> {};

TEST_P(CompileScriptPackErrors, EndTheCompilationWithTheirMessage) {
  const BrokenPack& broken = GetParam();
  Sections script = BaseScript();
  if (broken.value == nullptr) {
    Remove(script, "Pack2", broken.key);
  } else {
    Set(script, "Pack2", broken.key, broken.value);
  }
  EXPECT_EQ(Compile(script), broken.result);
  std::string expected = broken.message;
  const std::string::size_type at = expected.find("SCRIPT");
  if (at != std::string::npos) {
    expected.replace(at, 6, ScriptPath());
  }
  EXPECT_THAT(console_, HasSubstr(expected));
  EXPECT_THAT(console_, Not(HasSubstr("Temporaere Dateien")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompileScriptPackErrors,
    ::testing::Values(
        BrokenPack{"Typename", nullptr, COMPILE_MISSING_KEY,
                   "Fehler: Schluesselwort Typename in Section Pack2 in der Datei SCRIPT nicht gefunden => "
                   "Abbruch."},
        BrokenPack{"Typedesc", nullptr, COMPILE_MISSING_KEY,
                   "Fehler: Schluesselwort Typedesc in Section Pack2 in der Datei SCRIPT nicht gefunden => "
                   "Abbruch."},
        BrokenPack{
            "Files", nullptr, COMPILE_MISSING_KEY,
            "Fehler: Schluesselwort Files in Section Pack2 in der Datei SCRIPT nicht gefunden => Abbruch."},
        BrokenPack{
            "Dirs", nullptr, COMPILE_MISSING_KEY,
            "Fehler: Schluesselwort Dirs in Section Pack2 in der Datei SCRIPT nicht gefunden => Abbruch."},
        BrokenPack{"Files", "", COMPILE_BAD_ENTRY,
                   "Fehler im Files-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
        BrokenPack{"Files", "File1,,File2", COMPILE_BAD_ENTRY,
                   "Fehler im Files-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
        BrokenPack{"Files", "File1, File4", COMPILE_BAD_ENTRY,
                   "Dateindex im Files-Eintrag in Sektion Pack2 in der Datei SCRIPT ist zu hoch: 4.\n"},
        BrokenPack{"Files", "File0", COMPILE_BAD_ENTRY,
                   "Dateindex im Files-Eintrag in Sektion Pack2 in der Datei SCRIPT ist zu niedrig: 0.\n"},
        BrokenPack{"Dirs", "Folder1", COMPILE_BAD_ENTRY,
                   "Fehler im Files-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
        BrokenPack{"Dirs", "Dir4", COMPILE_BAD_ENTRY,
                   "Verzeichnisindex im Dirs-Eintrag in Sektion Pack2 in der Datei SCRIPT ist zu hoch: 4.\n"},
        BrokenPack{
            "Dirs", "Dir-1", COMPILE_BAD_ENTRY,
            "Verzeichnisindex im Dirs-Eintrag in Sektion Pack2 in der Datei SCRIPT ist zu niedrig: -1.\n"},
        BrokenPack{"Files", "File1,File2,File3,File9", COMPILE_BAD_ENTRY, "ist zu hoch: 9.\n"},
        BrokenPack{
            "Shortcut1", "", COMPILE_BAD_ENTRY,
            "Der Shortcut-Eintrag 1 in der Sektion Pack2 in der Datei SCRIPT ist ung\xFCltig: , fehlt.\n"},
        BrokenPack{"Shortcut1", "Readme,x", COMPILE_BAD_ENTRY,
                   "Fehler im Shortcut-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
        BrokenPack{"Shortcut1", "File0,x", COMPILE_BAD_ENTRY,
                   "Dateindex im Shortcut-Eintrag in Sektion Pack2 in der Datei SCRIPT ist zu niedrig: 0.\n"},
        BrokenPack{
            "DesktopShortcut1", "File7,Orvella", COMPILE_BAD_ENTRY,
            "Dateindex im Desktop-Shortcut-Eintrag in Sektion Pack2 in der Datei SCRIPT ist zu hoch: 7.\n"},
        BrokenPack{"DesktopShortcut1", "File1", COMPILE_BAD_ENTRY,
                   "Der Desktop-Shortcut-Eintrag 1 in der Sektion Pack2 in der Datei SCRIPT ist ung\xFCltig: "
                   ", fehlt.\n"},
        BrokenPack{"InternetShortcut1", "example.com", COMPILE_BAD_ENTRY,
                   "Der Internet-Shortcut-Eintrag 1 in der Sektion Pack2 in der Datei SCRIPT ist "
                   "ung\xFCltig: , fehlt.\n"}));

TEST_F(CompileScriptTest, FilesThatCannotBeOpenedGiveTwo) {
  Sections script = BaseScript();
  Set(script, "Sources", "File2", "gone.txt");
  Set(script, "Pack2", "Files", "File2");
  EXPECT_EQ(Compile(script), COMPILE_CANNOT_OPEN);
  platform::FileSystem& files = platform::TheSystem().Files();
  EXPECT_THAT(console_,
              HasSubstr(std::string("Datei src\\gone.txt in der Sektion Pack2 konnte nicht geoeffnet "
                                    "werden.\nGrund:") +
                        files.ErrorText(platform::ERR_FILE_NOT_FOUND).Data() + "\n"));
  // A temporary file that is listed but cannot be opened: a link to nothing.
  std::filesystem::create_symlink("nowhere", "src/MISC/broken.dll");
  EXPECT_EQ(Compile(BaseScript()), COMPILE_CANNOT_OPEN);
  EXPECT_THAT(console_, HasSubstr("Datei src\\MISC\\broken.dll  konnte nicht geoeffnet werden.\nGrund:"));
}

TEST_F(CompileScriptTest, AFileInSeveralPacksIsMeasuredOnce) {
  FaultyFileSystem counting(platform::TheSystem().Files());
  CompileNotes notes;
  FileMeasurer measurer(counting, notes);
  FileMeasurement first;
  platform::SystemError error = platform::ERR_NONE;
  ASSERT_EQ(measurer.Measure("src\\big.dat", true, first, error), Measured::Ok);
  EXPECT_EQ(first.size, 70000u);
  EXPECT_EQ(first.crc, Crc("src/big.dat"));
  const std::size_t reads = counting.reads.size();
  FileMeasurement again;
  ASSERT_EQ(measurer.Measure("src\\big.dat", true, again, error), Measured::Ok);
  EXPECT_EQ(counting.reads.size(), reads);
  EXPECT_EQ(again.crc, first.crc);
  FileMeasurement missing;
  EXPECT_EQ(measurer.Measure("src\\gone.dat", true, missing, error), Measured::CannotOpen);
  EXPECT_EQ(error, platform::ERR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace vtsetup::testing

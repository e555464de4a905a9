#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "compiler/compile_script.h"
#include "tests/compiler/script_fixture.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A list whose first 255 characters end in `kept`, while the whole value goes on with `lost`: the
// buffer cuts the last reference into one that still names an entry, "File23" into "File2". Blanks
// before the second token fill up to the exact length (the profile drops them at the value's start).
std::string CutList(const std::string& token, const std::string& kept, const std::string& lost) {
  const std::size_t prefix = 255 - kept.size();
  std::string list;
  while (list.size() + token.size() + 1 <= prefix) {
    list += token + ",";
  }
  list.insert(token.size() + 1, prefix - list.size(), ' ');
  return list + kept + lost;
}

TEST_F(CompileScriptTest, AValueCutByItsBufferIsNeverUsed) {
  const std::string long_text(300, 'x');
  const struct {
    const char* section;
    const char* key;
    std::string value;
    const char* report;  // the entry's own error on the standard output, if it has one
  } cases[] = {
      {"Pack2", "Files", CutList("File1", "File2", "3"),
       "Fehler im Files-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
      {"Pack2", "Dirs", CutList("Dir1", "Dir3", "0"),
       "Fehler im Files-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
      {"Pack2", "Shortcut1", "File1," + long_text,
       "Fehler im Shortcut-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
      {"Pack2", "DesktopShortcut1", "File1," + long_text,
       "Fehler im Shortcut-Eintrag in der Sektion Pack2 in der Datei SCRIPT.\n"},
      {"Pack1", "InternetShortcut1", "www.example.com," + long_text, nullptr},
      {"Pack2", "Typedesc", long_text, nullptr},
      {"Sources", "File2", long_text + "\\readme.txt", nullptr},
      {"Sources", "Dir3", long_text + "\\ /SUBDIRS", nullptr},
      {"Sources", "SrcDir", long_text, nullptr},
      {"Proginfo", "PrgName", long_text, nullptr},
      {"Options", "UninstallPrg", long_text, nullptr},
      {"Bitmaps", "Background640x480", long_text, nullptr},
  };
  for (const auto& c : cases) {
    ASSERT_GT(c.value.size(), 255u);
    Sections script = BaseScript();
    Set(script, c.section, c.key, c.value);
    EXPECT_EQ(Compile(script), COMPILE_BAD_ENTRY) << c.key;
    EXPECT_THAT(notes_,
                HasSubstr(std::string("setupc: [") + c.section + "] " + c.key + " in " + ScriptPath() +
                          ": the line is too long; a value may have at most 255 characters\n"))
        << c.key;
    if (c.report != nullptr) {
      std::string report = c.report;
      report.replace(report.find("SCRIPT"), 6, ScriptPath());
      EXPECT_THAT(console_, HasSubstr(report)) << c.key;
    }
    EXPECT_THAT(console_, Not(HasSubstr("Temporaere Dateien"))) << c.key;
  }

  // A value that fills the buffer exactly is whole.
  Sections script = BaseScript();
  Set(script, "Pack2", "Typedesc", std::string(255, 'y'));
  ASSERT_EQ(Compile(script), COMPILE_OK) << notes_;
  EXPECT_EQ(std::string(info_->Packs[1].Typedesc.Data()), std::string(255, 'y'));
  EXPECT_THAT(notes_, Not(HasSubstr("too long")));
}

std::string Warning(const std::string& text) {
  return "setupc: warning: " + text + "\n";
}

// Warnings go to the standard error and change neither the result nor the report.
TEST_F(CompileScriptTest, WarnsWhereTheScriptIsReadOtherwiseThanWritten) {
  Sections clean = BaseScript();
  Set(clean, "Options", "Readme", "0");
  Set(clean, "Options", "SplashDelay", "-250 // milliseconds");
  Set(clean, "Options", "DefaultPack", "+1");
  Set(clean, "Options", "SpareSpace", "  2147483647  ");
  ASSERT_EQ(Compile(clean), COMPILE_OK) << console_;
  EXPECT_EQ(notes_, "");
  EXPECT_EQ(report_.notes.Warnings(), 0u);

  const struct {
    const char* key;
    const char* value;
    std::string warnings;  // SCRIPT stands for the script's path
  } cases[] = {
      {"CheckCRC", "yes",
       Warning("[Options] CheckCRC=yes in SCRIPT is read as 0, off; the key takes 0 or 1")},
      {"Readme", "2", Warning("[Options] Readme=2 in SCRIPT is read as 0, off; the key takes 0 or 1")},
      {"Uninstall", "", Warning("[Options] Uninstall= in SCRIPT is read as 0, off; the key takes 0 or 1")},
      {"SplashDelay", "2000ms",
       Warning("[Options] SplashDelay=2000ms in SCRIPT is read as 2000; the key takes a number from "
               "-2147483648 to 2147483647")},
      {"SpareSpace", "3000000000",
       Warning(
           "[Options] SpareSpace=3000000000 in SCRIPT is read as -1294967296; the key takes a number from "
           "-2147483648 to 2147483647")},
      {"DefaultPack", "70001",
       Warning(
           "[Options] DefaultPack=70001 in SCRIPT is read as 4465; the key takes a number from 0 to 65535") +
           Warning("[Options] DefaultPack=4465 in SCRIPT names no pack: the script has 2, numbered from 0")},
      {"DefaultPack", "2",
       Warning("[Options] DefaultPack=2 in SCRIPT names no pack: the script has 2, numbered from 0")},
  };
  for (const auto& c : cases) {
    Sections script = clean;
    Set(script, "Options", c.key, c.value);
    EXPECT_EQ(Compile(script), COMPILE_OK) << c.key;
    std::string expected = c.warnings;
    for (std::size_t at = expected.find("SCRIPT"); at != std::string::npos; at = expected.find("SCRIPT")) {
      expected.replace(at, 6, ScriptPath());
    }
    EXPECT_EQ(notes_, expected) << c.key;
    EXPECT_EQ(report_.notes.Warnings(), c.key == std::string("DefaultPack") && c.value[0] == '7' ? 2u : 1u);
    EXPECT_THAT(console_, Not(HasSubstr("warning"))) << c.key;
  }
  Sections off = clean;
  Set(off, "Options", "CheckCRC", "yes");
  ASSERT_EQ(Compile(off), COMPILE_OK);
  EXPECT_FALSE(info_->Options.CheckCRC);
  Set(off, "Options", "DefaultPack", "70001");
  ASSERT_EQ(Compile(off), COMPILE_OK);
  EXPECT_EQ(info_->Options.DefaultPack, 4465u);
}

// "Dir2=MUSC\" where MUSC is a file compiles to an empty folder.
TEST_F(CompileScriptTest, WarnsOfAListedDirectoryThatIsMissingOrAFile) {
  Sections script = BaseScript();
  Set(script, "Options", "Readme", "1");
  Set(script, "Sources", "Dir2", "musc\\");
  Set(script, "Pack2", "Dirs", "Dir1,Dir2,Dir3");
  WriteBytes("src/musc", {1, 2, 3});
  ASSERT_EQ(Compile(script), COMPILE_OK) << console_;
  EXPECT_EQ(notes_,
            Warning("Dir2 of [Pack2] in " + ScriptPath() +
                    " names src\\MUSC\\, which is a file, not a folder: the pack gets the folder MUSC\\ "
                    "with no files"));
  EXPECT_EQ(info_->Packs[1].Dirs[1].Path, "MUSC\\");

  std::filesystem::remove("src/musc");
  ASSERT_EQ(Compile(script), COMPILE_OK) << console_;
  EXPECT_EQ(notes_,
            Warning("Dir2 of [Pack2] in " + ScriptPath() +
                    " names src\\MUSC\\, which does not exist: the pack gets the folder MUSC\\ with no "
                    "files"));
}

}  // namespace
}  // namespace vtsetup::testing

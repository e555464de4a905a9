#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/host/ui/progress_line.h"
#include "platform/host/ui/terminal_columns.h"
#include "platform/host/ui/terminal_driver.h"
#include "platform/host/ui/ui_driver_choice.h"
#include "tests/support/temp_dir.h"
#include "tests/support/terminal_width.h"

namespace vtsetup::platform::host {
namespace {

namespace style = resources::style;
using resources::ControlClass;
using resources::ControlTemplate;
using resources::DialogTemplate;
using testing::TerminalWidth;

constexpr std::string_view kLongPath =
    "gra\\dane\\poziomy\\kampania\\rozdzial_drugi\\mapy_dodatkowe\\bardzo_dluga_nazwa\\level1.map";

TEST(ProgressLine, TheBarThePercentageAndTheTextAtFullWidth) {
  EXPECT_EQ(ProgressLine({"level1.map", 45, 0, 100}, 80), "[#########...........]  45%  level1.map");
  EXPECT_EQ(ProgressLine({"level1.map", 0, 0, 100}, 80), "[....................]   0%  level1.map");
  EXPECT_EQ(ProgressLine({"level1.map", 100, 0, 100}, 80), "[####################] 100%  level1.map");
  // The share of the bar's own range, not the position as a percentage.
  EXPECT_EQ(ProgressLine({"a", 50, 0, 200}, 80), "[#####...............]  25%  a");
  EXPECT_EQ(ProgressLine({"a", 7, 0, 0}, 80), "[....................]   0%  a");
  EXPECT_EQ(ProgressLine({"", 99, 0, 100}, 80), "[###################.]  99%");
  // The dialogs' captions are code page 1250; a file's control characters are written out, line breaks too.
  EXPECT_EQ(ProgressLine({"Kopiowanie plik\xF3w. Prosz\xEA czeka\xE6...", 0, 0, 100}, 80),
            "[....................]   0%  Kopiowanie plików. Proszę czekać...");
  EXPECT_EQ(ProgressLine({"a\x1b[2J\r\n\tb", 0, 0, 100}, 80),
            "[....................]   0%  a\\x1b[2J\\x0d\\n\\tb");
}

TEST(ProgressLine, NarrowTerminalsNarrowTheBarThenDropItAndLongNamesAreCutFromTheLeft) {
  EXPECT_EQ(ProgressLine({"level1.map", 45, 0, 100}, 40), "[######........]  45%  level1.map");
  EXPECT_EQ(ProgressLine({"level1.map", 45, 0, 100}, 30), " 45%  level1.map");
  const std::string cut = ProgressLine({std::string(kLongPath), 45, 0, 100}, 80);
  EXPECT_EQ(cut, "[#########...........]  45%  ...gi\\mapy_dodatkowe\\bardzo_dluga_nazwa\\level1.map");
  for (std::size_t columns = 1; columns <= 130; ++columns) {
    for (const std::string& caption :
         {std::string(kLongPath), std::string("za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1")}) {
      const std::string line = ProgressLine({caption, 45, 0, 100}, columns);
      EXPECT_LE(TerminalWidth(line), columns - 1) << columns << ": " << line;
      if (columns >= 30) {
        EXPECT_TRUE(line.starts_with(columns >= 31 ? "[" : " 45%")) << columns << ": " << line;
      }
    }
  }
}

TEST(ProgressLine, CuttingCountsCharactersAndKeepsTheEnd) {
  EXPECT_EQ(CutFromLeft("GAME\\MAPS\\level1.map", 20), "GAME\\MAPS\\level1.map");
  EXPECT_EQ(CutFromLeft("GAME\\MAPS\\level1.map", 19), "...\\MAPS\\level1.map");
  EXPECT_EQ(CutFromLeft("GAME\\MAPS\\level1.map", 13), "...level1.map");
  // Two bytes a letter here: a cut by bytes would split one or keep too few.
  EXPECT_EQ(CutFromLeft("zażółć", 6), "zażółć");
  EXPECT_EQ(CutFromLeft("zażółć", 5), "...łć");
  EXPECT_EQ(CutFromLeft("zażółć", 4), "...ć");
  EXPECT_EQ(CutFromLeft("zażółć", 3), "...");
  EXPECT_EQ(CutFromLeft("zażółć", 1), ".");
  EXPECT_EQ(CutFromLeft("zażółć", 0), "");
}

// The progress dialog's controls as the host makes them from template 108.
constexpr ControlTemplate kProgressControls[] = {
    {1027, ControlClass::Static, "Kopiowanie...", 8, 5, 165, 12, style::kChild | style::kVisible, 0},
    {1008, ControlClass::ProgressBar, "", 7, 17, 169, 10, style::kChild | style::kVisible, 0},
};
constexpr DialogTemplate kProgressDialog{
    108, 0, 0, 183, 34, style::kPopup, false, "MS Sans Serif", 8, kProgressControls};
constexpr ControlTemplate kPageControls[] = {
    {1, ControlClass::Button, "&Dalej >>", 203, 132, 50, 14, style::kChild | style::kVisible, 0},
};
constexpr DialogTemplate kPage{113, 0, 0, 260, 150, style::kPopup, false, "MS Sans Serif", 8, kPageControls};

TEST(ProgressLine, TheDialogsFirstTextAndBar) {
  DialogState dialog = DialogState::FromTemplate(kProgressDialog, 0);
  dialog.Find(1027)->text = "level1.map";
  dialog.Find(1008)->position = 30;
  dialog.Find(1008)->range_maximum = 60;
  const ProgressView view = ProgressOf(dialog);
  EXPECT_EQ(view.caption, "level1.map");
  EXPECT_EQ(view.position, 30);
  EXPECT_EQ(view.minimum, 0);
  EXPECT_EQ(view.maximum, 60);
  dialog.Find(1027)->visible = false;
  EXPECT_EQ(ProgressOf(dialog).caption, "");
}

class TerminalProgressTest : public ::testing::Test {
 protected:
  TerminalDriver Driver(const std::string& typed) {
    input_.str(typed);
    return TerminalDriver(input_, output_, errors_, Transcript(""), [this] { return columns_; });
  }
  // What the driver wrote since the last look.
  std::string Written() {
    std::string written = output_.str();
    output_.str("");
    return written;
  }

  std::size_t columns_ = 80;
  std::istringstream input_;
  std::ostringstream output_;
  std::ostringstream errors_;
};

constexpr std::string_view kErase = "\x1b[K";

std::string InPlace(std::string_view line) {
  return "\r" + std::string(line) + std::string(kErase);
}

TEST_F(TerminalProgressTest, TheLineIsRedrawnInPlaceFollowsTheWidthAndEndsWhenTheDialogCloses) {
  TerminalDriver driver = Driver("");
  driver.ProgressShown({"Kopiowanie...", 0, 0, 100});
  driver.ProgressShown({"a.txt", 0, 0, 100});
  driver.ProgressShown({"a.txt", 0, 0, 100});  // another block of the same file, the same percentage
  driver.ProgressShown({"a.txt", 50, 0, 100});
  columns_ = 30;  // the person narrowed the window
  driver.ProgressShown({"a.txt", 50, 0, 100});
  EXPECT_EQ(Written(), InPlace("[....................]   0%  Kopiowanie...") +
                           InPlace("[....................]   0%  a.txt") +
                           InPlace("[##########..........]  50%  a.txt") + InPlace(" 50%  a.txt"));
  driver.ProgressClosed();
  EXPECT_EQ(Written(), "\n");
  driver.ProgressClosed();
  EXPECT_EQ(Written(), "");
  columns_ = 80;
  driver.ProgressShown({"Przygotowywanie instalacji...", 0, 0, 100});  // a dialog opened afresh
  EXPECT_EQ(Written(), InPlace("[....................]   0%  Przygotowywanie instalacji..."));
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(TerminalProgressTest, AMessageBoxAPageOrTheFolderBrowserEndsTheLineFirst) {
  TerminalDriver driver = Driver("retry\n1\nC:\\Gry\n");
  const ProgressView copying{"a.txt", 50, 0, 100};
  const std::string line = InPlace("[##########..........]  50%  a.txt");

  driver.ProgressShown(copying);
  EXPECT_EQ(driver.MessageAnswer({"Vantor Setup", "Brak pliku a.txt", 18}), 4);
  std::string written = Written();
  EXPECT_TRUE(written.starts_with(line + "\n-- message box (stop): Vantor Setup --\nBrak pliku a.txt\n"))
      << written;
  // The same look as before the box: drawn again, since the box's lines took its place.
  driver.ProgressShown(copying);
  EXPECT_EQ(Written(), line);

  const DialogState page = DialogState::FromTemplate(kPage, 5);
  EXPECT_TRUE(driver.PageActions(page, false).has_value());
  written = Written();
  EXPECT_TRUE(written.starts_with("\n-- page 5 --\n")) << written;

  driver.ProgressShown(copying);
  EXPECT_EQ(driver.BrowseAnswer("Wybierz"), "C:\\Gry");
  written = Written();
  EXPECT_TRUE(written.starts_with(line + "\n-- folder browser: Wybierz --\n")) << written;
  // Without a progress line a visit starts where it stands.
  EXPECT_EQ(driver.MessageAnswer({"Vantor Setup", "Koniec", 0}), std::nullopt);
  EXPECT_TRUE(Written().starts_with("-- message box: Vantor Setup --\n"));
}

TEST_F(TerminalProgressTest, TheBillboardsNameHasALineOfItsOwnWhenItChanges) {
  TerminalDriver driver = Driver("");
  driver.PictureShown("splash001.bmp");
  EXPECT_EQ(Written(), "-- billboard: splash001.bmp --\n");
  driver.PictureShown("splash001.bmp");  // the one picture reloaded: nothing to tell
  EXPECT_EQ(Written(), "");

  driver.ProgressShown({"a.txt", 50, 0, 100});
  const std::string line = InPlace("[##########..........]  50%  a.txt");
  EXPECT_EQ(Written(), line);
  driver.PictureShown("splash002.bmp");
  EXPECT_EQ(Written(), InPlace("-- billboard: splash002.bmp --") + "\n" + line);

  driver.PictureShown("");  // the slideshow ended and took its picture away
  driver.PictureShown("splash002.bmp");
  EXPECT_EQ(Written(), InPlace("-- billboard: splash002.bmp --") + "\n" + line);

  columns_ = 30;
  driver.PictureShown("obrazek_o_bardzo_d\xB3ugiej_nazwie.bmp");
  const std::string written = Written();
  EXPECT_TRUE(written.starts_with(InPlace("-- billboard: ...azwie.bmp --") + "\n")) << written;
  driver.ProgressClosed();
  EXPECT_EQ(Written(), "\n");
}

// A pipe reports no width; the width of a real terminal is checked at a pseudo-terminal in
// host_ui_terminal_test.cpp.
TEST(TerminalColumns, LinesFitTheDefaultWithoutATerminal) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  EXPECT_EQ(TerminalColumns(ends[1]), 80u);
  ::close(ends[0]);
  ::close(ends[1]);
  EXPECT_EQ(TerminalColumns(-1), 80u);
}

// Unattended, the terminal hears only what goes wrong: the progress and the billboards are the
// transcript's and the snapshots' business.
TEST(UnattendedDrivers, ShowNothingOfTheCopy) {
  testing::TempDir dir;
  const std::string answers = dir.File("answers.txt");
  std::ofstream(answers) << "message yes\n";
  std::istringstream input;
  std::ostringstream output;
  std::ostringstream errors;
  for (const char* path : {answers.c_str(), static_cast<const char*>(nullptr)}) {
    const UiConsole console{input, output, errors, false, [] { return std::size_t{80}; }};
    UiDriverChoice chosen = ChooseUiDriver(path, console, Transcript(""));
    ASSERT_NE(chosen.driver, nullptr);
    chosen.driver->ProgressShown({"a.txt", 50, 0, 100});
    chosen.driver->PictureShown("splash001.bmp");
    chosen.driver->ProgressClosed();
  }
  EXPECT_EQ(output.str(), "");
  EXPECT_EQ(errors.str(), "");
}

}  // namespace
}  // namespace vtsetup::platform::host

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "platform/host/ui/dialog_text.h"
#include "platform/host/ui/rtf_text.h"
#include "platform/host/ui/terminal_driver.h"
#include "platform/host/ui/ui_driver_choice.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::platform::host {
// Found by the comparisons of vectors of actions.
bool operator==(const UserAction& a, const UserAction& b) {
  return a.kind == b.kind && a.id == b.id && a.index == b.index;
}
}  // namespace vtsetup::platform::host

namespace {

using namespace vtsetup::platform::host;
using vtsetup::resources::ControlClass;
using vtsetup::resources::ControlTemplate;
using vtsetup::resources::DialogTemplate;
using vtsetup::resources::kNoId;
namespace style = vtsetup::resources::style;

constexpr std::uint32_t kShown = style::kChild | style::kVisible;

// Texts in code page 1250, as the resources hold them.
const ControlTemplate kControls[] = {
    {1000, ControlClass::ListBox, "", 9, 9, 99, 40, kShown | style::kTabStop | style::kListNotify, 0},
    {1002, ControlClass::Edit, "C:\\Program Files\\Orvella", 9, 50, 99, 12, kShown | style::kTabStop, 0},
    {1003, ControlClass::Button, "Ikona na &pulpicie", 9, 64, 99, 10, kShown | style::kAutoCheckBox, 0},
    {kNoId, ControlClass::Static, "Wybierz \"typ\":\r\nteraz", 9, 80, 99, 20, kShown, 0},
    {kNoId, ControlClass::Static, "", 7, 7, 59, 108, kShown | style::kStaticBitmap, 114},
    {kNoId, ControlClass::Static, "", 7, 7, 59, 108, kShown, 0},
    {1001, ControlClass::RichEdit, "", 9, 100, 99, 20, kShown, 0},
    {1, ControlClass::Button, "&Dalej >>", 203, 132, 50, 14, kShown | style::kDefaultPushButton, 0},
    {7, ControlClass::Button, "<< &Wstecz", 147, 132, 50, 14, kShown | style::kDisabled, 0},
    {2, ControlClass::Button, "&Anuluj", 91, 132, 50, 14, style::kChild, 0},
    {1008, ControlClass::ProgressBar, "", 7, 17, 171, 10, kShown, 0},
};
const DialogTemplate kDialog{104, 0, 0, 260, 150, style::kPopup, false, "MS Sans Serif", 8, kControls};

DialogState Page(std::uint16_t number) {
  DialogState page = DialogState::FromTemplate(kDialog, number);
  ControlState& list = *page.Find(1000);
  list.items = {{"Pe\xB3na\t[12.3 MB]", 0},
                {"Ma\xB3"
                 "a\t[1.0 MB]",
                 1}};
  list.selection = 0;
  page.Find(1001)->rtf = "{\\rtf1 Licencja\\par OK}";
  page.Find(1008)->position = 50;
  return page;
}

// "Katalog C:\Gry już istnieje.\r\nCzy chcesz kontynuować?" in code page 1250.
const MessageBoxView kYesNoBox{"Vantor Setup",
                               "Katalog C:\\Gry ju\xBF istnieje.\r\nCzy chcesz kontynuowa\xE6?", 20};
const MessageBoxView kOkCancelBox{"Vantor Setup", "Plik", 17};

std::vector<std::string> FileLines(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    lines.push_back(line);
  }
  return lines;
}

using Actions = std::vector<UserAction>;

TEST(AnswersFile, ReadsEveryVerbAndSkipsCommentsAndBlankLines) {
  const AnswersRead read = ParseAnswers(
      "\xEF\xBB\xBF# a whole-line comment\n"
      "\n"
      "page 3: select 1000 1; Check 1003;uncheck 1004 ; press 1  # after the actions\r\n"
      "PAGE 4 : key enter; key escape;\n"
      "message yes\n"
      "message 2\n"
      "browse \"C:\\Gry #1\\Gra ż\"\n"
      "browse C:\\Gry\n"
      "browse cancel\n",
      "a.txt");
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.lines.size(), 7u);
  EXPECT_EQ(read.lines[0].line, 3u);
  EXPECT_EQ(read.lines[0].page, 3);
  EXPECT_EQ(read.lines[0].actions, (Actions{{ActionKind::Select, 1000, 1},
                                            {ActionKind::Check, 1003, 0},
                                            {ActionKind::Uncheck, 1004, 0},
                                            {ActionKind::Press, 1, 0}}));
  EXPECT_EQ(read.lines[1].page, 4);
  EXPECT_EQ(read.lines[1].actions, (Actions{{ActionKind::KeyEnter, 0, 0}, {ActionKind::KeyEscape, 0, 0}}));
  EXPECT_EQ(read.lines[2].kind, VisitKind::Message);
  EXPECT_EQ(read.lines[2].answer, 6);
  EXPECT_EQ(read.lines[3].answer, 2);
  EXPECT_EQ(read.lines[4].kind, VisitKind::Browse);
  EXPECT_EQ(read.lines[4].folder, "C:\\Gry #1\\Gra \xBF");
  EXPECT_EQ(read.lines[5].folder, "C:\\Gry");
  EXPECT_EQ(read.lines[6].kind, VisitKind::Browse);
  EXPECT_EQ(read.lines[6].folder, std::nullopt);
  EXPECT_EQ(read.lines[6].line, 9u);
}

TEST(AnswersFile, AMalformedLineIsAnErrorNamingTheFileAndLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"page 3 press 1", "a.txt line 1: a page line is"},
      {"# c\n\npage x: press 1", "a.txt line 3: page \"x\" is not a number"},
      {"page 3: push 1", "a.txt line 1: unknown action \"push 1\""},
      {"page 3: press 1; select 1000", "a.txt line 1: \"select\" takes a list id and an item index"},
      {"page 3: press 70000", "a.txt line 1: control id \"70000\" is not a number from 0 to 65535"},
      {"page 3: press -1", "a.txt line 1: control id \"-1\""},
      {"page 3: key space", "a.txt line 1: \"key\" takes enter or escape"},
      {"page 3: ;", "a.txt line 1: page 3 has no actions"},
      {"message 8", "a.txt line 1: a message line is"},
      {"message yes no", "a.txt line 1: a message line is"},
      {"browse", "a.txt line 1: a browse line is"},
      {"browse C:\\\xFF", "a.txt line 1: the path is not UTF-8"},
      {"browse C:\\\xE4\xB8\x80", "a.txt line 1: the path is not UTF-8 or has characters that code page"},
      {"press 1", "a.txt line 1: \"press 1\" is not a page, message or browse line"},
      // The file's control characters never reach a terminal raw.
      {"\x1b[2J", "a.txt line 1: \"\\x1B[2J\" is not a page, message or browse line"},
      {"page \x1b[H: press 1", "a.txt line 1: page \"\\x1B[H\" is not a number"},
      {"page 3: press \x07", "a.txt line 1: control id \"\\x07\" is not a number"},
  };
  for (const auto& c : cases) {
    const AnswersRead read = ParseAnswers(c.text, "a.txt");
    EXPECT_EQ(read.error.substr(0, std::string(c.error).size()), c.error) << c.text << ": " << read.error;
    EXPECT_TRUE(read.lines.empty());
  }
}

class AnswersDriverTest : public ::testing::Test {
 protected:
  AnswersDriver Driver(const std::string& text) {
    AnswersRead read = ParseAnswers(text, "a.txt");
    EXPECT_EQ(read.error, "");
    return AnswersDriver(std::move(read.lines), Transcript(transcript_), errors_);
  }
  // What was reported, as the transcript has it; the error stream must say the same.
  std::vector<std::string> Reports() {
    std::vector<std::string> lines;
    std::istringstream errors(errors_.str());
    for (std::string line; std::getline(errors, line);) {
      lines.push_back(line);
    }
    EXPECT_EQ(lines, FileLines(transcript_));
    return lines;
  }

  vtsetup::testing::TempDir dir_;
  std::string transcript_ = dir_.File("transcript.txt");
  std::ostringstream errors_;
};

TEST_F(AnswersDriverTest, MatchingVisitsTakeTheirLinesAndAMismatchIsReportedWithoutUsingItsLine) {
  AnswersDriver driver = Driver(
      "page 3: select 1000 1; check 1003; press 1\n"
      "page 3: key enter\n"
      "message ok\n"
      "page 5: press 1\n"
      "browse \"C:\\Gry\"\n");
  EXPECT_EQ(
      driver.PageActions(Page(3), false),
      (Actions{{ActionKind::Select, 1000, 1}, {ActionKind::Check, 1003, 0}, {ActionKind::Press, 1, 0}}));
  EXPECT_EQ(driver.PageActions(Page(3), true), (Actions{{ActionKind::KeyEnter, 0, 0}}));
  EXPECT_EQ(driver.MessageAnswer(kYesNoBox), std::nullopt);
  EXPECT_EQ(driver.MessageAnswer(kOkCancelBox), 1);
  EXPECT_EQ(driver.PageActions(Page(4), false), std::nullopt);
  EXPECT_EQ(driver.BrowseAnswer("Wybierz"), std::nullopt);
  EXPECT_EQ(driver.MessageAnswer(kOkCancelBox), std::nullopt);
  EXPECT_EQ(driver.PageActions(Page(5), false), (Actions{{ActionKind::Press, 1, 0}}));
  EXPECT_EQ(driver.BrowseAnswer("Wybierz"), "C:\\Gry");
  EXPECT_EQ(driver.BrowseAnswer("Wybierz"), std::nullopt);
  EXPECT_EQ(Reports(),
            (std::vector<std::string>{
                "answers: message box \"Katalog C:\\Gry już istnieje.\\r\\nCzy chcesz kontynuować?\" "
                "shown, but line 3 answers ok, which the box does not offer (yes, no)",
                "answers: page 4 shown, but line 4 answers page 5",
                "answers: folder browser \"Wybierz\" shown, but line 4 answers page 5",
                "answers: message box \"Plik\" shown, but line 4 answers page 5",
                "answers: folder browser \"Wybierz\" shown, but the answers are used up",
            }));
}

TEST_F(AnswersDriverTest, AnActionThePageCannotTakeIsAMismatch) {
  const struct {
    const char* actions;
    const char* problem;
  } cases[] = {
      {"press 1; press 1005", "the page has no control 1005"},
      {"press 7", "control 7 is disabled"},
      {"key enter; press 2", "control 2 is hidden"},
      {"select 1000 2", "list 1000 has no item 2 (it has 2)"},
      {"check 1", "control 1 is not a check box"},
      {"select 1002 0", "control 1002 is not a list"},
      {"press 1000", "control 1000 is not a button"},
  };
  for (const auto& c : cases) {
    AnswersDriver driver = Driver(std::string("page 3: ") + c.actions + "\n");
    EXPECT_EQ(driver.PageActions(Page(3), true), std::nullopt) << c.actions;
  }
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    expected.push_back(std::string("answers: page 3 shown again, but line 1 does not fit it: ") + c.problem);
  }
  EXPECT_EQ(Reports(), expected);
}

TEST(DialogText, TranscriptLinesOfAPageAMessageBoxAndAFolderBrowser) {
  DialogState page = Page(3);
  page.Find(1003)->checked = true;
  EXPECT_EQ(PageShownLine(page),
            "page 3 shown: list 1000 [\"Pełna\\t[12.3 MB]\"*, \"Mała\\t[1.0 MB]\"]; "
            "edit 1002 \"C:\\Program Files\\Orvella\"; checkbox 1003 \"Ikona na &pulpicie\" checked; "
            "text \"Wybierz \\\"typ\\\":\\r\\nteraz\"; picture 114; richedit 1001 \"Licencja\\nOK\"; "
            "button 1 \"&Dalej >>\"; button 7 \"<< &Wstecz\" disabled; progress 1008 50 (0..100)");
  EXPECT_EQ(MessageBoxLine(kYesNoBox, 6),
            "message box (style 20) \"Vantor Setup\": "
            "\"Katalog C:\\Gry już istnieje.\\r\\nCzy chcesz kontynuować?\" -> 6 (yes)");
  EXPECT_EQ(FolderBrowserLine("Wybierz \x9C"
                              "cie\xBFk\xEA:",
                              "C:\\Gry"),
            "folder browser \"Wybierz ścieżkę:\" -> \"C:\\Gry\"");
  EXPECT_EQ(FolderBrowserLine("x\x01", std::nullopt), "folder browser \"x\\x01\" -> cancel");
}

TEST(DialogText, RtfBecomesItsPlainText) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
      "{\\*\\generator Pisarz 1.0;}{\\info{\\title Licencja}}\\pard\\f0\\fs20 Licencja gry\\par\r\n"
      "Pe\\'b3na wersja\\tab 1.0\\line\\pard {\\b Uwaga:} \\{nawiasy\\} i \\\\ uko\\u347?nik\\uc0\\u8364 ."
      "{\\pict\\wmetafile8 0102}\\par}";
  EXPECT_EQ(RtfToText(rtf), "Licencja gry\nPe\xB3na wersja\t1.0\nUwaga: {nawiasy} i \\ uko\x9Cnik\x80.\n");
  EXPECT_EQ(RtfToText("zwyk\xB3y tekst\\par"), "zwyk\xB3y tekst\\par");
  EXPECT_EQ(RtfToText("{\\rtf1 a}}}b\\'4"), "ab");  // unbalanced and cut short
}

class TerminalDriverTest : public ::testing::Test {
 protected:
  TerminalDriver Driver(const std::string& typed) {
    input_.str(typed);
    return TerminalDriver(input_, output_, errors_, Transcript(transcript_), [] { return std::size_t{80}; });
  }

  vtsetup::testing::TempDir dir_;
  std::string transcript_ = dir_.File("transcript.txt");
  std::istringstream input_;
  std::ostringstream output_;
  std::ostringstream errors_;
};

TEST_F(TerminalDriverTest, NumbersAndVerbsActAndWrongInputIsAskedAgain) {
  TerminalDriver driver = Driver(
      "\n"
      "9\n"
      "1; 2\n"
      "5\n"
      "1\n"
      "press 7\n"
      "help\n"
      "press 1; KEY ESCAPE\n"
      "ok\n"
      "7\n"
      "  C:\\Gry\\Gra ż \n"
      "\n");
  EXPECT_EQ(driver.PageActions(Page(3), false),
            (Actions{{ActionKind::Select, 1000, 1}, {ActionKind::Check, 1003, 0}}));
  EXPECT_EQ(driver.PageActions(Page(3), true),
            (Actions{{ActionKind::Press, 1, 0}, {ActionKind::KeyEscape, 0, 0}}));
  EXPECT_EQ(driver.MessageAnswer(kYesNoBox), 7);
  EXPECT_EQ(driver.BrowseAnswer("Wybierz"), "C:\\Gry\\Gra \xBF");
  EXPECT_EQ(driver.BrowseAnswer("Wybierz"), std::nullopt);
  EXPECT_EQ(errors_.str(), "");

  const std::string output = output_.str();
  const std::string screen =
      "-- page 3 --\n"
      "[1] list 1000\n"
      "      0* Pełna\t[12.3 MB]\n"
      "      1  Mała\t[1.0 MB]\n"
      "    edit 1002 \"C:\\Program Files\\Orvella\"\n"
      "[2] checkbox 1003 \"Ikona na &pulpicie\"\n"
      "    text\n"
      "      Wybierz \"typ\":\n"
      "      teraz\n"
      "    picture 114\n"
      "    richedit 1001\n"
      "      Licencja\n"
      "      OK\n"
      "[3] button 1 \"&Dalej >>\" (Enter)\n"
      "    button 7 \"<< &Wstecz\" disabled\n"
      "    progress 1008 50 (0..100)\n"
      "> ";
  EXPECT_EQ(output.substr(0, screen.size()), screen);
  for (const char* said :
       {"nothing to do; try again", "there is no [9] on the screen", "item of list 1000 (0 to 1)> ",
        "That is not an item of the list", "-- page 3 (still open) --", "control 7 is disabled; try again",
        "key enter         key escape",
        "-- message box (stop): Vantor Setup --\nKatalog C:\\Gry już istnieje.\nCzy chcesz kontynuować?\n"
        "[6] yes  [7] no\n",
        "Answer with one of the numbers", "-- folder browser: Wybierz --\nfolder (empty to cancel)> "}) {
    EXPECT_NE(output.find(said), std::string::npos) << said;
  }
}

TEST_F(TerminalDriverTest, TheEndOfTheInputIsTheWayOut) {
  TerminalDriver driver = Driver("1\n");  // the list asks for its item, and the input ends
  EXPECT_EQ(driver.PageActions(Page(3), false), std::nullopt);
  EXPECT_EQ(driver.MessageAnswer(kOkCancelBox), std::nullopt);
  const std::vector<std::string> reports = {"terminal: page 3 shown, but the input has ended",
                                            "terminal: message box \"Plik\" shown, but the input has ended"};
  EXPECT_EQ(errors_.str(), reports[0] + "\n" + reports[1] + "\n");
  EXPECT_EQ(FileLines(transcript_), reports);
}

// Texts come from the medium's files (pack labels, paths, the readme); an escape sequence in one is shown
// written out, never sent to the terminal, on pages, in boxes and in the folder browser's title.
TEST_F(TerminalDriverTest, TextsOfFilesCannotDriveTheTerminalAndBoxesNameTheirIcons) {
  TerminalDriver driver = Driver("3\nok\nok\nok\nok\n\n");
  DialogState page = Page(3);
  page.Find(1000)->items[1].text =
      "Ma\x1b[2J\xB3"
      "a\t[1.0 MB]";
  page.controls[3].text = "Wybierz\r\n\x1b]0;tytu\xB3\x07koniec";
  EXPECT_TRUE(driver.PageActions(page, false).has_value());
  EXPECT_EQ(driver.MessageAnswer({"\x1b[31mVantor\nSetup",
                                  "a\x1b[2Jb\r\nc\x9B"
                                  "2J",
                                  17}),
            1);
  EXPECT_EQ(driver.MessageAnswer({"", "Uwaga", 48}), 1);
  EXPECT_EQ(driver.MessageAnswer({"Vantor Setup", "Koniec", 68 - 4 + 1}), 1);
  EXPECT_EQ(driver.MessageAnswer({"Vantor Setup", "Pytanie", 32}), 1);
  EXPECT_EQ(driver.BrowseAnswer("\x1b[HWybierz"), std::nullopt);

  const std::string output = output_.str();
  EXPECT_EQ(output.find('\x1b'), std::string::npos) << output;
  EXPECT_EQ(output.find('\x07'), std::string::npos) << output;
  for (const char* said :
       {"      1  Ma\\x1b[2Jła\t[1.0 MB]\n", "      Wybierz\n      \\x1b]0;tytuł\\x07koniec\n",
        "-- message box (stop): \\x1b[31mVantor\\nSetup --\na\\x1b[2Jb\nc\u203a2J\n[1] ok  [2] cancel\n",
        "-- message box (warning):  --\nUwaga\n", "-- message box (information): Vantor Setup --\nKoniec\n",
        "-- message box (question): Vantor Setup --\nPytanie\n", "-- folder browser: \\x1b[HWybierz --\n"}) {
    EXPECT_NE(output.find(said), std::string::npos) << said << "\n" << output;
  }
}

TEST(UiDriverChoice, AnswersFileThenTerminalThenNobody) {
  vtsetup::testing::TempDir dir;
  std::istringstream input;
  std::ostringstream output;
  std::ostringstream errors;
  const Transcript transcript(dir.File("transcript.txt"));
  const std::string good = dir.File("good.txt");
  const std::string bad = dir.File("bad.txt");
  std::ofstream(good) << "page 3: press 1\n";
  std::ofstream(bad) << "# answers\npage 3: press\n";

  const UiConsole console{input, output, errors, true, {}};
  UiDriverChoice chosen = ChooseUiDriver(good.c_str(), console, transcript);
  EXPECT_NE(dynamic_cast<AnswersDriver*>(chosen.driver.get()), nullptr);
  chosen = ChooseUiDriver(bad.c_str(), console, transcript);
  EXPECT_EQ(chosen.driver, nullptr);
  EXPECT_EQ(chosen.error, bad + " line 2: \"press\" takes a control id");
  chosen = ChooseUiDriver(dir.File("none.txt").c_str(), console, transcript);
  EXPECT_EQ(chosen.error, dir.File("none.txt") + ": the answers file does not exist");
  chosen = ChooseUiDriver("", console, transcript);
  EXPECT_NE(dynamic_cast<TerminalDriver*>(chosen.driver.get()), nullptr);

  chosen = ChooseUiDriver(nullptr, UiConsole{input, output, errors, false, {}}, transcript);
  ASSERT_NE(chosen.driver, nullptr);
  EXPECT_EQ(chosen.driver->PageActions(Page(3), false), std::nullopt);
  EXPECT_EQ(chosen.driver->BrowseAnswer("Wybierz"), std::nullopt);
  const std::string why =
      ", but no answers were given (VTSETUP_ANSWERS is not set and the input is not a terminal)";
  EXPECT_EQ(FileLines(dir.File("transcript.txt")),
            (std::vector<std::string>{"answers: page 3 shown" + why,
                                      "answers: folder browser \"Wybierz\" shown" + why}));
  EXPECT_EQ(errors.str(),
            "answers: page 3 shown" + why + "\nanswers: folder browser \"Wybierz\" shown" + why + "\n");
}

}  // namespace

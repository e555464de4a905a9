#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/host_user_interface.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform::host {
namespace {

using testing::TestMachine;

// A page that records its commands, as the wizard's pages receive them.
class CommandLog final : public DialogEvents {
 public:
  std::vector<std::string> commands;
  std::uint16_t result = 0;
  bool OnInit(Window, void*) override { return true; }
  void OnCommand(Window, std::uint16_t id, std::uint16_t notification) override {
    commands.push_back(std::to_string(id) + "/" + std::to_string(notification));
    if (id == 1 || id == 2 || id == 6 || id == 7) {
      result = id;
    }
  }
};

// The program's own templates, answered from an answers file.
class AnswersTest : public ::testing::Test {
 protected:
  void Answer(const std::string& text) {
    AnswersRead read = ParseAnswers(text, "answers.txt");
    ASSERT_EQ(read.error, "");
    ui_ = std::make_unique<HostUserInterface>(
        machine_.Machine(), UiResources{resources::DialogTemplates(), resources::StringTable()},
        std::make_unique<AnswersDriver>(std::move(read.lines), machine_.Machine().Record(), errors_), "");
  }
  // Shows a template as the main sequence does, polling until the page has a result and once more, and
  // gives the commands it received.
  std::vector<std::string> Visit(std::uint16_t template_id) {
    CommandLog log;
    const Window page = ui_->CreateDialogWindow(template_id, nullptr, &log, nullptr);
    EXPECT_NE(page, nullptr) << template_id;
    for (const std::uint16_t list : {1000, 1001}) {
      ui_->AddListItem(page, list, "A:\t[1.0 MB]");
      ui_->AddListItem(page, list, "B:\t[2.0 MB]");
    }
    for (int polls = 0; polls < 1000 && log.result == 0; ++polls) {
      while (ui_->PumpOne(page)) {
      }
    }
    while (ui_->PumpOne(page)) {
    }
    ui_->DestroyWindow(page);
    return log.commands;
  }

  TestMachine machine_{"", true};
  std::ostringstream errors_;
  std::unique_ptr<HostUserInterface> ui_;
};

TEST_F(AnswersTest, EveryPageTemplateTakesItsAnswers) {
  Answer(
      "# the whole wizard\n"
      "page 1: press 6\n"
      "page 2: key escape\n"
      "page 3: select 1000 1; select 1001 0; key enter\n"
      "page 4: uncheck 1025; check 1025; press 7\n"
      "page 5: key enter\n"
      "page 6: press 1\n"
      "page 8: key enter\n");
  EXPECT_EQ(Visit(110), (std::vector<std::string>{"6/0"}));
  EXPECT_EQ(Visit(111), (std::vector<std::string>{"2/0"}));
  // The type list takes the focus first and says so.
  EXPECT_EQ(Visit(104), (std::vector<std::string>{"1000/4", "1000/1", "1001/1", "1/0"}));
  EXPECT_EQ(Visit(112), (std::vector<std::string>{"1025/0", "7/0"}));
  EXPECT_EQ(Visit(113), (std::vector<std::string>{"6/0"}));  // Enter presses the default button, 6
  EXPECT_EQ(Visit(114), (std::vector<std::string>{"1/0"}));
  EXPECT_EQ(Visit(115), (std::vector<std::string>{"1/0"}));
  EXPECT_EQ(errors_.str(), "");
  const std::vector<std::string> lines = machine_.TranscriptLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind(
                "page 1 shown: button 1 \"&Dalej >>\"; button 6 \"&Rozpoczęcie\"; button 2 \"&Anuluj\"", 0),
            0u)
      << lines[0];
  EXPECT_EQ(lines[1], "page 1: press 6");
}

TEST_F(AnswersTest, AScriptThatDoesNotMatchOrRunsOutEndsInEscape) {
  Answer("page 5: key enter\n");
  // Page 4 is shown, but the line answers page 5: Escape, and the line stays for the report.
  EXPECT_EQ(Visit(112), (std::vector<std::string>{"2/0"}));
  EXPECT_EQ(errors_.str(), "answers: page 4 shown, but line 1 answers page 5\n");
  EXPECT_EQ(Visit(113), (std::vector<std::string>{"6/0"}));
  // Used up: Escape again, reported once more.
  EXPECT_EQ(Visit(113), (std::vector<std::string>{"2/0"}));
  EXPECT_NE(errors_.str().find("answers: page 5 shown, but the answers are used up"), std::string::npos)
      << errors_.str();
}

TEST_F(AnswersTest, MessageBoxesOfEveryStyleInUseWithEveryAnswer) {
  const std::vector<std::pair<std::uint32_t, std::vector<std::int32_t>>> boxes = {
      {16, {1}}, {17, {1, 2}}, {18, {3, 4, 5}}, {20, {6, 7}}, {21, {4, 2}}, {65, {1, 2}}, {68, {6, 7}}};
  std::string answers;
  for (const auto& [style, offered] : boxes) {
    for (const std::int32_t answer : offered) {
      answers += "message " + std::to_string(answer) + "\n";
    }
  }
  answers += "message yes\n";  // offered by no OK box
  Answer(answers);
  for (const auto& [style, offered] : boxes) {
    for (const std::int32_t answer : offered) {
      EXPECT_EQ(ui_->ShowMessageBox(nullptr, "Pytanie", "Vantor Setup", style), answer) << style;
    }
  }
  EXPECT_EQ(ui_->ShowMessageBox(nullptr, "Koniec", "Vantor Setup", 16), 1);
  EXPECT_NE(errors_.str().find("which the box does not offer"), std::string::npos) << errors_.str();
  const std::vector<std::string> lines = machine_.TranscriptLines();
  EXPECT_EQ(lines[0], "message box (style 16) \"Vantor Setup\": \"Pytanie\" -> 1 (ok)");
  EXPECT_EQ(lines[5], "message box (style 18) \"Vantor Setup\": \"Pytanie\" -> 5 (ignore)");
}

}  // namespace
}  // namespace vtsetup::platform::host

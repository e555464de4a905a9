#include "platform/host/ui/host_user_interface.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_machine.h"

namespace vtsetup::platform::host {
namespace {

namespace style = resources::style;
using resources::ControlClass;
using resources::ControlTemplate;
using resources::DialogTemplate;
using testing::TestMachine;

constexpr std::uint32_t kChild = style::kChild | style::kVisible;

// Page 5's template number with a small dialog of our own: a list that notifies, a check box, a
// disabled button, a default button and a cancel button.
constexpr ControlTemplate kPageControls[] = {
    {1000, ControlClass::ListBox, "", 7, 7, 100, 40, kChild | style::kTabStop | style::kListNotify, 0},
    {1025, ControlClass::Button, "Check", 7, 50, 100, 10, kChild | style::kTabStop | style::kAutoCheckBox, 0},
    {6, ControlClass::Button, "Start", 7, 70, 50, 14, kChild | style::kTabStop | style::kDisabled, 0},
    {1, ControlClass::Button, "Next", 60, 70, 50, 14, kChild | style::kTabStop | style::kDefaultPushButton, 0},
    {2, ControlClass::Button, "Cancel", 113, 70, 50, 14, kChild | style::kTabStop, 0},
};
constexpr ControlTemplate kProgressControls[] = {
    {1027, ControlClass::Static, "Working...", 8, 5, 168, 12, kChild | style::kStaticCentre, 0},
    {1008, ControlClass::ProgressBar, "", 7, 17, 171, 10, kChild | style::kBorder, 0},
};
constexpr DialogTemplate kDialogs[] = {
    {113, 0, 0, 260, 150, style::kPopup | style::kVisible, false, "MS Sans Serif", 8, kPageControls},
    {108, 0, 0, 183, 34, style::kPopup | style::kVisible, false, "MS Sans Serif", 8, kProgressControls},
};
constexpr resources::StringEntry kStrings[] = {{5002, "c:\\Programme"}, {5024, "pl"}};

// Answers from a list the test writes; an empty list has no answer.
class ScriptedDriver final : public UiDriver {
 public:
  std::deque<std::vector<UserAction>> pages;
  std::deque<std::int32_t> answers;
  std::vector<std::string> shown;  // "page N" or "again N" per visit, "box TEXT" per message box

  std::optional<std::vector<UserAction>> PageActions(const DialogState& page, bool again) override {
    shown.push_back((again ? "again " : "page ") + std::to_string(page.page));
    if (pages.empty()) {
      return std::nullopt;
    }
    std::vector<UserAction> actions = pages.front();
    pages.pop_front();
    return actions;
  }
  std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) override {
    shown.push_back("box " + box.text);
    if (answers.empty()) {
      return std::nullopt;
    }
    const std::int32_t answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> BrowseAnswer(const std::string&) override { return std::nullopt; }
};

// Records what a page's procedure is told, and reports init handled as the pages do.
class RecordingPage final : public DialogEvents {
 public:
  std::vector<std::string> events;
  bool OnInit(Window, void* parameter) override {
    events.push_back("init " + std::to_string(reinterpret_cast<std::uintptr_t>(parameter)));
    return true;
  }
  void OnCommand(Window, std::uint16_t id, std::uint16_t notification) override {
    events.push_back("command " + std::to_string(id) + "/" + std::to_string(notification));
  }
  void OnDestroy(Window) override { events.push_back("destroy"); }
};

class HostUserInterfaceTest : public ::testing::Test {
 protected:
  HostUserInterfaceTest() {
    auto scripted = std::make_unique<ScriptedDriver>();
    driver_ = scripted.get();
    ui_ = std::make_unique<HostUserInterface>(machine_.Machine(), UiResources{kDialogs, kStrings},
                                              std::move(scripted), "");
  }
  void PumpAll(Window page) {
    for (int guard = 0; guard < 1000 && ui_->PumpOne(page); ++guard) {
    }
  }

  TestMachine machine_{"", true};
  ScriptedDriver* driver_ = nullptr;
  std::unique_ptr<HostUserInterface> ui_;
  RecordingPage page_;
};

TEST_F(HostUserInterfaceTest, InitFocusAndEveryKindOfAction) {
  driver_->pages.push_back({{ActionKind::Select, 1000, 1},
                            {ActionKind::Check, 1025, 0},
                            {ActionKind::Check, 1025, 0},  // already checked: no click
                            {ActionKind::Uncheck, 1025, 0},
                            {ActionKind::Press, 1025, 0},
                            {ActionKind::KeyEnter, 0, 0},
                            {ActionKind::KeyEscape, 0, 0}});
  const Window page = ui_->CreateDialogWindow(113, nullptr, &page_, reinterpret_cast<void*>(77));
  ASSERT_NE(page, nullptr);
  ui_->AddListItem(page, 1000, "one");
  ui_->AddListItem(page, 1000, "two");
  PumpAll(page);
  EXPECT_EQ(page_.events, (std::vector<std::string>{"init 77", "command 1000/4", "command 1000/1", "command 1025/0",
                                                    "command 1025/0", "command 1025/0", "command 1/0", "command 2/0"}));
  EXPECT_EQ(ui_->ListSelection(page, 1000), 1);
  EXPECT_TRUE(ui_->IsChecked(page, 1025));
  EXPECT_EQ(driver_->shown, (std::vector<std::string>{"page 5"}));
  ui_->DestroyWindow(page);
  EXPECT_EQ(page_.events.back(), "destroy");
}

TEST_F(HostUserInterfaceTest, EnterOnADisabledDefaultDoesNothingAndNoAnswerMeansEscape) {
  const Window page = ui_->CreateDialogWindow(113, nullptr, &page_, nullptr);
  ui_->Enable(page, 1, false);
  driver_->pages.push_back({{ActionKind::KeyEnter, 0, 0}});
  PumpAll(page);
  EXPECT_EQ(page_.events.size(), 2u);  // init and the list's focus notification
  // The page stays open: after some idle pumps the driver is asked again, and without an answer the
  // way out is Escape.
  for (int i = 0; i < 1000 && page_.events.back() != "command 2/0"; ++i) {
    ui_->PumpOne(page);
  }
  EXPECT_EQ(driver_->shown, (std::vector<std::string>{"page 5", "again 5"}));
  EXPECT_EQ(page_.events.back(), "command 2/0");
}

TEST_F(HostUserInterfaceTest, MessageBoxesTakeTheDriversAnswerOrTheCancellingOne) {
  driver_->answers = {6, 4};
  EXPECT_EQ(ui_->MessageBox(nullptr, "a", "Vantor Setup", 20), 6);
  EXPECT_EQ(ui_->MessageBox(nullptr, "b", "Vantor Setup", 21), 4);
  const std::pair<std::uint32_t, std::int32_t> cancelling[] = {{16, 1}, {17, 2}, {18, 3}, {20, 7},
                                                               {21, 2}, {65, 2}, {68, 7}};
  for (const auto& [box_style, answer] : cancelling) {
    EXPECT_EQ(ui_->MessageBox(nullptr, "c", "Vantor Setup", box_style), answer) << box_style;
  }
}

TEST_F(HostUserInterfaceTest, AWorkersCallWaitsUntilTheWindowThreadPumps) {
  const Window progress = ui_->CreateDialogWindow(108, nullptr, nullptr, nullptr);
  ASSERT_NE(progress, nullptr);
  std::atomic<bool> returned = false;
  std::thread worker([&] {
    ui_->SetProgressPosition(progress, 1008, 40);
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(returned);
  while (!returned) {
    ui_->PumpOne(nullptr);
  }
  worker.join();
  ui_->DestroyWindow(progress);
  const std::vector<std::string> lines = machine_.TranscriptLines();
  EXPECT_EQ(lines, (std::vector<std::string>{"progress dialog 108 opened", "progress dialog 108: 40 of 100",
                                             "progress dialog 108 closed"}));
}

TEST_F(HostUserInterfaceTest, ClassCursorsStringsAndTheBackgroundClass) {
  EXPECT_EQ(ui_->LoadString(5002, 200), "c:\\Programme");
  EXPECT_EQ(ui_->LoadString(5002, 5), "c:\\P");
  EXPECT_FALSE(ui_->LoadString(5011, 200).has_value());
  EXPECT_EQ(ui_->FileTitle("c:\\games\\data\\level.dat"), "level.dat");
  const std::uintptr_t before = ui_->ShowWaitCursor();
  EXPECT_EQ(ui_->CurrentCursor(), 2u);
  ui_->RestoreCursor(before);
  EXPECT_EQ(ui_->CurrentCursor(), before);
  EXPECT_EQ(ui_->DialogClassCursor(), 1u);
  const std::uintptr_t class_before = ui_->SetDialogClassWaitCursor();
  EXPECT_EQ(ui_->DialogClassCursor(), 2u);
  ui_->RestoreDialogClassCursor(class_before);
  EXPECT_EQ(ui_->DialogClassCursor(), 1u);
}

}  // namespace
}  // namespace vtsetup::platform::host

#include "platform/host/ui/host_user_interface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/ui/host_graphics.h"
#include "tests/support/temp_dir.h"
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
    {1, ControlClass::Button, "Next", 60, 70, 50, 14, kChild | style::kTabStop | style::kDefaultPushButton,
     0},
    {2, ControlClass::Button, "Cancel", 113, 70, 50, 14, kChild | style::kTabStop, 0},
};
constexpr ControlTemplate kReadmeControls[] = {
    {1026, ControlClass::RichEdit, "", 80, 7, 173, 110, kChild | style::kTabStop | style::kEditMultiLine, 0},
};
constexpr ControlTemplate kProgressControls[] = {
    {1027, ControlClass::Static, "Working...", 8, 5, 168, 12, kChild | style::kStaticCentre, 0},
    {1008, ControlClass::ProgressBar, "", 7, 17, 171, 10, kChild | style::kBorder, 0},
};
constexpr DialogTemplate kDialogs[] = {
    {113, 0, 0, 260, 150, style::kPopup | style::kVisible, false, "MS Sans Serif", 8, kPageControls},
    {108, 0, 0, 183, 34, style::kPopup | style::kVisible, false, "MS Sans Serif", 8, kProgressControls},
    {115, 0, 0, 260, 150, style::kPopup | style::kVisible, true, "MS Sans Serif", 8, kReadmeControls},
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

  // What a person watching would be shown, and the threads that told it.
  std::vector<std::string> screen;
  std::vector<std::thread::id> screen_threads;
  void ProgressShown(const ProgressView& progress) override {
    Seen("progress " + progress.caption + " " + std::to_string(progress.position) + "/" +
         std::to_string(progress.maximum));
  }
  void ProgressClosed() override { Seen("closed"); }
  void PictureShown(const std::string& name) override { Seen("picture " + name); }

 private:
  void Seen(const std::string& what) {
    screen.push_back(what);
    screen_threads.push_back(std::this_thread::get_id());
  }
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
  EXPECT_EQ(page_.events,
            (std::vector<std::string>{"init 77", "command 1000/4", "command 1000/1", "command 1025/0",
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
  EXPECT_EQ(ui_->ShowMessageBox(nullptr, "a", "Vantor Setup", 20), 6);
  EXPECT_EQ(ui_->ShowMessageBox(nullptr, "b", "Vantor Setup", 21), 4);
  const std::pair<std::uint32_t, std::int32_t> cancelling[] = {{16, 1}, {17, 2}, {18, 3}, {20, 7},
                                                               {21, 2}, {65, 2}, {68, 7}};
  for (const auto& [box_style, answer] : cancelling) {
    EXPECT_EQ(ui_->ShowMessageBox(nullptr, "c", "Vantor Setup", box_style), answer) << box_style;
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

// What the copy asks from its worker while the window thread makes and closes dialogs: strings and file
// titles come back without the pump, a control's presence waits for it. The thread sanitizer build runs
// this too.
TEST_F(HostUserInterfaceTest, TheCopysWorkerCallsAreSafeWhileTheWindowThreadWorks) {
  const Window progress = ui_->CreateDialogWindow(108, nullptr, nullptr, nullptr);
  ASSERT_NE(progress, nullptr);
  std::atomic<bool> answered_at_once = false;
  std::atomic<bool> has_control = false;
  std::atomic<bool> returned = false;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
      if (ui_->LoadStringResource(5002, 200) != "c:\\Programme" ||
          ui_->FileTitle("c:\\games\\data\\level.dat") != "level.dat") {
        return;
      }
    }
    answered_at_once = true;
    has_control = ui_->HasControl(progress, 1008);
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(answered_at_once);
  EXPECT_FALSE(returned);
  while (!returned) {
    const Window other = ui_->CreateDialogWindow(108, nullptr, nullptr, nullptr);
    ui_->PumpOne(nullptr);
    ui_->DestroyWindow(other);
  }
  worker.join();
  EXPECT_TRUE(has_control);
  ui_->DestroyWindow(progress);
}

// The copy worker's captions and bar positions and the slideshow's pictures reach the driver on the window
// thread, only when they change what a person sees, and only from the progress dialog and the background.
TEST_F(HostUserInterfaceTest, TheProgressDialogAndTheBillboardReachTheDriverFromTheWindowThread) {
  class Unpainted final : public WindowEvents {
    void OnPaint(Window, Canvas&) override {}
    void OnClose(Window) override {}
    void OnRightButtonDown(Window) override {}
  } unpainted;
  ASSERT_TRUE(ui_->RegisterBackgroundClass());
  const Window background = ui_->CreateBackgroundWindow({0, 0, 64, 48}, unpainted);
  const Window progress = ui_->CreateDialogWindow(108, background, nullptr, nullptr);
  const Window page = ui_->CreateDialogWindow(113, background, &page_, nullptr);
  ASSERT_NE(progress, nullptr);
  ASSERT_NE(page, nullptr);
  ui_->SetProgressRange(progress, 1008, 200);
  std::atomic<bool> returned = false;
  std::thread worker([&] {
    ui_->SetText(progress, 1027, "level1.map");
    ui_->SetProgressPosition(progress, 1008, 50);
    ui_->SetProgressPosition(progress, 1008, 50);
    ui_->DescribePicture(background, "D:\\OBRAZKI\\splash002.bmp");
    ui_->DescribePicture(progress, "D:\\OBRAZKI\\splash003.bmp");
    ui_->DescribePicture(background, nullptr);
    returned = true;
  });
  while (!returned) {
    ui_->PumpOne(nullptr);
  }
  worker.join();
  ui_->SetText(page, 1025, "Other");
  ui_->DestroyWindow(page);
  ui_->DestroyWindow(progress);
  EXPECT_EQ(driver_->screen,
            (std::vector<std::string>{"progress Working... 0/100", "progress Working... 0/200",
                                      "progress level1.map 0/200", "progress level1.map 50/200",
                                      "picture splash002.bmp", "picture ", "closed"}));
  EXPECT_EQ(
      std::count(driver_->screen_threads.begin(), driver_->screen_threads.end(), std::this_thread::get_id()),
      static_cast<std::ptrdiff_t>(driver_->screen.size()));
  ui_->DestroyWindow(background);
}

TEST_F(HostUserInterfaceTest, ClassCursorsStringsAndTheBackgroundClass) {
  EXPECT_EQ(ui_->LoadStringResource(5002, 200), "c:\\Programme");
  EXPECT_EQ(ui_->LoadStringResource(5002, 5), "c:\\P");
  EXPECT_FALSE(ui_->LoadStringResource(5011, 200).has_value());
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

// A text in memory, delivered in the pieces that the control asks for.
struct MemoryText {
  std::string text;
  std::size_t at = 0;
  static std::uint32_t Read(void* cookie, std::uint8_t* buffer, std::int32_t requested,
                            std::int32_t* delivered) {
    auto& memory = *static_cast<MemoryText*>(cookie);
    const std::size_t n = std::min(memory.text.size() - memory.at, static_cast<std::size_t>(requested));
    if (n == 0) {
      return 1;
    }
    std::copy_n(memory.text.data() + memory.at, n, buffer);
    memory.at += n;
    *delivered = static_cast<std::int32_t>(n);
    return 0;
  }
};

TEST_F(HostUserInterfaceTest, RichTextLargerThanOneRequestArrivesWholeAndInOrder) {
  RecordingPage readme;
  const Window page = ui_->CreateDialogWindow(115, nullptr, &readme, nullptr);
  MemoryText rtf{"{\\rtf1\\ansi "};
  std::string expected;
  for (int line = 0; line < 2000; ++line) {
    const std::string text = "Linia " + std::to_string(line);
    rtf.text += text + "\\par ";
    expected += text + "\n";
  }
  rtf.text += "}";
  ASSERT_GT(rtf.text.size(), 3 * 4096u);
  ui_->StreamRtf(page, 1026, &MemoryText::Read, &rtf);
  EXPECT_EQ(ui_->Text(page, 1026), expected.c_str());
  MemoryText empty;
  ui_->StreamRtf(page, 1026, &MemoryText::Read, &empty);
  EXPECT_EQ(ui_->Text(page, 1026), "");
}

// Paints a 2 by 2 picture at (50, 40) on every paint, or nothing once told to stop.
class BillboardPainter final : public WindowEvents {
 public:
  BillboardPainter() {
    // 24 bits, bottom-up: the file's first row is the picture's bottom row. Rows are padded to 8 bytes.
    const std::uint8_t info[40] = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
    const std::uint8_t pixels[16] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0,   // bottom: red, green
                                     0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0};  // top: blue, white
    bitmap = graphics.CreateDeviceBitmap(info, pixels, nullptr);
  }
  void OnPaint(Window, Canvas& canvas) override {
    if (draw) {
      canvas.StretchCopy(*bitmap, nullptr, {50, 40, 2, 2}, {0, 0, 2, 2});
    }
  }
  void OnClose(Window) override {}
  void OnRightButtonDown(Window) override {}

  HostGraphics graphics;
  std::unique_ptr<DeviceBitmap> bitmap;
  bool draw = true;
};

// The colour of a pixel of a 24-bit bottom-up BMP file, read at the offsets of the format.
std::uint32_t PixelOf(const std::vector<unsigned char>& bmp, int x, int y) {
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24);
  };
  const auto width = static_cast<int>(u32(18));
  const auto height = static_cast<int>(u32(22));
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  const std::size_t at =
      u32(10) + static_cast<std::size_t>(height - 1 - y) * stride + static_cast<std::size_t>(x) * 3;
  return static_cast<std::uint32_t>(bmp[at + 2] << 16 | bmp[at + 1] << 8 | bmp[at]);
}

TEST(HostBackgroundWindow, RepaintsAreWrittenAsSnapshotsAndUpdatesDoNotErase) {
  TestMachine machine;
  testing::TempDir snapshots;
  HostUserInterface ui(machine.Machine(), UiResources{kDialogs, kStrings}, std::make_unique<ScriptedDriver>(),
                       snapshots.Path().string());
  BillboardPainter painter;
  ASSERT_EQ(ui.CreateBackgroundWindow({0, 0, 200, 150}, painter), nullptr) << "no class yet";
  ASSERT_TRUE(ui.RegisterBackgroundClass());
  const Window background = ui.CreateBackgroundWindow({412, 309, 200, 150}, painter);
  ASSERT_NE(background, nullptr);
  EXPECT_FALSE(ui.UnregisterBackgroundClass()) << "the window still exists";
  EXPECT_FALSE(ui.PumpOne(nullptr)) << "hidden windows do not paint";
  ui.ShowWindow(background, WINDOW_SHOW);
  EXPECT_TRUE(ui.PumpOne(nullptr));
  const std::vector<unsigned char> first = testing::ReadBytes(snapshots.File("background-0001.bmp"));
  ASSERT_GT(first.size(), 54u);
  EXPECT_EQ(PixelOf(first, 0, 0), 0xC0C0C0u);
  EXPECT_EQ(PixelOf(first, 50, 40), 0x0000FFu);  // the picture's top left: blue
  EXPECT_EQ(PixelOf(first, 51, 40), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(first, 50, 41), 0xFF0000u);
  EXPECT_EQ(PixelOf(first, 51, 41), 0x00FF00u);
  EXPECT_EQ(PixelOf(first, 52, 41), 0xC0C0C0u);
  EXPECT_EQ(PixelOf(first, 199, 149), 0xC0C0C0u);

  // A repaint asked for without erasing keeps what was drawn before.
  painter.draw = false;
  ui.Invalidate(background, nullptr, false);
  ui.Update(background);
  const std::vector<unsigned char> second = testing::ReadBytes(snapshots.File("background-0002.bmp"));
  ASSERT_EQ(second.size(), first.size());
  EXPECT_EQ(PixelOf(second, 50, 40), 0x0000FFu);
  ui.Invalidate(background, nullptr, true);
  ui.Update(background);
  EXPECT_EQ(PixelOf(testing::ReadBytes(snapshots.File("background-0003.bmp")), 50, 40), 0xC0C0C0u);
  ui.DestroyWindow(background);
  EXPECT_TRUE(ui.UnregisterBackgroundClass());
}

}  // namespace
}  // namespace vtsetup::platform::host

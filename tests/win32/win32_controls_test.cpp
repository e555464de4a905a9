// Controls by id, as the pages and the workers use them.
#include <gtest/gtest.h>

// The system's other headers need this one first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "tests/win32/ui_test_support.h"

namespace vtsetup::platform::win32::testing {
namespace {

constexpr std::uint16_t kNoSuchControl = 4321;

class Win32ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui.InitCommonControls();
    ASSERT_NE(dialog.Get(), nullptr);
  }
  void TearDown() override { PumpAll(ui); }

  Win32UserInterface ui;
  RecordingDialog events;
  OpenDialog dialog{ui, TEST_DIALOG_CONTROLS, &events};
};

TEST_F(Win32ControlsTest, TextRoundTripsWhateverItsLength) {
  std::string long_text;
  for (int i = 0; long_text.size() < 5000; ++i) {
    long_text += "C:\\Gry\\Folder" + std::to_string(i) + ";";
  }
  for (const std::string& text : {std::string("D:\\Gry\\Orvella"), long_text, std::string()}) {
    ui.SetText(dialog.Get(), TEST_EDIT, text.c_str());
    EXPECT_EQ(std::string(ui.Text(dialog.Get(), TEST_EDIT).Data()), text);
    EXPECT_EQ(WindowText(dialog.Control(TEST_EDIT)), text.substr(0, 511));
  }
  ui.SetText(dialog.Get(), TEST_EDIT, nullptr);
  EXPECT_EQ(ui.Text(dialog.Get(), TEST_EDIT), "");
}

TEST_F(Win32ControlsTest, MissingControlsChangeNothingAndAnswerEmpty) {
  const Window d = dialog.Get();
  EXPECT_TRUE(ui.HasControl(d, TEST_EDIT));
  EXPECT_FALSE(ui.HasControl(d, kNoSuchControl));
  ui.SetText(d, kNoSuchControl, "x");
  EXPECT_EQ(ui.Text(d, kNoSuchControl), "");
  ui.Enable(d, kNoSuchControl, true);
  EXPECT_FALSE(ui.IsEnabled(d, kNoSuchControl));
  ui.SetCheck(d, kNoSuchControl, true);
  EXPECT_FALSE(ui.IsChecked(d, kNoSuchControl));
  EXPECT_EQ(ui.AddListItem(d, kNoSuchControl, "x"), -1);
  EXPECT_EQ(ui.ListCount(d, kNoSuchControl), 0);
  EXPECT_EQ(ui.ListSelection(d, kNoSuchControl), -1);
  EXPECT_EQ(ui.ListItemData(d, kNoSuchControl, 0), 0xFFFFFFFFu);
  EXPECT_EQ(ui.FindListItem(d, kNoSuchControl, "x"), -1);
  EXPECT_EQ(ui.SetProgressRange(d, kNoSuchControl, 100), 0u);
}

TEST_F(Win32ControlsTest, EnableShowAndCheckReachTheControls) {
  const Window d = dialog.Get();
  EXPECT_TRUE(ui.IsEnabled(d, TEST_BUTTON));
  ui.Enable(d, TEST_BUTTON, false);
  EXPECT_FALSE(ui.IsEnabled(d, TEST_BUTTON));
  EXPECT_FALSE(::IsWindowEnabled(dialog.Control(TEST_BUTTON)));
  ui.Enable(d, TEST_BUTTON, true);
  EXPECT_TRUE(ui.IsEnabled(d, TEST_BUTTON));

  // The dialog itself is hidden, so the control's own style tells.
  const auto shown = [&] {
    return (::GetWindowLongPtrA(dialog.Control(TEST_BUTTON), GWL_STYLE) & WS_VISIBLE) != 0;
  };
  ui.Show(d, TEST_BUTTON, false);
  EXPECT_FALSE(shown());
  ui.Show(d, TEST_BUTTON, true);
  EXPECT_TRUE(shown());

  EXPECT_FALSE(ui.IsChecked(d, TEST_CHECK));
  ui.SetCheck(d, TEST_CHECK, true);
  EXPECT_TRUE(ui.IsChecked(d, TEST_CHECK));
  EXPECT_EQ(::IsDlgButtonChecked(dialog.Hwnd(), TEST_CHECK), static_cast<UINT>(BST_CHECKED));
  // A click by the user is seen as well.
  ::SendMessageA(dialog.Control(TEST_CHECK), BM_CLICK, 0, 0);
  EXPECT_FALSE(ui.IsChecked(d, TEST_CHECK));
}

TEST_F(Win32ControlsTest, ListItemsKeepTheirOrderDataAndSelection) {
  const Window d = dialog.Get();
  ui.SetListTabStops(d, TEST_LIST, 85);
  EXPECT_EQ(ui.AddListItem(d, TEST_LIST, "Minimalna\t(12.5 MB)"), 0);
  EXPECT_EQ(ui.AddListItem(d, TEST_LIST, "Pelna\t(300.0 MB)"), 1);
  EXPECT_EQ(ui.AddListItem(d, TEST_LIST, "C:\t(1.5 MB)"), 2);
  EXPECT_EQ(ui.ListCount(d, TEST_LIST), 3);
  EXPECT_EQ(ui.ListSelection(d, TEST_LIST), -1);

  ui.SetListItemData(d, TEST_LIST, 1, 0x8001FFFEu);
  ui.SetListItemData(d, TEST_LIST, 2, 7);
  // -1 would mean every item to the list box.
  ui.SetListItemData(d, TEST_LIST, -1, 99);
  EXPECT_EQ(ui.ListItemData(d, TEST_LIST, 0), 0u);
  EXPECT_EQ(ui.ListItemData(d, TEST_LIST, 1), 0x8001FFFEu);
  EXPECT_EQ(ui.ListItemData(d, TEST_LIST, 2), 7u);
  EXPECT_EQ(ui.ListItemData(d, TEST_LIST, 3), 0xFFFFFFFFu);

  ui.SelectListItem(d, TEST_LIST, 1);
  EXPECT_EQ(ui.ListSelection(d, TEST_LIST), 1);
  EXPECT_EQ(::SendMessageA(dialog.Control(TEST_LIST), LB_GETCURSEL, 0, 0), 1);
  ui.SelectListItem(d, TEST_LIST, 3);
  EXPECT_EQ(ui.ListSelection(d, TEST_LIST), -1);
  ui.SelectListItem(d, TEST_LIST, 2);
  ui.SelectListItem(d, TEST_LIST, -1);
  EXPECT_EQ(ui.ListSelection(d, TEST_LIST), -1);

  ui.SelectListItem(d, TEST_LIST, 0);
  ui.ClearList(d, TEST_LIST);
  EXPECT_EQ(ui.ListCount(d, TEST_LIST), 0);
  EXPECT_EQ(ui.ListSelection(d, TEST_LIST), -1);
}

TEST_F(Win32ControlsTest, FindListItemTakesTheFirstPrefixMatchWithoutCase) {
  const Window d = dialog.Get();
  ui.AddListItem(d, TEST_LIST, "E:\t(40.0 MB)");
  ui.AddListItem(d, TEST_LIST, "d:\t(2.0 MB)");
  ui.AddListItem(d, TEST_LIST, "D:\t(9.0 MB)");
  // Searching from the selection on would start past it.
  ui.SelectListItem(d, TEST_LIST, 2);
  EXPECT_EQ(ui.FindListItem(d, TEST_LIST, "D:"), 1);
  EXPECT_EQ(ui.FindListItem(d, TEST_LIST, "e:"), 0);
  EXPECT_EQ(ui.FindListItem(d, TEST_LIST, "E:\t(40"), 0);
  EXPECT_EQ(ui.FindListItem(d, TEST_LIST, "F:"), -1);
  EXPECT_EQ(ui.FindListItem(d, TEST_LIST, "(40"), -1);
  EXPECT_EQ(ui.FindListItem(d, TEST_LIST, nullptr), -1);
}

TEST_F(Win32ControlsTest, ProgressRangeAnswersThePreviousRange) {
  const Window d = dialog.Get();
  ui.SetProgressRange(d, TEST_PROGRESS, 100);
  EXPECT_EQ(ui.SetProgressRange(d, TEST_PROGRESS, 250), 100u << 16);
  EXPECT_EQ(ui.SetProgressRange(d, TEST_PROGRESS, 100), 250u << 16);
  ui.SetProgressPosition(d, TEST_PROGRESS, 42);
  EXPECT_EQ(::SendMessageA(dialog.Control(TEST_PROGRESS), PBM_GETPOS, 0, 0), 42);
  EXPECT_EQ(::SendMessageA(dialog.Control(TEST_PROGRESS), PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(::SendMessageA(dialog.Control(TEST_PROGRESS), PBM_GETRANGE, TRUE, 0), 0);
}

TEST_F(Win32ControlsTest, WorkerCallsAreCarriedOutWhileTheWindowThreadPumps) {
  const Window d = dialog.Get();
  ui.SetProgressRange(d, TEST_PROGRESS, 100);
  std::atomic<bool> done{false};
  std::uint32_t previous_range = 0;
  bool had_control = false;
  std::thread worker([&] {
    had_control = ui.HasControl(d, TEST_PROGRESS);
    previous_range = ui.SetProgressRange(d, TEST_PROGRESS, 400);
    ui.SetProgressPosition(d, TEST_PROGRESS, 123);
    ui.SetText(d, TEST_EDIT, "plik.dat");
    done = true;
  });
  const bool finished = PumpUntil(ui, [&] { return done.load(); });
  worker.join();
  ASSERT_TRUE(finished);
  EXPECT_TRUE(had_control);
  EXPECT_EQ(previous_range, 100u << 16);
  EXPECT_EQ(::SendMessageA(dialog.Control(TEST_PROGRESS), PBM_GETPOS, 0, 0), 123);
  EXPECT_EQ(ui.Text(d, TEST_EDIT), "plik.dat");
}

// --- Rich edit

struct ChunkedText {
  std::string text;
  std::size_t at = 0;
  std::int32_t largest_chunk = 4;
  int calls = 0;
};

std::uint32_t ReadChunks(void* cookie, std::uint8_t* buffer, std::int32_t requested,
                         std::int32_t* delivered) {
  auto* source = static_cast<ChunkedText*>(cookie);
  ++source->calls;
  const std::size_t left = source->text.size() - source->at;
  if (left == 0) {
    *delivered = 0;
    return 1;
  }
  const std::size_t count =
      std::min({left, static_cast<std::size_t>(requested), static_cast<std::size_t>(source->largest_chunk)});
  source->text.copy(reinterpret_cast<char*>(buffer), count, source->at);
  source->at += count;
  *delivered = static_cast<std::int32_t>(count);
  return 0;
}

std::uint32_t RefuseAtOnce(void* cookie, std::uint8_t*, std::int32_t, std::int32_t* delivered) {
  ++static_cast<ChunkedText*>(cookie)->calls;
  *delivered = 0;
  return 1;
}

class Win32RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(library, nullptr);
    ASSERT_NE(dialog.Get(), nullptr);
  }
  void TearDown() override { PumpAll(ui); }

  // The setup loads the library itself before its rich-edit pages and keeps it; so does this test,
  // before its dialog is made.
  HMODULE library = ::LoadLibraryA("riched32.dll");
  Win32UserInterface ui;
  RecordingDialog events;
  OpenDialog dialog{ui, TEST_DIALOG_RICH_EDIT, &events};
};

TEST_F(Win32RichEditTest, RtfArrivesInChunksThroughTheReader) {
  ChunkedText source{"{\\rtf1\\ansi\\deff0 Umowa licencyjna \\b gry\\b0\\par Tekst drugi}"};
  ui.StreamRtf(dialog.Get(), TEST_RICH_EDIT, ReadChunks, &source);
  EXPECT_EQ(source.at, source.text.size());
  EXPECT_GT(source.calls, 10);
  const std::string shown = ui.Text(dialog.Get(), TEST_RICH_EDIT).Data();
  EXPECT_NE(shown.find("Umowa licencyjna gry"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Tekst drugi"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("rtf1"), std::string::npos) << shown;
}

TEST_F(Win32RichEditTest, ReaderThatStopsLeavesTheControlEmpty) {
  ChunkedText source{"{\\rtf1 nic}"};
  ui.StreamRtf(dialog.Get(), TEST_RICH_EDIT, RefuseAtOnce, &source);
  EXPECT_EQ(source.calls, 1);
  EXPECT_EQ(ui.Text(dialog.Get(), TEST_RICH_EDIT), "");
  ui.StreamRtf(dialog.Get(), TEST_RICH_EDIT, nullptr, &source);
  ui.StreamRtf(dialog.Get(), kNoSuchControl, ReadChunks, &source);
  EXPECT_EQ(source.calls, 1);
}

}  // namespace
}  // namespace vtsetup::platform::win32::testing

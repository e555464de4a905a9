// Dialogs from templates and their procedure, against the system's dialog manager.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/win32/ui_test_support.h"

namespace vtsetup::platform::win32::testing {
namespace {

class Win32DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ui.InitCommonControls(); }
  void TearDown() override { PumpAll(ui); }

  Win32UserInterface ui;
};

TEST_F(Win32DialogTest, InitialisationGetsTheDialogWithItsControlsAndTheParameter) {
  RecordingDialog events;
  int parameter = 0;
  OpenDialog dialog(ui, TEST_DIALOG_CONTROLS, &events, &parameter);
  ASSERT_NE(dialog.Get(), nullptr);
  ASSERT_EQ(events.init_dialogs.size(), 1u);
  EXPECT_EQ(events.init_dialogs[0], dialog.Get());
  EXPECT_EQ(events.init_parameter, &parameter);
  EXPECT_TRUE(events.controls_at_init);
}

TEST_F(Win32DialogTest, TrueFromInitialisationFocusesTheFirstControlWhichNotifies) {
  RecordingDialog events(true);
  OpenDialog dialog(ui, TEST_DIALOG_CONTROLS, &events);
  PumpAll(ui);
  EXPECT_EQ(::GetFocus(), dialog.Control(TEST_LIST));
  EXPECT_TRUE(events.HasCommand(TEST_LIST, NOTIFY_FOCUS));
}

TEST_F(Win32DialogTest, OwnerIsTheGivenWindow) {
  OpenDialog owner(ui, TEST_DIALOG_PROGRESS, nullptr);
  RecordingDialog events;
  OpenDialog dialog(ui, TEST_DIALOG_CONTROLS, &events, nullptr, owner.Get());
  ASSERT_NE(dialog.Get(), nullptr);
  EXPECT_EQ(::GetWindow(dialog.Hwnd(), GW_OWNER), owner.Hwnd());
}

TEST_F(Win32DialogTest, ButtonClickReachesTheProcedureAsItsCommand) {
  RecordingDialog events;
  OpenDialog dialog(ui, TEST_DIALOG_CONTROLS, &events);
  events.commands.clear();
  ::SendMessageA(dialog.Control(TEST_BUTTON), BM_CLICK, 0, 0);
  PumpAll(ui);
  ASSERT_TRUE(events.HasCommand(TEST_BUTTON, NOTIFY_CLICKED));
  EXPECT_EQ(events.commands.back().dialog, dialog.Get());
}

TEST_F(Win32DialogTest, EscapeBecomesCancelOnlyThroughTheKeyboardDialog) {
  RecordingDialog events;
  OpenDialog dialog(ui, TEST_DIALOG_CONTROLS, &events);
  PumpAll(ui);
  events.commands.clear();

  ::PostMessageA(dialog.Control(TEST_BUTTON), WM_KEYDOWN, VK_ESCAPE, 0);
  PumpAll(ui);
  EXPECT_FALSE(events.HasCommand(COMMAND_CANCEL, NOTIFY_CLICKED));

  ::PostMessageA(dialog.Control(TEST_BUTTON), WM_KEYDOWN, VK_ESCAPE, 0);
  while (ui.PumpOne(dialog.Get())) {
  }
  EXPECT_TRUE(events.HasCommand(COMMAND_CANCEL, NOTIFY_CLICKED));
}

TEST_F(Win32DialogTest, PaintAndDestroyReachTheProcedure) {
  RecordingDialog events;
  Window made = nullptr;
  {
    OpenDialog dialog(ui, TEST_DIALOG_CONTROLS, &events);
    made = dialog.Get();
    ui.ShowWindow(made, WINDOW_SHOW);
    PumpAll(ui);
    events.painted.clear();
    ui.Invalidate(dialog.Get(), nullptr, true);
    ui.Update(dialog.Get());
    ASSERT_EQ(events.painted.size(), 1u);
    EXPECT_EQ(events.painted[0], dialog.Get());
    EXPECT_TRUE(events.destroyed.empty());
  }
  ASSERT_EQ(events.destroyed.size(), 1u);
  EXPECT_EQ(events.destroyed[0], made);
  EXPECT_FALSE(::IsWindow(ToHwnd(made)));
}

TEST_F(Win32DialogTest, DialogWithoutEventsStillShowsItsControls) {
  OpenDialog dialog(ui, TEST_DIALOG_PROGRESS, nullptr);
  ASSERT_NE(dialog.Get(), nullptr);
  EXPECT_TRUE(ui.HasControl(dialog.Get(), TEST_PROGRESS_ONLY));
  // Its procedure takes every message as the dialog manager's: the caption stays as the template says
  // and a command changes nothing.
  ::SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(TEST_CAPTION, 0), 0);
  EXPECT_EQ(ui.Text(dialog.Get(), TEST_CAPTION), "Przygotowywanie...");
}

TEST_F(Win32DialogTest, MissingTemplateMakesNoWindow) {
  RecordingDialog events;
  EXPECT_EQ(ui.CreateDialogWindow(TEST_DIALOG_MISSING, nullptr, &events, nullptr), nullptr);
  EXPECT_EQ(ui.CreateDialogWindow(TEST_DIALOG_MISSING, nullptr, nullptr, nullptr), nullptr);
  EXPECT_TRUE(events.init_dialogs.empty());
}

TEST_F(Win32DialogTest, DialogClassCursorIsTheWaitCursorUntilRestored) {
  const auto class_cursor = [](const OpenDialog& dialog) {
    return static_cast<std::uintptr_t>(::GetClassLongPtrA(dialog.Hwnd(), GCLP_HCURSOR));
  };
  const auto wait = reinterpret_cast<std::uintptr_t>(::LoadCursorA(nullptr, IDC_WAIT));
  // Asked for while no dialog is open; the class is what changes, so later dialogs show it too.
  const std::uintptr_t token = ui.SetDialogClassWaitCursor();
  OpenDialog dialog(ui, TEST_DIALOG_PROGRESS, nullptr);
  ASSERT_NE(dialog.Get(), nullptr);
  EXPECT_EQ(class_cursor(dialog), wait);
  ui.RestoreDialogClassCursor(token);
  EXPECT_EQ(class_cursor(dialog), token);
  EXPECT_NE(token, wait);
  EXPECT_EQ(token, reinterpret_cast<std::uintptr_t>(::LoadCursorA(nullptr, IDC_ARROW)));
}

}  // namespace
}  // namespace vtsetup::platform::win32::testing

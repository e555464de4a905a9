// The background window and the message queue.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "tests/win32/ui_test_support.h"

namespace vtsetup::platform::win32::testing {
namespace {

class RecordingWindow final : public WindowEvents {
 public:
  void OnPaint(Window window, Canvas&) override {
    painted_window = window;
    paint_thread = ::GetCurrentThreadId();
    ++paints;
  }
  void OnClose(Window window) override { closed.push_back(window); }
  void OnRightButtonDown(Window window) override { right_clicked.push_back(window); }

  std::atomic<int> paints{0};
  Window painted_window = nullptr;
  DWORD paint_thread = 0;
  std::vector<Window> closed;
  std::vector<Window> right_clicked;
};

class Win32BackgroundWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { PumpAll(ui); }
  void TearDown() override {
    if (window != nullptr) {
      ui.DestroyWindow(window);
    }
    ui.UnregisterBackgroundClass();
    PumpAll(ui);
  }

  Window Make(const PixelRect& place) {
    EXPECT_TRUE(ui.RegisterBackgroundClass());
    window = ui.CreateBackgroundWindow(place, events);
    return window;
  }

  Win32UserInterface ui;
  RecordingWindow events;
  Window window = nullptr;
};

TEST_F(Win32BackgroundWindowTest, ClassIsRegisteredOnceAndKeptWhileAWindowUsesIt) {
  ASSERT_NE(Make({112, 84, 800, 600}), nullptr);
  EXPECT_FALSE(ui.RegisterBackgroundClass());
  EXPECT_FALSE(ui.UnregisterBackgroundClass());
  ui.DestroyWindow(window);
  window = nullptr;
  EXPECT_TRUE(ui.UnregisterBackgroundClass());
  EXPECT_EQ(ui.CreateBackgroundWindow({0, 0, 10, 10}, events), nullptr);
}

TEST_F(Win32BackgroundWindowTest, WindowIsAHiddenBorderlessPopUpOfTheClassAtItsPlace) {
  ASSERT_NE(Make({112, 84, 800, 600}), nullptr);
  HWND hwnd = ToHwnd(window);
  char class_name[32] = "";
  ::GetClassNameA(hwnd, class_name, sizeof class_name);
  EXPECT_STREQ(class_name, "VT_SETUP");
  EXPECT_EQ(WindowText(hwnd), "Vantor Setup");
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_VISIBLE),
            static_cast<DWORD>(WS_POPUP));
  EXPECT_EQ(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_TOPMOST), 0);
  EXPECT_EQ(::GetParent(hwnd), nullptr);
  EXPECT_EQ(::GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND),
            reinterpret_cast<LONG_PTR>(::GetStockObject(LTGRAY_BRUSH)));
  EXPECT_EQ(::GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0);
  EXPECT_EQ(::GetClassLongPtrA(hwnd, GCL_STYLE), 0);

  const PixelRect place = ui.WindowPlace(window);
  EXPECT_EQ(place.left, 112);
  EXPECT_EQ(place.top, 84);
  EXPECT_EQ(place.width, 800);
  EXPECT_EQ(place.height, 600);

  ui.ShowWindow(window, WINDOW_SHOW);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
}

TEST_F(Win32BackgroundWindowTest, MoveKeepsTheSize) {
  ASSERT_NE(Make({0, 0, 300, 200}), nullptr);
  ui.MoveWindow(window, -20, 35);
  const PixelRect place = ui.WindowPlace(window);
  EXPECT_EQ(place.left, -20);
  EXPECT_EQ(place.top, 35);
  EXPECT_EQ(place.width, 300);
  EXPECT_EQ(place.height, 200);
  EXPECT_EQ(ui.WindowPlace(nullptr).width, 0);
}

TEST_F(Win32BackgroundWindowTest, CloseAndRightClickReachTheEventsAndLeaveTheWindow) {
  ASSERT_NE(Make({0, 0, 300, 200}), nullptr);
  ::SendMessageA(ToHwnd(window), WM_CLOSE, 0, 0);
  ::PostMessageA(ToHwnd(window), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  PumpAll(ui);
  ASSERT_EQ(events.closed.size(), 1u);
  EXPECT_EQ(events.closed[0], window);
  ASSERT_EQ(events.right_clicked.size(), 1u);
  EXPECT_EQ(events.right_clicked[0], window);
  EXPECT_TRUE(::IsWindow(ToHwnd(window)));
  // Everything else is the default window procedure's.
  ::SendMessageA(ToHwnd(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Inny"));
  EXPECT_EQ(WindowText(ToHwnd(window)), "Inny");
}

TEST_F(Win32BackgroundWindowTest, ShownWindowPaintsThroughItsEvents) {
  ASSERT_NE(Make({0, 0, 300, 200}), nullptr);
  ui.ShowWindow(window, WINDOW_SHOW);
  PumpAll(ui);
  ui.Update(window);
  const int after_show = events.paints;
  EXPECT_GE(after_show, 1);
  EXPECT_EQ(events.painted_window, window);

  const PixelRect corner{50, 40, 20, 20};
  ui.Invalidate(window, &corner, false);
  ui.Update(window);
  EXPECT_EQ(events.paints, after_show + 1);
  ui.Update(window);
  EXPECT_EQ(events.paints, after_show + 1);
}

TEST_F(Win32BackgroundWindowTest, UpdateFromAWorkerReturnsOnceTheWindowThreadHasPainted) {
  ASSERT_NE(Make({0, 0, 300, 200}), nullptr);
  ui.ShowWindow(window, WINDOW_SHOW);
  PumpAll(ui);
  ui.Update(window);
  events.paints = 0;
  std::atomic<bool> done{false};
  int paints_when_updated = -1;
  BOOL still_marked = TRUE;
  std::thread worker([&] {
    ui.Invalidate(window, nullptr, true);
    ui.Update(window);
    paints_when_updated = events.paints;
    still_marked = ::GetUpdateRect(ToHwnd(window), nullptr, FALSE);
    done = true;
  });
  // The window thread takes only what is sent to it, as it does inside any wait: the paint that the
  // marking leaves in its queue is never taken here, so only the worker's update can paint.
  const DWORD start = ::GetTickCount();
  while (!done && ::GetTickCount() - start < 5000) {
    MSG none;
    ::PeekMessageA(&none, nullptr, WM_APP + 1, WM_APP + 1, PM_NOREMOVE);
    ::Sleep(1);
  }
  worker.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(paints_when_updated, 1);
  EXPECT_FALSE(still_marked);
  EXPECT_EQ(events.paint_thread, ::GetCurrentThreadId());
}

TEST_F(Win32BackgroundWindowTest, PumpOneTakesOneMessageAndNeverWaits) {
  ASSERT_NE(Make({0, 0, 300, 200}), nullptr);
  PumpAll(ui);
  EXPECT_FALSE(ui.PumpOne(nullptr));

  ::PostMessageA(ToHwnd(window), WM_RBUTTONDOWN, 0, 0);
  ::PostMessageA(ToHwnd(window), WM_RBUTTONDOWN, 0, 0);
  EXPECT_TRUE(ui.PumpOne(nullptr));
  EXPECT_EQ(events.right_clicked.size(), 1u);
  EXPECT_TRUE(ui.PumpOne(nullptr));
  EXPECT_EQ(events.right_clicked.size(), 2u);
  EXPECT_FALSE(ui.PumpOne(nullptr));
}

TEST_F(Win32BackgroundWindowTest, QuitIsTakenLikeAnyMessageAndEndsNothing) {
  PumpAll(ui);
  ui.PostQuit(1);
  EXPECT_TRUE(ui.PumpOne(nullptr));
  EXPECT_FALSE(ui.PumpOne(nullptr));
  MSG left;
  EXPECT_FALSE(::PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  // The queue goes on working after it.
  ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
  EXPECT_TRUE(ui.PumpOne(nullptr));
}

}  // namespace
}  // namespace vtsetup::platform::win32::testing

// What asks the user, the program's strings, file titles, cursors and the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "tests/win32/ui_test_support.h"

namespace vtsetup::platform::win32::testing {
namespace {

constexpr char kFullCaption[] = "Kopiowanie plikow. Prosze czekac...";

TEST(Win32StringResource, EntryIsCutToOneLessThanTheBuffer) {
  Win32UserInterface ui;
  const std::optional<TextString> whole = ui.LoadStringResource(TEST_STRING_CAPTION, 500);
  ASSERT_TRUE(whole.has_value());
  EXPECT_EQ(*whole, kFullCaption);
  const std::string full = kFullCaption;
  EXPECT_EQ(ui.LoadStringResource(TEST_STRING_CAPTION, static_cast<std::uint32_t>(full.size()) + 1),
            kFullCaption);
  EXPECT_EQ(ui.LoadStringResource(TEST_STRING_CAPTION, static_cast<std::uint32_t>(full.size())),
            full.substr(0, full.size() - 1).c_str());
  EXPECT_EQ(ui.LoadStringResource(TEST_STRING_CAPTION, 11), "Kopiowanie");
  EXPECT_EQ(ui.LoadStringResource(TEST_STRING_ONE_LETTER, 2), "A");
}

TEST(Win32StringResource, OneByteHoldsAnEmptyTextAndAMissingEntryGivesNothing) {
  Win32UserInterface ui;
  const std::optional<TextString> empty = ui.LoadStringResource(TEST_STRING_ONE_LETTER, 1);
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(*empty, "");
  EXPECT_FALSE(ui.LoadStringResource(TEST_STRING_MISSING, 500).has_value());
  EXPECT_FALSE(ui.LoadStringResource(TEST_STRING_MISSING, 1).has_value());
  EXPECT_FALSE(ui.LoadStringResource(TEST_STRING_CAPTION, 0).has_value());
  // A buffer far larger than any entry is no trouble.
  EXPECT_EQ(ui.LoadStringResource(TEST_STRING_CAPTION, 0xFFFFFFFFu), kFullCaption);
}

TEST(Win32FileTitle, IsTheFileNameWithoutItsFolders) {
  Win32UserInterface ui;
  // Whether the extension shows is the system's setting.
  const std::string title = ui.FileTitle("c:\\gry\\orvella\\dane\\mapa01.dat").Data();
  EXPECT_TRUE(title == "mapa01.dat" || title == "mapa01") << title;
  const std::string bare = ui.FileTitle("readme.txt").Data();
  EXPECT_TRUE(bare == "readme.txt" || bare == "readme") << bare;
  EXPECT_EQ(ui.FileTitle(nullptr), "");
}

TEST(Win32FileTitle, RefusedNamesHaveNoTitle) {
  Win32UserInterface ui;
  EXPECT_EQ(ui.FileTitle("c:\\gry\\*.dat"), "");
  EXPECT_EQ(ui.FileTitle("c:\\gry\\"), "");
}

TEST(Win32Cursor, WaitCursorGivesBackThePreviousOne) {
  Win32UserInterface ui;
  HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR wait = ::LoadCursorA(nullptr, IDC_WAIT);
  ::SetCursor(arrow);
  const std::uintptr_t token = ui.ShowWaitCursor();
  EXPECT_EQ(token, reinterpret_cast<std::uintptr_t>(arrow));
  EXPECT_EQ(::GetCursor(), wait);
  ui.RestoreCursor(token);
  EXPECT_EQ(::GetCursor(), arrow);

  ::SetCursor(nullptr);
  EXPECT_EQ(ui.ShowWaitCursor(), 0u);
  EXPECT_EQ(::GetCursor(), wait);
  ui.RestoreCursor(reinterpret_cast<std::uintptr_t>(arrow));
}

TEST(Win32Screen, IsTheScreenInPixels) {
  Win32UserInterface ui;
  const ScreenSize screen = ui.Screen();
  HDC context = ::GetDC(nullptr);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(screen.width, ::GetDeviceCaps(context, HORZRES));
  EXPECT_EQ(screen.height, ::GetDeviceCaps(context, VERTRES));
  ::ReleaseDC(nullptr, context);
  EXPECT_GT(screen.width, 0);
  EXPECT_GT(screen.height, 0);
}

// --- Boxes that ask, answered by a helper thread as a person would

// Answers the box titled `title` of `thread` by pressing `button`, after telling whether the box has
// each of `expected_buttons` and none of `absent_buttons`.
struct BoxAnswerer {
  DWORD thread;
  std::string title;
  int button;
  std::vector<int> expected_buttons;
  std::vector<int> absent_buttons;
  bool buttons_as_expected = false;

  void operator()() {
    HWND box = AwaitThreadDialog(
        thread, [&](HWND window) { return WindowText(window) == title; }, title.c_str());
    buttons_as_expected = true;
    for (const int id : expected_buttons) {
      buttons_as_expected = buttons_as_expected && ::GetDlgItem(box, id) != nullptr;
    }
    for (const int id : absent_buttons) {
      buttons_as_expected = buttons_as_expected && ::GetDlgItem(box, id) == nullptr;
    }
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  }
};

TEST(Win32MessageBox, AnswerIsTheButtonPressed) {
  Win32UserInterface ui;
  BoxAnswerer answerer{::GetCurrentThreadId(), "Pytanie testu", IDNO, {IDYES, IDNO}, {IDOK, IDCANCEL}};
  std::thread person(std::ref(answerer));
  const std::int32_t answer =
      ui.ShowMessageBox(nullptr, "Czy chcesz kontynuowac?", "Pytanie testu", BOX_YES_NO | BOX_ICON_QUESTION);
  person.join();
  EXPECT_EQ(answer, ANSWER_NO);
  EXPECT_TRUE(answerer.buttons_as_expected);
}

TEST(Win32MessageBox, WorkerAsksOverAWindowOfThePumpingThread) {
  Win32UserInterface ui;
  OpenDialog owner(ui, TEST_DIALOG_PROGRESS, nullptr);
  ASSERT_NE(owner.Get(), nullptr);
  std::atomic<bool> done{false};
  std::int32_t answer = 0;
  DWORD worker_thread = 0;
  std::atomic<bool> started{false};
  std::thread worker([&] {
    worker_thread = ::GetCurrentThreadId();
    started = true;
    answer =
        ui.ShowMessageBox(owner.Get(), "Blad odczytu pliku.", "Blad testu", BOX_RETRY_CANCEL | BOX_ICON_STOP);
    done = true;
  });
  while (!started) {
    ::Sleep(1);
  }
  BoxAnswerer answerer{worker_thread, "Blad testu", IDRETRY, {IDRETRY, IDCANCEL}, {IDOK, IDABORT}};
  std::thread person(std::ref(answerer));
  const bool finished = PumpUntil(
      ui, [&] { return done.load(); }, 15000);
  person.join();
  worker.join();
  ASSERT_TRUE(finished);
  EXPECT_EQ(answer, ANSWER_RETRY);
  EXPECT_TRUE(answerer.buttons_as_expected);
}

struct TextSearch {
  const std::string* text;
  bool found;
};

BOOL CALLBACK MatchText(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<TextSearch*>(context);
  search->found = WindowText(child) == *search->text;
  return !search->found;
}

// The folder browser shows the title inside the dialog, not as its caption.
bool ShowsText(HWND dialog, const std::string& text) {
  TextSearch search{&text, false};
  ::EnumChildWindows(dialog, MatchText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(Win32FolderBrowser, CancelGivesNothing) {
  Win32UserInterface ui;
  const DWORD thread = ::GetCurrentThreadId();
  const std::string title = "Wybierz sciezke docelowa:";
  std::thread person([&] {
    HWND browser = AwaitThreadDialog(
        thread, [&](HWND window) { return ShowsText(window, title); }, "folder browser");
    ::PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  const std::optional<TextString> chosen = ui.BrowseForFolder(nullptr, title.c_str());
  person.join();
  EXPECT_FALSE(chosen.has_value());
}

}  // namespace
}  // namespace vtsetup::platform::win32::testing

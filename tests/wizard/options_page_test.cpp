#include "wizard/options_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wizard/page_test_machine.h"
#include "wizard/page_ids.h"

namespace vtsetup::wizard {
namespace {

// The four fields that the page writes, as one value to compare.
struct Fields {
  bool install_directx;
  bool readme;
  bool install_game;
  std::optional<std::string> group;
  bool operator==(const Fields&) const = default;
};

void PrintTo(const Fields& fields, std::ostream* out) {
  *out << "{directx " << fields.install_directx << ", readme " << fields.readme << ", game "
       << fields.install_game << ", group " << fields.group.value_or("(none)") << "}";
}

// The box's part of a page-shown line.
std::string Box(std::uint16_t id, bool checked, bool enabled = true) {
  const char* text = id == CONTROL_INSTALL_DIRECTX ? "Sprawdzenie DirectX"
                     : id == CONTROL_CREATE_GROUP  ? "Utworzenie grupy w menu Start"
                     : id == CONTROL_SHOW_README   ? "Wyświetlenie pliku CzytajTo"
                                                   : "Instalacja gry";
  return "checkbox " + std::to_string(id) + " \"" + text + "\"" + (checked ? " checked" : "") +
         (enabled ? "" : " disabled");
}

// The page-shown line: the buttons, the boxes in tab order, and 1028 only when it is visible.
std::string Shown(const std::string& directx, const std::string& group, const std::string& readme,
                  const std::string& game = "") {
  return "page 4 shown: button 1 \"&Dalej >>\"; button 2 \"&Anuluj\"; button 7 \"<< &Wstecz\"; " + directx +
         "; " + group + "; " + readme + "; text \"Opcje\"; picture 114" + (game.empty() ? "" : "; " + game);
}

class OptionsPageTest : public PageTestMachine {
 protected:
  OptionsPageTest() {
    info_.Options.InstallDirectX = true;
    info_.Options.Readme = true;
    info_.Options.InstallGame = false;
  }
  Fields Now() const {
    return {info_.Options.InstallDirectX, info_.Options.Readme, info_.Options.InstallGame,
            info_.GroupName ? std::optional<std::string>(info_.GroupName->Data()) : std::nullopt};
  }
  // Only the lines that show the page.
  std::vector<std::string> ShownLines() const {
    std::vector<std::string> shown;
    for (const std::string& line : PageLines()) {
      if (line.find(" shown: ") != std::string::npos) {
        shown.push_back(line);
      }
    }
    return shown;
  }
};

TEST_F(OptionsPageTest, WithoutAnInstalledGameTheGameBoxIsHiddenAndTheGameIsInstalled) {
  Answer(
      "page 4: press 1\n"
      "page 4: check 1028\n");  // a hidden box cannot be used: the visit ends in Escape
  OptionsPage page(Services(), choices_, result_);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_NEXT);
  EXPECT_EQ(Now(), (Fields{true, true, true, "Vantor\\Orvella"}));
  EXPECT_EQ(choices_.installed_game_path, "");

  info_.Options.InstallGame = false;
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_CANCEL);
  EXPECT_NE(errors_.str().find("control 1028 is hidden"), std::string::npos) << errors_.str();
  EXPECT_FALSE(info_.Options.InstallGame);
  const std::vector<std::string> shown = ShownLines();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], Shown(Box(1025, true), Box(1026, true), Box(1027, true)));
}

TEST_F(OptionsPageTest, OverAnInstalledGameTheUserMayKeepIt) {
  InstallGame();
  choices_.installed_game_path = "";
  Answer("page 4: uncheck 1028; press 1\n");
  OptionsPage page(Services(), choices_, result_);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_NEXT);
  EXPECT_EQ(Now(), (Fields{true, true, false, "Vantor\\Orvella"}));
  EXPECT_EQ(choices_.installed_game_path, "C:\\Gry\\Orvella\\orv.exe");
  const std::vector<std::string> lines = PageLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], Shown(Box(1025, true), Box(1026, true), Box(1027, true), Box(1028, true)));
  EXPECT_EQ(lines[1], "page 4: uncheck 1028");
}

TEST_F(OptionsPageTest, DirectXSwitchedOffByTheScriptIsClearedAndDisabledOnEveryShowing) {
  info_.Options.InstallDirectX = false;
  Answer(
      "page 4: press 7\n"
      "page 4: press 1\n"
      "page 4: check 1025\n");  // disabled: cannot be used
  OptionsPage page(Services(), choices_, result_);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_BACK);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_NEXT);
  EXPECT_FALSE(info_.Options.InstallDirectX);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_CANCEL);
  EXPECT_NE(errors_.str().find("control 1025 is disabled"), std::string::npos) << errors_.str();
  EXPECT_FALSE(info_.Options.InstallDirectX);
  const std::vector<std::string> shown = ShownLines();
  ASSERT_EQ(shown.size(), 3u);
  for (const std::string& line : shown) {
    EXPECT_EQ(line, Shown(Box(1025, false, false), Box(1026, true), Box(1027, true)));
  }
}

TEST_F(OptionsPageTest, TheReadmeClearedByTheUserIsNotShownLater) {
  Answer("page 4: uncheck 1027; press 1\n");
  OptionsPage page(Services(), choices_, result_);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_NEXT);
  EXPECT_EQ(Now(), (Fields{true, false, true, "Vantor\\Orvella"}));
}

TEST_F(OptionsPageTest, BackAndCancelLeaveEveryFieldAsItWasWhateverWasToggled) {
  InstallGame();
  Answer(
      "page 4: uncheck 1025; uncheck 1026; uncheck 1027; uncheck 1028; press 7\n"
      "page 4: uncheck 1025; uncheck 1026; uncheck 1027; uncheck 1028; press 2\n"
      "page 4: uncheck 1026; uncheck 1028; key escape\n"
      "page 4: press 7\n");
  OptionsPage page(Services(), choices_, result_);
  const Fields before = Now();
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_BACK);
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_CANCEL);
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_CANCEL);
  EXPECT_EQ(Now(), before);
  // No control of this page sends the start command, but were one to, it would save nothing either.
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page,
                  [&](platform::Window window) {
                    ui_->SetCheck(window, CONTROL_CREATE_GROUP, false);
                    ui_->SetCheck(window, CONTROL_INSTALL_DIRECTX, false);
                    page.OnCommand(window, PAGE_START, platform::NOTIFY_CLICKED);
                  }),
            PAGE_START);
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(errors_.str(), "");
  // Every showing sets the boxes from the unchanged fields: the group and the game checked again.
  const std::vector<std::string> shown = ShownLines();
  ASSERT_EQ(shown.size(), 4u);
  for (const std::string& line : shown) {
    EXPECT_EQ(line, Shown(Box(1025, true), Box(1026, true), Box(1027, true), Box(1028, true)));
  }
}

TEST_F(OptionsPageTest, WhatTheScriptOfferedIsFixedAtTheFirstShowing) {
  info_.Options.InstallDirectX = false;
  info_.Options.Readme = true;
  Answer(
      "page 4: press 7\n"
      "page 4: uncheck 1027; press 7\n"
      "page 4: press 7\n");
  OptionsPage page(Services(), choices_, result_);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_BACK);
  // The fields change after the first showing; the offer does not.
  info_.Options.InstallDirectX = true;
  info_.Options.Readme = false;
  // Still offered, so usable though unchecked now.
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_BACK);
  // A page of another run takes the offer anew from the fields.
  OptionsPage another_run(Services(), choices_, result_);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, another_run), PAGE_BACK);
  EXPECT_EQ(errors_.str(), "");
  const std::vector<std::string> shown = ShownLines();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], Shown(Box(1025, false, false), Box(1026, true), Box(1027, true)));
  EXPECT_EQ(shown[1], Shown(Box(1025, true, false), Box(1026, true), Box(1027, false)));
  EXPECT_EQ(shown[2], Shown(Box(1025, true), Box(1026, true), Box(1027, false, false)));
}

TEST_F(OptionsPageTest, TheGroupIsDroppedOnlyWhenItsBoxIsClearedAndTheUserGoesOn) {
  Answer(
      "page 4: press 1\n"
      "page 4: uncheck 1026; press 7\n"
      "page 4: uncheck 1026; press 1\n"
      "page 4: press 1\n");
  OptionsPage page(Services(), choices_, result_);
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_NEXT);
  EXPECT_EQ(info_.GroupName, std::optional<TextString>("Vantor\\Orvella"));
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_BACK);
  EXPECT_EQ(info_.GroupName, std::optional<TextString>("Vantor\\Orvella"));
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_NEXT);
  EXPECT_FALSE(info_.GroupName.has_value());
  // Once gone it stays gone, though the box is checked again.
  EXPECT_EQ(Visit(TEMPLATE_OPTIONS, page), PAGE_NEXT);
  EXPECT_FALSE(info_.GroupName.has_value());
  EXPECT_EQ(errors_.str(), "");
}

}  // namespace
}  // namespace vtsetup::wizard

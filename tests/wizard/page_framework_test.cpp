#include "wizard/page_framework.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/wizard/wizard_fixture.h"
#include "wizard/finished_page.h"
#include "wizard/progress_dialog.h"

namespace vtsetup::wizard {
namespace {

constexpr std::uintptr_t kArrow = 1;
constexpr std::uintptr_t kHourGlass = 2;

// A page that counts its showings and closings and otherwise follows the common rule, so the framework
// can be watched from inside a page.
class CountingPage final : public platform::DialogEvents {
 public:
  explicit CountingPage(PageResult& result) : result_(result) {}
  bool OnInit(platform::Window, void* parameter) override {
    ++shown;
    last_parameter = parameter;
    return true;
  }
  void OnCommand(platform::Window, std::uint16_t id, std::uint16_t) override { result_.StoreCommand(id); }
  void OnDestroy(platform::Window) override { ++destroyed; }

  int shown = 0;
  int destroyed = 0;
  void* last_parameter = nullptr;

 private:
  PageResult& result_;
};

class PageFrameworkTest : public WizardFixture {
 protected:
  void StartWithPages(const std::string& answers) {
    Start(answers);
    counting_ = std::make_unique<CountingPage>(framework_->Result());
    finished_ = std::make_unique<FinishedPage>(framework_->Result());
    for (const PageId page : {PAGE_WELCOME, PAGE_LICENCE, PAGE_INSTALL_TYPE, PAGE_OPTIONS, PAGE_README}) {
      framework_->SetPage(page, *counting_);
    }
    framework_->SetPage(PAGE_FINISHED, *finished_);
    framework_->SetPage(PAGE_FINISHED_RESTART, *finished_);
  }

  bool Recorded(const std::string& line) const {
    const std::vector<std::string> lines = machine_->TranscriptLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  std::unique_ptr<CountingPage> counting_;
  std::unique_ptr<FinishedPage> finished_;
};

TEST_F(PageFrameworkTest, FinishedPagesReportExitStartAndRestart) {
  StartWithPages(
      "page 5: press 1\n"
      "page 5: press 6\n"
      "page 5: key enter\n"
      "page 6: press 6\n"
      "page 6: press 1\n"
      "page 6: key escape\n");
  EXPECT_EQ(Visit(PAGE_FINISHED, nullptr), PAGE_NEXT);
  EXPECT_EQ(Visit(PAGE_FINISHED, nullptr), PAGE_START);
  EXPECT_EQ(Visit(PAGE_FINISHED, nullptr), PAGE_START);  // the default button there is the start button
  EXPECT_EQ(Visit(PAGE_FINISHED_RESTART, nullptr), PAGE_START);
  EXPECT_EQ(Visit(PAGE_FINISHED_RESTART, nullptr), PAGE_NEXT);
  EXPECT_EQ(Visit(PAGE_FINISHED_RESTART, nullptr), PAGE_CANCEL);
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(PageFrameworkTest, EnterAndEscapeReachThePageThroughThePump) {
  StartWithPages(
      "page 1: key enter\n"
      "page 3: key escape\n"
      "page 4: press 7\n");
  int parameter = 0;
  EXPECT_EQ(Visit(PAGE_WELCOME, &parameter), PAGE_NEXT);
  EXPECT_EQ(counting_->last_parameter, &parameter);
  // The type page has no cancel button, yet Escape cancels it.
  EXPECT_EQ(Visit(PAGE_INSTALL_TYPE, &parameter), PAGE_CANCEL);
  EXPECT_EQ(Visit(PAGE_OPTIONS, &parameter), PAGE_BACK);
  EXPECT_EQ(counting_->destroyed, 3);
}

TEST_F(PageFrameworkTest, ResultStaysUntilTheNextPageAndALaterCommandReplacesIt) {
  StartWithPages("page 2: press 7; press 1\n");
  ASSERT_TRUE(framework_->ShowPage(PAGE_LICENCE, nullptr));
  EXPECT_EQ(framework_->Result().Value(), PAGE_UNDECIDED);
  EXPECT_EQ(framework_->PollPageResult(), PAGE_NEXT);
  EXPECT_TRUE(Recorded("page 2: press 7"));
  framework_->ClosePage();
  EXPECT_EQ(framework_->Result().Value(), PAGE_NEXT);
  EXPECT_EQ(framework_->CurrentPage(), nullptr);
}

TEST_F(PageFrameworkTest, ShowingAnotherPageDestroysTheFirstAndForgetsItsResult) {
  StartWithPages("");
  ASSERT_TRUE(framework_->ShowPage(PAGE_WELCOME, nullptr));
  framework_->Result().Store(PAGE_NEXT);
  ASSERT_TRUE(framework_->ShowPage(PAGE_OPTIONS, nullptr));
  EXPECT_EQ(counting_->destroyed, 1);
  EXPECT_EQ(framework_->Result().Value(), PAGE_UNDECIDED);
  EXPECT_EQ(framework_->CurrentPageNumber(), PAGE_OPTIONS);

  // Seven and every number without a page close the page shown and make nothing.
  framework_->Result().Store(PAGE_BACK);
  EXPECT_FALSE(framework_->ShowPage(7, nullptr));
  EXPECT_EQ(counting_->destroyed, 2);
  EXPECT_EQ(framework_->CurrentPage(), nullptr);
  EXPECT_EQ(framework_->Result().Value(), PAGE_UNDECIDED);
  EXPECT_FALSE(framework_->ShowPage(9, nullptr));
  EXPECT_FALSE(framework_->ShowPage(0, nullptr));
  EXPECT_EQ(counting_->shown, 2);
}

TEST_F(PageFrameworkTest, TheWaitCursorShowsBetweenPagesOnly) {
  StartWithPages("page 1: press 1\n");
  background_->SetWaitCursor(true);  // as the entry does
  EXPECT_EQ(ui_->CurrentCursor(), kHourGlass);
  ASSERT_TRUE(framework_->ShowPage(PAGE_WELCOME, nullptr));
  EXPECT_EQ(ui_->CurrentCursor(), kArrow);
  EXPECT_EQ(framework_->PollPageResult(), PAGE_NEXT);
  EXPECT_EQ(ui_->CurrentCursor(), kArrow);
  framework_->ClosePage();
  EXPECT_EQ(ui_->CurrentCursor(), kHourGlass);
  background_->SetWaitCursor(false);
  EXPECT_EQ(ui_->CurrentCursor(), kArrow);
}

TEST_F(PageFrameworkTest, CopyingDialogSitsAtTheBackgroundWindowsCorner) {
  StartWithPages("");
  ASSERT_TRUE(progress_->OpenProgressDialog(TEMPLATE_COPYING, true));
  const platform::PixelRect place = ui_->WindowPlace(progress_->Window());
  EXPECT_EQ(place.left + place.width, 1004);
  EXPECT_EQ(place.top + place.height, 748);
  // The preparing dialog stays centred as its template says.
  ASSERT_TRUE(progress_->OpenProgressDialog(TEMPLATE_PREPARING, false));
  const platform::PixelRect centred = ui_->WindowPlace(progress_->Window());
  EXPECT_EQ(centred.left, (1024 - centred.width) / 2);
  EXPECT_EQ(centred.top, (768 - centred.height) / 2);
}

TEST_F(PageFrameworkTest, ProgressRangeAndPositionReachTheBarOnlyWhileADialogIsOpen) {
  StartWithPages("");
  EXPECT_EQ(progress_->SetProgressRange(100), 0u);
  progress_->SetProgressPos(30);
  ASSERT_TRUE(progress_->OpenProgressDialog(TEMPLATE_COPYING, true));
  EXPECT_EQ(progress_->SetProgressRange(100), 100u << 16);  // a new bar's range is 0 to 100
  progress_->SetProgressPos(50);
  progress_->CloseProgressDialog();
  progress_->SetProgressPos(60);
  EXPECT_EQ(progress_->Window(), nullptr);
  EXPECT_TRUE(Recorded("progress dialog 108 opened"));
  EXPECT_TRUE(Recorded("progress dialog 108: 50 of 100"));
  EXPECT_TRUE(Recorded("progress dialog 108 closed"));
  EXPECT_FALSE(Recorded("progress dialog 108: 60 of 100"));
  EXPECT_FALSE(Recorded("progress dialog 108: 30 of 100"));
}

TEST_F(PageFrameworkTest, ASecondProgressDialogGivesBackTheCursorFromBeforeTheFirst) {
  StartWithPages("");
  ASSERT_TRUE(progress_->OpenProgressDialog(TEMPLATE_PREPARING, false));
  EXPECT_EQ(ui_->DialogClassCursor(), kHourGlass);
  ASSERT_TRUE(progress_->OpenProgressDialog(TEMPLATE_COPYING, true));
  EXPECT_TRUE(Recorded("progress dialog 107 closed"));
  EXPECT_EQ(ui_->DialogClassCursor(), kHourGlass);
  progress_->CloseProgressDialog();
  EXPECT_EQ(ui_->DialogClassCursor(), kArrow);
  EXPECT_FALSE(progress_->OpenProgressDialog(999, false));
  EXPECT_EQ(ui_->DialogClassCursor(), kArrow);
}

TEST_F(PageFrameworkTest, ProgressDialogAndPageLiveSideBySide) {
  StartWithPages("page 8: key enter\n");
  ASSERT_TRUE(progress_->OpenProgressDialog(TEMPLATE_COPYING, true));
  EXPECT_EQ(Visit(PAGE_README, nullptr), PAGE_NEXT);
  EXPECT_NE(progress_->Window(), nullptr);
  EXPECT_FALSE(Recorded("progress dialog 108 closed"));
}

}  // namespace
}  // namespace vtsetup::wizard

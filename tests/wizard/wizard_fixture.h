#pragma once

#include <memory>
#include <string>

#include "app/background_window.h"
#include "app/dib.h"
#include "tests/wizard/page_test_machine.h"
#include "wizard/page_framework.h"
#include "wizard/progress_dialog.h"

namespace vtsetup::wizard {

// The wizard as the main sequence holds it: the background window over an empty picture, the page
// framework and the progress dialog, on the page tests' machine.
class WizardFixture : public PageTestMachine {
 protected:
  // Starts the user interface with the answers; the background window is made at `width` by `height`.
  void Start(const std::string& answers, std::int32_t width = 1024, std::int32_t height = 768) {
    Answer(answers);
    picture_ = std::make_unique<app::Dib>(machine_->System().Files(), machine_->System().Pictures());
    background_ = std::make_unique<app::BackgroundWindow>(*ui_, *picture_);
    ASSERT_TRUE(background_->CreateBackgroundWindow(width, height));
    framework_ = std::make_unique<PageFramework>(*ui_, *background_);
    progress_ = std::make_unique<ProgressDialog>(*ui_, *background_);
  }

  // Shows the page and polls as the main sequence does until the user decides, then closes it. A page
  // that never decides gives 0 after a bounded number of polls instead of hanging the test.
  std::uint16_t Visit(std::uint16_t page, void* parameter) {
    if (!framework_->ShowPage(page, parameter)) {
      return 0xFFFF;
    }
    std::uint16_t result = 0;
    for (int polls = 0; polls < 10000 && result == 0; ++polls) {
      result = framework_->PollPageResult();
    }
    framework_->ClosePage();
    return result;
  }

  std::unique_ptr<app::Dib> picture_;
  std::unique_ptr<app::BackgroundWindow> background_;
  std::unique_ptr<PageFramework> framework_;
  std::unique_ptr<ProgressDialog> progress_;
};

}  // namespace vtsetup::wizard

#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "app/background_window.h"
#include "app/dib.h"
#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "platform/host/ui/host_user_interface.h"
#include "resources/resource_types.h"
#include "tests/support/test_machine.h"
#include "wizard/page_framework.h"
#include "wizard/progress_dialog.h"

namespace vtsetup::testing {

// The wizard as the main sequence holds it, on a temporary host machine whose user answers from an
// answers text: the background window over an empty picture, the page framework and the progress
// dialog, with the transcript recorded.
class WizardFixture : public ::testing::Test {
 protected:
  explicit WizardFixture(const std::string& machine_ini = "") : machine_(machine_ini, true) {}

  // Starts the user interface with the answers; the background window is made at `width` by `height`.
  void Start(const std::string& answers, std::int32_t width = 1024, std::int32_t height = 768) {
    platform::host::AnswersRead read = platform::host::ParseAnswers(answers, "answers.txt");
    ASSERT_EQ(read.error, "");
    ui_ = std::make_unique<platform::host::HostUserInterface>(
        machine_.Machine(),
        platform::host::UiResources{resources::DialogTemplates(), resources::StringTable()},
        std::make_unique<platform::host::AnswersDriver>(std::move(read.lines), machine_.Machine().Record(),
                                                        errors_),
        snapshot_folder_);
    picture_ = std::make_unique<app::Dib>(machine_.System().Files(), machine_.System().Pictures());
    background_ = std::make_unique<app::BackgroundWindow>(*ui_, *picture_);
    ASSERT_TRUE(background_->CreateBackgroundWindow(width, height));
    framework_ = std::make_unique<wizard::PageFramework>(*ui_, *background_);
    progress_ = std::make_unique<wizard::ProgressDialog>(*ui_, *background_);
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

  TestMachine machine_;
  std::string snapshot_folder_;
  std::ostringstream errors_;
  std::unique_ptr<platform::host::HostUserInterface> ui_;
  std::unique_ptr<app::Dib> picture_;
  std::unique_ptr<app::BackgroundWindow> background_;
  std::unique_ptr<wizard::PageFramework> framework_;
  std::unique_ptr<wizard::ProgressDialog> progress_;
};

}  // namespace vtsetup::testing

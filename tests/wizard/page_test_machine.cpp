#include "tests/wizard/page_test_machine.h"

#include <filesystem>
#include <fstream>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "resources/resource_types.h"
#include "tests/support/earlier_installation.h"

namespace vtsetup::wizard {
namespace {

// More pumps than any page of these tests needs: the host acts once per pump.
constexpr int kPumpLimit = 10000;

}  // namespace

PageTestMachine::PageTestMachine() {
  info_.Company = "Vantor Software";
  info_.Product = "Orvella";
  info_.Version = "1.0";
  info_.Filename = "orv.exe";
  info_.GroupName = TextString("Vantor\\Orvella");
  choices_.source_folder = "C:\\Setup\\";
  UseMachine("");
}

void PageTestMachine::UseMachine(const std::string& machine_ini) {
  ui_.reset();
  machine_ = std::make_unique<testing::TestMachine>(machine_ini, true);
}

void PageTestMachine::Answer(const std::string& answers, std::span<const resources::StringEntry> strings) {
  platform::host::AnswersRead read = platform::host::ParseAnswers(answers, "answers.txt");
  ASSERT_EQ(read.error, "");
  ui_ = std::make_unique<platform::host::HostUserInterface>(
      machine_->Machine(), platform::host::UiResources{resources::DialogTemplates(), strings},
      std::make_unique<platform::host::AnswersDriver>(std::move(read.lines), machine_->Machine().Record(),
                                                      errors_),
      "");
}

PageServices PageTestMachine::Services() {
  platform::host::HostSystem& system = machine_->System();
  return PageServices{*ui_,           system.Files(),   system.Profiles(), system.LocalMachine(),
                      system.Disks(), system.Pictures()};
}

std::uint16_t PageTestMachine::Visit(std::uint16_t template_id, platform::DialogEvents& page,
                                     const std::function<void(platform::Window)>& inspect) {
  result_.Reset();
  const platform::Window window = ui_->CreateDialogWindow(template_id, nullptr, &page, &info_);
  EXPECT_NE(window, nullptr) << template_id;
  if (window == nullptr) {
    return result_.Value();
  }
  for (int polls = 0; polls < kPumpLimit && result_.Value() == PAGE_UNDECIDED; ++polls) {
    ui_->PumpOne(window);
  }
  if (inspect) {
    inspect(window);
  }
  ui_->DestroyWindow(window);
  return result_.Value();
}

void PageTestMachine::WriteFile(const std::string& windows_path, const std::string& bytes) {
  const std::filesystem::path host = machine_->Host(windows_path);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << bytes;
}

void PageTestMachine::InstallGame() {
  testing::RecordInstalledFolder(*machine_, testing::kInstalledGameFolder);
  testing::PlaceInstalledGame(*machine_);
}

std::vector<std::string> PageTestMachine::PageLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : machine_->TranscriptLines()) {
    if (line.rfind("page ", 0) == 0) {
      lines.push_back(line);
    }
  }
  return lines;
}

}  // namespace vtsetup::wizard

#include "tests/wizard/type_page_fixture.h"

#include <filesystem>
#include <fstream>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "wizard/install_type_page.h"
#include "wizard/page_ids.h"
#include "wizard/page_result.h"

namespace vtsetup::wizard {

TypePageTest::TypePageTest() {
  info_.Options.BitmapDir = "bitmaps";
  choices_.source_folder = "C:\\Medium\\";
  choices_.destination_base = "C:\\Program Files";
  choices_.destination_subfolder = "Vantor\\Orvella";
}

void TypePageTest::Start(const std::string& machine_ini, const std::string& answers,
                         std::span<const resources::StringEntry> strings) {
  machine_ = std::make_unique<testing::TestMachine>(machine_ini, true);
  platform::host::AnswersRead read = platform::host::ParseAnswers(answers, "answers.txt");
  ASSERT_EQ(read.error, "");
  ui_ = std::make_unique<platform::host::HostUserInterface>(
      machine_->Machine(), platform::host::UiResources{resources::DialogTemplates(), strings},
      std::make_unique<platform::host::AnswersDriver>(std::move(read.lines), machine_->Machine().Record(),
                                                      errors_),
      "");
  table_ = ScanDrives(machine_->System().Disks());
}

void TypePageTest::WriteDescriptions(const std::string& text) {
  const std::string file = machine_->Host("C:\\Medium\\bitmaps\\pl\\desc.dat");
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

void TypePageTest::AddType(std::uint32_t size,
                           std::initializer_list<std::pair<std::size_t, std::uint32_t>> entries) {
  PackInfo& type = info_.Packs.emplace_back();
  type.PackSizes.fill(size);
  for (const auto& [entry, value] : entries) {
    type.PackSizes[entry] = value;
  }
}

PageServices TypePageTest::Services() {
  platform::host::HostSystem& system = machine_->System();
  return {*ui_, system.Files(), system.Profiles(), system.LocalMachine(), system.Disks(), system.Pictures()};
}

std::uint16_t TypePageTest::Visit() {
  PageResult result;
  InstallTypePage page(Services(), table_, choices_, result);
  const platform::Window window = ui_->CreateDialogWindow(TEMPLATE_INSTALL_TYPE, nullptr, &page, &info_);
  EXPECT_NE(window, nullptr);
  // Bounded, so that a page that never decides fails the test instead of hanging it.
  for (int polls = 0; polls < 100000 && result.Value() == PAGE_UNDECIDED; ++polls) {
    ui_->PumpOne(window);
  }
  ui_->DestroyWindow(window);
  return result.Value();
}

std::vector<std::string> TypePageTest::PageLines() const {
  std::vector<std::string> pages;
  for (const std::string& line : Transcript()) {
    if (line.rfind("page 3 shown: ", 0) == 0) {
      pages.push_back(line);
    }
  }
  return pages;
}

std::string TypePageTest::Control(const std::string& page_line, const std::string& head) {
  const std::size_t start = page_line.find(head + " ");
  if (start == std::string::npos) {
    return "";
  }
  return page_line.substr(start, page_line.find("; ", start) - start);
}

}  // namespace vtsetup::wizard

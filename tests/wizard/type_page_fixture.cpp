#include "tests/wizard/type_page_fixture.h"

#include "wizard/install_type_page.h"
#include "wizard/page_ids.h"

namespace vtsetup::wizard {

TypePageTest::TypePageTest() {
  info_.Options.BitmapDir = "bitmaps";
  choices_.source_folder = "C:\\Medium\\";
  choices_.destination_base = "C:\\Program Files";
  choices_.destination_subfolder = "Vantor\\Orvella";
}

void TypePageTest::Start(const std::string& machine_ini, const std::string& answers,
                         std::span<const resources::StringEntry> strings) {
  UseMachine(machine_ini);
  Answer(answers, strings);
  table_ = ScanDrives(machine_->System().Disks());
}

void TypePageTest::WriteDescriptions(const std::string& text) {
  WriteFile("C:\\Medium\\bitmaps\\pl\\desc.dat", text);
}

void TypePageTest::AddType(std::uint32_t size,
                           std::initializer_list<std::pair<std::size_t, std::uint32_t>> entries) {
  PackInfo& type = info_.Packs.emplace_back();
  type.PackSizes.fill(size);
  for (const auto& [entry, value] : entries) {
    type.PackSizes[entry] = value;
  }
}

std::uint16_t TypePageTest::Visit() {
  InstallTypePage page(Services(), table_, choices_, result_);
  return PageTestMachine::Visit(TEMPLATE_INSTALL_TYPE, page);
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

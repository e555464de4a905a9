#include "tests/engine/copy_fixture.h"

#include "resources/resource_types.h"
#include "tests/support/random_bytes.h"
#include "tests/support/reference_crc.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {

namespace fs = std::filesystem;

std::optional<std::int32_t> ScriptedBoxes::MessageAnswer(const platform::host::MessageBoxView& box) {
  shown.push_back({box.style, box.text});
  if (answers.empty()) {
    return std::nullopt;
  }
  Answer next = std::move(answers.front());
  answers.pop_front();
  if (next.before) {
    next.before();
  }
  return next.answer;
}

std::string Filled(std::uint16_t id, const std::string& insertion) {
  std::string text = resources::FindString(id);
  const std::size_t place = text.find("%s");
  EXPECT_NE(place, std::string::npos) << id;
  return place == std::string::npos ? text : text.replace(place, 2, insertion);
}

CopyFixture::CopyFixture(const std::string& machine_ini)
    : machine_(machine_ini, true), faulty_(machine_.System().Files()) {
  auto driver = std::make_unique<ScriptedBoxes>();
  driver_ = driver.get();
  ui_ = std::make_unique<platform::host::HostUserInterface>(
      machine_.Machine(), platform::host::UiResources{resources::DialogTemplates(), resources::StringTable()},
      std::move(driver), "");
  messages_ = std::make_unique<app::Messages>(*ui_);
  fs::create_directories(Host("C:\\SRC"));
  fs::create_directories(Host("C:\\LOG"));
  fs::create_directories(Host("D:\\GAME"));
  log_ = std::make_unique<InstallLog>(machine_.System().Files(), trace_);
  EXPECT_EQ(log_->LogOpen("C:\\LOG\\dinstall.log", "dinstall.exe", true), LogResult::LOG_OK);
  progress_ = ui_->CreateDialogWindow(108, nullptr, nullptr, nullptr);
  EXPECT_NE(progress_, nullptr);
  context_ = std::make_unique<CopyContext>("D:\\GAME", "C:\\SRC", 0, progress_, 1008);
}

CopyFixture::~CopyFixture() {
  if (progress_ != nullptr) {
    ui_->DestroyWindow(progress_);
  }
}

void CopyFixture::WriteSource(const std::string& path, const std::vector<unsigned char>& bytes) {
  const fs::path host(Host("C:\\SRC\\" + path));
  fs::create_directories(host.parent_path());
  WriteBytes(host.string(), bytes);
}

FileEntry& CopyFixture::AddFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  WriteSource(path, bytes);
  FileEntry entry;
  entry.Path = path.c_str();
  entry.FileSize = static_cast<std::uint32_t>(bytes.size());
  entry.Crc = BitwiseCrc(0xFFFFFFFFu, bytes.data(), bytes.size());
  pack_.Files.push_back(entry);
  context_->TotalBytes += entry.FileSize;
  return pack_.Files.back();
}

FileEntry& CopyFixture::AddFile(const std::string& path, std::uint32_t size) {
  return AddFile(path, RandomBytes(size, static_cast<std::uint32_t>(pack_.Files.size() + 1)));
}

void CopyFixture::AddDir(const std::string& path) {
  PackDir dir;
  dir.Path = path.c_str();
  pack_.Dirs.push_back(dir);
}

WorkerStatus CopyFixture::Run() {
  const CopyServices services{faulty_, *ui_, *messages_, *log_, trace_};
  return CopyDirectory(services, *context_, pack_, "");
}

std::vector<unsigned char> CopyFixture::SourceBytes(const std::string& relative) const {
  return ReadBytes(Host("C:\\SRC\\" + relative));
}

std::vector<unsigned char> CopyFixture::DestBytes(const std::string& relative) const {
  return ReadBytes(DestHost(relative));
}

std::vector<std::string> CopyFixture::Logged() const {
  std::vector<std::string> logged;
  for (const std::string& line : trace_.lines) {
    if (line.ends_with(" logged.\r\n")) {
      logged.push_back(line.substr(0, line.size() - 2));
    }
  }
  return logged;
}

std::vector<std::string> CopyFixture::CopyTrace() const {
  std::vector<std::string> lines;
  for (const std::string& line : trace_.lines) {
    if (line.starts_with("Kopiere ") || line.starts_with("Lege Verzeichnis ")) {
      lines.push_back(line.substr(0, line.size() - 2));
    }
  }
  return lines;
}

std::vector<std::string> CopyFixture::Positions() const {
  std::vector<std::string> positions;
  const std::string prefix = "progress dialog 108: ";
  for (const std::string& line : machine_.TranscriptLines()) {
    if (line.starts_with(prefix)) {
      positions.push_back(line.substr(prefix.size()));
    }
  }
  return positions;
}

}  // namespace vtsetup::testing

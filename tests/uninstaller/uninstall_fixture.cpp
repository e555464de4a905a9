#include "tests/uninstaller/uninstall_fixture.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "platform/host/ui/host_user_interface.h"
#include "resources/dinstall_strings.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::uninstaller {

namespace fs = std::filesystem;

namespace {

constexpr char kBoxStart[] = "message box (style ";
constexpr char kTitle[] = ") \"Usuwanie gry\": \"";
constexpr char kOtherGameKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other Game";

}  // namespace

const std::vector<std::string>& UninstallTest::GameFiles() {
  static const std::vector<std::string> files = {"orv.exe", "dinstall.exe", "DATA\\level1.dat",
                                                 "DATA\\MAPS\\one.map", "DATA\\MAPS\\two.map"};
  return files;
}

void UninstallTest::Put(const std::string& windows_path, const std::string& bytes) {
  const fs::path host = machine_.Host(windows_path);
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << bytes;
}

void UninstallTest::PutFolder(const std::string& windows_path) {
  fs::create_directories(machine_.Host(windows_path));
}

bool UninstallTest::Exists(const std::string& windows_path) const {
  std::error_code error;
  return fs::exists(machine_.Host(windows_path), error);
}

bool UninstallTest::KeyExists(const std::string& path) {
  return machine_.System().LocalMachine().Open(path.c_str(), platform::RegistryAccess::Read).key != nullptr;
}

void UninstallTest::PutKey(const std::string& path, const char* value_name, const char* value) {
  const platform::KeyOpen root = machine_.System().LocalMachine().Open("", platform::RegistryAccess::Write);
  ASSERT_NE(root.key, nullptr) << root.error;
  const platform::KeyOpen key = root.key->Create(path.c_str());
  ASSERT_NE(key.key, nullptr) << path;
  if (value_name != nullptr) {
    ASSERT_EQ(key.key->SetString(value_name, value), platform::ERR_NONE) << path;
  }
}

std::vector<std::uint8_t> UninstallTest::LogBytes() const {
  const std::vector<unsigned char> bytes = testing::ReadBytes(machine_.Host(kLog));
  return {bytes.begin(), bytes.end()};
}

void UninstallTest::PutLog(const std::vector<unsigned char>& bytes, const std::string& windows_path) {
  Put(windows_path);
  testing::WriteBytes(machine_.Host(windows_path), bytes);
}

void UninstallTest::InstallOrvella(bool close_log, const std::function<void(InstallLog&)>& more) {
  platform::host::HostSystem& system = machine_.System();
  InstallLog log(system.Files(), debug_);
  Put(kNeighbour);
  PutFolder(kGame);
  ASSERT_EQ(log.LogOpen(kLog, "Orvella", false), LogResult::LOG_OK);
  log.LogDirectory(".");
  for (const char* folder : {"DATA\\", "DATA\\MAPS\\"}) {
    PutFolder(std::string(kGame) + "\\" + folder);
    log.LogDirectory(folder);
  }
  for (const std::string& file : GameFiles()) {
    Put(std::string(kGame) + "\\" + file);
    log.LogFile(file.c_str(), false);
  }
  if (more) {
    more(log);
  }
  PutFolder(kGroup);
  log.LogGroup("Orvella");
  Put(kGroupLink);
  log.LogShortcut("Orvella", "Orvella");
  log.LogFile(kGroupLink, true);
  Put(kDesktopLink);
  log.LogFile(kDesktopLink, true);
  if (other_game_) {
    PutKey(kOtherGameKey, "DisplayName", "Other Game");
  }
  PutKey(kUninstallKey, "DisplayName", "Orvella");
  PutKey(kUninstallKey, "UninstallString", "C:\\Gry\\Orvella\\dinstall.exe");
  log.LogKey((std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey).c_str());
  PutKey(kProgramKey, "", kGame);
  log.LogKey((std::string("HKEY_LOCAL_MACHINE\\") + kProgramKey + "\\").c_str());
  log.LogFile("dinstall.log", false);
  if (close_log) {
    ASSERT_EQ(log.LogClose(), LogResult::LOG_OK);
  }
  debug_.lines.clear();
}

void UninstallTest::ExpectAllGone() {
  for (const std::string& file : GameFiles()) {
    EXPECT_FALSE(Exists(std::string(kGame) + "\\" + file)) << file;
  }
  for (const char* gone : {kLog, kGame, kGroupLink, kGroup, kDesktopLink}) {
    EXPECT_FALSE(Exists(gone)) << gone;
  }
  EXPECT_TRUE(Exists(kPrograms));
  EXPECT_TRUE(Exists("C:\\Windows\\Desktop"));
  // The folder above the game holds another game, so it stays.
  EXPECT_TRUE(Exists(kNeighbour));
  EXPECT_FALSE(KeyExists(kUninstallKey));
  EXPECT_FALSE(KeyExists(kProgramKey));
  EXPECT_FALSE(KeyExists("SOFTWARE\\Vantor"));
  EXPECT_EQ(KeyExists(kOtherGameKey), other_game_);
}

void UninstallTest::ExpectAllThere() {
  for (const std::string& file : GameFiles()) {
    EXPECT_TRUE(Exists(std::string(kGame) + "\\" + file)) << file;
  }
  for (const char* there : {kLog, kGroupLink, kDesktopLink}) {
    EXPECT_TRUE(Exists(there)) << there;
  }
  EXPECT_TRUE(KeyExists(kUninstallKey));
  EXPECT_TRUE(KeyExists(kProgramKey));
}

UninstallServices UninstallTest::Services() {
  platform::host::HostSystem& system = machine_.System();
  return {system.Files(), system.LocalMachine(), system.Programs(), system.UserShell(), debug_};
}

std::int32_t UninstallTest::Run(const std::string& answers, const std::string& log_path) {
  platform::host::AnswersRead read = platform::host::ParseAnswers(answers, "answers.txt");
  EXPECT_EQ(read.error, "");
  platform::host::HostUserInterface ui(machine_.Machine(),
                                       platform::host::UiResources{{}, resources::DinstallStringTable()},
                                       std::make_unique<platform::host::AnswersDriver>(
                                           std::move(read.lines), machine_.Machine().Record(), errors_),
                                       "");
  return RunUninstall(Services(), log_path.c_str(), &ui);
}

std::int32_t UninstallTest::RunQuiet(const std::string& log_path) {
  return RunUninstall(Services(), log_path.c_str(), nullptr);
}

std::vector<std::string> UninstallTest::Boxes() const {
  return BoxesIn(machine_.TranscriptLines());
}

std::vector<std::string> UninstallTest::BoxesIn(const std::vector<std::string>& transcript) {
  std::vector<std::string> boxes;
  for (const std::string& line : transcript) {
    if (!line.starts_with(kBoxStart)) {
      continue;
    }
    const std::size_t title = line.find(kTitle);
    EXPECT_NE(title, std::string::npos) << line;
    if (title == std::string::npos) {
      boxes.push_back(line);
      continue;
    }
    const std::string style = line.substr(sizeof kBoxStart - 1, title - (sizeof kBoxStart - 1));
    const std::string rest = line.substr(title + sizeof kTitle - 1);
    const std::size_t text_end = rest.rfind("\" -> ");
    const std::size_t answer_name = rest.rfind('(');
    boxes.push_back(style + ": " + rest.substr(0, text_end) + " -> " +
                    rest.substr(answer_name + 1, rest.size() - answer_name - 2));
  }
  return boxes;
}

}  // namespace vtsetup::uninstaller

#include "tests/e2e/setup_fixture.h"

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/host/files/drive_quotas.h"
#include "platform/host/files/host_file_system.h"
#include "platform/host/machine/machine.h"
#include "platform/host/processes/host_processes.h"
#include "platform/host/registry/host_registry.h"
#include "platform/processes.h"
#include "tests/support/scoped_variable.h"

namespace vtsetup::testing {

namespace fs = std::filesystem;

namespace {

// Lives as long as the test program, so the medium is laid out once for all tests.
struct SharedMedium {
  TempDir dir;
  fs::path medium = dir.Path() / "medium";
  bool made = false;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

}  // namespace

const fs::path& SetupRunTest::ExampleMedium() {
  static const std::unique_ptr<SharedMedium> shared = [] {
    auto made = std::make_unique<SharedMedium>();
    const std::string command = std::string("bash ") + Quoted(VT_BUILD_MEDIUM) + " --tools " +
                                Quoted(VT_MEDIUM_TOOLS) + " " + Quoted(made->medium.string()) +
                                " >/dev/null 2>" + Quoted(made->dir.File("build-medium.err"));
    made->made = std::system(command.c_str()) == 0 && fs::exists(made->medium / "setup");
    return made;
  }();
  EXPECT_TRUE(shared->made) << ReadText(shared->dir.File("build-medium.err"));
  return shared->medium;
}

fs::path SetupRunTest::OwnMedium() {
  medium_ = dir_.Path() / "medium";
  fs::remove_all(medium_);
  fs::copy(ExampleMedium(), medium_, fs::copy_options::recursive);
  return medium_;
}

void SetupRunTest::PrepareMachine() {
  if (machine_made_) {
    return;
  }
  machine_made_ = true;
  if (medium_.empty()) {
    medium_ = ExampleMedium();
  }
  fs::create_directories(MachineRoot());
  std::ofstream(MachineRoot() / "machine.ini")
      << "[Drive C]\nFolder = drive_c\nType = fixed\n"
      << drive_c_settings_ << "\n[Drive D]\nFolder = " << medium_.string()
      << "\nType = cdrom\n\n[Drive Z]\nFolder = /\nType = remote\n\n"
      << extra_settings_;
}

SetupRunTest::Run SetupRunTest::RunSetup(const std::string& answers) {
  PrepareMachine();
  WriteText(dir_.File("answers.txt"), answers);
  // Built by appending: a literal added to a temporary string trips a false warning of GCC 12 at -O3.
  std::string command = "cd ";
  command += Quoted(dir_.Path().string());
  command += " && env VTSETUP_MACHINE=";
  command += Quoted(MachineRoot().string());
  command += " VTSETUP_ANSWERS=";
  command += Quoted(dir_.File("answers.txt"));
  command += " VTSETUP_TRANSCRIPT=";
  command += Quoted(dir_.File("transcript.txt"));
  for (const std::string& assignment : environment_) {
    command += ' ';
    command += Quoted(assignment);
  }
  command += ' ';
  command += Quoted((medium_ / "setup").string());
  command += " </dev/null >";
  command += Quoted(dir_.File("out"));
  command += " 2>";
  command += Quoted(dir_.File("err"));
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir_.File("out")),
          ReadText(dir_.File("err"))};
}

SetupRunTest::Run SetupRunTest::StartAndWait(const std::string& command_line, const std::string& answers) {
  PrepareMachine();
  const std::string transcript = dir_.File("started-transcript.txt");
  fs::remove(transcript);
  WriteText(dir_.File("started-answers.txt"), answers);
  const platform::host::MachineOpen open =
      platform::host::Machine::Open(MachineRoot().string(), platform::host::Transcript(""));
  if (!open.machine) {
    return {-1, "", open.error};
  }
  // The started program takes its machine, answers and record from the environment it inherits.
  const ScopedVariable machine("VTSETUP_MACHINE", MachineRoot().string());
  const ScopedVariable answers_file("VTSETUP_ANSWERS", dir_.File("started-answers.txt"));
  const ScopedVariable record("VTSETUP_TRANSCRIPT", transcript);
  platform::host::DriveQuotas quotas(*open.machine);
  platform::host::HostFileSystem files(*open.machine, quotas);
  platform::host::HostProcesses processes(*open.machine, files);
  const std::uint32_t started = processes.Start(command_line.c_str(), platform::SHOW_NORMAL);
  if (started <= 31) {
    return {-1, "", "the command did not start: " + std::to_string(started)};
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream in(transcript);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("exit code ")) {
        return {std::atoi(line.c_str() + 10), "", ""};
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {-1, "", "the program did not end within a minute"};
}

bool SetupRunTest::WaitForTranscriptLines(const std::string& start, std::size_t count) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::vector<std::string> lines = Transcript();
    if (static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
          return line.starts_with(start);
        })) >= count) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::string SetupRunTest::UninstallString(const std::string& program) const {
  platform::host::HostRegistry registry((MachineRoot() / "registry.reg").string());
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + program;
  const platform::KeyOpen open = registry.Open(key.c_str(), platform::RegistryAccess::Read);
  if (!open.key) {
    return "";
  }
  const platform::ValueRead read = open.key->QueryString("UninstallString", 1024);
  return read.error == platform::ERR_NONE ? std::string(read.value.Data()) : "";
}

MachineState SetupRunTest::FreshMachineState() {
  PrepareMachine();
  // Opening the machine gives it what every machine has before a program runs on it.
  if (!platform::host::Machine::Open(MachineRoot().string(), platform::host::Transcript("")).machine) {
    ADD_FAILURE() << "the machine in " << MachineRoot() << " cannot be opened";
  }
  return CurrentMachineState();
}

MachineState SetupRunTest::CurrentMachineState() const {
  MachineState state;
  std::error_code error;
  for (auto entry = fs::recursive_directory_iterator(MachineRoot(), error);
       !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
    const std::string relative = fs::relative(entry->path(), MachineRoot()).string();
    state[relative] = entry->is_directory() ? std::string("<folder>") : ReadText(entry->path().string());
  }
  return state;
}

std::vector<std::string> SetupRunTest::Transcript() const {
  std::vector<std::string> lines;
  std::ifstream in(dir_.File("transcript.txt"));
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

bool SetupRunTest::TranscriptHas(const std::string& line) const {
  const std::vector<std::string> lines = Transcript();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool SetupRunTest::TranscriptHasLineStarting(const std::string& start) const {
  const std::vector<std::string> lines = Transcript();
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.starts_with(start); });
}

std::string SetupRunTest::Registry() const {
  return ReadText((MachineRoot() / "registry.reg").string());
}

fs::path SetupRunTest::OnDriveC(const std::string& windows_path) const {
  std::string rest = windows_path.substr(windows_path.rfind(':') + 1);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return fs::path(MachineRoot().string() + "/drive_c" + rest);
}

WalkedLog SetupRunTest::InstalledLog(const std::string& destination) const {
  return WalkInstallLog(ReadBytes((OnDriveC(destination) / "dinstall.log").string()));
}

}  // namespace vtsetup::testing

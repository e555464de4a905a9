#include "tests/e2e/setup_fixture.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>

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

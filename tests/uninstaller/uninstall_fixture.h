#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "integration/install_log.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_machine.h"
#include "uninstaller/uninstall_run.h"

namespace vtsetup::uninstaller {

// A host machine with a transcript on which "Orvella" was installed into C:\Gry\Orvella as the setup
// installs it, with its log written by the setup's own writer, and the uninstaller run over it in this
// process.
class UninstallTest : public ::testing::Test {
 protected:
  static constexpr char kGame[] = "C:\\Gry\\Orvella";
  // Another game beside ours in the same folder, which the setup did not make.
  static constexpr char kNeighbour[] = "C:\\Gry\\Inna\\gra.exe";
  static constexpr char kLog[] = "C:\\Gry\\Orvella\\dinstall.log";
  static constexpr char kPrograms[] = "C:\\Windows\\Start Menu\\Programs";
  static constexpr char kGroup[] = "C:\\Windows\\Start Menu\\Programs\\Orvella";
  static constexpr char kGroupLink[] = "C:\\Windows\\Start Menu\\Programs\\Orvella\\Orvella.LNK";
  static constexpr char kDesktopLink[] = "C:\\Windows\\Desktop\\Orvella.LNK";
  static constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvella";
  static constexpr char kProgramKey[] = "SOFTWARE\\Vantor\\Orvella\\1.0";

  // The game's files, folders, shortcuts and keys, and the log that names them in the order the setup
  // makes them; closed unless asked otherwise. Another program's uninstall entry lies beside ours.
  // `more` logs more records after the game's files.
  void InstallOrvella(bool close_log = true, const std::function<void(InstallLog&)>& more = {});
  // The files of the game's folder, each relative to it, in the order the setup logs them.
  static const std::vector<std::string>& GameFiles();

  void Put(const std::string& windows_path, const std::string& bytes = "data");
  void PutFolder(const std::string& windows_path);
  bool Exists(const std::string& windows_path) const;
  bool KeyExists(const std::string& path);
  void PutKey(const std::string& path, const char* value_name = nullptr, const char* value = "x");
  std::vector<std::uint8_t> LogBytes() const;
  void PutLog(const std::vector<unsigned char>& bytes, const std::string& windows_path = kLog);
  // Whether nothing of the installation is left, the unrelated uninstall entry aside.
  void ExpectAllGone();
  // Whether everything of the installation is still there.
  void ExpectAllThere();

  UninstallServices Services();
  // A run with a user interface that the answers text answers.
  std::int32_t Run(const std::string& answers, const std::string& log_path = kLog);
  // A run with no user interface: the quiet run.
  std::int32_t RunQuiet(const std::string& log_path = kLog);
  // The transcript's message boxes: "style S: TEXT -> ANSWER" with the text in UTF-8, line breaks
  // escaped as "\r\n"; every box's title is checked to be the uninstaller's.
  std::vector<std::string> Boxes() const;
  static std::vector<std::string> BoxesIn(const std::vector<std::string>& transcript);

  // Whether the installation finds another program's uninstall entry on the machine.
  bool other_game_ = true;
  testing::TestMachine machine_{"", true};
  testing::RecordingSink debug_;
  std::ostringstream errors_;
};

}  // namespace vtsetup::uninstaller

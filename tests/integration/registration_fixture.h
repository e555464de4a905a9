#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/messages.h"
#include "integration/install_log.h"
#include "integration/registration.h"
#include "platform/host/ui/host_user_interface.h"
#include "setupdb/setup_info.h"
#include "tests/integration/faulty_registry.h"
#include "tests/support/log_layout.h"
#include "tests/support/recording_sink.h"
#include "tests/support/shell_link_reader.h"
#include "tests/support/test_machine.h"

namespace vtsetup::testing {

// "Orvella" by "Vantor Software" installed into a folder with a blank in its path from a medium in
// C:\Setup\, on a default machine with a transcript: Start menu and desktop under C:\Windows, nobody at
// the keyboard, the install log open in the destination. The database asks for the uninstaller and
// has one pack with a shortcut of each kind.
class RegistrationFixture : public ::testing::Test {
 protected:
  static constexpr char kDestination[] = "C:\\Program Files\\Orvella";
  static constexpr char kSetupFolder[] = "C:\\Setup\\";
  static constexpr char kGroupFolder[] = "C:\\Windows\\Start Menu\\Programs\\Orvella";
  static constexpr char kDesktop[] = "C:\\Windows\\Desktop";
  // "Usunięcie Orvella" in code page 1250.
  static constexpr char kUninstallLinkName[] =
      "Usuni\xEA"
      "cie Orvella";

  RegistrationFixture();

  ShortcutServices& Shortcuts() { return services_.shortcuts; }
  std::int32_t Register(const char* destination = kDestination, std::uint32_t chosen_type = 0) {
    return RegisterInstallation(services_, info_, destination, kSetupFolder, chosen_type, log_);
  }

  std::string Host(const std::string& windows_path) const { return machine_.Host(windows_path); }
  bool Exists(const std::string& windows_path) const;
  ParsedLink Link(const std::string& windows_path) const;
  // A value as the registry gives it back; "<missing>" when the key or the value is not there.
  std::string RegistryValue(const std::string& key, const char* name);
  // Closes the log and gives its bytes.
  std::vector<unsigned char> ClosedLog();
  // The header of the log, which every expected log starts with.
  static LogLayout ExpectedLog() { return LogHeader("Orvella"); }
  // The trace lines other than the install log's own.
  std::vector<std::string> OtherTrace() const;

  TestMachine machine_{"", true};
  RecordingSink trace_;
  std::unique_ptr<platform::host::HostUserInterface> ui_;
  app::Messages messages_;
  InstallLog log_{machine_.System().Files(), trace_};
  // The machine's registry, passing every call until a test refuses some.
  FaultyRegistry registry_{machine_.System().LocalMachine()};
  RegistrationServices services_;
  SetupInfo info_;
};

}  // namespace vtsetup::testing

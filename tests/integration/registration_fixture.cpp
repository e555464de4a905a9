#include "tests/integration/registration_fixture.h"

#include <filesystem>
#include <string_view>

#include "resources/resource_types.h"
#include "tests/support/absent_user.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

std::unique_ptr<platform::host::HostUserInterface> NobodyAtTheKeyboard(
    const platform::host::Machine& machine) {
  return std::make_unique<platform::host::HostUserInterface>(
      machine, platform::host::UiResources{resources::DialogTemplates(), resources::StringTable()},
      std::make_unique<AbsentUser>(), "");
}

// The library only hands the owner on to the windows it makes; the stub records whether it got one.
platform::Window StandInWindow() {
  static int window;
  return reinterpret_cast<platform::Window>(&window);
}

}  // namespace

RegistrationFixture::RegistrationFixture()
    : ui_(NobodyAtTheKeyboard(machine_.Machine())),
      messages_(*ui_),
      services_{{machine_.System().UserShell(), machine_.System().Profiles(), machine_.System().Files(), *ui_,
                 trace_},
                registry_,
                machine_.System().Modules(),
                messages_,
                StandInWindow()} {
  std::filesystem::create_directories(Host(kDestination));
  EXPECT_EQ(log_.LogOpen((std::string(kDestination) + "\\dinstall.log").c_str(), "Orvella", false),
            LogResult::LOG_OK);

  info_.PrgName = "Orvella";
  info_.GroupName = TextString("Orvella");
  info_.Company = "Vantor Software";
  info_.Product = "Orvella";
  info_.Version = "1.0";
  info_.Options.Uninstall = true;
  info_.Options.UninstallPrg = "dinstall.exe";
  info_.Options.DirectXDir = "DirectX";
  PackInfo pack;
  pack.Shortcuts = {ShortcutEntry{0, "Orvella", "Orvella.exe"},
                    ShortcutEntry{0, "Czytaj", "DOC\\README.TXT"}};
  pack.DesktopShortcuts = {ShortcutEntry{0, "Orvella", "Orvella.exe"}};
  pack.InternetShortcuts = {ShortcutEntry{0, "Vantor w sieci", "http://www.vantor.example/orvella"}};
  info_.Packs.push_back(pack);
}

bool RegistrationFixture::Exists(const std::string& windows_path) const {
  return std::filesystem::exists(Host(windows_path));
}

ParsedLink RegistrationFixture::Link(const std::string& windows_path) const {
  return ParseLink(ReadBytes(Host(windows_path)));
}

std::string RegistrationFixture::RegistryValue(const std::string& key, const char* name) {
  const platform::KeyOpen opened =
      machine_.System().LocalMachine().Open(key.c_str(), platform::RegistryAccess::Read);
  if (opened.key == nullptr) {
    return "<missing>";
  }
  const platform::ValueRead read = opened.key->QueryString(name, 1000);
  return read.error == platform::ERR_NONE ? std::string(read.value.Data(), read.value.Length()) : "<missing>";
}

std::vector<unsigned char> RegistrationFixture::ClosedLog() {
  EXPECT_EQ(log_.LogClose(), LogResult::LOG_OK);
  return ReadBytes(Host(std::string(kDestination) + "\\dinstall.log"));
}

std::vector<std::string> RegistrationFixture::OtherTrace() const {
  std::vector<std::string> other;
  for (const std::string& line : trace_.lines) {
    if (!std::string_view(line).ends_with(" logged.\r\n")) {
      other.push_back(line);
    }
  }
  return other;
}

}  // namespace vtsetup::testing

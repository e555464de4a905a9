#include "integration/registration.h"

#include "integration/directx_setup.h"
#include "integration/joined_path.h"
#include "integration/windows_keys.h"

namespace vtsetup {
namespace {

using platform::ERR_NONE;
using platform::KeyOpen;
using platform::RegistryAccess;

using windows_keys::kUninstallList;
using windows_keys::kUninstallListNt;
constexpr char kSoftware[] = "SOFTWARE\\";
// The uninstaller removes the entry by this name, whichever of the two lists holds it.
constexpr char kLoggedUninstallList[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kLoggedSoftware[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";

constexpr char kDisplayName[] = "DisplayName";
constexpr char kUninstallString[] = "UninstallString";

bool WriteUninstallEntry(platform::Registry& registry, const SetupInfo& info,
                         const char* destination_folder) {
  KeyOpen list = registry.Open(kUninstallList, RegistryAccess::Write);
  if (list.key == nullptr) {
    list = registry.Open(kUninstallListNt, RegistryAccess::Write);
  }
  if (list.key == nullptr) {
    return false;
  }
  const KeyOpen entry = list.key->Create(info.PrgName.Data());
  // The uninstaller's path in double quotes: unquoted, Windows would try every prefix that ends at a
  // blank, starting with "C:\Program.exe" for a game in "C:\Program Files".
  return entry.key != nullptr && entry.key->SetString(kDisplayName, info.PrgName.Data()) == ERR_NONE &&
         entry.key->SetString(kUninstallString,
                              QuotedPath(destination_folder, info.Options.UninstallPrg.Data()).Data()) ==
             ERR_NONE;
}

// Where the game went, for later setups and the running-game check. Not being able to say so costs
// the user nothing now, so failures are silent; the record is logged once SOFTWARE could be opened,
// since the key may have been made part way.
void WriteProgramKey(platform::Registry& registry, const SetupInfo& info, const char* destination_folder,
                     InstallLog& log) {
  const KeyOpen software = registry.Open(kSoftware, RegistryAccess::Write);
  if (software.key == nullptr) {
    return;
  }
  TextString program_key;
  program_key.Format("%s\\%s\\%s\\", info.Company.Data(), info.Product.Data(), info.Version.Data());
  if (const KeyOpen key = software.key->Create(program_key.Data()); key.key != nullptr) {
    key.key->SetString(nullptr, destination_folder);
  }
  TextString logged(kLoggedSoftware);
  logged.Append(program_key);
  log.LogKey(logged.Data());
}

}  // namespace

std::int32_t RegisterInstallation(RegistrationServices& services, SetupInfo& info,
                                  const char* destination_folder, const char* setup_folder,
                                  std::uint32_t chosen_type, InstallLog& log) {
  const PackInfo* pack = chosen_type < info.Packs.size() ? &info.Packs[chosen_type] : nullptr;
  MakeShortcuts(services.shortcuts, info, pack, destination_folder, log);

  if (info.Options.Uninstall) {
    if (!WriteUninstallEntry(services.registry, info, destination_folder)) {
      return REGISTER_UNINSTALL_ENTRY_FAILED;
    }
    TextString logged(kLoggedUninstallList);
    logged.Append(info.PrgName);
    log.LogKey(logged.Data());
    WriteProgramKey(services.registry, info, destination_folder, log);
  }

  if (info.Options.InstallDirectX) {
    return RunDirectXSetup(services.libraries, services.messages, services.background_window, setup_folder,
                           info.Options.DirectXDir.Data());
  }
  return REGISTER_DONE;
}

}  // namespace vtsetup

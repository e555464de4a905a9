#include "uninstaller/dinstall_entry.h"

#include <cstdio>

#include "uninstaller/dinstall_options.h"
#include "uninstaller/uninstall_run.h"

namespace vtsetup::uninstaller {

std::int32_t DinstallEntry(platform::System& system) {
  platform::FileSystem& files = system.Files();
  const DinstallOptions options =
      ReadDinstallOptions(system.Programs().CommandLine().Data(), files.ModulePath());
  platform::UserInterface* ui = nullptr;
  if (!options.quiet) {
    ui = system.Ui();
    if (ui == nullptr) {
      std::fprintf(stderr, "dinstall: %s\n", system.UiProblem().c_str());
      return platform::EXIT_SYSTEM_UNUSABLE;
    }
  }
  if (!options.unexpected.IsEmpty()) {
    std::fprintf(stderr, "dinstall: cannot use %s; usage: dinstall [LOGPATH] [-quiet]\n",
                 options.unexpected.Data());
    return ui != nullptr ? ReportUnusableCommandLine(options.unexpected, *ui) : EXIT_LOG_UNUSABLE;
  }
  const UninstallServices services{files, system.LocalMachine(), system.Programs(), system.UserShell(),
                                   system.Debug()};
  return RunUninstall(services, options.log_path, ui);
}

}  // namespace vtsetup::uninstaller

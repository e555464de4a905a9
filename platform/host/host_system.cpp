#include "platform/host/host_system.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/host/ui/ui_driver_choice.h"
#include "resources/program_resources.h"

namespace vtsetup::platform {
namespace {

host::Machine& TheMachine() {
  static const std::unique_ptr<host::Machine> machine = [] {
    const char* transcript = std::getenv("VTSETUP_TRANSCRIPT");
    host::MachineOpen open = host::Machine::Open(host::Machine::DefaultRoot(),
                                                 host::Transcript(transcript != nullptr ? transcript : ""));
    if (!open.machine) {
      // Without its machine a host run has no drives to work on; the one honest thing is to stop.
      std::fprintf(stderr, "vtsetup: %s\n", open.error.c_str());
      std::exit(EXIT_SYSTEM_UNUSABLE);
    }
    return std::move(open.machine);
  }();
  return *machine;
}

}  // namespace

namespace host {

UserInterface* HostSystem::Ui() {
  std::call_once(ui_made_, [&] {
    UiDriverChoice choice = MakeUiDriver(machine_.Record());
    if (!choice.driver) {
      ui_problem_ = std::move(choice.error);
      return;
    }
    const char* snapshots = std::getenv("VTSETUP_SNAPSHOTS");
    const resources::ProgramResources& shown = resources::ThisProgramResources();
    ui_ =
        std::make_unique<HostUserInterface>(machine_, UiResources{shown.dialogs, shown.strings},
                                            std::move(choice.driver), snapshots != nullptr ? snapshots : "");
  });
  return ui_.get();
}

std::string HostSystem::UiProblem() {
  Ui();  // the problem is known once the attempt was made
  return ui_problem_;
}

}  // namespace host

System& TheSystem() {
  static host::HostSystem system(TheMachine());
  return system;
}

bool IsTerminal(StandardStream stream) {
  return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace vtsetup::platform

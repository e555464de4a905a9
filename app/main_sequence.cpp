#include "app/main_sequence.h"

#include "app/start_up.h"
#include "engine/destination_path.h"
#include "engine/temp_files.h"
#include "engine/workers.h"
#include "integration/install_log_format.h"
#include "integration/joined_path.h"
#include "integration/registration.h"
#include "wizard/page_ids.h"

namespace vtsetup::app {
namespace {

using namespace wizard;

constexpr const char* kLogName = install_log_format::kLogFileName;
constexpr std::uint32_t kPauseMilliseconds = 1000;
// An answer of the system's program start at or above this means the program started.
constexpr std::uint32_t kStarted = 31;

PageServices ServicesOf(SetupRun& run) {
  platform::System& system = run.system;
  return {run.ui,         system.Files(),   system.Profiles(), system.LocalMachine(),
          system.Disks(), system.Pictures()};
}

}  // namespace

MainSequence::MainSequence(SetupRun& run)
    : run_(run),
      log_(run.system.Files(), run.system.Debug()),
      welcome_(ServicesOf(run), run.choices, run.pages.Result()),
      licence_(LicencePage(ServicesOf(run), run.choices, run.pages.Result())),
      install_type_(ServicesOf(run), run.drives, run.choices, run.pages.Result()),
      options_(ServicesOf(run), run.choices, run.pages.Result()),
      readme_(ReadmePage(ServicesOf(run), run.choices, run.pages.Result())),
      finished_(run.pages.Result()) {
  run.pages.SetPage(PAGE_WELCOME, welcome_);
  run.pages.SetPage(PAGE_LICENCE, licence_);
  run.pages.SetPage(PAGE_INSTALL_TYPE, install_type_);
  run.pages.SetPage(PAGE_OPTIONS, options_);
  run.pages.SetPage(PAGE_README, readme_);
  run.pages.SetPage(PAGE_FINISHED, finished_);
  run.pages.SetPage(PAGE_FINISHED_RESTART, finished_);
}

std::uint16_t MainSequence::DecidePage(std::uint16_t page, void* parameter) {
  if (!run_.pages.ShowPage(page, parameter)) {
    return PAGE_CANCEL;
  }
  while (run_.pages.PollPageResult() == PAGE_UNDECIDED) {
  }
  return run_.pages.PollPageResult();
}

void MainSequence::PauseOneSecond() {
  platform::Processes& processes = run_.system.Programs();
  const std::uint32_t start = processes.TickCount();
  // The tick count wraps; the unsigned difference does not mind. A short sleep per look keeps the
  // processor free for others without making the pause any shorter.
  while (processes.TickCount() - start < kPauseMilliseconds) {
    processes.Sleep(1);
  }
}

bool MainSequence::RunWizard(SetupInfo& info, TextString& destination_folder, std::uint32_t& chosen_type) {
  constexpr std::uint16_t kSequence[] = {PAGE_WELCOME, PAGE_LICENCE, PAGE_INSTALL_TYPE, PAGE_OPTIONS};
  constexpr std::size_t kLast = std::size(kSequence) - 1;
  std::size_t position = 0;
  for (bool done = false; !done;) {
    switch (DecidePage(kSequence[position], &info)) {
      case PAGE_NEXT:
        if (position < kLast) {
          ++position;
        } else {
          done = true;
        }
        break;
      case PAGE_CANCEL:
        // The page stays: the process ends soon after.
        return false;
      case PAGE_START:
        if (position == 0) {
          const TextString& game = run_.choices.installed_game_path;
          // Quoted, as every program the setup starts: blanks in a path (a game below "Program Files") must
          // never make the system try the part before the first blank as a program of its own.
          TextString command("\"");
          command.Append(game);
          command.Append('"');
          if (run_.system.Programs().Start(command.Data(), platform::SHOW_DEFAULT) >= kStarted) {
            return false;
          }
          run_.messages.ShowMessage(MESSAGE_GAME_NOT_STARTED, game.Data(),
                                    platform::BOX_OK | platform::BOX_ICON_STOP);
        }
        break;
      case PAGE_BACK:
        if (position > 0) {
          --position;
        }
        break;
      default:
        break;
    }
  }
  run_.pages.ClosePage();
  destination_folder = JoinedPath(run_.choices.destination_base, run_.choices.destination_subfolder.Data());
  chosen_type = run_.choices.chosen_type;
  return true;
}

bool MainSequence::CleanUpSetup(SetupInfo& info, const TextString& /*destination_folder*/,
                                const TextString& temp_folder) {
  DeleteTempFiles(run_.system.Files(), run_.messages, info, temp_folder);
  run_.background.UnregisterBackgroundClass();
  return true;
}

std::int32_t MainSequence::InstallFiles(SetupInfo& info, const TextString& destination_folder,
                                        const TextString& temp_folder, std::uint32_t chosen_type) {
  wizard::ProgressDialog& progress = run_.progress;
  progress.OpenProgressDialog(TEMPLATE_COPYING, true);
  progress.SetProgressRange(100);
  progress.SetProgressPos(0);
  run_.background.PumpPendingMessages();

  platform::System& system = run_.system;
  if (!CreateDestinationPath(system.Files(), system.Debug(), destination_folder.Data())) {
    run_.messages.ShowMessage(MESSAGE_DESTINATION_NOT_CREATED, destination_folder.Data(),
                              platform::BOX_OK | platform::BOX_ICON_STOP);
    return EXIT_FAILED;
  }
  const TextString log_path = JoinedPath(destination_folder, kLogName);
  const LogResult opened = log_.LogOpen(log_path.Data(), info.PrgName.Data(), false);
  if (opened == LogResult::LOG_EXISTS) {
    if (log_.LogOpen(log_path.Data(), info.PrgName.Data(), true) != LogResult::LOG_OK) {
      return EXIT_FAILED;
    }
  } else if (opened != LogResult::LOG_OK) {
    if (run_.messages.ShowMessage(MESSAGE_LOG_NOT_CREATED, log_path.Data(),
                                  platform::BOX_YES_NO | platform::BOX_ICON_STOP) != platform::ANSWER_YES) {
      return EXIT_CANCELLED;
    }
    // Without a log every later record is a no-op, and the run goes on.
  }
  log_.LogDirectory(".");

  const WorkerServices services{system.Files(), run_.ui,           run_.messages,     log_,
                                system.Debug(), system.Pictures(), system.Programs(), system.Threads()};
  Workers workers(services, run_.background);
  workers.StartWorkers(info, destination_folder.Data(), run_.choices.source_folder.Data(), chosen_type,
                       progress.Window(), CONTROL_PROGRESS_BAR);
  const std::int32_t copied = workers.WaitForWorkers();
  progress.CloseProgressDialog();
  if (copied == 0) {
    return EXIT_DONE;
  }
  CleanUpSetup(info, destination_folder, temp_folder);
  run_.messages.ShowStringMessage(MESSAGE_COPY_FAILED, platform::BOX_OK | platform::BOX_ICON_STOP);
  log_.LogFile(kLogName, false);
  log_.LogClose();
  if (workers.CopiedFileCount() > 0) {
    TextString command = QuotedPath(destination_folder.Data(), info.Options.UninstallPrg.Data());
    command.Append(" \"");
    command.Append(log_path);
    command.Append("\" -quiet");
    system.Programs().Start(command.Data(), platform::SHOW_HIDE);
  }
  return EXIT_FAILED;
}

std::int32_t MainSequence::Finish(const SetupInfo& info, const TextString& destination_folder,
                                  std::uint32_t chosen_type, bool restart) {
  if (DecidePage(restart ? PAGE_FINISHED_RESTART : PAGE_FINISHED, nullptr) != PAGE_START) {
    run_.pages.ClosePage();
    return EXIT_DONE;
  }
  run_.pages.ClosePage();
  if (restart) {
    if (run_.system.Programs().RequestRestart(platform::RESTART_REBOOT)) {
      return EXIT_DONE;
    }
    run_.messages.ShowStringMessage(MESSAGE_RESTART_REFUSED, platform::BOX_OK | platform::BOX_ICON_STOP);
    return EXIT_CANCELLED;
  }
  if (chosen_type >= info.Packs.size() || info.Packs[chosen_type].Shortcuts.empty()) {
    return EXIT_DONE;
  }
  const TextString game =
      QuotedPath(destination_folder.Data(), info.Packs[chosen_type].Shortcuts[0].Target.Data());
  run_.system.Programs().Start(game.Data(), platform::SHOW_NORMAL);
  return EXIT_DONE;
}

std::int32_t MainSequence::RunSetup() {
  TextString destination_folder;
  TextString temp_folder;
  std::unique_ptr<SetupInfo> database;
  if (!PrepareSetup(run_, database, temp_folder)) {
    return EXIT_FAILED;
  }
  SetupInfo& info = *database;
  PauseOneSecond();
  std::uint32_t chosen_type = 0;
  if (!RunWizard(info, destination_folder, chosen_type)) {
    return EXIT_CANCELLED;
  }
  bool restart = false;
  if (info.Options.InstallGame) {
    const std::int32_t installed = InstallFiles(info, destination_folder, temp_folder, chosen_type);
    if (installed != EXIT_DONE) {
      return installed;
    }
    platform::System& system = run_.system;
    RegistrationServices services{
        {system.UserShell(), system.Profiles(), system.Files(), run_.ui, system.Debug()},
        system.LocalMachine(),
        system.Modules(),
        run_.messages,
        run_.background.Window()};
    const std::int32_t registered = RegisterInstallation(services, info, destination_folder.Data(),
                                                         run_.setup_folder.Data(), chosen_type, log_);
    if (registered != REGISTER_DONE && registered != REGISTER_DONE_RESTART) {
      CleanUpSetup(info, destination_folder, temp_folder);
      log_.LogFile(kLogName, false);
      log_.LogClose();
      return registered;
    }
    restart = registered == REGISTER_DONE_RESTART;
    if (info.Options.Readme) {
      DecidePage(PAGE_README, &info);
      run_.pages.ClosePage();
    }
    CleanUpSetup(info, destination_folder, temp_folder);
    log_.LogFile(kLogName, false);
    log_.LogClose();
  } else {
    // Nothing was installed, but the temporary files were copied all the same and are not left behind.
    CleanUpSetup(info, destination_folder, temp_folder);
  }
  return Finish(info, destination_folder, chosen_type, restart);
}

}  // namespace vtsetup::app

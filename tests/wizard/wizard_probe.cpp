// Shows the wizard's pages over a setup database through the system's user interface, with the pages'
// own procedures, so that a person can answer them at a terminal and a test from an answers file:
//
//   wizard_probe SETUP.INF
//
// Pages 1 to 4 in order, back and next moving between them; then the choices on standard output and
// the finished page. Exit status: 0 after the finished page, 10 after cancel or start, 9 when the
// database cannot be read, 78 when the system cannot show anything.
#include <cstdio>
#include <memory>

#include "app/background_window.h"
#include "app/dib.h"
#include "platform/system.h"
#include "setupdb/default_destination.h"
#include "setupdb/setup_file.h"
#include "wizard/drive_table.h"
#include "wizard/finished_page.h"
#include "wizard/install_type_page.h"
#include "wizard/options_page.h"
#include "wizard/page_framework.h"
#include "wizard/rich_text_page.h"
#include "wizard/welcome_page.h"

namespace {

using namespace vtsetup;
using namespace vtsetup::wizard;

int Finish(platform::System& system, int code) {
  system.Programs().ReportExit(code);
  return code;
}

// The folder of the database followed by its relative folder, as start-up makes the source folder.
TextString SourceFolder(platform::FileSystem& files, const char* database, const SetupInfo& info) {
  TextString drive;
  TextString directory;
  files.FullPath(database).SplitPath(&drive, &directory, nullptr, nullptr);
  TextString folder = drive;
  folder.Append(directory);
  folder.EnsureTrailingBackslash();
  folder.Append(info.Options.RelativeDir);
  folder.EnsureTrailingBackslash();
  return folder;
}

std::uint16_t Decide(PageFramework& framework, std::uint16_t page, SetupInfo& info) {
  if (!framework.ShowPage(page, &info)) {
    return PAGE_CANCEL;
  }
  std::uint16_t result = PAGE_UNDECIDED;
  while (result == PAGE_UNDECIDED) {
    result = framework.PollPageResult();
  }
  framework.ClosePage();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wizard_probe SETUP.INF\n");
    return 64;
  }
  platform::System& system = platform::TheSystem();
  platform::UserInterface* const shown = system.Ui();
  if (shown == nullptr) {
    std::fprintf(stderr, "wizard_probe: %s\n", system.UiProblem().c_str());
    return Finish(system, platform::EXIT_SYSTEM_UNUSABLE);
  }
  platform::UserInterface& ui = *shown;
  std::unique_ptr<SetupInfo> info;
  if (ReadSetupFile(system.Files(), argv[1], info) != SETUP_FILE_OK) {
    std::fprintf(stderr, "wizard_probe: cannot read %s\n", argv[1]);
    return Finish(system, 9);
  }

  SetupChoices choices;
  choices.source_folder = SourceFolder(system.Files(), argv[1], *info);
  choices.destination_base = "C:\\Program Files";
  choices.destination_subfolder = info->DefDestDir;
  ReduceDefaultDestination(choices.destination_subfolder);
  const DriveTable drives = ScanDrives(system.Disks());

  app::Dib picture(system.Files(), system.Pictures());
  app::BackgroundWindow background(ui, picture);
  const platform::ScreenSize screen = ui.Screen();
  if (!background.CreateBackgroundWindow(screen.width, screen.height)) {
    return Finish(system, 9);
  }
  PageFramework framework(ui, background);
  const PageServices services{
      ui, system.Files(), system.Profiles(), system.LocalMachine(), system.Disks(), system.Pictures()};
  WelcomePage welcome(services, choices, framework.Result());
  RichTextPage licence = LicencePage(services, choices, framework.Result());
  InstallTypePage install_type(services, drives, choices, framework.Result());
  OptionsPage options(services, choices, framework.Result());
  FinishedPage finished(framework.Result());
  framework.SetPage(PAGE_WELCOME, welcome);
  framework.SetPage(PAGE_LICENCE, licence);
  framework.SetPage(PAGE_INSTALL_TYPE, install_type);
  framework.SetPage(PAGE_OPTIONS, options);
  framework.SetPage(PAGE_FINISHED, finished);

  constexpr std::uint16_t kSequence[] = {PAGE_WELCOME, PAGE_LICENCE, PAGE_INSTALL_TYPE, PAGE_OPTIONS};
  std::size_t position = 0;
  while (position < std::size(kSequence)) {
    const std::uint16_t result = Decide(framework, kSequence[position], *info);
    if (result == PAGE_CANCEL || (result == PAGE_START && position == 0)) {
      std::printf("%s\n", result == PAGE_CANCEL ? "cancelled" : "start the installed game");
      return Finish(system, 10);
    }
    if (result == PAGE_NEXT) {
      ++position;
    } else if (result == PAGE_BACK && position > 0) {
      --position;
    }
  }
  TextString destination = choices.destination_base;
  destination.EnsureTrailingBackslash();
  destination.Append(choices.destination_subfolder);
  std::printf("type %u into %s; game %s, DirectX %s, group %s, readme %s\n", choices.chosen_type,
              destination.Data(), info->Options.InstallGame ? "yes" : "no",
              info->Options.InstallDirectX ? "yes" : "no", info->GroupName ? info->GroupName->Data() : "none",
              info->Options.Readme ? "yes" : "no");
  Decide(framework, PAGE_FINISHED, *info);
  return Finish(system, 0);
}

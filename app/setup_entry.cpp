#include "app/setup_entry.h"

#include <cstdio>

#include "app/background_window.h"
#include "app/dib.h"
#include "app/game_running_check.h"
#include "app/main_sequence.h"
#include "app/messages.h"
#include "app/setup_run.h"
#include "wizard/page_framework.h"
#include "wizard/progress_dialog.h"

namespace vtsetup::app {
namespace {

// The rich-edit control of the licence and readme pages lives in this library; without it those pages
// show empty, which is no reason to stop a run.
constexpr char kRichEditLibrary[] = "riched32.dll";

// The folder of the program's own file, ending in a backslash; empty when the system cannot tell.
TextString ProgramFolder(platform::FileSystem& files) {
  const TextString module = files.ModulePath();
  if (module.IsEmpty()) {
    return {};
  }
  TextString drive;
  TextString directory;
  module.SplitPath(&drive, &directory, nullptr, nullptr);
  TextString folder = drive;
  folder.Append(directory);
  folder.EnsureTrailingBackslash();
  return folder;
}

}  // namespace

std::int32_t SetupEntry(platform::System& system) {
  platform::FileSystem& files = system.Files();
  if (IsGameRunning(system.LocalMachine(), files)) {
    return EXIT_GAME_RUNNING;
  }
  platform::UserInterface* const shown = system.Ui();
  if (shown == nullptr) {
    std::fprintf(stderr, "setup: %s\n", system.UiProblem().c_str());
    return platform::EXIT_SYSTEM_UNUSABLE;
  }
  platform::UserInterface& ui = *shown;
  Dib background_picture(files, system.Pictures());
  BackgroundWindow background(ui, background_picture);
  background.SetWaitCursor(true);
  const platform::LibraryLoad rich_edit = system.Modules().Load(kRichEditLibrary);

  TextString setup_folder = ProgramFolder(files);
  if (!setup_folder.IsEmpty()) {
    files.SetCurrentFolder(setup_folder.Data());
  } else {
    setup_folder = files.CurrentFolder();
    setup_folder.EnsureTrailingBackslash();
  }

  Messages messages(ui);
  wizard::PageFramework pages(ui, background);
  wizard::ProgressDialog progress(ui, background);
  SetupRun run{system, ui, messages, background_picture, background, pages, progress, setup_folder, {}, {}};
  run.choices.source_folder = setup_folder;
  MainSequence sequence(run);
  const std::int32_t exit_code = sequence.RunSetup();
  background.SetWaitCursor(false);
  return exit_code;
}

}  // namespace vtsetup::app

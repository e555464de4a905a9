#pragma once

#include "app/background_window.h"
#include "app/dib.h"
#include "app/messages.h"
#include "base/text_string.h"
#include "platform/system.h"
#include "wizard/drive_table.h"
#include "wizard/page_framework.h"
#include "wizard/progress_dialog.h"
#include "wizard/setup_choices.h"

namespace vtsetup::app {

// The program-wide state of one run of the setup, one of each, owned by the entry and lent to the
// steps of the main sequence: the system's services, the windows, and what start-up and the wizard
// leave for the later steps.
struct SetupRun {
  platform::System& system;
  platform::UserInterface& ui;
  Messages& messages;
  // The background picture and the window that shows it, the owner of every page and box.
  Dib& background_picture;
  BackgroundWindow& background;
  wizard::PageFramework& pages;
  wizard::ProgressDialog& progress;
  // The folder that holds the setup program, ending in a backslash; never changed.
  TextString setup_folder;
  // The source folder (setup folder and the database's relative folder), the destination base and
  // subfolder, the chosen type and the installed game's path.
  wizard::SetupChoices choices;
  wizard::DriveTable drives;
};

}  // namespace vtsetup::app

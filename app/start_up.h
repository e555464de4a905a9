#pragma once

#include <cstdint>
#include <memory>

#include "app/setup_run.h"
#include "base/text_string.h"
#include "setupdb/setup_info.h"

namespace vtsetup::app {

// The background picture that suits the screen: the one of the screen's resolution class or, when the
// database names none for it, the next smaller one. Never a picture larger than the screen; empty when
// the database names no picture that small.
TextString ChooseBackgroundName(const SetupInfo& info, std::int32_t screen_width, std::int32_t screen_height);

// The first step of a run, behind the preparing dialog: loads "SETUP.INF" from the current folder,
// makes the source folder final, copies the temporary files, scans the drives, shows the background
// window at its picture's size, warns when no installation type fits on any drive, and proposes the
// destination. False when the user was told that the database is missing or damaged, declined to go
// on without room, or the background window could not be made; the run then ends.
bool PrepareSetup(SetupRun& run, std::unique_ptr<SetupInfo>& database, TextString& temp_folder);

}  // namespace vtsetup::app

#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "platform/host/machine/transcript.h"
#include "platform/host/ui/terminal_columns.h"
#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

struct UiDriverChoice {
  std::unique_ptr<UiDriver> driver;  // null when the answers file cannot be used
  std::string error;                 // UTF-8: why, naming the file and the line, for the caller to report
};

// Where a run's answers can come from.
struct UiConsole {
  std::istream& input;
  std::ostream& output;
  std::ostream& errors;
  bool input_is_terminal = false;
  // The output's width; none fits lines to the default.
  ColumnCount columns;
};

// The answers file when `answers_path` names one (null or empty: none); else the terminal when the
// input is one; else a driver without answers, which reports every visit as unanswered.
UiDriverChoice ChooseUiDriver(const char* answers_path, const UiConsole& console,
                              const Transcript& transcript);
// The choice for a run: VTSETUP_ANSWERS, the standard streams, the width of the standard output.
UiDriverChoice MakeUiDriver(const Transcript& transcript);

}  // namespace vtsetup::platform::host

#include "platform/host/ui/terminal_driver.h"

#include <algorithm>

#include "base/code_page.h"
#include "platform/host/ui/action_check.h"
#include "platform/host/ui/dialog_text.h"
#include "platform/host/ui/progress_line.h"
#include "platform/host/ui/user_verbs.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::string_view kHelp =
    "Type what to do, several things separated by \";\":\n"
    "  N                 the control numbered [N]: press a button, toggle a check box, choose in a list\n"
    "  press ID          check ID          uncheck ID\n"
    "  select ID INDEX   (the item's number as the list shows it)\n"
    "  key enter         key escape\n"
    "The end of the input (Ctrl-D) leaves the page as Escape does.\n";

using resources::ControlClass;

// Erases from the cursor to the end of the line, so a shorter redraw leaves nothing of the longer one.
constexpr std::string_view kEraseToEnd = "\x1b[K";
constexpr std::string_view kBillboardFrame = "-- billboard:  --";

}  // namespace

std::optional<std::string> TerminalDriver::Ask(std::string_view prompt) {
  output_ << prompt << std::flush;
  std::string line;
  if (!std::getline(input_, line)) {
    return std::nullopt;
  }
  return line;
}

void TerminalDriver::Ended(const std::string& visit) {
  output_ << std::endl;
  report_("terminal: " + visit + ", but the input has ended");
}

TerminalDriver::Reading TerminalDriver::NumberedAction(const ControlState& control) {
  if (control.Class() != ControlClass::ListBox) {
    const ActionKind kind = !control.IsCheckBox() ? ActionKind::Press
                            : control.checked     ? ActionKind::Uncheck
                                                  : ActionKind::Check;
    return {{UserAction{kind, control.Id(), 0}}, {}, false};
  }
  const std::size_t count = control.items.size();
  if (count == 0) {
    return {{}, "list " + std::to_string(control.Id()) + " is empty", false};
  }
  const std::string prompt =
      "item of list " + std::to_string(control.Id()) + " (0 to " + std::to_string(count - 1) + ")> ";
  while (true) {
    const std::optional<std::string> line = Ask(prompt);
    if (!line) {
      return {{}, {}, true};
    }
    const std::optional<std::uint32_t> item = ParseNumber(TrimSpace(*line), 0x7FFFFFFF);
    if (item && *item < count) {
      return {{UserAction{ActionKind::Select, control.Id(), static_cast<std::int32_t>(*item)}}, {}, false};
    }
    output_ << "That is not an item of the list; try again.\n";
  }
}

TerminalDriver::Reading TerminalDriver::ReadActions(const DialogState& page, std::string_view line) {
  const std::vector<const ControlState*> numbered = NumberedControls(page);
  Reading reading;
  while (!line.empty()) {
    const std::size_t end = line.find(';');
    const std::string_view part = TrimSpace(line.substr(0, end));
    line = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
    if (part.empty()) {
      continue;
    }
    Reading step;
    if (const std::optional<std::uint32_t> number = ParseNumber(part, 0xFFFF)) {
      if (*number == 0 || *number > numbered.size()) {
        return {{}, "there is no [" + std::string(part) + "] on the screen", false};
      }
      step = NumberedAction(*numbered[*number - 1]);
    } else if (ParsedAction parsed = ParseAction(part); parsed.action) {
      step.actions.push_back(*parsed.action);
    } else {
      step.problem = parsed.error;
    }
    if (step.ended || !step.problem.empty()) {
      return step;
    }
    if (std::string problem = WhyActionFails(page, step.actions.front()); !problem.empty()) {
      return {{}, problem, false};
    }
    reading.actions.push_back(step.actions.front());
  }
  if (reading.actions.empty()) {
    reading.problem = "nothing to do";
  }
  return reading;
}

std::optional<std::vector<UserAction>> TerminalDriver::PageActions(const DialogState& page, bool again) {
  LeaveProgressLine();
  output_ << PageScreen(page, again);
  while (true) {
    const std::optional<std::string> line = Ask("> ");
    if (!line) {
      Ended(PageVisit(page, again));
      return std::nullopt;
    }
    if (EqualNoCase(TrimSpace(*line), "help")) {
      output_ << kHelp;
      continue;
    }
    Reading reading = ReadActions(page, *line);
    if (reading.ended) {
      Ended(PageVisit(page, again));
      return std::nullopt;
    }
    if (reading.problem.empty()) {
      return std::move(reading.actions);
    }
    output_ << reading.problem << "; try again (help tells what you can type).\n";
  }
}

std::optional<std::int32_t> TerminalDriver::MessageAnswer(const MessageBoxView& box) {
  LeaveProgressLine();
  output_ << MessageBoxScreen(box);
  const std::vector<std::int32_t> offered = BoxAnswers(box.style);
  while (true) {
    const std::optional<std::string> line = Ask("> ");
    if (!line) {
      Ended(MessageBoxVisit(box));
      return std::nullopt;
    }
    const std::optional<std::int32_t> answer = ParseMessageAnswer(TrimSpace(*line));
    if (answer && std::find(offered.begin(), offered.end(), *answer) != offered.end()) {
      return answer;
    }
    output_ << "Answer with one of the numbers or words in the brackets above; try again.\n";
  }
}

std::optional<std::string> TerminalDriver::BrowseAnswer(const std::string& title) {
  LeaveProgressLine();
  output_ << "-- folder browser: " << TerminalLineText(title) << " --\n";
  while (true) {
    const std::optional<std::string> line = Ask("folder (empty to cancel)> ");
    if (!line) {
      Ended(BrowseVisit(title));
      return std::nullopt;
    }
    const std::string_view path = TrimSpace(*line);
    if (path.empty()) {
      return std::nullopt;
    }
    if (std::optional<std::string> folder = Utf8ToCp1250(path)) {
      return folder;
    }
    output_ << "The path has characters that code page 1250 lacks; try again.\n";
  }
}

void TerminalDriver::DrawInPlace(const std::string& line) {
  output_ << '\r' << line << kEraseToEnd << std::flush;
}

void TerminalDriver::LeaveProgressLine() {
  if (!progress_line_.empty()) {
    output_ << '\n' << std::flush;
    progress_line_.clear();
  }
}

void TerminalDriver::ProgressShown(const ProgressView& progress) {
  // Every block of a file moves the bar, mostly within one percent: only a change is drawn.
  std::string line = ProgressLine(progress, columns_());
  if (line != progress_line_) {
    DrawInPlace(line);
    progress_line_ = std::move(line);
  }
}

void TerminalDriver::ProgressClosed() {
  LeaveProgressLine();
}

void TerminalDriver::PictureShown(const std::string& name) {
  if (name == picture_) {
    return;
  }
  picture_ = name;
  if (name.empty()) {
    return;
  }
  const std::size_t columns = columns_();
  const std::size_t room = columns > kBillboardFrame.size() + 1 ? columns - 1 - kBillboardFrame.size() : 0;
  const std::string line = "-- billboard: " + CutFromLeft(TerminalLineText(name), room) + " --";
  if (progress_line_.empty()) {
    output_ << line << '\n' << std::flush;
    return;
  }
  // The name takes the progress line's place and the progress line comes back below it.
  DrawInPlace(line);
  output_ << '\n';
  DrawInPlace(progress_line_);
}

}  // namespace vtsetup::platform::host

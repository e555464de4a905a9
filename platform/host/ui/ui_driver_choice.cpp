#include "platform/host/ui/ui_driver_choice.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "platform/host/ui/terminal_driver.h"
#include "platform/host/ui/unanswered_visit.h"

namespace vtsetup::platform::host {
namespace {

constexpr const char* kNoAnswers =
    "no answers were given (VTSETUP_ANSWERS is not set and the input is not a terminal)";

// A run with nobody to act for the user still ends: every visit takes its way out.
class NoAnswersDriver final : public UiDriver {
 public:
  NoAnswersDriver(Transcript transcript, std::ostream& errors) : report_(std::move(transcript), errors) {}

  std::optional<std::vector<UserAction>> PageActions(const DialogState& page, bool again) override {
    return Unanswered(PageVisit(page, again));
  }
  std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) override {
    return Unanswered(MessageBoxVisit(box));
  }
  std::optional<std::string> BrowseAnswer(const std::string& title) override {
    return Unanswered(BrowseVisit(title));
  }

 private:
  std::nullopt_t Unanswered(const std::string& visit) const {
    report_("answers: " + visit + ", but " + kNoAnswers);
    return std::nullopt;
  }

  UnansweredVisitReport report_;
};

}  // namespace

UiDriverChoice ChooseUiDriver(const char* answers_path, const UiConsole& console,
                              const Transcript& transcript) {
  if (answers_path != nullptr && *answers_path != '\0') {
    AnswersRead read = ReadAnswersFile(answers_path);
    if (!read.error.empty()) {
      return {nullptr, std::move(read.error)};
    }
    return {std::make_unique<AnswersDriver>(std::move(read.lines), transcript, console.errors), {}};
  }
  if (console.input_is_terminal) {
    ColumnCount columns = console.columns ? console.columns : [] { return kDefaultTerminalColumns; };
    return {std::make_unique<TerminalDriver>(console.input, console.output, console.errors, transcript,
                                             std::move(columns)),
            {}};
  }
  return {std::make_unique<NoAnswersDriver>(transcript, console.errors), {}};
}

UiDriverChoice MakeUiDriver(const Transcript& transcript) {
  const UiConsole console{std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1,
                          [] { return TerminalColumns(STDOUT_FILENO); }};
  return ChooseUiDriver(std::getenv("VTSETUP_ANSWERS"), console, transcript);
}

}  // namespace vtsetup::platform::host

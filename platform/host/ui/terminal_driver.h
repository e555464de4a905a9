#pragma once

#include <istream>
#include <ostream>
#include <string_view>

#include "platform/host/machine/transcript.h"
#include "platform/host/ui/unanswered_visit.h"

namespace vtsetup::platform::host {

// A person at a terminal acts for the user: each visit is drawn as text and answered on the input,
// with the words of an answers file or the numbers on the screen. Wrong input is explained and asked
// again; the end of the input is the way out of every visit, reported as an unanswered visit.
class TerminalDriver final : public UiDriver {
 public:
  TerminalDriver(std::istream& input, std::ostream& output, std::ostream& errors, Transcript transcript)
      : input_(input), output_(output), report_(std::move(transcript), errors) {}

  std::optional<std::vector<UserAction>> PageActions(const DialogState& page, bool again) override;
  std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) override;
  std::optional<std::string> BrowseAnswer(const std::string& title) override;

 private:
  struct Reading {
    std::vector<UserAction> actions;
    std::string problem;  // why the line was not taken
    bool ended = false;   // the input ended in the middle
  };

  // A line typed after the prompt; nothing at the end of the input.
  std::optional<std::string> Ask(std::string_view prompt);
  Reading ReadActions(const DialogState& page, std::string_view line);
  // What a number on the screen does; asks for the item of a list.
  Reading NumberedAction(const ControlState& control);
  void Ended(const std::string& visit);

  std::istream& input_;
  std::ostream& output_;
  UnansweredVisitReport report_;
};

}  // namespace vtsetup::platform::host

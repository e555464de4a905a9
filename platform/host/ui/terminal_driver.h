#pragma once

#include <istream>
#include <ostream>
#include <string_view>

#include "platform/host/machine/transcript.h"
#include "platform/host/ui/terminal_columns.h"
#include "platform/host/ui/unanswered_visit.h"

namespace vtsetup::platform::host {

// A person at a terminal acts for the user: each visit is drawn as text and answered on the input,
// with the words of an answers file or the numbers on the screen. Wrong input is explained and asked
// again; the end of the input is the way out of every visit, reported as an unanswered visit.
//
// An open progress dialog is one line, redrawn in place as its text and bar change, so the copy does
// not scroll the pages away; a visit, or the dialog's closing, ends that line first. The billboard's
// file name gets a line of its own above it whenever the picture changes.
class TerminalDriver final : public UiDriver {
 public:
  TerminalDriver(std::istream& input, std::ostream& output, std::ostream& errors, Transcript transcript,
                 ColumnCount columns)
      : input_(input),
        output_(output),
        report_(std::move(transcript), errors),
        columns_(std::move(columns)) {}

  std::optional<std::vector<UserAction>> PageActions(const DialogState& page, bool again) override;
  std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) override;
  std::optional<std::string> BrowseAnswer(const std::string& title) override;
  void ProgressShown(const ProgressView& progress) override;
  void ProgressClosed() override;
  void PictureShown(const std::string& name) override;

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
  // Writes `line` over the line that the cursor is on, erasing what stood there after it.
  void DrawInPlace(const std::string& line);
  // Moves below the progress line, when one is on the screen, so that what follows starts afresh.
  void LeaveProgressLine();

  std::istream& input_;
  std::ostream& output_;
  UnansweredVisitReport report_;
  ColumnCount columns_;
  std::string progress_line_;  // as it stands on the screen; empty when none does
  std::string picture_;        // the billboard named last
};

}  // namespace vtsetup::platform::host

#pragma once

#include <cstddef>
#include <ostream>
#include <vector>

#include "platform/host/machine/transcript.h"
#include "platform/host/ui/answers_file.h"
#include "platform/host/ui/unanswered_visit.h"

namespace vtsetup::platform::host {

// Acts for the user from an answers file: each visit takes the next line when that line answers it,
// and the line is used up. A line that does not fit the visit (another kind of visit, another page,
// an answer the box does not offer, an action the page cannot take) is reported and stays: the run
// then takes its way out and ends, and every later visit is reported against the same line, so the
// report points at where the script and the run parted.
class AnswersDriver final : public UiDriver {
 public:
  AnswersDriver(std::vector<AnswerLine> answers, Transcript transcript, std::ostream& errors)
      : answers_(std::move(answers)), report_(std::move(transcript), errors) {}

  std::optional<std::vector<UserAction>> PageActions(const DialogState& page, bool again) override;
  std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) override;
  std::optional<std::string> BrowseAnswer(const std::string& title) override;

 private:
  // The next line when it answers this kind of visit; otherwise reports why not and gives null.
  const AnswerLine* Next(VisitKind kind, const std::string& visit);
  void Unanswered(const std::string& visit, const std::string& why) const;

  std::vector<AnswerLine> answers_;
  std::size_t next_ = 0;
  UnansweredVisitReport report_;
};

}  // namespace vtsetup::platform::host

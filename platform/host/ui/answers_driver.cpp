#include "platform/host/ui/answers_driver.h"

#include <algorithm>

#include "platform/host/ui/action_check.h"
#include "platform/host/ui/user_verbs.h"

namespace vtsetup::platform::host {
namespace {

std::string WhatLineAnswers(const AnswerLine& line) {
  switch (line.kind) {
    case VisitKind::Page:
      return "page " + std::to_string(line.page);
    case VisitKind::Message:
      return "a message box (" + AnswerName(line.answer) + ")";
    case VisitKind::Browse:
      break;
  }
  return "a folder browser";
}

std::string LineName(const AnswerLine& line) {
  return "line " + std::to_string(line.line);
}

std::string AnswerNames(const std::vector<std::int32_t>& answers) {
  std::string names;
  for (const std::int32_t answer : answers) {
    names += (names.empty() ? "" : ", ") + AnswerName(answer);
  }
  return names;
}

}  // namespace

void AnswersDriver::Unanswered(const std::string& visit, const std::string& why) const {
  report_("answers: " + visit + ", but " + why);
}

const AnswerLine* AnswersDriver::Next(VisitKind kind, const std::string& visit) {
  if (next_ >= answers_.size()) {
    Unanswered(visit, "the answers are used up");
    return nullptr;
  }
  const AnswerLine& line = answers_[next_];
  if (line.kind != kind) {
    Unanswered(visit, LineName(line) + " answers " + WhatLineAnswers(line));
    return nullptr;
  }
  return &line;
}

std::optional<std::vector<UserAction>> AnswersDriver::PageActions(const DialogState& page, bool again) {
  const std::string visit = PageVisit(page, again);
  const AnswerLine* line = Next(VisitKind::Page, visit);
  if (line == nullptr) {
    return std::nullopt;
  }
  if (line->page != page.page) {
    Unanswered(visit, LineName(*line) + " answers " + WhatLineAnswers(*line));
    return std::nullopt;
  }
  for (const UserAction& action : line->actions) {
    if (const std::string problem = WhyActionFails(page, action); !problem.empty()) {
      Unanswered(visit, LineName(*line) + " does not fit it: " + problem);
      return std::nullopt;
    }
  }
  ++next_;
  return line->actions;
}

std::optional<std::int32_t> AnswersDriver::MessageAnswer(const MessageBoxView& box) {
  const std::string visit = MessageBoxVisit(box);
  const AnswerLine* line = Next(VisitKind::Message, visit);
  if (line == nullptr) {
    return std::nullopt;
  }
  const std::vector<std::int32_t> offered = BoxAnswers(box.style);
  if (std::find(offered.begin(), offered.end(), line->answer) == offered.end()) {
    Unanswered(visit, LineName(*line) + " answers " + AnswerName(line->answer) +
                          ", which the box does not offer (" + AnswerNames(offered) + ")");
    return std::nullopt;
  }
  ++next_;
  return line->answer;
}

std::optional<std::string> AnswersDriver::BrowseAnswer(const std::string& title) {
  const AnswerLine* line = Next(VisitKind::Browse, BrowseVisit(title));
  if (line == nullptr) {
    return std::nullopt;
  }
  ++next_;
  return line->folder;
}

}  // namespace vtsetup::platform::host

#pragma once

#include <ostream>
#include <string>

#include "platform/host/machine/transcript.h"
#include "platform/host/ui/dialog_state.h"
#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

// How a driver names a visit when it tells that the visit got no answer (UTF-8):
// "page 3 shown", "page 3 shown again", "message box "TEXT" shown", "folder browser "TITLE" shown".
std::string PageVisit(const DialogState& page, bool again);
std::string MessageBoxVisit(const MessageBoxView& box);
std::string BrowseVisit(const std::string& title);

// Tells the person running and the transcript that a visit got no answer: one line on each.
class UnansweredVisitReport {
 public:
  UnansweredVisitReport(Transcript transcript, std::ostream& errors)
      : transcript_(std::move(transcript)), errors_(&errors) {}

  void operator()(const std::string& utf8_line) const;

 private:
  Transcript transcript_;
  std::ostream* errors_;
};

}  // namespace vtsetup::platform::host

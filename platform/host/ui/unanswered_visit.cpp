#include "platform/host/ui/unanswered_visit.h"

#include "platform/host/ui/dialog_text.h"

namespace vtsetup::platform::host {

std::string PageVisit(const DialogState& page, bool again) {
  return "page " + std::to_string(page.page) + (again ? " shown again" : " shown");
}

std::string MessageBoxVisit(const MessageBoxView& box) {
  return "message box " + QuotedText(box.text) + " shown";
}

std::string BrowseVisit(const std::string& title) {
  return "folder browser " + QuotedText(title) + " shown";
}

void UnansweredVisitReport::operator()(const std::string& utf8_line) const {
  *errors_ << utf8_line << std::endl;
  transcript_.RecordUtf8(utf8_line);
}

}  // namespace vtsetup::platform::host

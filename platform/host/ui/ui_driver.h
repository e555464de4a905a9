#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/ui/dialog_state.h"

namespace vtsetup::platform::host {

enum class ActionKind { Press, Check, Uncheck, Select, KeyEnter, KeyEscape };

// One thing the user does on a page.
struct UserAction {
  ActionKind kind = ActionKind::KeyEscape;
  std::uint16_t id = 0;    // the control, for Press, Check, Uncheck and Select
  std::int32_t index = 0;  // the list position, for Select
};

struct MessageBoxView {
  std::string title;  // code page 1250
  std::string text;
  std::uint32_t style = 0;
};

// A progress dialog as a person would see it: its line of text and its bar.
struct ProgressView {
  std::string caption;  // code page 1250
  std::uint16_t position = 0;
  std::uint16_t minimum = 0;
  std::uint16_t maximum = 0;
};

// Who acts for the user of a host run: an answers file, a person at a terminal, or nobody. Each call
// is one visit; a driver that has no answer for it reports that (on standard error and in the
// transcript) and returns nothing, and the user interface then takes the way out: Escape on a page,
// the cancelling answer of a box, cancel in the folder browser. So a run always ends.
class UiDriver {
 public:
  virtual ~UiDriver() = default;
  // The actions for a page as shown. `again` is set when the page is still open after the actions of
  // its previous visit.
  virtual std::optional<std::vector<UserAction>> PageActions(const DialogState& page, bool again) = 0;
  // An answer among the box's buttons (1 to 7).
  virtual std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) = 0;
  // The folder chosen, a Windows path; nothing for cancel.
  virtual std::optional<std::string> BrowseAnswer(const std::string& title) = 0;

  // What changes on the screen without asking anything. Only a person watching needs it; a driver that
  // answers for nobody leaves these alone, since the transcript keeps the events that a test checks.
  // A progress dialog opened, or its text or bar changed.
  virtual void ProgressShown(const ProgressView& /*progress*/) {}
  virtual void ProgressClosed() {}
  // The file name (code page 1250) of the picture that the background window now shows over its own;
  // empty when it shows none any more.
  virtual void PictureShown(const std::string& /*name*/) {}
};

// The answer that a box's Escape gives: Cancel where the box has it, else its last way out
// (Abort, No, OK).
std::int32_t CancellingAnswer(std::uint32_t style);

}  // namespace vtsetup::platform::host

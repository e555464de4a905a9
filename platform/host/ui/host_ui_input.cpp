// What reaches the windows from outside: the queue that the pumping thread empties, the user's actions
// on pages as the driver gives them, and the boxes that ask.
#include "platform/host/ui/dialog_text.h"
#include "platform/host/ui/host_user_interface.h"
#include "platform/host/ui/user_verbs.h"

namespace vtsetup::platform::host {
namespace {

// A page whose actions are used up and that is still open after this many idle pumps waits for the
// user again: the program polls a page once more after its result, so a few idle pumps are normal.
constexpr std::uint32_t kIdlePumpsBeforeAskingAgain = 100;

}  // namespace

bool HostUserInterface::PumpOne(Window keyboard_dialog) {
  if (!OnUiThread()) {
    return false;
  }
  if (RunOneSentCall()) {
    return true;
  }
  if (!posted_quits_.empty()) {
    // Nobody's loop ends on it; taking it is all that happens.
    posted_quits_.pop_front();
    return true;
  }
  if (PaintOnePending()) {
    return true;
  }
  WindowObject* page = Known(keyboard_dialog);
  return page != nullptr && page->dialog_events != nullptr && page->dialog.page != 0 && ActOnPage(*page);
}

bool HostUserInterface::ActOnPage(WindowObject& page) {
  if (page.pending.empty()) {
    const bool again = page.visited;
    if (again && ++page.idle_pumps < kIdlePumpsBeforeAskingAgain) {
      return false;
    }
    page.visited = true;
    page.idle_pumps = 0;
    RecordUtf8(PageShownLine(page.dialog));
    std::optional<std::vector<UserAction>> actions = driver_->PageActions(page.dialog, again);
    if (actions && !actions->empty()) {
      page.pending.assign(actions->begin(), actions->end());
    } else if (!actions) {
      page.pending.push_back({ActionKind::KeyEscape, 0, 0});
    } else {
      return false;
    }
  }
  const UserAction action = page.pending.front();
  page.pending.pop_front();
  Apply(page, action);
  return true;
}

void HostUserInterface::Apply(WindowObject& page, const UserAction& action) {
  Record("page " + std::to_string(page.dialog.page) + ": " + ActionText(action));
  ControlState* control = page.dialog.Find(action.id);
  switch (action.kind) {
    case ActionKind::Press:
      if (control != nullptr && control->IsCheckBox()) {
        control->checked = !control->checked;
      }
      Command(page, action.id, NOTIFY_CLICKED);
      break;
    case ActionKind::Check:
    case ActionKind::Uncheck:
      if (control != nullptr && control->checked != (action.kind == ActionKind::Check)) {
        control->checked = !control->checked;
        Command(page, action.id, NOTIFY_CLICKED);
      }
      break;
    case ActionKind::Select:
      if (control != nullptr) {
        control->selection = action.index;
        if (control->Notifies()) {
          Command(page, action.id, NOTIFY_SELECTION_CHANGED);
        }
      }
      break;
    case ActionKind::KeyEnter: {
      // The default button's command, or OK's when the dialog names none; a disabled one does nothing.
      const ControlState* button = page.dialog.DefaultButton();
      if (button == nullptr) {
        Command(page, 1, NOTIFY_CLICKED);
      } else if (button->enabled && button->visible) {
        Command(page, button->Id(), NOTIFY_CLICKED);
      }
      break;
    }
    case ActionKind::KeyEscape: {
      const ControlState* cancel = page.dialog.Find(COMMAND_CANCEL);
      if (cancel == nullptr || cancel->enabled) {
        Command(page, COMMAND_CANCEL, NOTIFY_CLICKED);
      }
      break;
    }
  }
}

std::int32_t HostUserInterface::ShowMessageBox(Window /*owner*/, const char* text, const char* title,
                                               std::uint32_t style) {
  return Ask<std::int32_t>([&] {
    const MessageBoxView box{title != nullptr ? title : "", text != nullptr ? text : "", style};
    const std::optional<std::int32_t> answer = driver_->MessageAnswer(box);
    const std::int32_t given = answer.value_or(CancellingAnswer(style));
    RecordUtf8(MessageBoxLine(box, given));
    return given;
  });
}

std::optional<TextString> HostUserInterface::BrowseForFolder(Window /*owner*/, const char* title) {
  return Ask<std::optional<TextString>>([&]() -> std::optional<TextString> {
    const std::string shown = title != nullptr ? title : "";
    const std::optional<std::string> folder = driver_->BrowseAnswer(shown);
    RecordUtf8(FolderBrowserLine(shown, folder));
    if (!folder) {
      return std::nullopt;
    }
    return TextString(folder->c_str());
  });
}

}  // namespace vtsetup::platform::host

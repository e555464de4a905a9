#pragma once

#include <string>

#include "platform/host/ui/dialog_state.h"
#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

// Why an action cannot be done on the page as shown (UTF-8), or empty when it can: its control must
// be on the page, visible, enabled and of the kind the action needs (press: a button or check box;
// check, uncheck: a check box; select: a list, with the item). Keys need no control. A line's
// actions are all checked against the page as shown, so an action that needs what an earlier one
// brings about (a button that a selection enables) belongs to the page's next visit.
std::string WhyActionFails(const DialogState& page, const UserAction& action);

}  // namespace vtsetup::platform::host

#include "platform/host/ui/action_check.h"

namespace vtsetup::platform::host {
namespace {

using resources::ControlClass;

std::string KindProblem(const ControlState& control, ActionKind kind) {
  const std::string name = "control " + std::to_string(control.Id());
  switch (kind) {
    case ActionKind::Press:
      return control.Class() == ControlClass::Button ? "" : name + " is not a button";
    case ActionKind::Check:
    case ActionKind::Uncheck:
      return control.IsCheckBox() ? "" : name + " is not a check box";
    case ActionKind::Select:
      return control.Class() == ControlClass::ListBox ? "" : name + " is not a list";
    case ActionKind::KeyEnter:
    case ActionKind::KeyEscape:
      break;
  }
  return "";
}

}  // namespace

std::string WhyActionFails(const DialogState& page, const UserAction& action) {
  if (action.kind == ActionKind::KeyEnter || action.kind == ActionKind::KeyEscape) {
    return "";
  }
  const ControlState* control = page.Find(action.id);
  const std::string name = "control " + std::to_string(action.id);
  if (control == nullptr) {
    return "the page has no " + name;
  }
  if (!control->visible) {
    return name + " is hidden";
  }
  if (!control->enabled) {
    return name + " is disabled";
  }
  if (std::string problem = KindProblem(*control, action.kind); !problem.empty()) {
    return problem;
  }
  if (action.kind == ActionKind::Select &&
      (action.index < 0 || static_cast<std::size_t>(action.index) >= control->items.size())) {
    return "list " + std::to_string(action.id) + " has no item " + std::to_string(action.index) +
           " (it has " + std::to_string(control->items.size()) + ")";
  }
  return "";
}

}  // namespace vtsetup::platform::host

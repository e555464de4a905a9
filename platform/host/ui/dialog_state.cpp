#include "platform/host/ui/dialog_state.h"

namespace vtsetup::platform::host {
namespace {

using resources::ControlClass;
namespace style = resources::style;

std::uint32_t ButtonType(const ControlState& control) {
  return control.Class() == ControlClass::Button ? control.source->style & 0x0Fu : 0xFFu;
}

}  // namespace

bool ControlState::IsDefaultButton() const {
  return ButtonType(*this) == style::kDefaultPushButton;
}
bool ControlState::IsCheckBox() const {
  return ButtonType(*this) == style::kAutoCheckBox;
}
bool ControlState::IsPushButton() const {
  return ButtonType(*this) == style::kPushButton || ButtonType(*this) == style::kDefaultPushButton;
}
bool ControlState::IsPicture() const {
  return Class() == ControlClass::Static && (source->style & 0x1Fu) == style::kStaticBitmap;
}
bool ControlState::TakesFocus() const {
  return (source->style & style::kTabStop) != 0 && enabled && visible;
}
bool ControlState::Notifies() const {
  return Class() == ControlClass::ListBox && (source->style & style::kListNotify) != 0;
}

DialogState DialogState::FromTemplate(const resources::DialogTemplate& dialog, std::uint16_t page) {
  DialogState state;
  state.source = &dialog;
  state.page = page;
  for (const resources::ControlTemplate& control : dialog.controls) {
    ControlState made;
    made.source = &control;
    made.text = control.text;
    made.enabled = (control.style & style::kDisabled) == 0;
    made.visible = (control.style & style::kVisible) != 0;
    state.controls.push_back(made);
  }
  return state;
}

ControlState* DialogState::Find(std::uint16_t id) {
  for (ControlState& control : controls) {
    if (control.Id() == id && id != resources::kNoId) {
      return &control;
    }
  }
  return nullptr;
}

const ControlState* DialogState::Find(std::uint16_t id) const {
  return const_cast<DialogState*>(this)->Find(id);
}

const ControlState* DialogState::DefaultButton() const {
  for (const ControlState& control : controls) {
    if (control.IsDefaultButton()) {
      return &control;
    }
  }
  return nullptr;
}

std::uint16_t PageOfTemplate(std::uint16_t template_id) {
  static constexpr std::uint16_t kPages[][2] = {{110, 1}, {111, 2}, {104, 3}, {112, 4},
                                                {113, 5}, {114, 6}, {115, 8}};
  for (const auto& [dialog, page] : kPages) {
    if (dialog == template_id) {
      return page;
    }
  }
  return 0;
}

}  // namespace vtsetup::platform::host

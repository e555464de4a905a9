#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource_types.h"

namespace vtsetup::platform::host {

struct ListItem {
  std::string text;  // code page 1250
  std::uint32_t data = 0;
};

// One control of a host dialog as the user would see it. Texts are in code page 1250.
struct ControlState {
  const resources::ControlTemplate* source = nullptr;
  std::string text;
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  std::vector<ListItem> items;
  std::int32_t selection = -1;
  std::int32_t tab_stop = 0;  // dialog units, 0 for the default
  std::uint16_t range_minimum = 0;
  std::uint16_t range_maximum = 100;
  std::uint16_t position = 0;
  std::string rtf;  // what was streamed in

  std::uint16_t Id() const { return source->id; }
  resources::ControlClass Class() const { return source->control_class; }
  bool IsDefaultButton() const;
  bool IsCheckBox() const;
  bool IsPushButton() const;
  bool IsPicture() const;
  // A control that the Tab key and the focus rule can reach.
  bool TakesFocus() const;
  bool Notifies() const;  // a list box that tells its parent of selections and focus
};

// A host dialog: its template and the state of its controls in tab order.
struct DialogState {
  const resources::DialogTemplate* source = nullptr;
  std::uint16_t page = 0;  // the wizard page it shows, 0 for a progress dialog
  std::vector<ControlState> controls;

  static DialogState FromTemplate(const resources::DialogTemplate& dialog, std::uint16_t page);
  ControlState* Find(std::uint16_t id);
  const ControlState* Find(std::uint16_t id) const;
  // The button that Enter presses: the default push button, else none.
  const ControlState* DefaultButton() const;
};

// The wizard page that a dialog template shows, 0 for none: the page numbers that answers files use.
std::uint16_t PageOfTemplate(std::uint16_t template_id);

}  // namespace vtsetup::platform::host

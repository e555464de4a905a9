// The controls of host dialogs, by id: what the pages set and read, and what workers send.
#include <algorithm>

#include "base/ascii.h"
#include "platform/host/ui/host_user_interface.h"
#include "platform/host/ui/rtf_text.h"

namespace vtsetup::platform::host {

bool HostUserInterface::HasControl(Window dialog, std::uint16_t id) {
  return Ask<bool>([&] { return ControlOf(dialog, id) != nullptr; });
}

void HostUserInterface::SetText(Window dialog, std::uint16_t id, const char* text) {
  OnWindowThread([&] {
    if (ControlState* control = ControlOf(dialog, id)) {
      control->text = text != nullptr ? text : "";
      ShowProgress(*Known(dialog));
    }
  });
}

TextString HostUserInterface::Text(Window dialog, std::uint16_t id) {
  return Ask<TextString>([&] {
    const ControlState* control = ControlOf(dialog, id);
    if (control == nullptr) {
      return TextString();
    }
    // A rich-edit control's text is what it shows, not the RTF it was given.
    const bool rich = control->Class() == resources::ControlClass::RichEdit;
    return TextString((rich ? RtfToText(control->rtf) : control->text).c_str());
  });
}

void HostUserInterface::Enable(Window dialog, std::uint16_t id, bool enabled) {
  OnWindowThread([&] {
    if (ControlState* control = ControlOf(dialog, id)) {
      control->enabled = enabled;
    }
  });
}

bool HostUserInterface::IsEnabled(Window dialog, std::uint16_t id) {
  return Ask<bool>([&] {
    const ControlState* control = ControlOf(dialog, id);
    return control != nullptr && control->enabled;
  });
}

void HostUserInterface::Show(Window dialog, std::uint16_t id, bool visible) {
  OnWindowThread([&] {
    if (ControlState* control = ControlOf(dialog, id)) {
      control->visible = visible;
    }
  });
}

void HostUserInterface::SetCheck(Window dialog, std::uint16_t id, bool checked) {
  OnWindowThread([&] {
    if (ControlState* control = ControlOf(dialog, id)) {
      control->checked = checked;
    }
  });
}

bool HostUserInterface::IsChecked(Window dialog, std::uint16_t id) {
  return Ask<bool>([&] {
    const ControlState* control = ControlOf(dialog, id);
    return control != nullptr && control->checked;
  });
}

// --- List boxes

void HostUserInterface::SetListTabStops(Window dialog, std::uint16_t id, std::int32_t dialog_units) {
  OnWindowThread([&] {
    if (ControlState* control = ControlOf(dialog, id)) {
      control->tab_stop = dialog_units;
    }
  });
}

std::int32_t HostUserInterface::AddListItem(Window dialog, std::uint16_t id, const char* text) {
  return Ask<std::int32_t>([&]() -> std::int32_t {
    ControlState* control = ControlOf(dialog, id);
    if (control == nullptr || control->Class() != resources::ControlClass::ListBox) {
      return -1;
    }
    control->items.push_back({text != nullptr ? text : "", 0});
    return static_cast<std::int32_t>(control->items.size()) - 1;
  });
}

void HostUserInterface::SetListItemData(Window dialog, std::uint16_t id, std::int32_t position,
                                        std::uint32_t data) {
  OnWindowThread([&] {
    ControlState* control = ControlOf(dialog, id);
    if (control != nullptr && position >= 0 && position < static_cast<std::int32_t>(control->items.size())) {
      control->items[static_cast<std::size_t>(position)].data = data;
    }
  });
}

std::uint32_t HostUserInterface::ListItemData(Window dialog, std::uint16_t id, std::int32_t position) {
  return Ask<std::uint32_t>([&]() -> std::uint32_t {
    const ControlState* control = ControlOf(dialog, id);
    if (control == nullptr || position < 0 || position >= static_cast<std::int32_t>(control->items.size())) {
      return 0xFFFFFFFFu;  // the list box's error value
    }
    return control->items[static_cast<std::size_t>(position)].data;
  });
}

void HostUserInterface::SelectListItem(Window dialog, std::uint16_t id, std::int32_t position) {
  OnWindowThread([&] {
    if (ControlState* control = ControlOf(dialog, id)) {
      const bool listed = position >= 0 && position < static_cast<std::int32_t>(control->items.size());
      control->selection = listed ? position : -1;
    }
  });
}

std::int32_t HostUserInterface::ListSelection(Window dialog, std::uint16_t id) {
  return Ask<std::int32_t>([&] {
    const ControlState* control = ControlOf(dialog, id);
    return control != nullptr ? control->selection : -1;
  });
}

std::int32_t HostUserInterface::ListCount(Window dialog, std::uint16_t id) {
  return Ask<std::int32_t>([&] {
    const ControlState* control = ControlOf(dialog, id);
    return control != nullptr ? static_cast<std::int32_t>(control->items.size()) : 0;
  });
}

void HostUserInterface::ClearList(Window dialog, std::uint16_t id) {
  OnWindowThread([&] {
    if (ControlState* control = ControlOf(dialog, id)) {
      control->items.clear();
      control->selection = -1;
    }
  });
}

std::int32_t HostUserInterface::FindListItem(Window dialog, std::uint16_t id, const char* prefix) {
  return Ask<std::int32_t>([&]() -> std::int32_t {
    const ControlState* control = ControlOf(dialog, id);
    if (control == nullptr || prefix == nullptr) {
      return -1;
    }
    for (std::size_t i = 0; i < control->items.size(); ++i) {
      if (StartsWithNoCase(control->items[i].text, prefix)) {
        return static_cast<std::int32_t>(i);
      }
    }
    return -1;
  });
}

// --- Progress bars and rich edits

std::uint32_t HostUserInterface::SetProgressRange(Window dialog, std::uint16_t id, std::uint16_t maximum) {
  return Ask<std::uint32_t>([&]() -> std::uint32_t {
    ControlState* control = ControlOf(dialog, id);
    if (control == nullptr || control->Class() != resources::ControlClass::ProgressBar) {
      return 0;
    }
    const std::uint32_t previous = static_cast<std::uint32_t>(control->range_minimum) |
                                   (static_cast<std::uint32_t>(control->range_maximum) << 16);
    control->range_minimum = 0;
    control->range_maximum = maximum;
    ShowProgress(*Known(dialog));
    return previous;
  });
}

void HostUserInterface::SetProgressPosition(Window dialog, std::uint16_t id, std::uint16_t position) {
  OnWindowThread([&] {
    ControlState* control = ControlOf(dialog, id);
    if (control == nullptr || control->Class() != resources::ControlClass::ProgressBar) {
      return;
    }
    const std::uint16_t clamped =
        std::min(std::max(position, control->range_minimum), control->range_maximum);
    if (clamped != control->position) {
      control->position = clamped;
      Record("progress dialog " + std::to_string(Known(dialog)->dialog.source->id) + ": " +
             std::to_string(clamped) + " of " + std::to_string(control->range_maximum));
      ShowProgress(*Known(dialog));
    }
  });
}

void HostUserInterface::StreamRtf(Window dialog, std::uint16_t id, StreamReader reader, void* cookie) {
  OnWindowThread([&] {
    ControlState* control = ControlOf(dialog, id);
    if (control == nullptr || control->Class() != resources::ControlClass::RichEdit || reader == nullptr) {
      return;
    }
    // The control asks in chunks of its own size, as the real one does, until the reader says stop.
    constexpr std::int32_t kChunk = 4092;
    std::uint8_t buffer[kChunk];
    std::string text;
    for (;;) {
      std::int32_t delivered = 0;
      if (reader(cookie, buffer, kChunk, &delivered) != 0 || delivered <= 0) {
        break;
      }
      text.append(reinterpret_cast<const char*>(buffer),
                  static_cast<std::size_t>(std::min(delivered, kChunk)));
    }
    control->rtf = std::move(text);
  });
}

}  // namespace vtsetup::platform::host

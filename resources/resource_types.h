#pragma once

#include <cstdint>
#include <span>

namespace vtsetup::resources {

// The resources of the programs as data: the Windows build writes them into its resource scripts, the
// host's user interface reads them directly, so both show the same dialogs and texts.

// Window and control styles with their Windows values, under names of our own.
namespace style {
inline constexpr std::uint32_t kPopup = 0x80000000u;
inline constexpr std::uint32_t kChild = 0x40000000u;
inline constexpr std::uint32_t kVisible = 0x10000000u;
inline constexpr std::uint32_t kDisabled = 0x08000000u;
inline constexpr std::uint32_t kBorder = 0x00800000u;
inline constexpr std::uint32_t kVerticalScroll = 0x00200000u;
inline constexpr std::uint32_t kHorizontalScroll = 0x00100000u;
inline constexpr std::uint32_t kGroup = 0x00020000u;
inline constexpr std::uint32_t kTabStop = 0x00010000u;
// Dialogs.
inline constexpr std::uint32_t kModalFrame = 0x0080u;
inline constexpr std::uint32_t kSetFont = 0x0040u;
inline constexpr std::uint32_t kNoFailCreate = 0x0010u;
inline constexpr std::uint32_t k3dLook = 0x0004u;
inline constexpr std::uint32_t kCentre = 0x0800u;
// Buttons.
inline constexpr std::uint32_t kPushButton = 0x0000u;
inline constexpr std::uint32_t kDefaultPushButton = 0x0001u;
inline constexpr std::uint32_t kAutoCheckBox = 0x0003u;
// Static controls.
inline constexpr std::uint32_t kStaticLeft = 0x0000u;
inline constexpr std::uint32_t kStaticCentre = 0x0001u;
inline constexpr std::uint32_t kStaticBitmap = 0x000Eu;
inline constexpr std::uint32_t kStaticCentreImage = 0x0200u;
// List boxes.
inline constexpr std::uint32_t kListNotify = 0x0001u;
inline constexpr std::uint32_t kListNoIntegralHeight = 0x0100u;
inline constexpr std::uint32_t kListUseTabStops = 0x0080u;
// Edit and rich-edit controls.
inline constexpr std::uint32_t kEditMultiLine = 0x0004u;
inline constexpr std::uint32_t kEditAutoVerticalScroll = 0x0040u;
inline constexpr std::uint32_t kEditAutoHorizontalScroll = 0x0080u;
inline constexpr std::uint32_t kEditReadOnly = 0x0800u;
inline constexpr std::uint32_t kEditDisableNoScroll = 0x2000u;
}  // namespace style

enum class ControlClass : std::uint8_t { Button, Static, ListBox, Edit, RichEdit, ProgressBar };

// The id of controls that nobody addresses.
inline constexpr std::uint16_t kNoId = 0xFFFF;

struct ControlTemplate {
  std::uint16_t id;
  ControlClass control_class;
  const char* text;                  // code page 1250; "" for none
  std::int16_t x, y, width, height;  // dialog units
  std::uint32_t style;               // kChild and kVisible included
  std::uint16_t bitmap;              // a picture's bitmap resource, 0 for none
};

struct DialogTemplate {
  std::uint16_t id;
  std::int16_t x, y, width, height;  // dialog units
  std::uint32_t style;
  bool extended;  // written as DIALOGEX
  const char* font;
  std::uint16_t font_size;
  std::span<const ControlTemplate> controls;  // in tab order
};

struct StringEntry {
  std::uint16_t id;
  const char* text;  // code page 1250
};

// The setup program's dialogs and strings (program_resources.h says which ones a program shows).
std::span<const DialogTemplate> DialogTemplates();
// Null when the program has no such template.
const DialogTemplate* FindDialogTemplate(std::uint16_t id);
std::span<const StringEntry> StringTable();
// Null when the table has no such entry.
const char* FindString(std::uint16_t id);

inline constexpr std::uint16_t kPageBitmap = 114;
inline constexpr std::uint16_t kProgramIcon = 106;

}  // namespace vtsetup::resources

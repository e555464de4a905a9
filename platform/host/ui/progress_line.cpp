#include "platform/host/ui/progress_line.h"

#include <algorithm>
#include <cstdint>

#include "platform/host/ui/dialog_text.h"

namespace vtsetup::platform::host {
namespace {

using resources::ControlClass;

// The bar's cells at full width, the fewest that still read as a bar, and the room that the text keeps
// before the bar is narrowed for it.
constexpr std::size_t kBarCells = 20;
constexpr std::size_t kFewestBarCells = 5;
constexpr std::size_t kTextRoom = 16;
// "[", "] " around the cells; " 45%", and two blanks after it.
constexpr std::size_t kBarFrame = 3;
constexpr std::size_t kPercentCells = 4;
constexpr std::size_t kPercentWidth = kPercentCells + 2;
constexpr std::string_view kEllipsis = "...";

bool IsContinuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

std::size_t CharacterCount(std::string_view utf8_text) {
  return static_cast<std::size_t>(
      std::count_if(utf8_text.begin(), utf8_text.end(), [](char byte) { return !IsContinuation(byte); }));
}

}  // namespace

ProgressView ProgressOf(const DialogState& dialog) {
  ProgressView view;
  bool has_text = false;
  bool has_bar = false;
  for (const ControlState& control : dialog.controls) {
    if (!control.visible) {
      continue;
    }
    if (!has_bar && control.Class() == ControlClass::ProgressBar) {
      view.position = control.position;
      view.minimum = control.range_minimum;
      view.maximum = control.range_maximum;
      has_bar = true;
    } else if (!has_text && control.Class() == ControlClass::Static && !control.IsPicture()) {
      view.caption = control.text;
      has_text = true;
    }
  }
  return view;
}

std::string CutFromLeft(std::string_view utf8_text, std::size_t room) {
  const std::size_t count = CharacterCount(utf8_text);
  if (count <= room) {
    return std::string(utf8_text);
  }
  if (room <= kEllipsis.size()) {
    return std::string(kEllipsis.substr(0, room));
  }
  const std::size_t dropped = count - (room - kEllipsis.size());
  std::size_t at = 0;
  for (std::size_t character = 0; character < dropped; ++character) {
    do {
      ++at;
    } while (at < utf8_text.size() && IsContinuation(utf8_text[at]));
  }
  std::string cut(kEllipsis);
  cut += utf8_text.substr(at);
  return cut;
}

std::string ProgressLine(const ProgressView& progress, std::size_t columns) {
  const std::size_t room = columns > 0 ? columns - 1 : 0;
  const std::uint32_t span =
      progress.maximum > progress.minimum ? std::uint32_t{progress.maximum} - progress.minimum : 0;
  const std::uint32_t done =
      span == 0 ? 0 : std::clamp(progress.position, progress.minimum, progress.maximum) - progress.minimum;

  std::string line;
  const std::size_t fixed = kPercentWidth + kBarFrame + kTextRoom;
  const std::size_t cells = std::min(kBarCells, room > fixed ? room - fixed : 0);
  if (cells >= kFewestBarCells) {
    const std::size_t filled = span == 0 ? 0 : std::size_t{done} * cells / span;
    line += '[';
    line.append(filled, '#');
    line.append(cells - filled, '.');
    line += "] ";
  }
  // Right-aligned, so the text after it does not move as the number grows.
  std::string percent = std::to_string(span == 0 ? 0 : done * 100 / span);
  percent += '%';
  line.append(kPercentCells - percent.size(), ' ');
  line += percent;
  if (!progress.caption.empty()) {
    line += "  ";
  }
  if (line.size() >= room) {
    return line.substr(0, room);  // all ASCII so far
  }
  return line + CutFromLeft(TerminalLineText(progress.caption), room - line.size());
}

}  // namespace vtsetup::platform::host

#include "platform/host/ui/dialog_text.h"

#include "base/code_page.h"
#include "base/quoted.h"
#include "platform/host/ui/rtf_text.h"
#include "platform/host/ui/user_verbs.h"
#include "platform/user_interface.h"

namespace vtsetup::platform::host {
namespace {

using resources::ControlClass;

// "[N]", the number a person types for a choice. Built by appending: GCC 12 at -O3 warns falsely
// (-Wrestrict) on a literal added to a temporary string.
std::string ChoiceLabel(std::size_t number) {
  std::string label(1, '[');
  label += std::to_string(number);
  label += ']';
  return label;
}

std::string Utf8(std::string_view cp1250) {
  return Cp1250ToUtf8(cp1250.data(), cp1250.size());
}

bool HasId(const ControlState& control) {
  return control.Id() != resources::kNoId;
}

std::string ClassName(const ControlState& control) {
  switch (control.Class()) {
    case ControlClass::Button:
      return control.IsCheckBox() ? "checkbox" : "button";
    case ControlClass::Static:
      return control.IsPicture() ? "picture" : "text";
    case ControlClass::ListBox:
      return "list";
    case ControlClass::Edit:
      return "edit";
    case ControlClass::RichEdit:
      return "richedit";
    case ControlClass::ProgressBar:
      return "progress";
  }
  return "control";
}

// In code page 1250.
std::string ShownText(const ControlState& control) {
  if (control.Class() == ControlClass::RichEdit && !control.rtf.empty()) {
    return RtfToText(control.rtf);
  }
  return control.text;
}

bool IsShown(const ControlState& control) {
  return control.visible &&
         (HasId(control) || !control.text.empty() || !control.rtf.empty() || control.IsPicture());
}

std::string Head(const ControlState& control) {
  return HasId(control) ? ClassName(control) + " " + std::to_string(control.Id()) : ClassName(control);
}

std::string Flags(const ControlState& control) {
  std::string flags;
  if (control.checked) {
    flags += " checked";
  }
  if (!control.enabled) {
    flags += " disabled";
  }
  return flags;
}

bool IsList(const ControlState& control) {
  return control.Class() == ControlClass::ListBox;
}
bool IsProgress(const ControlState& control) {
  return control.Class() == ControlClass::ProgressBar;
}

// The content of the controls that show no text of their own.
std::string PictureOrProgress(const ControlState& control) {
  if (control.IsPicture()) {
    const std::string bitmap = std::to_string(control.source->bitmap);
    return HasId(control) ? "bitmap " + bitmap : bitmap;
  }
  return std::to_string(control.position) + " (" + std::to_string(control.range_minimum) + ".." +
         std::to_string(control.range_maximum) + ")";
}

std::string ListItems(const ControlState& control) {
  std::string items = "[";
  for (std::size_t i = 0; i < control.items.size(); ++i) {
    items += (i == 0 ? "" : ", ") + QuotedText(control.items[i].text);
    if (static_cast<std::int64_t>(i) == control.selection) {
      items += "*";
    }
  }
  return items + "]";
}

// Where a list's tabbed columns start, when the program set it: the list's text alone hides it.
std::string ListTabStop(const ControlState& control) {
  return control.tab_stop != 0 ? "(tab stop " + std::to_string(control.tab_stop) + ") " : "";
}

std::string TranscriptItem(const ControlState& control) {
  std::string content;
  if (IsList(control)) {
    content = ListTabStop(control) + ListItems(control);
  } else if (control.IsPicture() || IsProgress(control)) {
    content = PictureOrProgress(control);
  } else {
    content = QuotedText(ShownText(control));
  }
  return Head(control) + " " + content + Flags(control);
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        ++i;
      }
      start = i + 1;
    }
  }
  lines.push_back(text.substr(start));
  return lines;
}

void AppendBlock(std::string& screen, std::string_view cp1250_text, const std::string& indent) {
  for (const std::string_view line : Lines(cp1250_text)) {
    screen += indent + Cp1250ToTerminal(line) + "\n";
  }
}

// A control's lines on the screen after its margin.
std::string ScreenItem(const ControlState& control, const std::string& margin) {
  const std::string indent(margin.size() + 2, ' ');
  const std::string flags = Flags(control) + (control.IsDefaultButton() && control.enabled ? " (Enter)" : "");
  if (IsList(control)) {
    std::string item = Head(control) + flags + "\n";
    for (std::size_t i = 0; i < control.items.size(); ++i) {
      const bool selected = static_cast<std::int64_t>(i) == control.selection;
      item += indent + std::to_string(i) + (selected ? "* " : "  ") +
              Cp1250ToTerminal(control.items[i].text) + "\n";
    }
    return item;
  }
  if (control.IsPicture() || IsProgress(control)) {
    return Head(control) + " " + PictureOrProgress(control) + flags + "\n";
  }
  const std::string text = ShownText(control);
  if (text.find_first_of("\r\n") == std::string::npos) {
    return Head(control) + " " + QuotedText(text) + flags + "\n";
  }
  std::string item = Head(control) + flags + "\n";
  AppendBlock(item, text, indent);
  return item;
}

// The icon beside a box's text, as a word after "message box"; nothing for a box without one.
std::string IconName(std::uint32_t style) {
  constexpr std::uint32_t kIconQuestion = 32;
  switch (style & 0xF0u) {
    case BOX_ICON_STOP:
      return " (stop)";
    case kIconQuestion:
      return " (question)";
    case BOX_ICON_WARNING:
      return " (warning)";
    case BOX_ICON_INFORMATION:
      return " (information)";
    default:
      return "";
  }
}

}  // namespace

std::string QuotedText(std::string_view cp1250_text) {
  return Quoted(Utf8(cp1250_text));
}

std::string TerminalLineText(std::string_view cp1250_text) {
  std::string line;
  for (const char c : Cp1250ToTerminal(cp1250_text)) {
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\t') {
      line += "\\t";
    } else {
      line += c;
    }
  }
  return line;
}

std::string PageShownLine(const DialogState& page) {
  std::string line = "page " + std::to_string(page.page) + " shown";
  const char* separator = ": ";
  for (const ControlState& control : page.controls) {
    if (IsShown(control)) {
      line += separator + TranscriptItem(control);
      separator = "; ";
    }
  }
  return line;
}

std::string MessageBoxLine(const MessageBoxView& box, std::int32_t answer) {
  return "message box (style " + std::to_string(box.style) + ") " + QuotedText(box.title) + ": " +
         QuotedText(box.text) + " -> " + std::to_string(answer) + " (" + AnswerName(answer) + ")";
}

std::string FolderBrowserLine(const std::string& title, const std::optional<std::string>& folder) {
  return "folder browser " + QuotedText(title) + " -> " + (folder ? QuotedText(*folder) : "cancel");
}

std::vector<const ControlState*> NumberedControls(const DialogState& page) {
  std::vector<const ControlState*> numbered;
  for (const ControlState& control : page.controls) {
    const bool acts = control.Class() == ControlClass::Button || IsList(control);
    if (acts && control.visible && control.enabled && HasId(control)) {
      numbered.push_back(&control);
    }
  }
  return numbered;
}

std::string PageScreen(const DialogState& page, bool again) {
  std::string screen = "-- page " + std::to_string(page.page) + (again ? " (still open)" : "") + " --\n";
  const std::vector<const ControlState*> numbered = NumberedControls(page);
  const std::string blank_margin(std::to_string(numbered.size()).size() + 3, ' ');
  std::size_t number = 0;
  for (const ControlState& control : page.controls) {
    if (!IsShown(control)) {
      continue;
    }
    std::string margin = blank_margin;
    if (number < numbered.size() && numbered[number] == &control) {
      const std::string label = ChoiceLabel(++number);
      margin.replace(0, label.size(), label);
    }
    screen += margin + ScreenItem(control, margin);
  }
  return screen;
}

std::string MessageBoxScreen(const MessageBoxView& box) {
  std::string screen = "-- message box" + IconName(box.style) + ": " + TerminalLineText(box.title) + " --\n";
  AppendBlock(screen, box.text, "");
  const char* separator = "";
  for (const std::int32_t answer : BoxAnswers(box.style)) {
    screen += separator + ChoiceLabel(static_cast<std::size_t>(answer)) + " " + AnswerName(answer);
    separator = "  ";
  }
  return screen + "\n";
}

}  // namespace vtsetup::platform::host

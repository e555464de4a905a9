// Writes the resource script of the Windows build from the resource data that the host build shows
// directly, so the two cannot drift apart:
//
//   make_rc OUTFILE
//
// The script names the bitmap "page.bmp" and the icon "setup.ico", which the build draws beside it.
// Texts stay in code page 1250: bytes above 127 are written raw under the code-page pragma, a quote
// doubles, and backslashes and control characters become escapes. Styles are written as numbers so
// that the script needs no header.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "resources/resource_types.h"

namespace vtsetup::resources {
namespace {

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* at = text; *at != '\0'; ++at) {
    const auto byte = static_cast<unsigned char>(*at);
    switch (byte) {
      case '"':
        out += "\"\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char octal[8];
          std::snprintf(octal, sizeof octal, "\\%03o", byte);
          out += octal;
        } else {
          out += *at;
        }
    }
  }
  return out + "\"";
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

const char* ClassName(ControlClass control_class) {
  switch (control_class) {
    case ControlClass::Button:
      return "Button";
    case ControlClass::Static:
      return "Static";
    case ControlClass::ListBox:
      return "ListBox";
    case ControlClass::Edit:
      return "Edit";
    case ControlClass::RichEdit:
      return "RICHEDIT";
    case ControlClass::ProgressBar:
      return "msctls_progress32";
  }
  return "";
}

void WriteControl(std::ostream& out, const ControlTemplate& control) {
  // A picture names its bitmap by number where other controls have their text.
  const std::string text = control.bitmap != 0 ? std::to_string(control.bitmap) : Quoted(control.text);
  const std::string id = control.id == kNoId ? "-1" : std::to_string(control.id);
  out << "    CONTROL " << text << ", " << id << ", \"" << ClassName(control.control_class) << "\", "
      << Hex(control.style) << ", " << control.x << ", " << control.y << ", " << control.width << ", "
      << control.height << "\n";
}

void WriteDialog(std::ostream& out, const DialogTemplate& dialog) {
  out << dialog.id << (dialog.extended ? " DIALOGEX " : " DIALOG ") << dialog.x << ", " << dialog.y << ", "
      << dialog.width << ", " << dialog.height << "\n"
      << "STYLE " << Hex(dialog.style) << "\n"
      << "FONT " << dialog.font_size << ", " << Quoted(dialog.font) << "\n"
      << "BEGIN\n";
  for (const ControlTemplate& control : dialog.controls) {
    WriteControl(out, control);
  }
  out << "END\n\n";
}

void WriteScript(std::ostream& out) {
  out << "#pragma code_page(1250)\n"
      << "LANGUAGE 0x15, 0x01\n\n"
      << kProgramIcon << " ICON \"setup.ico\"\n"
      << kPageBitmap << " BITMAP \"page.bmp\"\n\n";
  for (const DialogTemplate& dialog : DialogTemplates()) {
    WriteDialog(out, dialog);
  }
  out << "STRINGTABLE\nBEGIN\n";
  for (const StringEntry& entry : StringTable()) {
    out << "    " << entry.id << ", " << Quoted(entry.text) << "\n";
  }
  out << "END\n";
}

int Run(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_rc OUTFILE\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  WriteScript(out);
  out.close();
  if (!out) {
    std::cerr << "make_rc: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace vtsetup::resources

int main(int argc, char** argv) {
  return vtsetup::resources::Run(argc, argv);
}

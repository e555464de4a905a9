// Writes a program's resource script for the Windows build from the resource data that the host build
// shows directly, so the two cannot drift apart:
//
//   make_rc [--program setup|dinstall] OUTFILE
//
// The setup program's script (the default) names the bitmap "page.bmp" and the icon "setup.ico", which
// the build draws beside it; the uninstaller's holds its string table alone.
// Texts stay in code page 1250: bytes above 127 are written raw under the code-page pragma, a quote
// doubles, and backslashes and control characters become escapes. Styles are written as numbers so
// that the script needs no header.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <span>
#include <string>
#include <string_view>

#include "resources/dinstall_strings.h"
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

// Texts are Polish in code page 1250 in every program's script.
void WriteHead(std::ostream& out) {
  out << "#pragma code_page(1250)\n"
      << "LANGUAGE 0x15, 0x01\n\n";
}

void WriteStringTable(std::ostream& out, std::span<const StringEntry> strings) {
  out << "STRINGTABLE\nBEGIN\n";
  for (const StringEntry& entry : strings) {
    out << "    " << entry.id << ", " << Quoted(entry.text) << "\n";
  }
  out << "END\n";
}

void WriteSetupScript(std::ostream& out) {
  WriteHead(out);
  out << kProgramIcon << " ICON \"setup.ico\"\n" << kPageBitmap << " BITMAP \"page.bmp\"\n\n";
  for (const DialogTemplate& dialog : DialogTemplates()) {
    WriteDialog(out, dialog);
  }
  WriteStringTable(out, StringTable());
}

void WriteDinstallScript(std::ostream& out) {
  WriteHead(out);
  WriteStringTable(out, DinstallStringTable());
}

int Usage() {
  std::cerr << "usage: make_rc [--program setup|dinstall] OUTFILE\n";
  return 2;
}

int Run(int argc, char** argv) {
  std::string_view program = "setup";
  if (argc == 4 && std::string_view(argv[1]) == "--program") {
    program = argv[2];
  } else if (argc != 2) {
    return Usage();
  }
  void (*write)(std::ostream&) = program == "setup"      ? WriteSetupScript
                                 : program == "dinstall" ? WriteDinstallScript
                                                         : nullptr;
  if (write == nullptr) {
    return Usage();
  }
  const char* path = argv[argc - 1];
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  write(out);
  out.close();
  if (!out) {
    std::cerr << "make_rc: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace vtsetup::resources

int main(int argc, char** argv) {
  return vtsetup::resources::Run(argc, argv);
}

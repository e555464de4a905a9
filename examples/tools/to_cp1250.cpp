// Converts a UTF-8 text into code page 1250 with Windows line ends: the medium's texts are read by the
// ANSI profile functions of a Polish Windows, while we keep our sources in UTF-8 so that they can be
// read and reviewed. A character that the code page lacks stops the conversion instead of turning
// into a question mark on the medium.
//
//   to_cp1250 INPUT OUTPUT

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page.h"

namespace vtsetup::examples {
namespace {

bool Convert(const std::string& input_name, const std::string& text, std::string& out) {
  std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  int line = 1;
  while (at < text.size()) {
    const std::optional<char32_t> c = NextUtf8Character(text, at);
    if (!c) {
      std::cerr << input_name << ":" << line << ": not UTF-8\n";
      return false;
    }
    const std::optional<unsigned char> byte = Cp1250Byte(*c);
    if (!byte) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*c));
      std::cerr << input_name << ":" << line << ": " << code << " has no place in code page 1250\n";
      return false;
    }
    if (*byte == '\n') {
      ++line;
      if (out.empty() || out.back() != '\r') {
        out.push_back('\r');
      }
    }
    out.push_back(static_cast<char>(*byte));
  }
  return true;
}

int Run(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: to_cp1250 INPUT OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "to_cp1250: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string converted;
  if (!Convert(argv[1], text, converted)) {
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(converted.data(), static_cast<std::streamsize>(converted.size()));
  out.close();
  if (!out) {
    std::cerr << "to_cp1250: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace vtsetup::examples

int main(int argc, char** argv) {
  return vtsetup::examples::Run(argc, argv);
}

// Converts a UTF-8 text into code page 1250 with Windows line ends: the medium's texts are read by the
// ANSI profile functions of a Polish Windows, while we keep our sources in UTF-8 so that they can be
// read and reviewed. A character that the code page lacks stops the conversion instead of turning
// into a question mark on the medium.
//
//   to_cp1250 INPUT OUTPUT

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace vtsetup::examples {
namespace {

// The characters of the bytes 0x80 to 0xFF; 0 marks the five positions the code page leaves empty.
constexpr std::array<char32_t, 128> kUpperHalf = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

std::optional<unsigned char> Cp1250Byte(char32_t c) {
  if (c < 0x80) {
    return static_cast<unsigned char>(c);
  }
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == c) {
      return static_cast<unsigned char>(0x80 + i);
    }
  }
  return std::nullopt;
}

// One character from `text` at `at`, which moves past it; nullopt for a byte sequence that is not
// UTF-8 (overlong forms and surrogates included, which an editor never writes on purpose).
std::optional<char32_t> NextCharacter(const std::string& text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) {
    return lead;
  }
  int follow = 0;
  char32_t c = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    follow = 1;
    c = lead & 0x1F;
    smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    follow = 2;
    c = lead & 0x0F;
    smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    follow = 3;
    c = lead & 0x07;
    smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  for (int i = 0; i < follow; ++i) {
    if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
      return std::nullopt;
    }
    c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
  }
  if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return std::nullopt;
  }
  return c;
}

bool Convert(const std::string& input_name, const std::string& text, std::string& out) {
  std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  int line = 1;
  while (at < text.size()) {
    const std::optional<char32_t> c = NextCharacter(text, at);
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

#include "base/code_page.h"

#include <array>
#include <cstring>

namespace vtsetup {
namespace {

constexpr char16_t kUnassigned = 0xFFFD;

// The upper half; the lower half is ASCII.
constexpr std::array<char16_t, 128> kUpperHalf = {
    // 0x80
    0x20AC, kUnassigned, 0x201A, kUnassigned, 0x201E, 0x2026, 0x2020, 0x2021,  //
    kUnassigned, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,       //
    // 0x90
    kUnassigned, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    kUnassigned, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  //
    // 0xA0
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  //
    // 0xB0
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  //
    // 0xC0
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  //
    // 0xD0
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  //
    // 0xE0
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  //
    // 0xF0
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  //
};

// Every character of the code page lies in the Basic Multilingual Plane, so three bytes at most.
void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string Cp1250ToUtf8(const char* text, std::size_t length) {
  std::string out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    AppendUtf8(out, Cp1250Character(byte));
  }
  return out;
}

std::string Cp1250ToUtf8(const char* text) {
  return text == nullptr ? std::string() : Cp1250ToUtf8(text, std::strlen(text));
}

std::string Cp1250ToUtf8(const TextString& text) {
  return Cp1250ToUtf8(text.Data(), text.Length());
}

std::string Cp1250ToTerminal(std::string_view text) {
  constexpr char kHexDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) {
      out += "\\x";
      out.push_back(kHexDigits[byte >> 4]);
      out.push_back(kHexDigits[byte & 0x0F]);
    } else {
      AppendUtf8(out, Cp1250Character(byte));
    }
  }
  return out;
}

char16_t Cp1250Character(unsigned char byte) {
  return byte < 0x80 ? char16_t{byte} : kUpperHalf[byte - 0x80];
}

std::optional<unsigned char> Cp1250Byte(char32_t character) {
  if (character < 0x80) {
    return static_cast<unsigned char>(character);
  }
  if (character == kUnassigned) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == character) {
      return static_cast<unsigned char>(0x80 + i);
    }
  }
  return std::nullopt;
}

// One character from `text` at `at`, which moves past it; nullopt for a byte sequence that is not
// UTF-8 (overlong forms and surrogates included, which an editor never writes on purpose).
std::optional<char32_t> NextUtf8Character(std::string_view text, std::size_t& at) {
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

}  // namespace vtsetup

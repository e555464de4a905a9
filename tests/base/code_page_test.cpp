#include "base/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace vtsetup {
namespace {

// The expected texts are UTF-8 bytes written out by hand, so that neither the compiler's source
// character set nor the table under test decides what is right.

TEST(Cp1250ToUtf8, ConvertsEveryPolishLetter) {
  const std::string upper = Cp1250ToUtf8("\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
  EXPECT_EQ(upper, "\xC4\x84\xC4\x86\xC4\x98\xC5\x81\xC5\x83\xC3\x93\xC5\x9A\xC5\xB9\xC5\xBB");  // ĄĆĘŁŃÓŚŹŻ
  const std::string lower = Cp1250ToUtf8("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF");
  EXPECT_EQ(lower, "\xC4\x85\xC4\x87\xC4\x99\xC5\x82\xC5\x84\xC3\xB3\xC5\x9B\xC5\xBA\xC5\xBC");  // ąćęłńóśźż
}

TEST(Cp1250ToUtf8, KeepsAsciiAndGivesTheReplacementCharacterForUnassignedBytes) {
  EXPECT_EQ(Cp1250ToUtf8("C:\\Gry\\setup.exe ~\x01\x7F"), "C:\\Gry\\setup.exe ~\x01\x7F");
  // Euro sign (the table's first position), en dash, no-break space and the last position.
  EXPECT_EQ(Cp1250ToUtf8("\x80\x96\xA0\xFF"), "\xE2\x82\xAC\xE2\x80\x93\xC2\xA0\xCB\x99");
  for (const char* unassigned : {"\x81", "\x83", "\x88", "\x90", "\x98"}) {
    EXPECT_EQ(Cp1250ToUtf8(unassigned), "\xEF\xBF\xBD") << static_cast<int>(unassigned[0] & 0xFF);
  }
}

TEST(Cp1250ToUtf8, TakesLengthsAndTextStrings) {
  EXPECT_EQ(Cp1250ToUtf8(nullptr), "");
  EXPECT_EQ(Cp1250ToUtf8("\xB3\0x", 3), std::string("\xC5\x82\0x", 4));
  EXPECT_EQ(Cp1250ToUtf8(TextString("\xA3\xF3\x64\x9F")), "\xC5\x81\xC3\xB3\x64\xC5\xBA");  // Łódź
}

TEST(Cp1250ToTerminal, ShowsUtf8AndWritesOutWhatWouldDriveTheTerminal) {
  EXPECT_EQ(Cp1250ToTerminal("ge\xF6"
                             "ffnet \xA3\xF3\x64\x9F\n\tC:\\Gry"),
            "ge\xC3\xB6"
            "ffnet \xC5\x81\xC3\xB3\x64\xC5\xBA\n\tC:\\Gry");
  // An escape sequence that would clear the screen, a carriage return that would overwrite the line,
  // a bell and the delete character; the zero byte of a text given with its length too.
  EXPECT_EQ(Cp1250ToTerminal(std::string_view("\x1b[2J\r\x07\x7F\0.", 9)), "\\x1b[2J\\x0d\\x07\\x7f\\x00.");
}

TEST(Cp1250Byte, TakesBackEveryAssignedByteAndNothingElse) {
  for (int byte = 0; byte < 256; ++byte) {
    const char16_t character = Cp1250Character(static_cast<unsigned char>(byte));
    if (character == 0xFFFD) {
      EXPECT_FALSE(Cp1250Byte(character).has_value()) << byte;
    } else {
      EXPECT_EQ(Cp1250Byte(character), static_cast<unsigned char>(byte)) << byte;
    }
  }
  EXPECT_FALSE(Cp1250Byte(0x00E0).has_value());  // a with grave belongs to other code pages
}

TEST(NextUtf8Character, ReadsCharactersAndRefusesMalformedBytes) {
  const std::string_view text =
      "\xC5\x81\xC3\xB3"
      "d\xE2\x82\xAC";  // Łód€
  std::size_t at = 0;
  std::u32string read;
  while (at < text.size()) {
    read.push_back(NextUtf8Character(text, at).value_or(0));
  }
  EXPECT_EQ(read, U"\u0141\u00F3d\u20AC");
  for (const std::string_view bad : {"\x80", "\xC0\x80", "\xE2\x82", "\xED\xA0\x80"}) {
    at = 0;
    EXPECT_FALSE(NextUtf8Character(bad, at).has_value()) << bad.size();
  }
}

}  // namespace
}  // namespace vtsetup

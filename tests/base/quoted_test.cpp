#include "base/quoted.h"

#include <gtest/gtest.h>

#include <string>

namespace vtsetup {
namespace {

TEST(Quoted, EscapesEveryControlCharacterAndTheQuote) {
  EXPECT_EQ(Quoted(""), "\"\"");
  EXPECT_EQ(Quoted("C:\\Games\\Orvella"), "\"C:\\Games\\Orvella\"");
  EXPECT_EQ(Quoted("\x1b[2J"), "\"\\x1B[2J\"");
  EXPECT_EQ(Quoted("a\rb\nc\td"), "\"a\\rb\\nc\\td\"");
  EXPECT_EQ(Quoted("say \"hi\""), "\"say \\\"hi\\\"\"");
  EXPECT_EQ(Quoted(std::string("\0\x01\x1f\x7f", 4)), "\"\\x00\\x01\\x1F\\x7F\"");
  // Letters of code page 1250 and UTF-8 sequences are text, not controls.
  EXPECT_EQ(Quoted("\xB9\xE6 \xC5\xBC \x20~"), "\"\xB9\xE6 \xC5\xBC  ~\"");
}

TEST(Quoted, EscapedTextKeepsNoControlCharacter) {
  std::string every_byte;
  for (int byte = 0; byte < 256; ++byte) {
    every_byte += static_cast<char>(byte);
  }
  for (const char c : Escaped(every_byte)) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << static_cast<int>(byte);
  }
}

}  // namespace
}  // namespace vtsetup

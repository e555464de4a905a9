#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "base/command_line_words.h"
#include "uninstaller/dinstall_options.h"

namespace vtsetup::uninstaller {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLineWordsTest, ProgramIsReadWithoutEscapesAndArgumentsByTheRuntimeRules) {
  EXPECT_EQ(CommandLineWords(""), Words{});
  EXPECT_EQ(CommandLineWords("   "), Words{});
  EXPECT_EQ(CommandLineWords("dinstall.exe"), Words{"dinstall.exe"});
  // The program's quotes hold a backslash before the closing quote as it stands.
  EXPECT_EQ(CommandLineWords("\"C:\\Gry\\Moja gra\\\" a"), (Words{"C:\\Gry\\Moja gra\\", "a"}));
  EXPECT_EQ(CommandLineWords("  C:\\G\\dinstall.exe   -quiet  "), (Words{"C:\\G\\dinstall.exe", "-quiet"}));
  EXPECT_EQ(CommandLineWords("\"C:\\Moja gra\\dinstall.exe\" \"C:\\Moja gra\\dinstall.log\" -quiet"),
            (Words{"C:\\Moja gra\\dinstall.exe", "C:\\Moja gra\\dinstall.log", "-quiet"}));
  // An unclosed quote runs to the end, for the program as for an argument.
  EXPECT_EQ(CommandLineWords("\"C:\\a b"), Words{"C:\\a b"});
  EXPECT_EQ(CommandLineWords("p \"C:\\a b"), (Words{"p", "C:\\a b"}));
  // Backslashes count only before a quote: 2n give n and the quote groups, 2n+1 give n and a quote.
  EXPECT_EQ(CommandLineWords("p a\\\\b \"c d\\\\\" e\\\"f"), (Words{"p", "a\\\\b", "c d\\", "e\"f"}));
  EXPECT_EQ(CommandLineWords("p \"\" x\t\ty"), (Words{"p", "", "x", "y"}));
  EXPECT_EQ(CommandLineWords("p a\"b c\"d"), (Words{"p", "ab cd"}));
}

struct OptionsCase {
  const char* line;
  const char* module;
  const char* log_path;
  bool quiet;
  const char* unexpected;
};

// Names each case by its line and program in the test's name.
void PrintTo(const OptionsCase& c, std::ostream* out) {
  *out << c.line << " from " << (*c.module != 0 ? c.module : "nowhere");
}

class DinstallOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(DinstallOptionsTest, ReadsThePathTheQuietOptionAndWhatItCannotUse) {
  const OptionsCase& c = GetParam();
  const DinstallOptions options = ReadDinstallOptions(c.line, c.module);
  EXPECT_EQ(std::string(options.log_path.Data()), c.log_path);
  EXPECT_EQ(options.quiet, c.quiet);
  EXPECT_EQ(std::string(options.unexpected.Data()), c.unexpected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DinstallOptionsTest,
    ::testing::Values(
        // Without a path the log lies beside the program.
        OptionsCase{"dinstall.exe", "C:\\Gry\\Orvella\\dinstall.exe", "C:\\Gry\\Orvella\\dinstall.log", false,
                    ""},
        OptionsCase{"\"C:\\Moja gra\\dinstall.exe\" -QUIET", "C:\\Moja gra\\dinstall.exe",
                    "C:\\Moja gra\\dinstall.log", true, ""},
        OptionsCase{"d", "C:\\dinstall.exe", "C:\\dinstall.log", false, ""},
        OptionsCase{"d", "", "dinstall.log", false, ""},
        // The setup's roll-back: the quoted path, then the option.
        OptionsCase{"C:\\G\\dinstall.exe \"C:\\Moja gra\\dinstall.log\" -quiet", "C:\\G\\dinstall.exe",
                    "C:\\Moja gra\\dinstall.log", true, ""},
        OptionsCase{"d -Quiet x.log", "C:\\G\\d.exe", "x.log", true, ""},
        // A second path, an unknown option or an empty word is refused, whatever else is given.
        OptionsCase{"d a.log b.log", "C:\\G\\d.exe", "a.log", false, "b.log"},
        OptionsCase{"d -q a.log -quiet", "C:\\G\\d.exe", "a.log", true, "-q"},
        OptionsCase{"d \"\"", "C:\\G\\d.exe", "C:\\G\\dinstall.log", false, "\"\""},
        OptionsCase{"d -quiet-x --quiet", "C:\\G\\d.exe", "C:\\G\\dinstall.log", false, "-quiet-x --quiet"}));

}  // namespace
}  // namespace vtsetup::uninstaller

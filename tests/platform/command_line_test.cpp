#include "platform/host/processes/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vtsetup::SplitArguments;
using vtsetup::platform::host::JoinCommandLine;
using vtsetup::platform::host::ProgramReading;
using vtsetup::platform::host::ProgramReadings;
using vtsetup::platform::host::WithDefaultExtension;
using Texts = std::vector<std::string>;

Texts Programs(const std::vector<ProgramReading>& readings) {
  Texts programs;
  for (const ProgramReading& reading : readings) {
    programs.push_back(reading.program);
  }
  return programs;
}

TEST(ProgramReadings, AQuotedProgramIsTheOnlyReading) {
  const auto readings = ProgramReadings(R"(  "C:\Program Files\G\a.exe" -x "y z")");
  ASSERT_EQ(readings.size(), 1u);
  EXPECT_EQ(readings[0].program, R"(C:\Program Files\G\a.exe)");
  EXPECT_EQ(readings[0].rest, R"( -x "y z")");
  // No escapes inside the program's quotes; an unclosed quote runs to the end of the line.
  EXPECT_EQ(Programs(ProgramReadings(R"("C:\G\\a.exe" x)")), Texts{R"(C:\G\\a.exe)"});
  EXPECT_EQ(Programs(ProgramReadings(R"("C:\a b.exe)")), Texts{R"(C:\a b.exe)"});
}

TEST(ProgramReadings, AnUnquotedLineIsReadAtEveryBlankShortestFirst) {
  const auto readings = ProgramReadings("C:\\Program Files\\G\\a.exe  -x\t");
  EXPECT_EQ(Programs(readings),
            (Texts{"C:\\Program", "C:\\Program Files\\G\\a.exe", "C:\\Program Files\\G\\a.exe  -x"}));
  ASSERT_EQ(readings.size(), 3u);
  EXPECT_EQ(readings[0].rest, " Files\\G\\a.exe  -x\t");
  EXPECT_EQ(readings[1].rest, "  -x\t");
  EXPECT_EQ(readings[2].rest, "\t");
  EXPECT_EQ(Programs(ProgramReadings("\t game.exe")), Texts{"game.exe"});
}

TEST(ProgramReadings, ALineWithoutAProgramHasNone) {
  EXPECT_TRUE(ProgramReadings("").empty());
  EXPECT_TRUE(ProgramReadings(" \t ").empty());
  EXPECT_TRUE(ProgramReadings(R"("" -x)").empty());
}

TEST(SplitArguments, FollowsTheRuntimeRulesForQuotesAndBackslashes) {
  struct Case {
    const char* line;
    Texts arguments;
  };
  const Case cases[] = {
      {" a  b\tc ", {"a", "b", "c"}},
      {R"("a b" c)", {"a b", "c"}},
      {R"(a"b c"d)", {"ab cd"}},
      {R"("" x)", {"", "x"}},
      {R"(C:\G\x.log a\\b)", {R"(C:\G\x.log)", R"(a\\b)"}},
      {R"(\"x\")", {R"("x")"}},
      {R"(a\\\"b)", {R"(a\"b)"}},
      {R"("C:\Dir\\" -q)", {R"(C:\Dir\)", "-q"}},
      {R"(\\\\"a b" c\)", {R"(\\a b)", R"(c\)"}},
      {R"("unclosed  x)", {"unclosed  x"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitArguments(c.line), c.arguments) << c.line;
  }
}

// What a line is made of comes back from it by the rules that start a program: the program by its own
// rule, the arguments by the runtime's, whatever quotes, backslashes and blanks they hold.
TEST(JoinCommandLine, GivesBackTheProgramAndEveryArgument) {
  const Texts arguments = {"-quiet",
                           "C:\\Program Files\\Gra\\dinstall.log",
                           "",
                           "a\"b",
                           "\"",
                           "tail\\",
                           "both \\",
                           "two\\\\\"quotes\"",
                           "\\\\srv\\share",
                           "tab\there",
                           "a\\\\b",
                           "ends with \\\\"};
  for (const std::string program : {"C:\\GRY\\DINSTALL.EXE", "C:\\Program Files\\Gra\\dinstall.exe"}) {
    const std::string line = JoinCommandLine(program, arguments);
    const auto readings = ProgramReadings(line);
    ASSERT_FALSE(readings.empty()) << line;
    EXPECT_EQ(readings[0].program, program) << line;
    EXPECT_EQ(SplitArguments(readings[0].rest), arguments) << line;
  }
  // Only what needs them is quoted and escaped.
  EXPECT_EQ(JoinCommandLine("C:\\Program Files\\G\\d.exe", {"-quiet", "C:\\G\\x.log", "a b\\", "q\"", ""}),
            R"("C:\Program Files\G\d.exe" -quiet C:\G\x.log "a b\\" q\" "")");
  EXPECT_EQ(JoinCommandLine("C:\\G\\d.exe", {}), "C:\\G\\d.exe");
}

TEST(WithDefaultExtension, CompletesOnlyAFileNameWithoutExtension) {
  EXPECT_EQ(WithDefaultExtension(R"(C:\G\game)", ".exe"), R"(C:\G\game.exe)");
  EXPECT_EQ(WithDefaultExtension(R"(C:\G.d\game)", ".exe"), R"(C:\G.d\game.exe)");
  EXPECT_EQ(WithDefaultExtension(R"(C:\G\setup.bat)", ".exe"), R"(C:\G\setup.bat)");
  EXPECT_EQ(WithDefaultExtension("tool.", ".exe"), "tool");
  EXPECT_EQ(WithDefaultExtension("dsetup", ".dll"), "dsetup.dll");
}

}  // namespace

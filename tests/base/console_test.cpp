#include "base/console.h"

#include <gtest/gtest.h>

#include <string>

namespace vtsetup {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

// The way the streams show text belongs to the process; a test that changes it puts it back.
class ConsoleShownOnTerminals {
 public:
  ConsoleShownOnTerminals(bool output, bool error) { ShowConsoleOnTerminals(output, error); }
  ConsoleShownOnTerminals(const ConsoleShownOnTerminals&) = delete;
  ConsoleShownOnTerminals& operator=(const ConsoleShownOnTerminals&) = delete;
  ~ConsoleShownOnTerminals() { ShowConsoleOnTerminals(false, false); }
};

// "geöffnet" in code page 1250 with an escape sequence that would clear a terminal's screen.
constexpr char kFormat[] =
    "%s ge\xF6"
    "ffnet\n";
constexpr char kFileText[] = "\x1b[2J";

struct Printed {
  std::string out;
  std::string err;
};

Printed PrintBoth() {
  CaptureStdout();
  CaptureStderr();
  ConsolePrint(kFormat, kFileText);
  ConsoleError(kFormat, kFileText);
  return {GetCapturedStdout(), GetCapturedStderr()};
}

TEST(Console, PipesAndFilesGetTheBytesAsTheyAre) {
  const Printed printed = PrintBoth();
  EXPECT_EQ(printed.out,
            "\x1b[2J ge\xF6"
            "ffnet\n");
  EXPECT_EQ(printed.err,
            "\x1b[2J ge\xF6"
            "ffnet\n");
}

TEST(Console, EachStreamThatIsATerminalShowsUtf8AndNoControlCharacters) {
  const std::string shown =
      "\\x1b[2J ge\xC3\xB6"
      "ffnet\n";
  const std::string raw =
      "\x1b[2J ge\xF6"
      "ffnet\n";
  {
    const ConsoleShownOnTerminals terminals(true, false);
    const Printed printed = PrintBoth();
    EXPECT_EQ(printed.out, shown);
    EXPECT_EQ(printed.err, raw);
  }
  {
    const ConsoleShownOnTerminals terminals(false, true);
    const Printed printed = PrintBoth();
    EXPECT_EQ(printed.out, raw);
    EXPECT_EQ(printed.err, shown);
  }
}

}  // namespace
}  // namespace vtsetup

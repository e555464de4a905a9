#include "base/debug_trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_sink.h"

namespace vtsetup {
namespace {

using testing::RecordingSink;

TEST(DebugTrace, SendsOneFormattedLineEndedByCrLf) {
  RecordingSink sink;
  DebugTrace(sink, "copy %s: %d of %u", "setup.exe", -3, 7u);
  DebugTrace(sink, "no placeholders here");
  DebugTrace(sink, "100%% done");
  EXPECT_EQ(sink.lines, (std::vector<std::string>{"copy setup.exe: -3 of 7\r\n", "no placeholders here\r\n",
                                                  "100% done\r\n"}));
}

TEST(DebugTrace, LongArgumentArrivesWhole) {
  std::string long_argument;
  for (int i = 0; i < 4000; ++i) {
    long_argument.push_back(static_cast<char>('0' + i % 10));
  }
  RecordingSink sink;
  DebugTrace(sink, "<%s>", long_argument.c_str());
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(sink.lines[0], "<" + long_argument + ">\r\n");
}

}  // namespace
}  // namespace vtsetup

#pragma once

#include <string>
#include <vector>

#include "base/debug_trace.h"

namespace vtsetup::testing {

// Keeps the trace lines, line ends included, for a test to compare.
class RecordingSink final : public DebugSink {
 public:
  void Send(const char* line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

}  // namespace vtsetup::testing

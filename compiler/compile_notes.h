#pragma once

#include <cstddef>

#include "base/printf_format.h"

namespace vtsetup {

// What the compiler says beside its report, on the standard error, so that the report on the standard
// output stays as it has always been: warnings where a script means something other than what its
// author most likely wanted, and the reasons of failures that the report has no words for.
class CompileNotes {
 public:
  // A warning never changes the result; a front end may still refuse the database for it.
  void Warn(const char* format, ...) VT_PRINTF_FORMAT(2, 3);
  // Why the compilation fails, where the report cannot say it.
  void Explain(const char* format, ...) VT_PRINTF_FORMAT(2, 3);
  std::size_t Warnings() const { return warnings_; }

  // A value that its buffer cut, which must never be used: the compilation fails once it is noted.
  void NoteCutValue(const char* section, const char* key, const char* script);
  bool AnyValueCut() const { return cut_values_ != 0; }

 private:
  std::size_t warnings_ = 0;
  std::size_t cut_values_ = 0;
};

}  // namespace vtsetup

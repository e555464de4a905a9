#include "compiler/compile_notes.h"

#include <cstdarg>

#include "base/console.h"
#include "base/text_string.h"

namespace vtsetup {

void CompileNotes::Warn(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  TextString text;
  text.FormatList(format, args);
  va_end(args);
  ++warnings_;
  ConsoleError("setupc: warning: %s\n", text.Data());
}

void CompileNotes::Explain(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  TextString text;
  text.FormatList(format, args);
  va_end(args);
  ConsoleError("setupc: %s\n", text.Data());
}

void CompileNotes::NoteCutValue(const char* section, const char* key, const char* script) {
  ++cut_values_;
  Explain("[%s] %s in %s: the line is too long; a value may have at most 255 characters", section, key,
          script);
}

}  // namespace vtsetup

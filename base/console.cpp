#include "base/console.h"

#include <cstdarg>
#include <cstdio>

#include "base/text_string.h"

namespace vtsetup {

void ConsolePrint(const char* format, ...) {
  TextString text;
  std::va_list args;
  va_start(args, format);
  text.FormatList(format, args);
  va_end(args);
  std::fwrite(text.Data(), 1, text.Length(), stdout);
  std::fflush(stdout);
}

}  // namespace vtsetup

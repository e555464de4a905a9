#include "base/console.h"

#include <cstdarg>
#include <cstdio>

namespace vtsetup {

void ConsolePrint(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
}

}  // namespace vtsetup

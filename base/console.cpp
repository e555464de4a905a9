#include "base/console.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "base/code_page.h"
#include "base/text_string.h"

namespace vtsetup {
namespace {

std::atomic<bool> output_on_terminal{false};
std::atomic<bool> error_on_terminal{false};

void PrintTo(std::FILE* stream, bool terminal, const char* format, std::va_list args) {
  if (!terminal) {
    std::vfprintf(stream, format, args);
    return;
  }
  TextString text;
  text.FormatList(format, args);
  const std::string shown = Cp1250ToTerminal({text.Data(), text.Length()});
  std::fwrite(shown.data(), 1, shown.size(), stream);
}

}  // namespace

void ConsolePrint(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  PrintTo(stdout, output_on_terminal.load(std::memory_order_relaxed), format, args);
  va_end(args);
}

void ConsoleError(const char* format, ...) {
  std::fflush(stdout);
  std::va_list args;
  va_start(args, format);
  PrintTo(stderr, error_on_terminal.load(std::memory_order_relaxed), format, args);
  va_end(args);
}

void ShowConsoleOnTerminals(bool output_is_terminal, bool error_is_terminal) {
  output_on_terminal.store(output_is_terminal, std::memory_order_relaxed);
  error_on_terminal.store(error_is_terminal, std::memory_order_relaxed);
}

}  // namespace vtsetup

#include "platform/host/processes/command_line.h"

#include "base/ascii.h"

namespace vtsetup::platform::host {
namespace {

std::string_view SkipBlanks(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) {
    ++at;
  }
  return text.substr(at);
}

bool NeedsQuotes(std::string_view text) {
  return text.empty() || text.find_first_of(" \t") != std::string_view::npos;
}

// 2n+1 backslashes give n and a literal quote, and a run of them before the closing quote is doubled,
// so that SplitArguments takes every character back as it was.
std::string QuotedArgument(std::string_view argument) {
  const bool quoted = NeedsQuotes(argument);
  std::string text = quoted ? "\"" : "";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '"') {
      text.append(backslashes + 1, '\\');
    }
    backslashes = c == '\\' ? backslashes + 1 : 0;
    text += c;
  }
  if (quoted) {
    text.append(backslashes, '\\');
    text += '"';
  }
  return text;
}

}  // namespace

std::vector<ProgramReading> ProgramReadings(std::string_view command_line) {
  const std::string_view line = SkipBlanks(command_line);
  std::vector<ProgramReading> readings;
  if (!line.empty() && line[0] == '"') {
    // Windows has no escapes inside the program's quotes, and an unclosed quote runs to the end.
    const std::size_t close = line.find('"', 1);
    const std::string_view program = line.substr(1, close == std::string_view::npos ? close : close - 1);
    if (!program.empty()) {
      readings.push_back({std::string(program), close == std::string_view::npos
                                                    ? std::string()
                                                    : std::string(line.substr(close + 1))});
    }
    return readings;
  }
  std::size_t end = line.size();
  while (end > 0 && IsBlank(line[end - 1])) {
    --end;
  }
  for (std::size_t at = 1; at < end; ++at) {
    if (IsBlank(line[at]) && !IsBlank(line[at - 1])) {
      readings.push_back({std::string(line.substr(0, at)), std::string(line.substr(at))});
    }
  }
  if (end > 0) {
    readings.push_back({std::string(line.substr(0, end)), std::string(line.substr(end))});
  }
  return readings;
}

std::string JoinCommandLine(std::string_view program, const std::vector<std::string>& arguments) {
  // The program's quotes have no escapes: a Windows path holds no quote to escape. Built by appending:
  // a literal added to a temporary string trips a false warning of GCC 12 at -O3.
  const bool quoted = NeedsQuotes(program);
  std::string line;
  if (quoted) {
    line += '"';
  }
  line += program;
  if (quoted) {
    line += '"';
  }
  for (const std::string& argument : arguments) {
    line += ' ';
    line += QuotedArgument(argument);
  }
  return line;
}

std::string WithDefaultExtension(std::string_view windows_name, std::string_view extension) {
  const std::size_t name_start = windows_name.find_last_of("\\/:");
  const std::string_view file_name =
      name_start == std::string_view::npos ? windows_name : windows_name.substr(name_start + 1);
  if (!file_name.empty() && file_name.back() == '.') {
    return std::string(windows_name.substr(0, windows_name.size() - 1));
  }
  if (file_name.find('.') != std::string_view::npos) {
    return std::string(windows_name);
  }
  return std::string(windows_name) + std::string(extension);
}

}  // namespace vtsetup::platform::host

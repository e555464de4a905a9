#include "base/command_line_words.h"

#include "base/ascii.h"

namespace vtsetup {
namespace {

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) {
    ++at;
  }
  return at;
}

// The program's word, and where the arguments begin.
std::size_t ReadProgram(std::string_view line, std::size_t at, std::string& program) {
  if (line[at] == '"') {
    const std::size_t close = line.find('"', at + 1);
    const std::size_t end = close == std::string_view::npos ? line.size() : close;
    program.assign(line.substr(at + 1, end - at - 1));
    return close == std::string_view::npos ? end : close + 1;
  }
  std::size_t end = at;
  while (end < line.size() && !IsBlank(line[end])) {
    ++end;
  }
  program.assign(line.substr(at, end - at));
  return end;
}

// One argument from `at`, which is not a blank; gives where the argument ends.
std::size_t ReadArgument(std::string_view line, std::size_t at, std::string& argument) {
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    if (line[at] == '\\') {
      std::size_t backslashes = 0;
      while (at < line.size() && line[at] == '\\') {
        ++backslashes;
        ++at;
      }
      if (at < line.size() && line[at] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';
          ++at;
        }
      } else {
        argument.append(backslashes, '\\');
      }
    } else if (line[at] == '"') {
      quoted = !quoted;
      ++at;
    } else {
      argument += line[at++];
    }
  }
  return at;
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> arguments;
  for (std::size_t at = SkipBlanks(text, 0); at < text.size(); at = SkipBlanks(text, at)) {
    at = ReadArgument(text, at, arguments.emplace_back());
  }
  return arguments;
}

std::vector<std::string> CommandLineWords(std::string_view command_line) {
  const std::size_t start = SkipBlanks(command_line, 0);
  if (start == command_line.size()) {
    return {};
  }
  std::string program;
  const std::size_t rest = ReadProgram(command_line, start, program);
  std::vector<std::string> words = SplitArguments(command_line.substr(rest));
  words.insert(words.begin(), std::move(program));
  return words;
}

}  // namespace vtsetup

#include "uninstaller/command_line_words.h"

#include "base/ascii.h"

namespace vtsetup::uninstaller {
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

std::vector<std::string> CommandLineWords(std::string_view command_line) {
  std::vector<std::string> words;
  std::size_t at = SkipBlanks(command_line, 0);
  if (at == command_line.size()) {
    return words;
  }
  at = ReadProgram(command_line, at, words.emplace_back());
  for (at = SkipBlanks(command_line, at); at < command_line.size(); at = SkipBlanks(command_line, at)) {
    at = ReadArgument(command_line, at, words.emplace_back());
  }
  return words;
}

}  // namespace vtsetup::uninstaller

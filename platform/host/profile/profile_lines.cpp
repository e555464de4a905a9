#include "platform/host/profile/profile_lines.h"

#include "base/ascii.h"
#include "base/code_page.h"

namespace vtsetup::platform::host {

std::string_view ProfileBody(std::string_view text) {
  if (text.starts_with(UTF8_BYTE_ORDER_MARK)) {
    text.remove_prefix(UTF8_BYTE_ORDER_MARK.size());
  }
  return text;
}

std::string_view TakeLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
  const std::string_view line = text.substr(0, length);
  text.remove_prefix(length);
  return line;
}

ProfileLine ClassifyProfileLine(std::string_view line) {
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
  }
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  line = TrimBlanks(line);
  ProfileLine classified;
  if (line.empty()) {
    return classified;
  }
  if (line.front() == ';') {
    classified.kind = ProfileLineKind::Comment;
    return classified;
  }
  if (line.front() == '[') {
    classified.kind = ProfileLineKind::Section;
    classified.name = TrimBlanks(line.substr(1, line.find(']', 1) - 1));
    return classified;
  }
  const std::size_t equals = line.find('=');
  classified.kind = ProfileLineKind::Entry;
  classified.name = TrimBlanks(line.substr(0, equals));
  classified.has_equals = equals != std::string_view::npos;
  if (classified.has_equals) {
    classified.value = TrimBlanks(line.substr(equals + 1));
  }
  return classified;
}

bool NameMatches(std::string_view in_file, const char* wanted) {
  if (wanted == nullptr || *wanted == '\0') {
    return false;
  }
  const std::string_view name(wanted);
  return EqualNoCase(name, in_file);
}

}  // namespace vtsetup::platform::host

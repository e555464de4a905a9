#include "platform/host/host_profile.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vtsetup::platform::host {
namespace {

struct Entry {
  std::string_view key;
  std::string_view value;
  bool has_equals;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

char FoldAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool NameMatches(std::string_view in_file, const char* wanted) {
  if (wanted == nullptr || *wanted == '\0') {
    return false;
  }
  const std::string_view name(wanted);
  if (name.size() != in_file.size()) {
    return false;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (FoldAscii(name[i]) != FoldAscii(in_file[i])) {
      return false;
    }
  }
  return true;
}

// stdio rather than a stream: a name that opens but cannot be read (a folder) must give an empty text,
// not an exception.
std::string ReadWholeFile(const std::string& host_path) {
  std::string text;
  if (host_path.empty()) {
    return text;
  }
  std::FILE* stream = std::fopen(host_path.c_str(), "rb");
  if (stream == nullptr) {
    return text;
  }
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
    text.append(chunk, got);
  }
  if (std::ferror(stream) != 0) {
    text.clear();
  }
  std::fclose(stream);
  return text;
}

// The entries of the first section named `section`, or nothing when the file has no such section.
// The views point into `text`.
std::optional<std::vector<Entry>> FindSection(std::string_view text, const char* section) {
  std::optional<std::vector<Entry>> found;
  bool inside = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';') {
      continue;
    }
    if (line.front() == '[') {
      if (found) {
        break;
      }
      const std::string_view name = TrimBlanks(line.substr(1, line.find(']', 1) - 1));
      inside = NameMatches(name, section);
      if (inside) {
        found.emplace();
      }
      continue;
    }
    if (!inside) {
      continue;
    }
    const std::size_t equals = line.find('=');
    Entry entry{TrimBlanks(line.substr(0, equals)), {}, equals != std::string_view::npos};
    if (entry.has_equals) {
      entry.value = TrimBlanks(line.substr(equals + 1));
    }
    found->push_back(entry);
  }
  return found;
}

// The value of the first entry named `key` with its quotes dropped, or nothing when there is none.
std::optional<std::string> FindValue(const std::string& text, const char* section, const char* key) {
  const auto entries = FindSection(text, section);
  if (!entries) {
    return std::nullopt;
  }
  for (const Entry& entry : *entries) {
    if (!NameMatches(entry.key, key)) {
      continue;
    }
    std::string_view value = entry.value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

}  // namespace

TextString HostProfile::ReadString(const char* file, const char* section, const char* key,
                                   const char* default_value, std::uint32_t buffer_size) {
  std::string result;
  if (auto value = FindValue(ReadWholeFile(HostFile(file)), section, key)) {
    result = std::move(*value);
  } else {
    // Only trailing blanks go; leading ones are the caller's own.
    result = default_value != nullptr ? default_value : "";
    while (!result.empty() && IsBlank(result.back())) {
      result.pop_back();
    }
  }
  // Callers get zero-terminated text, so a zero byte in the file ends the value there.
  result.erase(std::find(result.begin(), result.end(), '\0'), result.end());
  const std::size_t room = buffer_size == 0 ? 0 : buffer_size - 1;
  if (result.size() > room) {
    result.resize(room);
  }
  return TextString(result.data(), static_cast<std::uint32_t>(result.size()));
}

std::int32_t HostProfile::ReadInt(const char* file, const char* section, const char* key,
                                  std::int32_t default_value) {
  const auto value = FindValue(ReadWholeFile(HostFile(file)), section, key);
  if (!value) {
    return default_value;
  }
  std::uint32_t number = 0;
  for (const char c : *value) {
    if (c < '0' || c > '9') {
      break;
    }
    number = number * 10u + static_cast<std::uint32_t>(c - '0');
  }
  return static_cast<std::int32_t>(number);
}

std::string HostProfile::HostFile(const char* file) const {
  return file != nullptr ? machine_.HostPathFor(file) : std::string();
}

std::uint32_t HostProfile::ReadSection(const char* file, const char* section, std::uint32_t buffer_size) {
  const std::string text = ReadWholeFile(HostFile(file));
  const auto entries = FindSection(text, section);
  if (!entries) {
    return 0;
  }
  std::uint64_t delivered = 0;
  for (const Entry& entry : *entries) {
    delivered += entry.key.size() + (entry.has_equals ? 1 + entry.value.size() : 0) + 1;
  }
  if (delivered + 1 <= buffer_size) {
    return static_cast<std::uint32_t>(delivered);
  }
  return buffer_size < 2 ? 0 : buffer_size - 2;
}

}  // namespace vtsetup::platform::host

namespace vtsetup::platform::host {

// SCAFFOLD: replaced by the profile writer.
bool HostProfile::WriteString(const char*, const char*, const char*, const char*) {
  return false;
}

}  // namespace vtsetup::platform::host

#include "platform/host/profile/host_profile.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ascii.h"
#include "base/profile_number.h"
#include "platform/host/profile/profile_lines.h"

namespace vtsetup::platform::host {
namespace {

// The value of the first entry named `key` with its quotes dropped, or nothing when there is none.
std::optional<std::string> FindValue(const ParsedProfile& profile, const char* section, const char* key) {
  const ProfileLine* entry = profile.Entry(section, key);
  if (entry == nullptr) {
    return std::nullopt;
  }
  std::string_view value = entry->value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

}  // namespace

TextString HostProfile::ReadString(const char* file, const char* section, const char* key,
                                   const char* default_value, std::uint32_t buffer_size) {
  std::string result;
  if (auto value = FindValue(*cache_.Read(HostFile(file)), section, key)) {
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
  const auto value = FindValue(*cache_.Read(HostFile(file)), section, key);
  if (!value) {
    return default_value;
  }
  return LeadingProfileNumber(*value);
}

std::string HostProfile::HostFile(const char* file) const {
  return file != nullptr ? machine_.HostPathFor(file) : std::string();
}

std::uint32_t HostProfile::ReadSection(const char* file, const char* section, std::uint32_t buffer_size) {
  const std::shared_ptr<const ParsedProfile> profile = cache_.Read(HostFile(file));
  const std::vector<ProfileLine>* entries = profile->Section(section);
  if (entries == nullptr) {
    return 0;
  }
  std::uint64_t delivered = 0;
  for (const ProfileLine& entry : *entries) {
    delivered += entry.name.size() + (entry.has_equals ? 1 + entry.value.size() : 0) + 1;
  }
  if (delivered + 1 <= buffer_size) {
    return static_cast<std::uint32_t>(delivered);
  }
  return buffer_size < 2 ? 0 : buffer_size - 2;
}

}  // namespace vtsetup::platform::host

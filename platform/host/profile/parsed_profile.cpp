#include "platform/host/profile/parsed_profile.h"

#include <utility>

#include "base/ascii.h"

namespace vtsetup::platform::host {
namespace {

// Names match with ASCII case folded and every other byte equal (NameMatches), so the folded name is
// the key of the look-up.
std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    c = AsciiUpper(c);
  }
  return folded;
}

bool IsName(const char* wanted) {
  return wanted != nullptr && *wanted != '\0';
}

}  // namespace

ParsedProfile::ParsedProfile(std::string text) : text_(std::move(text)) {
  std::string_view rest = ProfileBody(text_);
  SectionEntries* current = nullptr;  // null before the first section and in a repeated one
  while (!rest.empty()) {
    const ProfileLine line = ClassifyProfileLine(TakeLine(rest));
    if (line.kind == ProfileLineKind::Section) {
      const bool first = first_of_section_.try_emplace(Folded(line.name), sections_.size()).second;
      current = first ? &sections_.emplace_back() : nullptr;
    } else if (current != nullptr && line.kind == ProfileLineKind::Entry) {
      current->first_of_key.try_emplace(Folded(line.name), current->entries.size());
      current->entries.push_back(line);
    }
  }
}

const ParsedProfile::SectionEntries* ParsedProfile::Find(const char* section) const {
  if (!IsName(section)) {
    return nullptr;
  }
  const auto found = first_of_section_.find(Folded(section));
  return found == first_of_section_.end() ? nullptr : &sections_[found->second];
}

const std::vector<ProfileLine>* ParsedProfile::Section(const char* section) const {
  const SectionEntries* found = Find(section);
  return found != nullptr ? &found->entries : nullptr;
}

const ProfileLine* ParsedProfile::Entry(const char* section, const char* key) const {
  const SectionEntries* found = Find(section);
  if (found == nullptr || !IsName(key)) {
    return nullptr;
  }
  const auto entry = found->first_of_key.find(Folded(key));
  return entry == found->first_of_key.end() ? nullptr : &found->entries[entry->second];
}

}  // namespace vtsetup::platform::host

#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/host/profile/profile_lines.h"

namespace vtsetup::platform::host {

// A profile file's text split once into its sections and entries, as the reader sees them
// (host_profile.h), with the first section of each name and, in it, the first entry of each key found
// by one look-up: a script of many thousand keys is read key by key, and each look must not cost
// what the whole file does. The views point into the text that the object keeps, so it never moves.
class ParsedProfile {
 public:
  explicit ParsedProfile(std::string text);
  ParsedProfile(const ParsedProfile&) = delete;
  ParsedProfile& operator=(const ParsedProfile&) = delete;

  // The entries of the first section named `section`, in the file's order; null when there is none.
  const std::vector<ProfileLine>* Section(const char* section) const;
  // The first entry named `key` in that section; null when there is none.
  const ProfileLine* Entry(const char* section, const char* key) const;

 private:
  struct SectionEntries {
    std::vector<ProfileLine> entries;
    std::unordered_map<std::string, std::size_t> first_of_key;  // by folded name
  };

  const SectionEntries* Find(const char* section) const;

  std::string text_;
  std::vector<SectionEntries> sections_;
  std::unordered_map<std::string, std::size_t> first_of_section_;  // by folded name
};

}  // namespace vtsetup::platform::host

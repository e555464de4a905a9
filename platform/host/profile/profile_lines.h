#pragma once

#include <string_view>

namespace vtsetup::platform::host {

// The line syntax of profile (INI) files that the reader and the writer share, so that the writer
// finds a section or a key exactly where the reader would.

enum class ProfileLineKind { Blank, Comment, Section, Entry };

struct ProfileLine {
  ProfileLineKind kind = ProfileLineKind::Blank;
  std::string_view name;   // a section's name or an entry's key, blanks around it removed
  std::string_view value;  // an entry's value, blanks around it removed
  bool has_equals = false;
};

// The text without a UTF-8 byte-order mark at its very start, which Windows does not read as part of
// the first line, so that a section there is found.
std::string_view ProfileBody(std::string_view text);
// Splits the first line off `text`, its line end ("\n" or "\r\n") included.
std::string_view TakeLine(std::string_view& text);
// What a line says, with or without its line end.
ProfileLine ClassifyProfileLine(std::string_view line);

// Names match with ASCII case folded; an empty or null wanted name never matches.
bool NameMatches(std::string_view in_file, const char* wanted);

}  // namespace vtsetup::platform::host

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtsetup::platform::host {

// A key's names from its root down, such as {"HKEY_LOCAL_MACHINE", "SOFTWARE", "Vantor"}.
using KeyPath = std::vector<std::string>;

// Windows lets a registry tree be 512 levels deep; deeper keys are refused, which also bounds the
// work a hostile file can cause.
inline constexpr std::size_t kMaxKeyDepth = 512;

// Splits "A\\B\\C" into its names. Empty text gives no names; an empty name (a leading, doubled or
// trailing backslash) or more names than a root and kMaxKeyDepth levels below it gives nothing.
std::optional<KeyPath> SplitKeyPath(std::string_view path);

// A registry file in the REGEDIT4 text format that regedit exports, kept so that saving it changes
// nothing but what was set:
//
// - The first line that is not blank should be "REGEDIT4"; that header is written first whatever the
//   file had, and a first line of other text is kept as a bad line. Lines end with CRLF or LF and are
//   written with CRLF. Blank lines are not kept: one follows every key when written.
// - A line "[ROOT\\path\\to\\key]" starts a key's section. The sections stay in the file's order and
//   with the spelling found; a key named by several sections has the values of all of them. A key
//   exists when it has a section or when a section of a key below it exists, as an import makes the
//   parents of every key it creates; a root always exists, as Windows predefines them.
// - Values: `"Name"="text"` or `@="text"` for the default value, with \\ and \" as the only escapes in
//   both name and text. Other types (dword:, hex:, hex(N):, continued by a trailing backslash onto the
//   next lines) are kept as their text. hex(1) and hex(2) data are strings to the reader: their bytes
//   up to the first zero, as RegQueryValueExA delivers a REG_SZ or an unexpanded REG_EXPAND_SZ. When a
//   name has several values in a key, the last one counts, as it would after an import.
// - Bad lines are never read as values but kept in place as found: a line in a section that is no
//   value (a comment, a string with an unknown escape or without its closing quote), the lines before
//   the first section, and a section whose header names no key (no closing bracket, an empty name, a
//   path deeper than kMaxKeyDepth) with all its lines, so its values are never taken for those of the
//   key above it.
// - Texts are 8-bit and kept byte for byte. A string containing CR or LF, which a quoted string
//   cannot hold, is written as hex(1) with its terminating zero.
// What a key holds directly: its subkeys one level down and its values of every type, each name
// counted once whatever its sections and spellings.
struct KeyCounts {
  std::size_t subkeys = 0;
  std::size_t values = 0;
};

class RegistryText {
 public:
  static RegistryText Parse(std::string_view file_text);
  std::string Format() const;

  bool KeyExists(const KeyPath& key) const;
  // The text of a string value; nothing when the key or the value is missing or the value is of
  // another type.
  std::optional<std::string> FindString(const KeyPath& key, std::string_view name) const;
  // Gives a missing key a section of its own, named with the spelling of the parts that exist,
  // beside its nearest relatives. Reports whether the text changed.
  bool CreateKey(const KeyPath& key);
  // Sets a string value (an empty name is the default value), replacing a value of any type in place
  // and keeping the name's first spelling; a new value goes to the key's last section, which is made
  // when the key has none. Names must not hold CR or LF (the file cannot express them).
  void SetString(const KeyPath& key, std::string_view name, std::string_view text);
  // Removes every entry of the value in the key's sections; false when there was none.
  bool DeleteValue(const KeyPath& key, std::string_view name);
  KeyCounts Count(const KeyPath& key) const;
  // Removes the sections of the key and of every key below it; false when the key does not exist or
  // is a root. A parent that existed only through them keeps existing, as on Windows, with an empty
  // section of its own where the first of them stood; so removing every key a program made, from the
  // deepest up, gives back the text as it was before.
  bool DeleteKeyTree(const KeyPath& key);

 private:
  struct Section {
    // The header line as found, or empty for the lines before the first header.
    std::string header;
    // The key's path as the header spells it; empty when the header names no key, in which case the
    // section's lines are kept and never read.
    std::string path;
    // One value (its continuation lines joined with CRLF) or one kept line each.
    std::vector<std::string> entries;
  };

  std::string SpelledPath(const KeyPath& key) const;
  std::size_t InsertionPoint(const KeyPath& key) const;

  std::vector<Section> sections_;
};

}  // namespace vtsetup::platform::host

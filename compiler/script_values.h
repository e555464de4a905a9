#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "base/text_string.h"
#include "compiler/compile_result.h"
#include "platform/profile.h"

namespace vtsetup {

// What the reader of a numbered list or a required key gets when the key is missing. Scripts never
// hold these words, so they tell a missing key from an empty one.
inline constexpr char MISSING_VALUE[] = "nicht vorhanden";
inline constexpr char MISSING_SHORTCUT[] = "Nicht vorhanden";

// Everything from the first "//" on is a comment.
void StripComment(TextString& value);
// Blanks at the end go; tabs and leading blanks stay.
void TrimTrailingSpaces(TextString& value);
// The C library's reading of a leading decimal number: blanks, a sign, digits; 0 when there are none.
// Numbers beyond the 32-bit range are held at its ends.
std::int32_t LeadingNumber(const char* text);

// A reference into the catalogue of section Sources, such as "File3" or "Dir2": the token must hold the
// word, and its number is read after the first occurrence of the word's last letter in the token.
struct CatalogueReference {
  const char* word;
  char letter;
};
inline constexpr CatalogueReference FILE_REFERENCE = {"File", 'e'};
inline constexpr CatalogueReference DIR_REFERENCE = {"Dir", 'r'};

enum class ReferenceCheck { Ok, NotAReference, TooHigh, TooLow };

// Reads the number of a reference into a catalogue of `count` entries; Ok when 1 <= number <= count.
ReferenceCheck CheckReference(const TextString& token, const CatalogueReference& kind, std::size_t count,
                              std::int32_t& number);

// The values of one script, read with the profile rules into the buffers the compiler has always used.
class ScriptValues {
 public:
  ScriptValues(platform::Profile& profile, TextString script_path)
      : profile_(profile), script_path_(std::move(script_path)) {}

  const TextString& ScriptPath() const { return script_path_; }

  // The value as the profile gives it, at most 255 characters.
  TextString Raw(const char* section, const char* key, const char* default_value) const;
  // The value without its comment and trailing blanks.
  TextString Clean(const char* section, const char* key, const char* default_value) const;
  std::int32_t Number(const char* section, const char* key, std::int32_t default_value) const;
  // Only the exact value 1 switches a flag on.
  bool Flag(const char* section, const char* key, bool default_value) const;
  // A section counts only when it holds at least one entry.
  bool HasSection(const char* section) const;

 private:
  platform::Profile& profile_;
  TextString script_path_;
};

inline constexpr char SECTION_SOURCES[] = "Sources";

// Reports a required key of a pack section that the script lacks; gives COMPILE_MISSING_KEY.
CompileResult ReportMissingKey(const ScriptValues& script, const char* key, const char* section);

}  // namespace vtsetup

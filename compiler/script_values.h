#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/text_string.h"
#include "compiler/compile_notes.h"
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
// The value without its comment and trailing blanks.
TextString Cleaned(TextString value);
// The C library's reading of a leading decimal number: blanks, a sign, digits; 0 when there are none.
// Numbers beyond the 32-bit range are held at its ends.
std::int32_t LeadingNumber(const char* text);
// The number that a text spells when it is nothing else: blanks around it and a comment after it are
// allowed, a sign, then decimal digits. Numbers too long to matter are held at +-10^18.
std::optional<std::int64_t> PlainNumber(const TextString& text);

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
// A value that fills its buffer is read again into a larger one: when that shows it was cut, it is
// noted, and the compilation must fail before it uses it (AllValuesWhole). Integers and switches that
// the profile reads otherwise than they are written are warned of.
class ScriptValues {
 public:
  ScriptValues(platform::Profile& profile, TextString script_path, CompileNotes& notes)
      : profile_(profile), script_path_(std::move(script_path)), notes_(notes) {}

  const TextString& ScriptPath() const { return script_path_; }
  CompileNotes& Notes() const { return notes_; }

  // The value as the profile gives it, at most 255 characters.
  TextString Raw(const char* section, const char* key, const char* default_value) const;
  // The value without its comment and trailing blanks.
  TextString Clean(const char* section, const char* key, const char* default_value) const;
  // False once any value read so far was cut by its buffer.
  bool AllValuesWhole() const { return !notes_.AnyValueCut(); }

  // A field of 32 bits, signed.
  std::int32_t Number(const char* section, const char* key, std::int32_t default_value) const;
  // A field of 16 bits, unsigned: the number's low 16 bits are stored.
  std::uint16_t SmallNumber(const char* section, const char* key, std::uint16_t default_value) const;
  // Only the exact value 1 switches a flag on.
  bool Flag(const char* section, const char* key, bool default_value) const;
  // A section counts only when it holds at least one entry.
  bool HasSection(const char* section) const;

 private:
  // The numbers a field takes, for the warning when a key's text is not one of them.
  struct NumberField {
    std::int64_t low;
    std::int64_t high;
    const char* what;  // how the warning says what the field takes
  };
  // Warns when the key is there and its text is not a plain number of the field; `stored` is what the
  // field gets from it.
  void CheckNumberText(const char* section, const char* key, const NumberField& field,
                       const TextString& stored) const;

  platform::Profile& profile_;
  TextString script_path_;
  CompileNotes& notes_;
};

inline constexpr char SECTION_SOURCES[] = "Sources";

// Reports a required key of a pack section that the script lacks; gives COMPILE_MISSING_KEY.
CompileResult ReportMissingKey(const ScriptValues& script, const char* key, const char* section);

}  // namespace vtsetup

#include "compiler/script_values.h"

#include <limits>
#include <string_view>

#include "base/ascii.h"
#include "base/console.h"

namespace vtsetup {
namespace {

constexpr std::uint32_t kValueBuffer = 256;
constexpr std::uint32_t kSectionProbeBuffer = 200;

}  // namespace

void StripComment(TextString& value) {
  const std::int32_t at = value.Find("//");
  if (at >= 0) {
    value = value.Left(static_cast<std::uint32_t>(at));
  }
}

void TrimTrailingSpaces(TextString& value) {
  std::uint32_t length = value.Length();
  while (length > 0 && value.At(length - 1) == ' ') {
    --length;
  }
  if (length != value.Length()) {
    value = value.Left(length);
  }
}

TextString Cleaned(TextString value) {
  StripComment(value);
  TrimTrailingSpaces(value);
  return value;
}

std::int32_t LeadingNumber(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
    ++text;
  }
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') {
    ++text;
  }
  std::int64_t number = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    number = number * 10 + (*text - '0');
    if (number > std::numeric_limits<std::int32_t>::max()) {
      number = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    }
  }
  number = negative ? -number : number;
  if (number > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(number);
}

ReferenceCheck CheckReference(const TextString& token, const CatalogueReference& kind, std::size_t count,
                              std::int32_t& number) {
  if (token.Find(kind.word) < 0) {
    return ReferenceCheck::NotAReference;
  }
  number = LeadingNumber(token.Data() + token.Find(TextString(&kind.letter, 1).Data()) + 1);
  if (number > static_cast<std::int64_t>(count)) {
    return ReferenceCheck::TooHigh;
  }
  return number < 1 ? ReferenceCheck::TooLow : ReferenceCheck::Ok;
}

std::optional<std::int64_t> PlainNumber(const TextString& text) {
  TextString value(text);
  StripComment(value);
  std::string_view rest = TrimBlanks({value.Data(), value.Length()});
  const bool negative = !rest.empty() && rest.front() == '-';
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    rest.remove_prefix(1);
  }
  if (rest.empty()) {
    return std::nullopt;
  }
  constexpr std::int64_t kHeld = 1000000000000000000;
  std::int64_t number = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    number = number >= kHeld / 10 ? kHeld : number * 10 + (c - '0');
  }
  return negative ? -number : number;
}

CompileResult ReportMissingKey(const ScriptValues& script, const char* key, const char* section) {
  ConsolePrint("Fehler: Schluesselwort %s in Section %s in der Datei %s nicht gefunden => Abbruch.", key,
               section, script.ScriptPath().Data());
  return COMPILE_MISSING_KEY;
}

TextString ScriptValues::Raw(const char* section, const char* key, const char* default_value) const {
  TextString value = profile_.ReadString(script_path_.Data(), section, key, default_value, kValueBuffer);
  // A value that fills the buffer may have been cut; one character more of room tells.
  if (value.Length() + 1 == kValueBuffer &&
      profile_.ReadString(script_path_.Data(), section, key, default_value, kValueBuffer + 1).Length() >
          value.Length()) {
    notes_.NoteCutValue(section, key, script_path_.Data());
  }
  return value;
}

TextString ScriptValues::Clean(const char* section, const char* key, const char* default_value) const {
  return Cleaned(Raw(section, key, default_value));
}

std::int32_t ScriptValues::Number(const char* section, const char* key, std::int32_t default_value) const {
  const std::int32_t number = profile_.ReadInt(script_path_.Data(), section, key, default_value);
  TextString stored;
  stored.Format("%d", static_cast<int>(number));
  CheckNumberText(section, key,
                  {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                   "a number from -2147483648 to 2147483647"},
                  stored);
  return number;
}

std::uint16_t ScriptValues::SmallNumber(const char* section, const char* key,
                                        std::uint16_t default_value) const {
  const auto number =
      static_cast<std::uint16_t>(profile_.ReadInt(script_path_.Data(), section, key, default_value));
  TextString stored;
  stored.Format("%u", static_cast<unsigned>(number));
  CheckNumberText(section, key, {0, std::numeric_limits<std::uint16_t>::max(), "a number from 0 to 65535"},
                  stored);
  return number;
}

bool ScriptValues::Flag(const char* section, const char* key, bool default_value) const {
  const bool on = profile_.ReadInt(script_path_.Data(), section, key, default_value ? 1 : 0) == 1;
  CheckNumberText(section, key, {0, 1, "0 or 1"}, on ? "1, on" : "0, off");
  return on;
}

void ScriptValues::CheckNumberText(const char* section, const char* key, const NumberField& field,
                                   const TextString& stored) const {
  // Read apart from Raw: the profile reads a number whatever its length, so no buffer cuts it.
  const TextString text = profile_.ReadString(script_path_.Data(), section, key, MISSING_VALUE, kValueBuffer);
  if (text == MISSING_VALUE) {
    return;
  }
  const std::optional<std::int64_t> number = PlainNumber(text);
  if (number && *number >= field.low && *number <= field.high) {
    return;
  }
  notes_.Warn("[%s] %s=%s in %s is read as %s; the key takes %s", section, key, text.Data(),
              script_path_.Data(), stored.Data(), field.what);
}

bool ScriptValues::HasSection(const char* section) const {
  return profile_.ReadSection(script_path_.Data(), section, kSectionProbeBuffer) != 0;
}

}  // namespace vtsetup

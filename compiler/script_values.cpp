#include "compiler/script_values.h"

#include <limits>

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

CompileResult ReportMissingKey(const ScriptValues& script, const char* key, const char* section) {
  ConsolePrint("Fehler: Schluesselwort %s in Section %s in der Datei %s nicht gefunden => Abbruch.", key,
               section, script.ScriptPath().Data());
  return COMPILE_MISSING_KEY;
}

TextString ScriptValues::Raw(const char* section, const char* key, const char* default_value) const {
  return profile_.ReadString(script_path_.Data(), section, key, default_value, kValueBuffer);
}

TextString ScriptValues::Clean(const char* section, const char* key, const char* default_value) const {
  TextString value = Raw(section, key, default_value);
  StripComment(value);
  TrimTrailingSpaces(value);
  return value;
}

std::int32_t ScriptValues::Number(const char* section, const char* key, std::int32_t default_value) const {
  return profile_.ReadInt(script_path_.Data(), section, key, default_value);
}

bool ScriptValues::Flag(const char* section, const char* key, bool default_value) const {
  return Number(section, key, default_value ? 1 : 0) == 1;
}

bool ScriptValues::HasSection(const char* section) const {
  return profile_.ReadSection(script_path_.Data(), section, kSectionProbeBuffer) != 0;
}

}  // namespace vtsetup

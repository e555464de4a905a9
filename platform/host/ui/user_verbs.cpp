#include "platform/host/ui/user_verbs.h"

#include <array>

#include "base/ascii.h"
#include "base/code_page.h"
#include "base/quoted.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::array<std::string_view, 7> kAnswerNames = {"ok",     "cancel", "abort", "retry",
                                                          "ignore", "yes",    "no"};
constexpr std::uint32_t kLargestId = 0xFFFF;
constexpr std::uint32_t kLargestIndex = 0x7FFFFFFF;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

ParsedAction Fail(std::string error) {
  return {std::nullopt, std::move(error)};
}

// The action of a verb that names one control.
std::optional<ActionKind> ControlVerb(std::string_view verb) {
  if (EqualNoCase(verb, "press")) {
    return ActionKind::Press;
  }
  if (EqualNoCase(verb, "check")) {
    return ActionKind::Check;
  }
  if (EqualNoCase(verb, "uncheck")) {
    return ActionKind::Uncheck;
  }
  return std::nullopt;
}

}  // namespace

std::string_view TrimSpace(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsSpace(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsSpace(text[at])) {
      ++at;
    }
    const std::size_t start = at;
    while (at < text.size() && !IsSpace(text[at])) {
      ++at;
    }
    if (at > start) {
      words.push_back(text.substr(start, at - start));
    }
  }
  return words;
}

std::optional<std::uint32_t> ParseNumber(std::string_view digits, std::uint32_t maximum) {
  if (digits.empty()) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > maximum) {
      return std::nullopt;
    }
  }
  return static_cast<std::uint32_t>(value);
}

ParsedAction ParseAction(std::string_view text) {
  const std::vector<std::string_view> words = SplitWords(text);
  if (words.empty()) {
    return Fail("an empty action");
  }
  const std::string_view verb = words[0];
  if (EqualNoCase(verb, "key")) {
    if (words.size() == 2 && EqualNoCase(words[1], "enter")) {
      return {UserAction{ActionKind::KeyEnter}, {}};
    }
    if (words.size() == 2 && EqualNoCase(words[1], "escape")) {
      return {UserAction{ActionKind::KeyEscape}, {}};
    }
    return Fail("\"key\" takes enter or escape");
  }
  const bool select = EqualNoCase(verb, "select");
  const std::optional<ActionKind> kind = select ? ActionKind::Select : ControlVerb(verb);
  if (!kind) {
    return Fail("unknown action " + Quoted(TrimSpace(text)) +
                " (press, check, uncheck, select, key enter, key escape)");
  }
  const std::size_t wanted = select ? 3 : 2;
  if (words.size() != wanted) {
    return Fail(Quoted(verb) + (select ? " takes a list id and an item index" : " takes a control id"));
  }
  const std::optional<std::uint32_t> id = ParseNumber(words[1], kLargestId);
  if (!id) {
    return Fail("control id " + Quoted(words[1]) + " is not a number from 0 to 65535");
  }
  UserAction action{*kind, static_cast<std::uint16_t>(*id), 0};
  if (select) {
    const std::optional<std::uint32_t> index = ParseNumber(words[2], kLargestIndex);
    if (!index) {
      return Fail("item index " + Quoted(words[2]) + " is not a number from 0");
    }
    action.index = static_cast<std::int32_t>(*index);
  }
  return {action, {}};
}

std::optional<std::int32_t> ParseMessageAnswer(std::string_view word) {
  for (std::size_t i = 0; i < kAnswerNames.size(); ++i) {
    if (EqualNoCase(word, kAnswerNames[i])) {
      return static_cast<std::int32_t>(i + 1);
    }
  }
  if (const std::optional<std::uint32_t> number = ParseNumber(word, kAnswerNames.size());
      number && *number >= 1) {
    return static_cast<std::int32_t>(*number);
  }
  return std::nullopt;
}

std::string AnswerName(std::int32_t answer) {
  if (answer >= 1 && answer <= static_cast<std::int32_t>(kAnswerNames.size())) {
    return std::string(kAnswerNames[static_cast<std::size_t>(answer - 1)]);
  }
  return std::to_string(answer);
}

std::vector<std::int32_t> BoxAnswers(std::uint32_t style) {
  switch (style & 0x0Fu) {
    case 1:
      return {1, 2};
    case 2:
      return {3, 4, 5};
    case 3:
      return {6, 7, 2};
    case 4:
      return {6, 7};
    case 5:
      return {4, 2};
    default:
      return {1};
  }
}

std::optional<std::string> Utf8ToCp1250(std::string_view text) {
  std::string converted;
  converted.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::optional<char32_t> character = NextUtf8Character(text, at);
    if (!character) {
      return std::nullopt;
    }
    const std::optional<unsigned char> byte = Cp1250Byte(*character);
    if (!byte) {
      return std::nullopt;
    }
    converted.push_back(static_cast<char>(*byte));
  }
  return converted;
}

std::string ActionText(const UserAction& action) {
  const std::string id = std::to_string(action.id);
  switch (action.kind) {
    case ActionKind::Press:
      return "press " + id;
    case ActionKind::Check:
      return "check " + id;
    case ActionKind::Uncheck:
      return "uncheck " + id;
    case ActionKind::Select:
      return "select " + id + " " + std::to_string(action.index);
    case ActionKind::KeyEnter:
      return "key enter";
    case ActionKind::KeyEscape:
      break;
  }
  return "key escape";
}

}  // namespace vtsetup::platform::host

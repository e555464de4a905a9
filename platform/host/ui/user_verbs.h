#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

// The words of the user's actions and answers, shared by answers files and the terminal, so that a
// person can try at the terminal what a script will say. Words are read without regard to ASCII case.

struct ParsedAction {
  std::optional<UserAction> action;
  std::string error;  // UTF-8, when there is no action
};

// "press ID", "check ID", "uncheck ID", "select ID INDEX" (the list's own position, from 0),
// "key enter", "key escape".
ParsedAction ParseAction(std::string_view text);
// An action in the words that ParseAction reads.
std::string ActionText(const UserAction& action);

// An answer by name (ok, cancel, abort, retry, ignore, yes, no) or number (1 to 7).
std::optional<std::int32_t> ParseMessageAnswer(std::string_view word);
// The name of an answer; the number for one without a name.
std::string AnswerName(std::int32_t answer);
// The answers that a box of this style offers, in the order of its buttons.
std::vector<std::int32_t> BoxAnswers(std::uint32_t style);

// UTF-8 text in code page 1250; nothing when it is not UTF-8 or holds a character the code page lacks.
std::optional<std::string> Utf8ToCp1250(std::string_view text);

// Without the spaces, tabs and line ends around it.
std::string_view TrimSpace(std::string_view text);
std::vector<std::string_view> SplitWords(std::string_view text);
// A decimal number of digits only, up to `maximum`.
std::optional<std::uint32_t> ParseNumber(std::string_view digits, std::uint32_t maximum);

}  // namespace vtsetup::platform::host

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

enum class VisitKind { Page, Message, Browse };

// One line of an answers file: what the user does on one visit.
//   page N: ACTION; ACTION; ...     (the actions of user_verbs.h)
//   message ANSWER                  (a name or a number from 1 to 7)
//   browse PATH | browse "PATH" | browse cancel
// "#" starts a comment, except inside a quoted path; blank lines do not count.
struct AnswerLine {
  std::size_t line = 0;  // in the file, from 1
  VisitKind kind = VisitKind::Page;
  std::uint16_t page = 0;
  std::vector<UserAction> actions;    // at least one
  std::int32_t answer = 0;            // for a message box
  std::optional<std::string> folder;  // code page 1250; nothing for cancel
};

struct AnswersRead {
  std::vector<AnswerLine> lines;
  std::string error;  // UTF-8, naming the file and the line; empty when the file was read
};

// The file's text is UTF-8; a byte-order mark is allowed.
AnswersRead ParseAnswers(std::string_view text, const std::string& file_name);
AnswersRead ReadAnswersFile(const std::string& path);

}  // namespace vtsetup::platform::host

#include "platform/host/ui/answers_file.h"

#include "base/code_page.h"
#include "base/quoted.h"
#include "platform/host/machine/host_errors.h"
#include "platform/host/machine/whole_file.h"
#include "platform/host/ui/user_verbs.h"

namespace vtsetup::platform::host {
namespace {

// Far more than any script needs; a larger file is a mistake, not an answers file.
constexpr std::size_t kLargestFile = 1 << 20;

std::string_view WithoutComment(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == '#' && !quoted) {
      return line.substr(0, i);
    }
  }
  return line;
}

class AnswersParser {
 public:
  explicit AnswersParser(const std::string& file_name) : file_name_(file_name) {}

  AnswersRead Parse(std::string_view text) {
    if (text.starts_with(UTF8_BYTE_ORDER_MARK)) {
      text.remove_prefix(UTF8_BYTE_ORDER_MARK.size());
    }
    AnswersRead read;
    std::size_t number = 0;
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      const std::string_view line = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      ++number;
      const std::string_view content = TrimSpace(WithoutComment(line));
      if (content.empty()) {
        continue;
      }
      AnswerLine answer;
      answer.line = number;
      if (const std::string error = Line(content, answer); !error.empty()) {
        return {{}, file_name_ + " line " + std::to_string(number) + ": " + error};
      }
      read.lines.push_back(std::move(answer));
    }
    return read;
  }

 private:
  // An error text, empty when the line was understood.
  static std::string Line(std::string_view content, AnswerLine& answer) {
    const std::vector<std::string_view> words = SplitWords(content);
    if (EqualNoCase(words[0], "message")) {
      return Message(words, answer);
    }
    if (EqualNoCase(words[0], "browse")) {
      return Browse(TrimSpace(content.substr(words[0].size())), answer);
    }
    const std::size_t colon = content.find(':');
    const std::vector<std::string_view> head = SplitWords(content.substr(0, colon));
    if (!head.empty() && EqualNoCase(head[0], "page")) {
      if (colon == std::string_view::npos || head.size() != 2) {
        return "a page line is \"page N: ACTION; ACTION; ...\"";
      }
      return Page(head[1], content.substr(colon + 1), answer);
    }
    return Quoted(content) + " is not a page, message or browse line";
  }

  static std::string Page(std::string_view number, std::string_view actions, AnswerLine& answer) {
    const std::optional<std::uint32_t> page = ParseNumber(number, 0xFFFF);
    if (!page) {
      return "page " + Quoted(number) + " is not a number from 0 to 65535";
    }
    answer.kind = VisitKind::Page;
    answer.page = static_cast<std::uint16_t>(*page);
    while (!actions.empty()) {
      const std::size_t end = actions.find(';');
      const std::string_view text = TrimSpace(actions.substr(0, end));
      actions = end == std::string_view::npos ? std::string_view() : actions.substr(end + 1);
      if (text.empty()) {
        continue;  // "a; b;" and "a;; b" mean what they say
      }
      ParsedAction parsed = ParseAction(text);
      if (!parsed.action) {
        return parsed.error;
      }
      answer.actions.push_back(*parsed.action);
    }
    return answer.actions.empty() ? "page " + std::to_string(answer.page) + " has no actions" : "";
  }

  static std::string Message(const std::vector<std::string_view>& words, AnswerLine& answer) {
    const std::optional<std::int32_t> value = words.size() == 2 ? ParseMessageAnswer(words[1]) : std::nullopt;
    if (!value) {
      return "a message line is \"message ANSWER\" with ok, cancel, abort, retry, ignore, yes, no or 1 to 7";
    }
    answer.kind = VisitKind::Message;
    answer.answer = *value;
    return "";
  }

  static std::string Browse(std::string_view path, AnswerLine& answer) {
    answer.kind = VisitKind::Browse;
    if (EqualNoCase(path, "cancel")) {
      return "";
    }
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
      path = path.substr(1, path.size() - 2);
    }
    if (path.empty() || path.find('"') != std::string_view::npos) {
      return "a browse line is \"browse PATH\", \"browse \\\"PATH\\\"\" or \"browse cancel\"";
    }
    answer.folder = Utf8ToCp1250(path);
    return answer.folder ? "" : "the path is not UTF-8 or has characters that code page 1250 lacks";
  }

  const std::string& file_name_;
};

}  // namespace

AnswersRead ParseAnswers(std::string_view text, const std::string& file_name) {
  return AnswersParser(file_name).Parse(text);
}

AnswersRead ReadAnswersFile(const std::string& path) {
  const WholeFile file = ReadWholeFile(path, kLargestFile);
  switch (file.outcome) {
    case WholeFileRead::Read:
      return ParseAnswers(file.text, path);
    case WholeFileRead::Missing:
      return {{}, path + ": the answers file does not exist"};
    case WholeFileRead::TooLarge:
      return {{}, path + ": the answers file is larger than " + std::to_string(kLargestFile) + " bytes"};
    case WholeFileRead::Failed:
      break;
  }
  return {{}, path + ": the answers file cannot be read: " + ErrorReason(file.error_number, path)};
}

}  // namespace vtsetup::platform::host

#include "platform/host/ui/rtf_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/code_page.h"

namespace vtsetup::platform::host {
namespace {

// Groups that hold no text of the document.
constexpr std::array<std::string_view, 12> kSkippedDestinations = {
    "fonttbl", "colortbl", "stylesheet", "info",      "pict",      "header",
    "footer",  "object",   "listtable",  "themedata", "datastore", "listoverridetable"};

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return std::nullopt;
}

class RtfReader {
 public:
  explicit RtfReader(std::string_view rtf) : rtf_(rtf) {}

  std::string Read() {
    while (at_ < rtf_.size()) {
      const char c = rtf_[at_++];
      if (c == '{') {
        groups_.push_back(groups_.back());
        fallback_left_ = 0;
      } else if (c == '}') {
        if (groups_.size() > 1) {
          groups_.pop_back();
        }
        fallback_left_ = 0;
      } else if (c == '\\') {
        Control();
      } else if (c != '\r' && c != '\n') {  // line ends of the file are not the document's
        Emit(c);
      }
    }
    return std::move(text_);
  }

 private:
  struct Group {
    bool skipped = false;
    int fallback_length = 1;  // characters that stand for each "\uN" to readers without Unicode
  };

  void Emit(char c) {
    if (groups_.back().skipped) {
      return;
    }
    if (fallback_left_ > 0) {
      --fallback_left_;
      return;
    }
    text_.push_back(c);
  }

  void Control() {
    if (at_ >= rtf_.size()) {
      return;
    }
    if (IsLetter(rtf_[at_])) {
      Word();
      return;
    }
    const char symbol = rtf_[at_++];
    switch (symbol) {
      case '\'':
        Hex();
        break;
      case '*':
        groups_.back().skipped = true;
        break;
      case '~':
        Emit('\xA0');  // the no-break space
        break;
      case '_':
        Emit('-');
        break;
      case '-':  // an optional hyphen, not shown on an unbroken line
        break;
      case '\r':
      case '\n':
        Emit('\n');
        break;
      default:  // "\\", "\{", "\}"
        Emit(symbol);
        break;
    }
  }

  void Hex() {
    if (at_ + 2 > rtf_.size()) {
      at_ = rtf_.size();
      return;
    }
    const std::optional<int> high = HexDigit(rtf_[at_]);
    const std::optional<int> low = HexDigit(rtf_[at_ + 1]);
    at_ += 2;
    if (high && low) {
      Emit(static_cast<char>(*high * 16 + *low));
    }
  }

  void Word() {
    const std::size_t start = at_;
    while (at_ < rtf_.size() && IsLetter(rtf_[at_])) {
      ++at_;
    }
    const std::string_view word = rtf_.substr(start, at_ - start);
    const std::optional<std::int64_t> parameter = Parameter();
    if (at_ < rtf_.size() && rtf_[at_] == ' ') {
      ++at_;  // the delimiter belongs to the word
    }
    if (word == "par" || word == "line") {
      Emit('\n');
    } else if (word == "tab") {
      Emit('\t');
    } else if (word == "u" && parameter) {
      // Values above 32767 are written negative.
      const auto character = static_cast<char32_t>(*parameter < 0 ? *parameter + 65536 : *parameter);
      Emit(static_cast<char>(Cp1250Byte(character).value_or('?')));
      fallback_left_ = groups_.back().fallback_length;
    } else if (word == "uc" && parameter) {
      groups_.back().fallback_length = static_cast<int>(std::clamp<std::int64_t>(*parameter, 0, 16));
    } else if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) !=
               kSkippedDestinations.end()) {
      groups_.back().skipped = true;
    }
  }

  // A word's numeric parameter; RTF allows at most a 32-bit value, so longer digit runs are cut.
  std::optional<std::int64_t> Parameter() {
    const bool negative = at_ < rtf_.size() && rtf_[at_] == '-';
    const std::size_t digits = at_ + (negative ? 1 : 0);
    std::size_t end = digits;
    std::int64_t value = 0;
    while (end < rtf_.size() && rtf_[end] >= '0' && rtf_[end] <= '9') {
      value = std::min(value * 10 + (rtf_[end] - '0'), std::int64_t{0x7FFFFFFF});
      ++end;
    }
    if (end == digits) {
      return std::nullopt;
    }
    at_ = end;
    return negative ? -value : value;
  }

  std::string_view rtf_;
  std::size_t at_ = 0;
  std::vector<Group> groups_{Group{}};
  int fallback_left_ = 0;
  std::string text_;
};

}  // namespace

std::string RtfToText(std::string_view rtf) {
  if (!rtf.starts_with("{\\rtf")) {
    return std::string(rtf);
  }
  return RtfReader(rtf).Read();
}

}  // namespace vtsetup::platform::host

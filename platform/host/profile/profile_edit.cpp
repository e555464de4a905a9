#include "platform/host/profile/profile_edit.h"

#include <optional>
#include <vector>

#include "base/ascii.h"
#include "platform/host/profile/profile_lines.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

struct Line {
  std::string_view raw;  // with its line end
  ProfileLine what;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::string_view raw = TakeLine(text);
    lines.push_back({raw, ClassifyProfileLine(raw)});
  }
  return lines;
}

bool IsSectionNamed(const Line& line, const char* section) {
  return line.what.kind == ProfileLineKind::Section && NameMatches(line.what.name, section);
}

bool IsEntryNamed(const Line& line, const char* key) {
  return line.what.kind == ProfileLineKind::Entry && NameMatches(line.what.name, key);
}

void AppendLines(std::string& out, const std::vector<Line>& lines, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    out += lines[i].raw;
  }
}

// A line of ours, after ending the text's last line where the file left it open.
void AppendOwnLine(std::string& out, std::string_view first, std::string_view second = {},
                   std::string_view third = {}) {
  if (!out.empty() && out.back() != '\n') {
    out += kLineEnd;
  }
  out.append(first).append(second).append(third).append(kLineEnd);
}

struct SectionRange {
  std::size_t header;
  std::size_t end;  // the next header, or the end of the file
};

std::optional<SectionRange> FirstSection(const std::vector<Line>& lines, const char* section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsSectionNamed(lines[i], section)) {
      std::size_t end = i + 1;
      while (end < lines.size() && lines[end].what.kind != ProfileLineKind::Section) {
        ++end;
      }
      return SectionRange{i, end};
    }
  }
  return std::nullopt;
}

std::string WithoutSections(const std::vector<Line>& lines, const char* section) {
  std::string out;
  bool dropping = false;
  for (const Line& line : lines) {
    if (line.what.kind == ProfileLineKind::Section) {
      dropping = NameMatches(line.what.name, section);
    }
    if (!dropping) {
      out += line.raw;
    }
  }
  return out;
}

std::string WithoutKey(const std::vector<Line>& lines, const SectionRange& range, const char* key) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i <= range.header || i >= range.end || !IsEntryNamed(lines[i], key)) {
      out += lines[i].raw;
    }
  }
  return out;
}

std::string WithValue(const std::vector<Line>& lines, const SectionRange& range, const char* key,
                      std::string_view value) {
  std::string out;
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (IsEntryNamed(lines[i], key)) {
      AppendLines(out, lines, 0, i);
      AppendOwnLine(out, lines[i].what.name, "=", value);
      AppendLines(out, lines, i + 1, lines.size());
      return out;
    }
  }
  std::size_t after = range.header + 1;
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (lines[i].what.kind == ProfileLineKind::Entry) {
      after = i + 1;
    }
  }
  AppendLines(out, lines, 0, after);
  AppendOwnLine(out, key, "=", value);
  AppendLines(out, lines, after, lines.size());
  return out;
}

std::string WithNewSection(std::string_view text, const std::vector<Line>& lines, const char* section,
                           const char* key, std::string_view value) {
  std::string out(text);
  if (!lines.empty() && lines.back().what.kind != ProfileLineKind::Blank) {
    AppendOwnLine(out, "");
  }
  AppendOwnLine(out, "[", section, "]");
  AppendOwnLine(out, key, "=", value);
  return out;
}

std::string EditBody(std::string_view text, const char* section, const char* key, const char* value) {
  const std::vector<Line> lines = SplitLines(text);
  if (key == nullptr) {
    return WithoutSections(lines, section);
  }
  const std::optional<SectionRange> range = FirstSection(lines, section);
  if (value == nullptr) {
    return range ? WithoutKey(lines, *range, key) : std::string(text);
  }
  return range ? WithValue(lines, *range, key, value) : WithNewSection(text, lines, section, key, value);
}

}  // namespace

std::string EditProfileText(std::string_view text, const char* section, const char* key, const char* value) {
  const std::string_view body = ProfileBody(text);
  return std::string(text.substr(0, text.size() - body.size())) + EditBody(body, section, key, value);
}

}  // namespace vtsetup::platform::host

#include "platform/host/registry/registry_text.h"

#include <algorithm>
#include <utility>

#include "base/ascii.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kLineEnd = "\r\n";
// regedit keeps continued hex data within 80 columns.
constexpr std::size_t kHexLineWidth = 80;
constexpr char kHexDigits[] = "0123456789abcdef";

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The lines of a file without their line ends, CRLF or LF.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}
  bool AtEnd() const { return rest_.empty(); }
  std::string_view Peek() const {
    std::string_view line = rest_.substr(0, rest_.find('\n'));
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    return line;
  }
  std::string_view Take() {
    const std::string_view line = Peek();
    const std::size_t end = rest_.find('\n');
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return line;
  }

 private:
  std::string_view rest_;
};

// The names of a key path one by one; "A\\" gives "A" and then an empty name.
class PathNames {
 public:
  explicit PathNames(std::string_view path) : rest_(path), done_(path.empty()) {}
  std::optional<std::string_view> Next() {
    if (done_) {
      return std::nullopt;
    }
    const std::size_t slash = rest_.find('\\');
    const std::string_view name = rest_.substr(0, slash);
    if (slash == std::string_view::npos) {
      done_ = true;
    } else {
      rest_.remove_prefix(slash + 1);
    }
    return name;
  }

 private:
  std::string_view rest_;
  bool done_;
};

// How many of `key`'s names, from its root on, a section's path begins with; `exact` when the path
// names no more than that.
struct PathMatch {
  std::size_t levels = 0;
  bool exact = false;
};

PathMatch MatchPath(std::string_view path, const KeyPath& key) {
  PathNames names(path);
  PathMatch match;
  while (const auto name = names.Next()) {
    if (match.levels == key.size() || !EqualNoCase(*name, key[match.levels])) {
      return match;
    }
    ++match.levels;
  }
  match.exact = match.levels == key.size();
  return match;
}

// A quoted text at the start of `text`, unescaped; `text` moves past its closing quote.
std::optional<std::string> TakeQuoted(std::string_view& text) {
  if (text.empty() || text.front() != '"') {
    return std::nullopt;
  }
  std::string result;
  for (std::size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return result;
    }
    if (c == '\\') {
      if (i + 1 == text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
        return std::nullopt;
      }
      c = text[++i];
    }
    result += c;
  }
  return std::nullopt;
}

std::string Quoted(std::string_view text) {
  std::string result = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') {
      result += '\\';
    }
    result += c;
  }
  result += '"';
  return result;
}

struct Value {
  std::string name;
  // After the "=", blanks around it removed; never empty.
  std::string_view data;
};

std::optional<Value> ParseValue(std::string_view entry) {
  std::string_view rest = TrimLeft(entry);
  Value value;
  if (!rest.empty() && rest.front() == '@') {
    rest.remove_prefix(1);
  } else if (auto name = TakeQuoted(rest)) {
    value.name = std::move(*name);
  } else {
    return std::nullopt;
  }
  rest = TrimLeft(rest);
  if (rest.empty() || rest.front() != '=') {
    return std::nullopt;
  }
  value.data = TrimBlanks(rest.substr(1));
  if (value.data.empty()) {
    return std::nullopt;
  }
  if (value.data.front() == '"') {
    std::string_view after = value.data;
    if (!TakeQuoted(after) || !after.empty()) {
      return std::nullopt;
    }
  }
  return value;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  const char upper = AsciiUpper(c);
  return (upper >= 'A' && upper <= 'F') ? upper - 'A' + 10 : -1;
}

// The bytes of hex data such as "41,42,00", over continued lines, up to the first zero byte; nothing
// when the data is not a list of two-digit bytes.
std::optional<std::string> HexText(std::string_view hex) {
  std::string text;
  bool ended = false;
  int digits = 0;
  int byte = 0;
  const auto finish_byte = [&] {
    ended = ended || byte == 0;
    if (!ended) {
      text += static_cast<char>(byte);
    }
    digits = 0;
    byte = 0;
  };
  for (const char c : hex) {
    if (IsBlank(c) || c == '\\' || c == '\r' || c == '\n') {
      continue;
    }
    if (c == ',') {
      if (digits != 2) {
        return std::nullopt;
      }
      finish_byte();
      continue;
    }
    const int digit = HexDigitValue(c);
    if (digit < 0 || digits == 2) {
      return std::nullopt;
    }
    byte = byte * 16 + digit;
    ++digits;
  }
  if (digits == 1) {
    return std::nullopt;
  }
  if (digits == 2) {
    finish_byte();
  }
  return text;
}

std::optional<std::string> StringData(std::string_view data) {
  if (data.front() == '"') {
    return TakeQuoted(data);
  }
  for (const std::string_view type : {std::string_view("hex(1):"), std::string_view("hex(2):")}) {
    if (StartsWithNoCase(data, type)) {
      return HexText(data.substr(type.size()));
    }
  }
  return std::nullopt;
}

// A string as hex(1) with its terminating zero, wrapped as regedit wraps hex data.
std::string HexStringData(std::string line, std::string_view text) {
  line += "hex(1):";
  std::string result;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (line.size() + 4 > kHexLineWidth) {  // "xx," and the backslash
      result += line;
      result += "\\";
      result += kLineEnd;
      line = "  ";
    }
    const auto byte = static_cast<unsigned char>(i < text.size() ? text[i] : '\0');
    line += kHexDigits[byte >> 4];
    line += kHexDigits[byte & 15];
    if (i < text.size()) {
      line += ',';
    }
  }
  return result + line;
}

std::string ValueEntry(std::string_view name, std::string_view text) {
  std::string line = name.empty() ? std::string("@") : Quoted(name);
  line += '=';
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    return HexStringData(std::move(line), text);
  }
  return line + Quoted(text);
}

bool EndsWithBackslash(std::string_view text) {
  text = TrimRight(text);
  return !text.empty() && text.back() == '\\';
}

// A value of another type than string whose line ends in a backslash goes on over the next lines; a
// blank line or a header ends it all the same. Such a value keeps the blank line that ended it, or
// the next value written after it would become part of it when the file is read again.
void TakeContinuation(std::string& entry, LineReader& lines) {
  const auto value = ParseValue(entry);
  if (!value || value->data.front() == '"') {
    return;
  }
  while (EndsWithBackslash(entry)) {
    const std::string_view next = TrimBlanks(lines.Peek());
    if (lines.AtEnd() || next.empty() || next.front() == '[') {
      entry += kLineEnd;
      return;
    }
    entry += kLineEnd;
    entry += lines.Take();
  }
}

}  // namespace

std::optional<KeyPath> SplitKeyPath(std::string_view path) {
  KeyPath names;
  PathNames walker(path);
  while (const auto name = walker.Next()) {
    if (name->empty() || names.size() == kMaxKeyDepth + 1) {
      return std::nullopt;
    }
    names.emplace_back(*name);
  }
  return names;
}

RegistryText RegistryText::Parse(std::string_view file_text) {
  RegistryText result;
  result.sections_.emplace_back();
  LineReader lines(file_text);
  bool header_expected = true;
  while (!lines.AtEnd()) {
    const std::string_view line = lines.Take();
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty()) {
      continue;
    }
    if (std::exchange(header_expected, false) && trimmed == kHeader) {
      continue;
    }
    if (trimmed.front() == '[') {
      Section& section = result.sections_.emplace_back();
      section.header = line;
      if (trimmed.size() >= 2 && trimmed.back() == ']') {
        const std::string_view path = trimmed.substr(1, trimmed.size() - 2);
        const auto names = SplitKeyPath(path);
        if (names && !names->empty()) {
          section.path = path;
        }
      }
      continue;
    }
    Section& section = result.sections_.back();
    std::string entry(line);
    if (!section.path.empty()) {
      TakeContinuation(entry, lines);
    }
    section.entries.push_back(std::move(entry));
  }
  return result;
}

std::string RegistryText::Format() const {
  std::string text(kHeader);
  text += kLineEnd;
  text += kLineEnd;
  for (const Section& section : sections_) {
    if (section.header.empty() && section.entries.empty()) {
      continue;
    }
    if (!section.header.empty()) {
      text += section.header;
      text += kLineEnd;
    }
    for (const std::string& entry : section.entries) {
      text += entry;
      text += kLineEnd;
    }
    text += kLineEnd;
  }
  return text;
}

bool RegistryText::KeyExists(const KeyPath& key) const {
  if (key.size() <= 1) {
    return true;  // the roots are always there, as Windows predefines them
  }
  for (const Section& section : sections_) {
    if (!section.path.empty() && MatchPath(section.path, key).levels == key.size()) {
      return true;
    }
  }
  return false;
}

std::optional<std::string> RegistryText::FindString(const KeyPath& key, std::string_view name) const {
  std::optional<std::string_view> data;
  for (const Section& section : sections_) {
    if (section.path.empty() || !MatchPath(section.path, key).exact) {
      continue;
    }
    for (const std::string& entry : section.entries) {
      const auto value = ParseValue(entry);
      if (value && EqualNoCase(value->name, name)) {
        data = value->data;
      }
    }
  }
  return data ? StringData(*data) : std::nullopt;
}

bool RegistryText::CreateKey(const KeyPath& key) {
  if (KeyExists(key)) {
    return false;
  }
  const std::string path = SpelledPath(key);
  sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(InsertionPoint(key)),
                   Section{"[" + path + "]", path, {}});
  return true;
}

void RegistryText::SetString(const KeyPath& key, std::string_view name, std::string_view text) {
  Section* last_section = nullptr;
  std::string* last_value = nullptr;
  std::string spelling;
  for (Section& section : sections_) {
    if (section.path.empty() || !MatchPath(section.path, key).exact) {
      continue;
    }
    last_section = &section;
    for (std::string& entry : section.entries) {
      auto value = ParseValue(entry);
      if (value && EqualNoCase(value->name, name)) {
        last_value = &entry;
        spelling = std::move(value->name);
      }
    }
  }
  if (last_value != nullptr) {
    *last_value = ValueEntry(spelling, text);
  } else if (last_section != nullptr) {
    last_section->entries.push_back(ValueEntry(name, text));
  } else {
    const std::string path = SpelledPath(key);
    sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(InsertionPoint(key)),
                     Section{"[" + path + "]", path, {ValueEntry(name, text)}});
  }
}

bool RegistryText::DeleteValue(const KeyPath& key, std::string_view name) {
  bool removed = false;
  for (Section& section : sections_) {
    if (section.path.empty() || !MatchPath(section.path, key).exact) {
      continue;
    }
    std::erase_if(section.entries, [&](const std::string& entry) {
      const auto value = ParseValue(entry);
      const bool matches = value && EqualNoCase(value->name, name);
      removed = removed || matches;
      return matches;
    });
  }
  return removed;
}

KeyCounts RegistryText::Count(const KeyPath& key) const {
  std::vector<std::string> subkeys;
  std::vector<std::string> values;
  const auto add_once = [](std::vector<std::string>& names, std::string_view name) {
    if (std::none_of(names.begin(), names.end(),
                     [&](std::string_view seen) { return EqualNoCase(seen, name); })) {
      names.emplace_back(name);
    }
  };
  for (const Section& section : sections_) {
    if (section.path.empty() || MatchPath(section.path, key).levels != key.size()) {
      continue;
    }
    PathNames names(section.path);
    for (std::size_t level = 0; level < key.size(); ++level) {
      names.Next();
    }
    if (const auto child = names.Next()) {
      add_once(subkeys, *child);
      continue;
    }
    for (const std::string& entry : section.entries) {
      if (const auto value = ParseValue(entry)) {
        add_once(values, value->name);
      }
    }
  }
  return {subkeys.size(), values.size()};
}

bool RegistryText::DeleteKeyTree(const KeyPath& key) {
  if (key.size() <= 1 || !KeyExists(key)) {
    return false;
  }
  const KeyPath parent(key.begin(), key.end() - 1);
  const std::string parent_path = SpelledPath(parent);
  std::vector<Section> kept;
  std::size_t first_removed = sections_.size();
  for (Section& section : sections_) {
    if (!section.path.empty() && MatchPath(section.path, key).levels == key.size()) {
      first_removed = std::min(first_removed, kept.size());
    } else {
      kept.push_back(std::move(section));
    }
  }
  sections_ = std::move(kept);
  if (!KeyExists(parent)) {
    sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(first_removed),
                     Section{"[" + parent_path + "]", parent_path, {}});
  }
  return true;
}

std::string RegistryText::SpelledPath(const KeyPath& key) const {
  // A name's first spelling comes from the first section that reaches down to it; since sections
  // match from the root on, the names spelled so far always form a leading run.
  std::vector<std::string_view> spelled(key.begin(), key.end());
  std::size_t settled = 0;
  for (const Section& section : sections_) {
    if (settled == key.size()) {
      break;
    }
    PathNames names(section.path);
    for (std::size_t level = 0; level < key.size(); ++level) {
      const auto name = names.Next();
      if (!name || !EqualNoCase(*name, key[level])) {
        break;
      }
      if (level == settled) {
        spelled[level] = *name;
        ++settled;
      }
    }
  }
  std::string path;
  for (const std::string_view name : spelled) {
    if (!path.empty()) {
      path += '\\';
    }
    path += name;
  }
  return path;
}

std::size_t RegistryText::InsertionPoint(const KeyPath& key) const {
  // After the last of the sections that share the most names with the key, so that a new key joins
  // its relatives; at the end when no section shares even the root.
  std::size_t point = sections_.size();
  std::size_t best = 0;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (sections_[i].path.empty()) {
      continue;
    }
    const std::size_t levels = MatchPath(sections_[i].path, key).levels;
    if (levels > 0 && levels >= best) {
      best = levels;
      point = i + 1;
    }
  }
  return point;
}

}  // namespace vtsetup::platform::host

#include "uninstaller/record_safety.h"

#include <array>
#include <vector>

#include "base/ascii.h"
#include "uninstaller/key_removal.h"

namespace vtsetup::uninstaller {
namespace {

constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE\\";
constexpr std::string_view kSoftware = "SOFTWARE";
constexpr std::string_view kSystemMaker = "Microsoft";
constexpr std::array<std::string_view, 3> kShortcutExtensions = {".lnk", ".url", ".pif"};

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::vector<std::string_view> Components(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> components;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find_first_of(separators, start);
    components.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) {
      return components;
    }
    start = end + 1;
  }
}

// Windows drops trailing dots and blanks from a path component, so ".. " and "..." are read as ".."
// and "." would be: any component made of nothing else is refused.
bool IsDotsOnly(std::string_view component) {
  return component.find_first_not_of(". ") == std::string_view::npos;
}

// Every component a plain name, the last one allowed empty (a trailing separator) when `trailing` says so.
bool PlainComponents(std::string_view text, std::string_view separators, bool trailing) {
  const std::vector<std::string_view> components = Components(text, separators);
  for (std::size_t i = 0; i < components.size(); ++i) {
    const bool last = i + 1 == components.size();
    if (components[i].empty() ? !(last && trailing && i > 0) : IsDotsOnly(components[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool StaysInDestination(std::string_view text, bool directory) {
  if (directory && text == ".") {
    return true;
  }
  if (text.empty() || IsSeparator(text[0]) || text.find(':') != std::string_view::npos) {
    return false;
  }
  return PlainComponents(text, "\\/", directory);
}

bool IsShortcutFilePath(std::string_view path) {
  const bool full = path.size() > 3 && AsciiUpper(path[0]) >= 'A' && AsciiUpper(path[0]) <= 'Z' &&
                    path[1] == ':' && path[2] == '\\';
  if (!full || path.find(':', 2) != std::string_view::npos) {
    return false;
  }
  bool shortcut = false;
  for (const std::string_view extension : kShortcutExtensions) {
    shortcut = shortcut || (path.size() > extension.size() &&
                            EqualNoCase(path.substr(path.size() - extension.size()), extension));
  }
  return shortcut && PlainComponents(path.substr(3), "\\/", false);
}

std::optional<std::string> KeyBelowLocalMachine(std::string_view key) {
  if (!StartsWithNoCase(key, kLocalMachine)) {
    return std::nullopt;
  }
  std::string_view below = key.substr(kLocalMachine.size());
  while (!below.empty() && below.back() == '\\') {
    below.remove_suffix(1);
  }
  const std::vector<std::string_view> levels = Components(below, "\\");
  for (const std::string_view level : levels) {
    if (level.empty()) {
      return std::nullopt;
    }
  }
  if (levels.size() < 2 || !EqualNoCase(levels[0], kSoftware)) {
    return std::nullopt;
  }
  if (EqualNoCase(levels[1], kSystemMaker) && !IsUninstallEntry(below)) {
    return std::nullopt;
  }
  return std::string(below);
}

bool IsGroupName(std::string_view group) {
  if (group.empty() || group.find_first_of("/:") != std::string_view::npos) {
    return false;
  }
  return PlainComponents(group, "\\", false);
}

}  // namespace vtsetup::uninstaller

#pragma once

#include <cstdint>
#include <memory>

#include "base/text_string.h"

namespace vtsetup::platform {

// Result codes of the shell's component services, as Windows numbers them: 0 success, negative failure.
using ShellResult = std::int32_t;

inline constexpr ShellResult SHELL_OK = 0;
inline constexpr ShellResult SHELL_FAIL = static_cast<ShellResult>(0x80004005u);
inline constexpr ShellResult SHELL_INVALID_ARGUMENT = static_cast<ShellResult>(0x80070057u);

// Folder ids with the shell's numbers.
enum class SpecialFolder : std::uint32_t { Desktop = 0, Programs = 2 };

// One shell link being made, as the shell's link object holds it until it is saved as a ".LNK" file.
class ShellLink {
 public:
  virtual ~ShellLink() = default;

  virtual ShellResult SetPath(const char* target) = 0;
  // The target as the link object stored it, which may differ from what was set.
  virtual TextString Path() = 0;
  virtual ShellResult SetDescription(const char* description) = 0;
  // Writes the link file; the path is in the ANSI code page.
  virtual ShellResult Save(const char* link_path) = 0;
};

struct ShellLinkMade {
  std::unique_ptr<ShellLink> link;  // null on failure
  ShellResult result = SHELL_OK;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // The folder's Windows path, empty when the system cannot tell it.
  virtual TextString FolderPath(SpecialFolder folder) = 0;
  virtual ShellLinkMade NewShellLink() = 0;
};

}  // namespace vtsetup::platform

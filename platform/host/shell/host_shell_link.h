#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/host/machine/machine.h"
#include "platform/host/shell/shell_link_file.h"
#include "platform/shell.h"

namespace vtsetup::platform::host {

// The shell's link object as the setup uses it:
// - SetPath keeps an absolute target ("X:\..." or "\\server\...") as given. Any other text is put
//   after the root of the current folder's drive, as the shell's object does with a quoted path: it
//   stores "\"C:\G\a.exe\"" as C:\"C:\G\a.exe", which is how callers notice the quotes and set the
//   path again without them. A target that would not fit MAX_PATH (260 with its zero) is refused
//   with SHELL_INVALID_ARGUMENT and the stored one kept.
// - SetDescription refuses a text that does not fit the shell's INFOTIPSIZE (1024 with its zero).
// - Save writes the ".LNK" file through the machine's files, so quotas, sharing and names found
//   regardless of case apply to it as to any file. Facts about the target (attributes, times, size,
//   the drive's type) are taken when saving, as the shell does. A link path that does not fit MAX_PATH
//   once converted to UTF-16 (one unit per ANSI character) gives SHELL_INVALID_ARGUMENT, as the
//   conversion into a MAX_PATH buffer fails on Windows; a file that cannot be opened or written gives
//   SHELL_FAIL, and a link file left half written is removed.
class HostShellLink final : public ShellLink {
 public:
  HostShellLink(const Machine& machine, FileSystem& files) : machine_(machine), files_(files) {}

  ShellResult SetPath(const char* target) override;
  TextString Path() override { return TextString(target_.c_str()); }
  ShellResult SetDescription(const char* description) override;
  ShellResult Save(const char* link_path) override;

 private:
  std::string StoredTarget(const std::string& given);
  // What the link file records, with the target's facts as the machine has them now.
  ShellLinkFields Fields() const;

  const Machine& machine_;
  FileSystem& files_;
  std::string target_;
  std::string description_;
};

}  // namespace vtsetup::platform::host

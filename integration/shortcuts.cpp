#include "integration/shortcuts.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "integration/joined_path.h"

namespace vtsetup {
namespace {

using platform::SHELL_FAIL;
using platform::SHELL_INVALID_ARGUMENT;
using platform::SHELL_OK;
using platform::ShellResult;
using platform::SpecialFolder;

// "Usunięcie %s", filled with the program's name.
constexpr std::uint16_t kUninstallShortcutMessage = 5009;
constexpr std::uint32_t kUninstallNameBufferSize = 200;

ShellResult Report(const TextString& path, PathReport reported) {
  if (reported.path == nullptr) {
    return SHELL_OK;
  }
  if (path.Length() + 1 > reported.buffer_size) {
    return SHELL_INVALID_ARGUMENT;
  }
  *reported.path = path;
  return SHELL_OK;
}

// Empty when the shell cannot tell the folder: then nothing is made rather than a file below the root
// of whatever drive is current.
std::optional<TextString> GroupFolder(ShortcutServices& services, const char* group_name) {
  const TextString programs = services.shell.FolderPath(SpecialFolder::Programs);
  if (programs.IsEmpty()) {
    return std::nullopt;
  }
  return JoinedPath(programs, group_name);
}

TextString WithExtension(TextString path, const char* extension) {
  path.Append(extension);
  return path;
}

ShellResult CreateLinkAndReport(ShortcutServices& services, const TextString& link_path, const char* target,
                                const char* description, PathReport reported) {
  const ShellResult made = CreateShellLink(services.shell, link_path.Data(), target, description);
  if (made < 0) {
    return made;
  }
  const ShellResult report = Report(link_path, reported);
  return report < 0 ? report : made;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// Refused names are left out with a line for the developer; the user is not troubled with them.
bool RefusedName(ShortcutServices& services, const char* what, const char* name) {
  if (!LeavesItsFolder(name)) {
    return false;
  }
  DebugTrace(services.debug, "%s name \"%s\" leaves its folder and is skipped.", what, name);
  return true;
}

void MakeUninstallShortcut(ShortcutServices& services, const SetupInfo& info, const char* destination_folder,
                           const char* group_name, InstallLog& log) {
  const std::optional<TextString> format =
      services.ui.LoadStringResource(kUninstallShortcutMessage, kUninstallNameBufferSize);
  TextString name;
  if (format) {
    name.Format(format->Data(), info.PrgName.Data());
    name = name.Left(kUninstallNameBufferSize - 1);
  }
  if (RefusedName(services, "Shortcut", name.Data())) {
    return;
  }
  TextString link_path;
  CreateGroupShortcut(services, name.Data(),
                      QuotedPath(destination_folder, info.Options.UninstallPrg.Data()).Data(), "", group_name,
                      {&link_path, kShortcutPathBufferSize});
  if (!link_path.IsEmpty()) {
    log.LogFile(link_path.Data(), true);
  }
}

}  // namespace

ShellResult CreateShellLink(platform::Shell& shell, const char* link_path, const char* target,
                            const char* description) {
  platform::ShellLinkMade made = shell.NewShellLink();
  if (made.link == nullptr) {
    return made.result < 0 ? made.result : SHELL_FAIL;
  }
  platform::ShellLink& link = *made.link;
  ShellResult set = link.SetPath(target);
  // The link object takes a quoted target for a relative path and stores it as drive, colon,
  // backslash, quote: the quotes have to go.
  const std::size_t target_length = std::strlen(target);
  if (link.Path().At(3) == '"' && target_length >= 2) {
    const TextString unquoted(target + 1, static_cast<std::uint32_t>(target_length - 2));
    set = link.SetPath(unquoted.Data());
  }
  // A link without its target would start nothing, so it is not saved.
  if (set < 0) {
    return set;
  }
  const ShellResult described = link.SetDescription(description);
  if (described < 0) {
    return described;
  }
  return link.Save(link_path);
}

ShellResult WriteInternetShortcut(platform::Profile& profile, const char* file_path, const char* url) {
  return profile.WriteString(file_path, "InternetShortcut", "URL", url) == platform::ERR_NONE ? SHELL_OK
                                                                                              : SHELL_FAIL;
}

ShellResult CreateProgramGroup(ShortcutServices& services, const char* group_name, PathReport reported) {
  const std::optional<TextString> group = GroupFolder(services, group_name);
  if (!group) {
    return SHELL_FAIL;
  }
  // An existing group is the usual case on a second installation; any other failure shows in the
  // shortcuts that cannot be made inside it.
  services.files.CreateFolder(group->Data());
  return Report(*group, reported);
}

ShellResult CreateGroupShortcut(ShortcutServices& services, const char* name, const char* target,
                                const char* description, const char* group_name, PathReport reported) {
  const std::optional<TextString> group = GroupFolder(services, group_name);
  if (!group) {
    return SHELL_FAIL;
  }
  return CreateLinkAndReport(services, WithExtension(JoinedPath(*group, name), ".LNK"), target, description,
                             reported);
}

ShellResult CreateDesktopShortcut(ShortcutServices& services, const char* name, const char* target,
                                  const char* description, PathReport reported) {
  const TextString desktop = services.shell.FolderPath(SpecialFolder::Desktop);
  if (desktop.IsEmpty()) {
    return SHELL_FAIL;
  }
  return CreateLinkAndReport(services, WithExtension(JoinedPath(desktop, name), ".LNK"), target, description,
                             reported);
}

ShellResult CreateUrlShortcut(ShortcutServices& services, const char* name, const char* url,
                              const char* group_name, PathReport reported) {
  const std::optional<TextString> group = GroupFolder(services, group_name);
  if (!group) {
    return SHELL_FAIL;
  }
  const TextString file_path = WithExtension(JoinedPath(*group, name), ".URL");
  const ShellResult written = WriteInternetShortcut(services.profile, file_path.Data(), url);
  if (written < 0) {
    return written;
  }
  return Report(file_path, reported);
}

bool LeavesItsFolder(const char* name) {
  if (name == nullptr || *name == '\0' || IsSeparator(*name) || std::strchr(name, ':') != nullptr) {
    return true;
  }
  // Windows drops trailing dots and blanks from a component, so ".. " and "..." climb as ".." does.
  const char* component = name;
  for (const char* at = name;; ++at) {
    if (*at != '\0' && !IsSeparator(*at)) {
      continue;
    }
    const std::string_view part(component, static_cast<std::size_t>(at - component));
    if (part.starts_with("..") && part.find_first_not_of(". ") == std::string_view::npos) {
      return true;
    }
    if (*at == '\0') {
      return false;
    }
    component = at + 1;
  }
}

void MakeShortcuts(ShortcutServices& services, const SetupInfo& info, const PackInfo* pack,
                   const char* destination_folder, InstallLog& log) {
  if (!info.GroupName) {
    return;
  }
  const char* group_name = info.GroupName->Data();
  if (RefusedName(services, "Group", group_name)) {
    return;
  }
  TextString reported;
  const PathReport report{&reported, kShortcutPathBufferSize};
  CreateProgramGroup(services, group_name, report);
  log.LogGroup(group_name);

  // Only a path that an operation reported gets a file record; the uninstaller would miss nothing else.
  const auto log_reported = [&] {
    if (!reported.IsEmpty()) {
      log.LogFile(reported.Data(), true);
    }
  };
  const auto make_each = [&](const std::vector<ShortcutEntry>& shortcuts, auto make_one) {
    for (const ShortcutEntry& shortcut : shortcuts) {
      if (RefusedName(services, "Shortcut", shortcut.Name.Data())) {
        continue;
      }
      reported.Release();
      make_one(shortcut);
      log_reported();
    }
  };
  if (pack != nullptr) {
    make_each(pack->Shortcuts, [&](const ShortcutEntry& shortcut) {
      CreateGroupShortcut(services, shortcut.Name.Data(),
                          QuotedPath(destination_folder, shortcut.Target.Data()).Data(), "", group_name,
                          report);
      // The shortcut record comes whether or not the link was made: it names the link by group and
      // name, which the uninstaller finds either way.
      log.LogShortcut(shortcut.Name.Data(), group_name);
    });
    make_each(pack->DesktopShortcuts, [&](const ShortcutEntry& shortcut) {
      CreateDesktopShortcut(services, shortcut.Name.Data(),
                            QuotedPath(destination_folder, shortcut.Target.Data()).Data(), "", report);
    });
    make_each(pack->InternetShortcuts, [&](const ShortcutEntry& shortcut) {
      CreateUrlShortcut(services, shortcut.Name.Data(), shortcut.Target.Data(), group_name, report);
    });
  }
  if (info.Options.Uninstall) {
    MakeUninstallShortcut(services, info, destination_folder, group_name, log);
  }
}

}  // namespace vtsetup

#include "uninstaller/dinstall_options.h"

#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/command_line_words.h"
#include "integration/install_log_format.h"
#include "integration/joined_path.h"
#include "uninstaller/path_parts.h"

namespace vtsetup::uninstaller {
namespace {

constexpr std::string_view kQuietOption = "-quiet";

void NoteUnexpected(DinstallOptions& options, const std::string& word) {
  if (!options.unexpected.IsEmpty()) {
    options.unexpected.Append(' ');
  }
  options.unexpected.Append(word.empty() ? "\"\"" : word.c_str());
}

}  // namespace

DinstallOptions ReadDinstallOptions(std::string_view command_line, const TextString& module_path) {
  DinstallOptions options;
  const std::vector<std::string> words = CommandLineWords(command_line);
  bool path_given = false;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (EqualNoCase(word, kQuietOption)) {
      options.quiet = true;
    } else if (word.empty() || word[0] == '-' || path_given) {
      NoteUnexpected(options, word);
    } else {
      options.log_path = word.c_str();
      path_given = true;
    }
  }
  if (!path_given) {
    // Without its own folder the program still finds a log in the current one, where a person who
    // starts it by hand most likely stands.
    const TextString folder = FolderOf(module_path);
    options.log_path = folder.IsEmpty() ? TextString(install_log_format::kLogFileName)
                                        : JoinedPath(folder, install_log_format::kLogFileName);
  }
  return options;
}

}  // namespace vtsetup::uninstaller

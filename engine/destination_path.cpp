#include "engine/destination_path.h"

#include "base/text_string.h"

namespace vtsetup {

bool CreateDestinationPath(platform::FileSystem& files, DebugSink& debug, const char* destination) {
  TextString path(destination);
  path.EnsureTrailingBackslash();
  TextString drive;
  TextString directory;
  path.SplitPath(&drive, &directory, nullptr, nullptr);
  // The first character is the separator after the drive: the root is never ours to create.
  for (std::uint32_t i = 1; i < directory.Length(); ++i) {
    const char c = directory.At(i);
    if (c != '\\' && c != '/') {
      continue;
    }
    TextString level(drive);
    level.Append(directory.Data(), i + 1);
    const platform::SystemError error = files.CreateFolder(level.Data());
    if (error == platform::ERR_NONE) {
      DebugTrace(debug, "Lege Verzeichnis %s an.", level.Data());
    } else if (error != platform::ERR_ALREADY_EXISTS) {
      return false;
    }
  }
  return true;
}

}  // namespace vtsetup

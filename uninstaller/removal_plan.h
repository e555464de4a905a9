#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/text_string.h"
#include "uninstaller/install_log_reader.h"

namespace vtsetup::uninstaller {

// What a removal step removes, as the person is told about it.
enum class ItemKind : std::uint8_t { File, Folder, Key, Group };

enum class RemovalAction : std::uint8_t {
  DeleteFile,
  RemoveOwnProgram,  // the running uninstaller's own file, which only the system may take away
  RemoveFolder,      // only when empty
  DeleteKeyTree,     // then the parents it leaves empty
  Skip,              // a record that names something we may not touch: reported, never acted on
  Unreachable,       // a group whose Programs folder the system cannot tell
};

struct RemovalStep {
  RemovalAction action;
  ItemKind kind;
  TextString target;  // the full path, or the key's path below HKEY_LOCAL_MACHINE
  TextString shown;   // how the person and the trace see it: the full path or key, or the text as logged
};

// Where the records' texts lead.
struct RemovalPlaces {
  TextString destination;      // the log's folder, full path
  TextString module_path;      // the running program's own file
  TextString programs_folder;  // the Start menu's Programs folder; empty when the system cannot tell
};

// The steps for the records, latest first, since each thing was made after what holds it: files before
// their folders, shortcut files before their group. The destination folder itself, when the log names
// it, comes last of all.
std::vector<RemovalStep> PlanRemoval(std::span<const LogRecord> records, const RemovalPlaces& places);

}  // namespace vtsetup::uninstaller

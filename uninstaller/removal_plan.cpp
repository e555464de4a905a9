#include "uninstaller/removal_plan.h"

#include <optional>
#include <string>

#include "integration/joined_path.h"
#include "uninstaller/path_parts.h"
#include "uninstaller/record_safety.h"

namespace vtsetup::uninstaller {
namespace {

constexpr char kLocalMachinePrefix[] = "HKEY_LOCAL_MACHINE\\";

RemovalStep Skipped(ItemKind kind, const TextString& text) {
  return {RemovalAction::Skip, kind, text, text};
}

RemovalStep FileStep(const LogRecord& record, const RemovalPlaces& places) {
  const bool usable = record.absolute ? IsShortcutFilePath(record.text.Data())
                                      : StaysInDestination(record.text.Data(), false);
  if (!usable) {
    return Skipped(ItemKind::File, record.text);
  }
  const TextString path = record.absolute ? record.text : JoinedPath(places.destination, record.text.Data());
  const bool own_program =
      !places.module_path.IsEmpty() && CompareNoCase(path.Data(), places.module_path.Data()) == 0;
  return {own_program ? RemovalAction::RemoveOwnProgram : RemovalAction::DeleteFile, ItemKind::File, path,
          path};
}

RemovalStep FolderStep(const LogRecord& record, const RemovalPlaces& places) {
  if (record.absolute || !StaysInDestination(record.text.Data(), true)) {
    return Skipped(ItemKind::Folder, record.text);
  }
  const TextString path = WithoutClosingSeparators(JoinedPath(places.destination, record.text.Data()));
  return {RemovalAction::RemoveFolder, ItemKind::Folder, path, path};
}

RemovalStep KeyStep(const LogRecord& record) {
  const std::optional<std::string> below = KeyBelowLocalMachine(record.text.Data());
  if (!below) {
    return Skipped(ItemKind::Key, record.text);
  }
  return {RemovalAction::DeleteKeyTree, ItemKind::Key, below->c_str(),
          TextString(kLocalMachinePrefix) + below->c_str()};
}

RemovalStep GroupStep(const LogRecord& record, const RemovalPlaces& places) {
  if (!IsGroupName(record.text.Data())) {
    return Skipped(ItemKind::Group, record.text);
  }
  if (places.programs_folder.IsEmpty()) {
    return {RemovalAction::Unreachable, ItemKind::Group, record.text, record.text};
  }
  const TextString path = JoinedPath(places.programs_folder, record.text.Data());
  return {RemovalAction::RemoveFolder, ItemKind::Group, path, path};
}

}  // namespace

std::vector<RemovalStep> PlanRemoval(std::span<const LogRecord> records, const RemovalPlaces& places) {
  std::vector<RemovalStep> steps;
  bool destination_logged = false;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    switch (record->type) {
      case LogRecordType::File:
        steps.push_back(FileStep(*record, places));
        break;
      case LogRecordType::Directory:
        if (!record->absolute && record->text == ".") {
          destination_logged = true;
        } else {
          steps.push_back(FolderStep(*record, places));
        }
        break;
      case LogRecordType::Key:
        steps.push_back(KeyStep(*record));
        break;
      case LogRecordType::Group:
        steps.push_back(GroupStep(*record, places));
        break;
      case LogRecordType::Shortcut:
        // The shortcut's own file record follows it in the log and removes the file.
        break;
    }
  }
  if (destination_logged) {
    steps.push_back({RemovalAction::RemoveFolder, ItemKind::Folder, places.destination, places.destination});
  }
  return steps;
}

}  // namespace vtsetup::uninstaller

#include "engine/temp_files.h"

#include "engine/copy_directory.h"
#include "engine/copy_file.h"

namespace vtsetup {
namespace {

constexpr std::uint16_t MSG_TEMP_NOT_DELETED = 5016;

void PumpPending(platform::UserInterface& ui) {
  while (ui.PumpOne(nullptr)) {
  }
}

}  // namespace

TextString TempFileName(const FileEntry& entry) {
  const std::int32_t slash = entry.Path.FindLast('\\');
  TextString name = slash < 0 ? entry.Path : entry.Path.Mid(static_cast<std::uint32_t>(slash) + 1);
  if (!StaysInside(name.Data()) || name.Find("/") >= 0 || name == "." || name.IsEmpty()) {
    return TextString();
  }
  return name;
}

std::int32_t CopyTempFiles(platform::FileSystem& files, platform::UserInterface& ui, const SetupInfo& info,
                           const char* source_folder, TextString& temp_folder,
                           platform::Window progress_window, std::uint16_t progress_control) {
  temp_folder = files.TempFolder();
  // Without it the bare names would land in the current folder, the medium's own.
  if (temp_folder.IsEmpty()) {
    return TEMP_COPY_FAILED;
  }
  TextString source_root(source_folder);
  source_root.EnsureTrailingBackslash();
  std::uint32_t copied = 0;
  for (const FileEntry& entry : info.TempFiles) {
    PumpPending(ui);
    const TextString name = TempFileName(entry);
    if (!name.IsEmpty()) {
      TextString destination(temp_folder);
      destination.Append(name);
      TextString source(source_root);
      source.Append(entry.Path);
      const CopyProgress progress{&ui, progress_window, progress_control, copied, info.TempTotalSize};
      if (CopyFileChecked(files, source.Data(), destination.Data(), true, nullptr, progress) !=
          CopyResult::COPY_OK) {
        return TEMP_COPY_FAILED;
      }
    }
    copied += entry.FileSize;
  }
  return TEMP_OK;
}

std::int32_t DeleteTempFiles(platform::FileSystem& files, app::Messages& messages, const SetupInfo& info,
                             const TextString& temp_folder) {
  if (temp_folder.IsEmpty()) {
    return TEMP_OK;
  }
  for (const FileEntry& entry : info.TempFiles) {
    const TextString name = TempFileName(entry);
    if (name.IsEmpty()) {
      continue;
    }
    TextString path(temp_folder);
    path.Append(name);
    if (files.Delete(path.Data()) != platform::ERR_NONE &&
        messages.ShowMessage(MSG_TEMP_NOT_DELETED, path.Data(),
                             platform::BOX_YES_NO | platform::BOX_ICON_STOP) != platform::ANSWER_YES) {
      return TEMP_DELETE_STOPPED;
    }
  }
  return TEMP_OK;
}

}  // namespace vtsetup

#include "wizard/destination_browser.h"

namespace vtsetup::wizard {
namespace {

bool CanHoldGames(platform::DriveType type) {
  return type != platform::DriveType::Unknown && type != platform::DriveType::NoRoot &&
         type != platform::DriveType::CdRom;
}

void Warn(platform::UserInterface& ui, platform::Window owner, const char* warning,
          const TextString& folder) {
  TextString text;
  text.Format(warning, folder.Data());
  ui.ShowMessageBox(owner, text.Data(), "", kBrowseWarningStyle);
}

}  // namespace

std::optional<TextString> BrowseForDestination(platform::UserInterface& ui, platform::Drives& drives,
                                               const DriveTable& table, const PackSizeTable* pack_sizes,
                                               platform::Window owner) {
  const TextString title =
      ui.LoadStringResource(STRING_BROWSE_TITLE, kBrowseTitleBufferSize).value_or(TextString());
  for (;;) {
    std::optional<TextString> folder = ui.BrowseForFolder(owner, title.Data());
    if (!folder) {
      return std::nullopt;
    }
    if (folder->Length() > kMaxBrowsedPathLength || !CanHoldGames(drives.TypeOf(folder->Left(3).Data()))) {
      Warn(ui, owner, kUnusableFolderWarning, *folder);
      continue;
    }
    // Remote drives pass the type check but are never in the table, so they end here.
    if (pack_sizes == nullptr || !PackFitsPath(table, folder->Data(), *pack_sizes)) {
      Warn(ui, owner, kNoRoomWarning, *folder);
      continue;
    }
    return folder;
  }
}

}  // namespace vtsetup::wizard

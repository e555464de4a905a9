#include "wizard/install_type_page.h"

#include <optional>

#include "base/ascii.h"
#include "wizard/destination_browser.h"
#include "wizard/medium_folders.h"
#include "wizard/pack_text.h"

namespace vtsetup::wizard {
namespace {

// No drive-table index: the list box's own error value, which no entry of 24 can have.
constexpr std::uint32_t kNoDrive = 0xFFFFFFFFu;

}  // namespace

bool InstallTypePage::OnInit(platform::Window dialog, void* parameter) {
  info_ = static_cast<const SetupInfo*>(parameter);
  if (info_ != nullptr) {
    language_folder_ = LanguageFolder(services_.ui, choices_.source_folder, *info_);
  }
  services_.ui.SetListTabStops(dialog, CONTROL_TYPE_LIST, kSizeColumnTabStop);
  services_.ui.SetListTabStops(dialog, CONTROL_DRIVE_LIST, kSizeColumnTabStop);
  FillTypeList(dialog);
  if (info_ != nullptr) {
    services_.ui.SelectListItem(dialog, CONTROL_TYPE_LIST, info_->Options.DefaultPack);
  }
  if (services_.ui.ListSelection(dialog, CONTROL_TYPE_LIST) >= 0) {
    FillDriveList(dialog);
    FollowDriveList(dialog);
  }
  ShowDestination(dialog);
  EnableNext(dialog);
  // The type list takes the focus, and its focus notification shows the description and records the type.
  return true;
}

void InstallTypePage::OnDestroy(platform::Window /*dialog*/) {
  info_ = nullptr;
  language_folder_.Release();
}

void InstallTypePage::OnCommand(platform::Window dialog, std::uint16_t id, std::uint16_t notification) {
  switch (id) {
    case CONTROL_TYPE_LIST:
      OnTypeList(dialog, notification);
      break;
    case CONTROL_DRIVE_LIST:
      OnDriveList(dialog, notification);
      break;
    case CONTROL_BROWSE:
      if (notification == platform::NOTIFY_CLICKED) {
        Browse(dialog);
      }
      break;
    case PAGE_START:
      break;  // this page has no start button
    default:
      result_.StoreCommand(id);
      break;
  }
}

void InstallTypePage::FillTypeList(platform::Window dialog) {
  if (info_ == nullptr) {
    return;
  }
  for (std::uint32_t index = 0; index < info_->Packs.size(); ++index) {
    const TextString name = ReadPackText(services_.profiles, language_folder_, index, kPackNameKey);
    TextString item;
    item.Format("%s\t[%.1f MB]", name.Data(), info_->Packs[index].PackSizes[0] / kBytesPerMegabyte);
    services_.ui.AddListItem(dialog, CONTROL_TYPE_LIST, item.Data());
  }
}

const PackInfo* InstallTypePage::SelectedType(platform::Window dialog) {
  const std::int32_t selection = services_.ui.ListSelection(dialog, CONTROL_TYPE_LIST);
  if (info_ == nullptr || selection < 0 || static_cast<std::size_t>(selection) >= info_->Packs.size()) {
    return nullptr;
  }
  return &info_->Packs[static_cast<std::size_t>(selection)];
}

bool InstallTypePage::FillDriveList(platform::Window dialog) {
  platform::UserInterface& ui = services_.ui;
  const std::int32_t selected = ui.ListSelection(dialog, CONTROL_DRIVE_LIST);
  const std::uint32_t remembered =
      selected >= 0 ? ui.ListItemData(dialog, CONTROL_DRIVE_LIST, selected) : kNoDrive;
  ui.ClearList(dialog, CONTROL_DRIVE_LIST);
  const PackInfo* type = SelectedType(dialog);
  if (type == nullptr) {
    return false;
  }
  std::int32_t remembered_position = -1;
  std::int32_t best_position = 0;
  std::uint32_t best_free = 0;
  bool listed = false;
  for (std::uint32_t index = 0; index < drives_.count; ++index) {
    const DriveInfo& drive = drives_.entries[index];
    if (!PackFitsDrive(drive, type->PackSizes)) {
      continue;
    }
    TextString item;
    item.Format("%c:\t[%.1f MB]", drive.letter, static_cast<double>(drive.free_mb));
    const std::int32_t position = ui.AddListItem(dialog, CONTROL_DRIVE_LIST, item.Data());
    if (position < 0) {
      continue;
    }
    ui.SetListItemData(dialog, CONTROL_DRIVE_LIST, position, index);
    listed = true;
    if (remembered == index) {
      remembered_position = position;
    }
    // Ties go to the later drive.
    if (drive.free_bytes >= best_free) {
      best_free = drive.free_bytes;
      best_position = position;
    }
  }
  ui.SelectListItem(dialog, CONTROL_DRIVE_LIST,
                    remembered_position >= 0 ? remembered_position : best_position);
  return listed;
}

bool InstallTypePage::FollowDriveList(platform::Window dialog) {
  const std::int32_t selected = services_.ui.ListSelection(dialog, CONTROL_DRIVE_LIST);
  if (selected < 0) {
    return false;
  }
  const std::uint32_t index = services_.ui.ListItemData(dialog, CONTROL_DRIVE_LIST, selected);
  if (index >= drives_.count) {
    return false;
  }
  const char letter = drives_.entries[index].letter;
  // A folder picked with the browser stays while the user stays on its drive.
  if (AsciiUpper(choices_.destination_base.At(0)) == AsciiUpper(letter)) {
    return false;
  }
  choices_.destination_base.Format("%c:\\", letter);
  return true;
}

void InstallTypePage::ShowDestination(platform::Window dialog) {
  TextString destination = choices_.destination_base;
  destination.EnsureTrailingBackslash();
  destination.Append(choices_.destination_subfolder);
  services_.ui.SetText(dialog, CONTROL_DESTINATION, destination.Data());
}

void InstallTypePage::EnableNext(platform::Window dialog) {
  const bool both = services_.ui.ListSelection(dialog, CONTROL_TYPE_LIST) >= 0 &&
                    services_.ui.ListSelection(dialog, CONTROL_DRIVE_LIST) >= 0;
  services_.ui.Enable(dialog, PAGE_NEXT, both);
}

void InstallTypePage::OnTypeList(platform::Window dialog, std::uint16_t notification) {
  if (notification == platform::NOTIFY_SELECTION_CHANGED) {
    FillDriveList(dialog);
    if (FollowDriveList(dialog)) {
      ShowDestination(dialog);
    }
  }
  const std::int32_t selection = services_.ui.ListSelection(dialog, CONTROL_TYPE_LIST);
  if (selection >= 0) {
    const TextString description = ReadPackText(services_.profiles, language_folder_,
                                                static_cast<std::uint32_t>(selection), kPackDescriptionKey);
    services_.ui.SetText(dialog, CONTROL_TYPE_DESCRIPTION, description.Data());
    choices_.chosen_type = static_cast<std::uint32_t>(selection) & 0xFFFFu;
  }
  EnableNext(dialog);
}

void InstallTypePage::OnDriveList(platform::Window dialog, std::uint16_t notification) {
  if (notification == platform::NOTIFY_SELECTION_CHANGED && FollowDriveList(dialog)) {
    ShowDestination(dialog);
  }
  EnableNext(dialog);
}

void InstallTypePage::Browse(platform::Window dialog) {
  const PackInfo* type = SelectedType(dialog);
  const std::optional<TextString> folder = BrowseForDestination(
      services_.ui, services_.drives, drives_, type != nullptr ? &type->PackSizes : nullptr, dialog);
  if (!folder) {
    return;
  }
  const char drive_prefix[] = {folder->At(0), ':', '\0'};
  services_.ui.SelectListItem(dialog, CONTROL_DRIVE_LIST,
                              services_.ui.FindListItem(dialog, CONTROL_DRIVE_LIST, drive_prefix));
  choices_.destination_base = *folder;
  ShowDestination(dialog);
  EnableNext(dialog);
}

}  // namespace vtsetup::wizard

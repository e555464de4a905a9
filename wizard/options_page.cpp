#include "wizard/options_page.h"

#include "wizard/installed_game.h"

namespace vtsetup::wizard {

bool OptionsPage::OnInit(platform::Window dialog, void* parameter) {
  info_ = static_cast<SetupInfo*>(parameter);
  if (info_ == nullptr) {
    return true;
  }
  platform::UserInterface& ui = services_.ui;
  // Without a copy to keep there is nothing to choose: the game is installed, and the box says so by
  // staying checked while it is out of sight.
  const bool installed =
      FindInstalledGame(*info_, services_.registry, services_.files, choices_.installed_game_path);
  ui.SetCheck(dialog, CONTROL_INSTALL_GAME, true);
  ui.Enable(dialog, CONTROL_INSTALL_GAME, installed);
  ui.Show(dialog, CONTROL_INSTALL_GAME, installed);

  const SetupOptions& options = info_->Options;
  if (!directx_offered_) {
    directx_offered_ = options.InstallDirectX;
  }
  ui.SetCheck(dialog, CONTROL_INSTALL_DIRECTX, options.InstallDirectX);
  ui.Enable(dialog, CONTROL_INSTALL_DIRECTX, *directx_offered_);

  ui.SetCheck(dialog, CONTROL_CREATE_GROUP, true);

  if (!readme_offered_) {
    readme_offered_ = options.Readme;
  }
  ui.SetCheck(dialog, CONTROL_SHOW_README, options.Readme);
  ui.Enable(dialog, CONTROL_SHOW_README, *readme_offered_);
  return true;
}

void OptionsPage::OnCommand(platform::Window dialog, std::uint16_t id, std::uint16_t) {
  if (id == PAGE_NEXT) {
    SaveChoices(dialog);
  }
  result_.StoreCommand(id);
}

void OptionsPage::SaveChoices(platform::Window dialog) {
  if (info_ == nullptr) {
    return;
  }
  platform::UserInterface& ui = services_.ui;
  info_->Options.InstallDirectX = ui.IsChecked(dialog, CONTROL_INSTALL_DIRECTX);
  info_->Options.Readme = ui.IsChecked(dialog, CONTROL_SHOW_README);
  info_->Options.InstallGame = ui.IsChecked(dialog, CONTROL_INSTALL_GAME);
  if (!ui.IsChecked(dialog, CONTROL_CREATE_GROUP)) {
    info_->GroupName.reset();
  }
}

}  // namespace vtsetup::wizard

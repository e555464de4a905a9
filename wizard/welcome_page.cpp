#include "wizard/welcome_page.h"

#include "setupdb/setup_info.h"
#include "wizard/installed_game.h"
#include "wizard/medium_folders.h"

namespace vtsetup::wizard {

bool WelcomePage::OnInit(platform::Window dialog, void* parameter) {
  const auto* info = static_cast<const SetupInfo*>(parameter);
  const bool installed = info != nullptr && FindInstalledGame(*info, services_.registry, services_.files,
                                                              choices_.installed_game_path);
  services_.ui.Enable(dialog, PAGE_START, installed);
  picture_ = std::make_unique<app::Dib>(services_.files, services_.graphics);
  if (info != nullptr) {
    // A missing or broken picture leaves the Dib empty, and an empty Dib paints nothing.
    const TextString path = BitmapFolder(choices_.source_folder, *info) + kWelcomePictureName;
    picture_->LoadDib(path.Data());
  }
  return true;
}

void WelcomePage::OnPaint(platform::Window, platform::Canvas& canvas) {
  if (picture_ != nullptr) {
    picture_->PaintDib(canvas, kWelcomePictureLeft, kWelcomePictureTop, 0, 0, 0, 0, 0, 0);
  }
}

}  // namespace vtsetup::wizard

#include "wizard/progress_dialog.h"

#include "wizard/page_ids.h"

namespace vtsetup::wizard {

bool ProgressDialog::OpenProgressDialog(std::uint16_t template_id, bool place_at_corner) {
  CloseProgressDialog();
  window_ = ui_.CreateDialogWindow(template_id, background_.Window(), nullptr, nullptr);
  if (window_ == nullptr) {
    return false;
  }
  saved_class_cursor_ = ui_.SetDialogClassWaitCursor();
  if (place_at_corner) {
    const platform::PixelRect dialog = ui_.WindowPlace(window_);
    const platform::PixelRect background = ui_.WindowPlace(background_.Window());
    ui_.MoveWindow(window_, background.left + background.width - dialog.width - kProgressCornerGap,
                   background.top + background.height - dialog.height - kProgressCornerGap);
  }
  return true;
}

std::uint32_t ProgressDialog::SetProgressRange(std::uint16_t maximum) {
  if (window_ == nullptr || !ui_.HasControl(window_, CONTROL_PROGRESS_BAR)) {
    return 0;
  }
  return ui_.SetProgressRange(window_, CONTROL_PROGRESS_BAR, maximum);
}

void ProgressDialog::SetProgressPos(std::uint16_t position) {
  if (window_ != nullptr && ui_.HasControl(window_, CONTROL_PROGRESS_BAR)) {
    ui_.SetProgressPosition(window_, CONTROL_PROGRESS_BAR, position);
  }
}

void ProgressDialog::CloseProgressDialog() {
  if (window_ == nullptr) {
    return;
  }
  ui_.RestoreDialogClassCursor(saved_class_cursor_);
  ui_.DestroyWindow(window_);
  window_ = nullptr;
}

}  // namespace vtsetup::wizard

#pragma once

#include <cstdint>

#include "app/background_window.h"
#include "platform/user_interface.h"

namespace vtsetup::wizard {

// How far the copying dialog stays from the background window's right and bottom edges, in pixels.
inline constexpr std::int32_t kProgressCornerGap = 20;

// The one progress dialog of the setup: a line of text and a bar, while the database is read and
// while the files are copied. The copy worker moves the bar through the window and the bar's id; the
// calls here belong to the main thread.
class ProgressDialog {
 public:
  ProgressDialog(platform::UserInterface& ui, app::BackgroundWindow& background)
      : ui_(ui), background_(background) {}
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;
  ~ProgressDialog() { CloseProgressDialog(); }

  // Closes an open one first. Every dialog shows the wait cursor while a progress dialog is open. At the
  // corner: the dialog's bottom-right corner 20 pixels inside the background window's. False when the
  // dialog cannot be made.
  bool OpenProgressDialog(std::uint16_t template_id, bool place_at_corner);
  // The bar's previous range, low word the minimum and high word the maximum; 0 when no dialog or no
  // bar is there.
  std::uint32_t SetProgressRange(std::uint16_t maximum);
  void SetProgressPos(std::uint16_t position);
  // Brings back the dialog cursor from before the dialog opened.
  void CloseProgressDialog();

  // Null when no progress dialog is open.
  platform::Window Window() const { return window_; }

 private:
  platform::UserInterface& ui_;
  app::BackgroundWindow& background_;
  platform::Window window_ = nullptr;
  std::uintptr_t saved_class_cursor_ = 0;
};

}  // namespace vtsetup::wizard

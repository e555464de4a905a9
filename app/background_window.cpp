#include "app/background_window.h"

namespace vtsetup::app {

bool BackgroundWindow::CreateBackgroundWindow(std::int32_t width, std::int32_t height) {
  window_ = nullptr;
  if (!ui_.RegisterBackgroundClass()) {
    return false;
  }
  // Halves by an arithmetic shift, so a picture larger than the screen hangs over every edge alike.
  const platform::ScreenSize screen = ui_.Screen();
  const platform::PixelRect place{(screen.width >> 1) - (width >> 1), (screen.height >> 1) - (height >> 1),
                                  width, height};
  window_ = ui_.CreateBackgroundWindow(place, *this);
  if (window_ == nullptr) {
    return false;
  }
  ui_.ShowWindow(window_, platform::WINDOW_SHOW);
  return true;
}

bool BackgroundWindow::UnregisterBackgroundClass() {
  ui_.UnregisterBackgroundClass();
  return true;
}

std::int32_t BackgroundWindow::PumpPendingMessages() {
  while (ui_.PumpOne(current_page_)) {
  }
  return 0;
}

void BackgroundWindow::SetWaitCursor(bool on) {
  if (on && !saved_cursor_) {
    const std::uintptr_t before = ui_.ShowWaitCursor();
    // With no cursor before there is nothing to bring back, so the hour-glass then stays.
    if (before != 0) {
      saved_cursor_ = before;
    }
  } else if (!on && saved_cursor_) {
    ui_.RestoreCursor(*saved_cursor_);
    saved_cursor_.reset();
  }
}

void BackgroundWindow::OnPaint(platform::Window, platform::Canvas& canvas) {
  picture_.PaintDib(canvas, 0, 0, 0, 0, 0, 0, 0, 0);
  billboard_.WithBillboard([&](Dib* billboard) {
    if (billboard != nullptr) {
      billboard->PaintDib(canvas, kBillboardLeft, kBillboardTop, 0, 0, 0, 0, 0, 0);
    }
  });
}

void BackgroundWindow::OnClose(platform::Window) {
  ui_.PostQuit(0);
}

void BackgroundWindow::OnRightButtonDown(platform::Window) {
  ui_.PostQuit(1);
}

}  // namespace vtsetup::app

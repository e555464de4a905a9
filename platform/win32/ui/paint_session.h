#pragma once

#include <windows.h>

#include "platform/win32/ui/win32_canvas.h"
#include "platform/win32/ui/win32_window.h"

namespace vtsetup::platform::win32 {

// One answer to a paint message: the update region is validated when this goes, whatever was drawn.
class PaintSession {
 public:
  explicit PaintSession(HWND window) : window_(window), context_(::BeginPaint(window, &paint_)) {}
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;
  ~PaintSession() {
    if (context_ != nullptr) {
      ::EndPaint(window_, &paint_);
    }
  }

  // Null when the system gave no context to draw on.
  HDC Context() const { return context_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC context_;
};

// Answers a paint message with the events' own painting, on a canvas over the window's paint context.
template <typename Events>
void PaintThrough(HWND window, Events& events) {
  const PaintSession painting(window);
  if (painting.Context() != nullptr) {
    Win32Canvas canvas(painting.Context());
    events.OnPaint(ToWindow(window), canvas);
  }
}

}  // namespace vtsetup::platform::win32

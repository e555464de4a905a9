#pragma once

#include <windows.h>

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

}  // namespace vtsetup::platform::win32

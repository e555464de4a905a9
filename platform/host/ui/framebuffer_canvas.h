#pragma once

#include "platform/graphics.h"
#include "platform/host/ui/framebuffer.h"

namespace vtsetup::platform::host {

// Draws onto a framebuffer, as a paint handler draws onto its window.
class FramebufferCanvas final : public Canvas {
 public:
  explicit FramebufferCanvas(Framebuffer& target) : target_(target) {}

  // Nearest-neighbour stretch. The source rectangle is in the bitmap's coordinates from the top, as on
  // Windows; destination pixels off the framebuffer, or whose source pixel is off the bitmap, stay as
  // they were. Rectangles of no positive width and height draw nothing (no mirroring). The palette
  // changes no colours on the true-colour framebuffer. True when at least one pixel was drawn; false
  // also for a bitmap that is not the host's.
  bool StretchCopy(const DeviceBitmap& bitmap, const DevicePalette* palette, const PixelRect& destination,
                   const PixelRect& source) override;

 private:
  Framebuffer& target_;
};

}  // namespace vtsetup::platform::host

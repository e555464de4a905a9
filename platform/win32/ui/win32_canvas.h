#pragma once

#include <windows.h>

#include "platform/graphics.h"

namespace vtsetup::platform::win32 {

// The device context of a window being painted; it belongs to whoever began the painting.
class Win32Canvas final : public Canvas {
 public:
  explicit Win32Canvas(HDC target) : target_(target) {}

  // Copies through a memory context like the screen's, where the bitmap was made for; the target's
  // palette and the memory context's bitmap are put back before returning. False for a bitmap that is
  // not this adapter's.
  bool StretchCopy(const DeviceBitmap& bitmap, const DevicePalette* palette, const PixelRect& destination,
                   const PixelRect& source) override;

 private:
  HDC target_;
};

}  // namespace vtsetup::platform::win32

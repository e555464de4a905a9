#pragma once

#include "platform/graphics.h"

namespace vtsetup::platform::win32 {

// Device-independent bitmaps made drawable by the system's drawing functions.
class Win32Graphics final : public Graphics {
 public:
  // A logical palette of `count` entries in table order. Null for no table, 0 entries or more than a
  // logical palette can hold (65535).
  std::unique_ptr<DevicePalette> CreatePalette(const std::uint8_t* colour_table,
                                               std::uint32_t count) override;

  // A bitmap compatible with the screen, of the header's width by the number of rows (either row
  // order), with the pixels copied in through the system, the palette realised on the screen first.
  // The system reads the header, its colour table and the pixels as the header describes them, so the
  // buffers must hold what the bitmap loader gives. Null for: no buffers; a width or height of 0 or a
  // negative width; bit fields, whose masks the info does not carry; a bitmap the screen cannot make
  // or pixels the system refuses.
  std::unique_ptr<DeviceBitmap> CreateDeviceBitmap(const std::uint8_t* info, const std::uint8_t* pixels,
                                                   const DevicePalette* palette) override;
};

}  // namespace vtsetup::platform::win32

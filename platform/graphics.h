#pragma once

#include <cstdint>
#include <memory>

namespace vtsetup::platform {

// A rectangle by its corner and size, in pixels.
struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A logical palette made from a bitmap's colour table.
class DevicePalette {
 public:
  virtual ~DevicePalette() = default;
};

// A bitmap in the form the screen draws, made once from a device-independent bitmap.
class DeviceBitmap {
 public:
  virtual ~DeviceBitmap() = default;
};

// What a paint handler draws on: a window's client area while it is painted.
class Canvas {
 public:
  virtual ~Canvas() = default;
  // Copies the source rectangle of the bitmap onto the destination rectangle, stretched as needed,
  // with the palette realised first when one is given. True when something was drawn.
  virtual bool StretchCopy(const DeviceBitmap& bitmap, const DevicePalette* palette,
                           const PixelRect& destination, const PixelRect& source) = 0;
};

// Device-independent bitmaps made drawable. `info` is the 40-byte info header followed by the colour
// table of 4-byte entries (blue, green, red, 0); `pixels` the rows as the file stores them.
class Graphics {
 public:
  virtual ~Graphics() = default;
  // Null when the table is empty or the palette cannot be made.
  virtual std::unique_ptr<DevicePalette> CreatePalette(const std::uint8_t* colour_table,
                                                       std::uint32_t count) = 0;
  // A bitmap of the info's size holding the pixels; null when it cannot be made.
  virtual std::unique_ptr<DeviceBitmap> CreateDeviceBitmap(const std::uint8_t* info,
                                                           const std::uint8_t* pixels,
                                                           const DevicePalette* palette) = 0;
};

}  // namespace vtsetup::platform

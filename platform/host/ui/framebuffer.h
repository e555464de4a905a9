#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtsetup::platform::host {

// A picture in memory, one 0x00RRGGBB value per pixel, rows from the top: the background window's
// client area, and the pixels of a device bitmap.
class Framebuffer {
 public:
  // Larger sides are cut to this (framebuffers) or refused (bitmaps), which bounds a picture at 1 GiB.
  static constexpr std::int32_t kMaxSide = 16384;

  // A negative side is taken as 0, so a window whose picture failed to load has an empty area.
  Framebuffer(std::int32_t width, std::int32_t height, std::uint32_t colour = 0);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  bool Contains(std::int32_t x, std::int32_t y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }
  // Outside the picture a read gives 0 and a write does nothing, as drawing past a window's edge.
  std::uint32_t Pixel(std::int32_t x, std::int32_t y) const;
  void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t colour);
  void Fill(std::uint32_t colour);

  // Replaces the file at `host_path` with the picture as a 24-bit bottom-up BMP, in one rename so that
  // a viewer never opens half a picture. False when it cannot be written.
  bool WriteBmp(const std::string& host_path) const;

 private:
  std::size_t IndexOf(std::int32_t x, std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }

  std::int32_t width_;
  std::int32_t height_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace vtsetup::platform::host

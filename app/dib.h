#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/file_system.h"
#include "platform/graphics.h"

namespace vtsetup::app {

// The size of the info header that the pixel block always starts with, whatever form the file used.
inline constexpr std::uint32_t kDibInfoHeaderSize = 40;
// The widest and tallest picture loaded. Our largest picture is a background for a 1280 by 1024 screen;
// a header beyond this is damaged or hostile, and at this side a 32-bit picture already takes 1 GiB.
inline constexpr std::int32_t kDibMaxSide = 16384;

// A bitmap file in memory: the packed bitmap (40-byte info header, colour table of 4-byte entries, the
// pixel rows as the file stores them), and the screen's form of it with its palette, made on the first
// paint and kept for every later one. The background, the welcome page's picture and the billboards are
// all held this way.
class Dib {
 public:
  Dib(platform::FileSystem& files, platform::Graphics& graphics) : files_(files), graphics_(graphics) {}
  ~Dib() { ReleaseDib(); }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  // Reads the file into an empty Dib; a loaded one is emptied first, so that nothing made from the old
  // picture outlives it. False, and the Dib stays empty, for a file that cannot be read, is
  // too short for its headers, or whose headers promise more than the file holds or a picture no screen
  // shows.
  bool LoadDib(const char* path);
  // The header's width and height; 0 when nothing is loaded. A picture stored top-down has a negative
  // height here, as in its header.
  std::int32_t DibWidth() const;
  std::int32_t DibHeight() const;
  // Made on first need and kept; null when nothing is loaded or the screen cannot make it. A picture
  // without a colour table has no palette.
  const platform::DeviceBitmap* DibDeviceBitmap();
  const platform::DevicePalette* DibPalette();
  // Copies the source rectangle onto the target's destination rectangle, stretched as needed; a width
  // or height of 0 stands for the picture's own. False when nothing was painted.
  bool PaintDib(platform::Canvas& target, std::int32_t left, std::int32_t top, std::int32_t width,
                std::int32_t height, std::int32_t source_left, std::int32_t source_top,
                std::int32_t source_width, std::int32_t source_height);
  // Forgets the file and what was made of it; the Dib is empty again.
  void ReleaseDib();

  bool IsLoaded() const { return !block_.empty(); }
  // The packed bitmap; empty when nothing is loaded.
  const std::vector<std::uint8_t>& PixelBlock() const { return block_; }
  // Entries of the colour table in the pixel block.
  std::uint32_t ColourCount() const;

 private:
  platform::FileSystem& files_;
  platform::Graphics& graphics_;
  std::vector<std::uint8_t> block_;
  std::unique_ptr<platform::DeviceBitmap> device_bitmap_;
  std::unique_ptr<platform::DevicePalette> palette_;
  bool palette_tried_ = false;
};

}  // namespace vtsetup::app

#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/graphics.h"
#include "platform/host/ui/framebuffer.h"

namespace vtsetup::platform::host {

// The colours of a colour table as 0x00RRGGBB, in table order.
class HostPalette final : public DevicePalette {
 public:
  explicit HostPalette(std::vector<std::uint32_t> colours) : colours_(std::move(colours)) {}
  const std::vector<std::uint32_t>& Colours() const { return colours_; }

 private:
  std::vector<std::uint32_t> colours_;
};

// A bitmap decoded to the host screen's true colours, rows from the top.
class HostDeviceBitmap final : public DeviceBitmap {
 public:
  explicit HostDeviceBitmap(Framebuffer picture) : picture_(std::move(picture)) {}
  const Framebuffer& Picture() const { return picture_; }

 private:
  Framebuffer picture_;
};

// The host's screen has true colours, like any display of today: a bitmap's colours come from its own
// colour table when it is decoded, and a palette never changes them. Palettes are still made, for
// callers that select and realise them.
class HostGraphics final : public Graphics {
 public:
  // The table holds `count` entries of 4 bytes. Null for an empty table and for more entries than a
  // Windows logical palette can hold (65535).
  std::unique_ptr<DevicePalette> CreatePalette(const std::uint8_t* colour_table,
                                               std::uint32_t count) override;

  // What the buffers must hold, as the bitmap loader lays them out:
  // - `info`: the 40-byte info header and then 4 × colour count bytes of colour table, where the colour
  //   count is the header's colours used when not 0, else 2 to the power of the bits per pixel for 8
  //   bits or fewer, else 0;
  // - `pixels`: the header's image size in bytes, or when that is 0, the rows' size: the row size
  //   (bits × width rounded up to 32 bits) times the absolute height.
  // Nothing outside these is read, whatever the header says. The header's size field is not read.
  //
  // Decoded: 1, 4 and 8 bits through the colour table (an index past the table is black), 16 bits as
  // 5-5-5, 24 bits, 32 bits (the fourth byte ignored); uncompressed rows, bottom-up for a positive
  // height and top-down for a negative one; run-length encoding of 8 bits or of 4 bits, always
  // bottom-up, where pixels the encoding skips are black.
  // Null for: no buffers; a width or height of 0, a negative width, a side over Framebuffer::kMaxSide;
  // uncompressed rows that need more bytes than the image size gives; other bits per pixel; other
  // compressions, bit fields among them (their masks are not in `info`).
  // The palette takes no part: colours come from the colour table.
  std::unique_ptr<DeviceBitmap> CreateDeviceBitmap(const std::uint8_t* info, const std::uint8_t* pixels,
                                                   const DevicePalette* palette) override;
};

}  // namespace vtsetup::platform::host

#pragma once

#include <cstdint>
#include <optional>

#include "platform/host/ui/framebuffer.h"

namespace vtsetup::platform::host {

// The colour of a colour-table entry (blue, green, red, reserved) as 0x00RRGGBB.
inline std::uint32_t ColourOfEntry(const std::uint8_t* entry) {
  return static_cast<std::uint32_t>(entry[2]) << 16 | static_cast<std::uint32_t>(entry[1]) << 8 | entry[0];
}

// The picture of a packed device-independent bitmap, rows from the top; nothing when it is refused.
// What the buffers must hold, and what is decoded or refused, is HostGraphics::CreateDeviceBitmap's
// contract (host_graphics.h).
std::optional<Framebuffer> DecodeDib(const std::uint8_t* info, const std::uint8_t* pixels);

}  // namespace vtsetup::platform::host

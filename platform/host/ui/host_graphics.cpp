#include "platform/host/ui/host_graphics.h"

#include <new>

#include "platform/host/ui/dib_decode.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::uint32_t kMaxPaletteEntries = 65535;

}  // namespace

std::unique_ptr<DevicePalette> HostGraphics::CreatePalette(const std::uint8_t* colour_table,
                                                           std::uint32_t count) {
  if (colour_table == nullptr || count == 0 || count > kMaxPaletteEntries) {
    return nullptr;
  }
  std::vector<std::uint32_t> colours(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    colours[i] = ColourOfEntry(colour_table + 4 * static_cast<std::size_t>(i));
  }
  return std::make_unique<HostPalette>(std::move(colours));
}

std::unique_ptr<DeviceBitmap> HostGraphics::CreateDeviceBitmap(const std::uint8_t* info,
                                                               const std::uint8_t* pixels,
                                                               const DevicePalette* /*palette*/) {
  if (info == nullptr || pixels == nullptr) {
    return nullptr;
  }
  // A picture at the size limit takes 1 GiB, which a small machine may not have: no bitmap then, as
  // on Windows, rather than an exception through the seam.
  try {
    std::optional<Framebuffer> picture = DecodeDib(info, pixels);
    if (!picture) {
      return nullptr;
    }
    return std::make_unique<HostDeviceBitmap>(std::move(*picture));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace vtsetup::platform::host

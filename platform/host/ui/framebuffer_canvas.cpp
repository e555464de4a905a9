#include "platform/host/ui/framebuffer_canvas.h"

#include <algorithm>
#include <cstdint>

#include "platform/host/ui/host_graphics.h"

namespace vtsetup::platform::host {
namespace {

bool HasArea(const PixelRect& rect) {
  return rect.width > 0 && rect.height > 0;
}

// The part of [start, start + extent) that lies in [0, limit), in 64 bits so that no rectangle wraps.
struct Span {
  std::int64_t first;
  std::int64_t end;
};

Span Clip(std::int32_t start, std::int32_t extent, std::int32_t limit) {
  return {std::max<std::int64_t>(start, 0), std::min<std::int64_t>(std::int64_t{start} + extent, limit)};
}

// The source pixel under the centre of the destination pixel `offset` steps into its rectangle.
std::int64_t SourceOf(std::int64_t offset, std::int32_t destination_extent, std::int32_t source_start,
                      std::int32_t source_extent) {
  return source_start + (2 * offset + 1) * source_extent / (std::int64_t{2} * destination_extent);
}

}  // namespace

bool FramebufferCanvas::StretchCopy(const DeviceBitmap& bitmap, const DevicePalette* /*palette*/,
                                    const PixelRect& destination, const PixelRect& source) {
  const auto* host_bitmap = dynamic_cast<const HostDeviceBitmap*>(&bitmap);
  if (host_bitmap == nullptr || !HasArea(destination) || !HasArea(source)) {
    return false;
  }
  const Framebuffer& picture = host_bitmap->Picture();
  const Span rows = Clip(destination.top, destination.height, target_.Height());
  const Span columns = Clip(destination.left, destination.width, target_.Width());
  bool drawn = false;
  for (std::int64_t y = rows.first; y < rows.end; ++y) {
    const std::int64_t source_y =
        SourceOf(y - destination.top, destination.height, source.top, source.height);
    if (source_y < 0 || source_y >= picture.Height()) {
      continue;
    }
    for (std::int64_t x = columns.first; x < columns.end; ++x) {
      const std::int64_t source_x =
          SourceOf(x - destination.left, destination.width, source.left, source.width);
      if (source_x < 0 || source_x >= picture.Width()) {
        continue;
      }
      target_.SetPixel(
          static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
          picture.Pixel(static_cast<std::int32_t>(source_x), static_cast<std::int32_t>(source_y)));
      drawn = true;
    }
  }
  return drawn;
}

}  // namespace vtsetup::platform::host

#include "platform/win32/ui/win32_canvas.h"

#include "platform/win32/ui/win32_gdi_objects.h"

namespace vtsetup::platform::win32 {

bool Win32Canvas::StretchCopy(const DeviceBitmap& bitmap, const DevicePalette* palette,
                              const PixelRect& destination, const PixelRect& source) {
  const auto* own = dynamic_cast<const Win32DeviceBitmap*>(&bitmap);
  if (own == nullptr) {
    return false;
  }
  const MemoryContext memory(::CreateCompatibleDC(nullptr));
  if (!memory.Valid()) {
    return false;
  }
  const RealisedPalette realised(target_, PaletteHandle(palette));
  const SelectedObject selected(memory.Get(), own->Handle());
  if (!selected.Selected()) {
    return false;
  }
  return ::StretchBlt(target_, destination.left, destination.top, destination.width, destination.height,
                      memory.Get(), source.left, source.top, source.width, source.height, SRCCOPY) != 0;
}

}  // namespace vtsetup::platform::win32

#pragma once

#include <windows.h>

#include <utility>

#include "platform/graphics.h"
#include "platform/win32/ui/gdi_handles.h"

namespace vtsetup::platform::win32 {

class Win32Palette final : public DevicePalette {
 public:
  explicit Win32Palette(GdiObject<HPALETTE> palette) : palette_(std::move(palette)) {}
  HPALETTE Handle() const { return palette_.Get(); }

 private:
  GdiObject<HPALETTE> palette_;
};

class Win32DeviceBitmap final : public DeviceBitmap {
 public:
  explicit Win32DeviceBitmap(GdiObject<HBITMAP> bitmap) : bitmap_(std::move(bitmap)) {}
  HBITMAP Handle() const { return bitmap_.Get(); }

 private:
  GdiObject<HBITMAP> bitmap_;
};

// The palette's handle, or null for none and for a palette that is not this adapter's.
inline HPALETTE PaletteHandle(const DevicePalette* palette) {
  const auto* own = dynamic_cast<const Win32Palette*>(palette);
  return own != nullptr ? own->Handle() : nullptr;
}

}  // namespace vtsetup::platform::win32

#include "platform/win32/ui/win32_graphics.h"

#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win32/ui/win32_gdi_objects.h"

namespace vtsetup::platform::win32 {
namespace {

constexpr std::uint32_t kMaxPaletteEntries = 65535;
constexpr WORD kPaletteVersion = 0x300;
constexpr std::size_t kColourEntrySize = 4;

std::int32_t HeaderI32(const std::uint8_t* info, std::size_t at) {
  std::int32_t value = 0;
  std::memcpy(&value, info + at, sizeof value);
  return value;
}

std::uint32_t HeaderU32(const std::uint8_t* info, std::size_t at) {
  std::uint32_t value = 0;
  std::memcpy(&value, info + at, sizeof value);
  return value;
}

}  // namespace

std::unique_ptr<DevicePalette> Win32Graphics::CreatePalette(const std::uint8_t* colour_table,
                                                            std::uint32_t count) {
  if (colour_table == nullptr || count == 0 || count > kMaxPaletteEntries) {
    return nullptr;
  }
  // The structure ends in a one-entry array that stands for all of them.
  std::vector<std::byte> storage(offsetof(LOGPALETTE, palPalEntry) + sizeof(PALETTEENTRY) * count);
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = kPaletteVersion;
  logical->palNumEntries = static_cast<WORD>(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = colour_table + kColourEntrySize * i;
    logical->palPalEntry[i] = PALETTEENTRY{entry[2], entry[1], entry[0], 0};
  }
  GdiObject<HPALETTE> palette(::CreatePalette(logical));
  if (!palette.Valid()) {
    return nullptr;
  }
  return std::make_unique<Win32Palette>(std::move(palette));
}

std::unique_ptr<DeviceBitmap> Win32Graphics::CreateDeviceBitmap(const std::uint8_t* info,
                                                                const std::uint8_t* pixels,
                                                                const DevicePalette* palette) {
  if (info == nullptr || pixels == nullptr) {
    return nullptr;
  }
  const std::int32_t width = HeaderI32(info, offsetof(BITMAPINFOHEADER, biWidth));
  const std::int32_t height = HeaderI32(info, offsetof(BITMAPINFOHEADER, biHeight));
  const std::uint32_t compression = HeaderU32(info, offsetof(BITMAPINFOHEADER, biCompression));
  // The system would read the masks behind the header, where the colour table (none) ends.
  if (width <= 0 || height == 0 || compression == BI_BITFIELDS) {
    return nullptr;
  }
  const int rows = std::abs(height);
  const ScreenContext screen(::GetDC(nullptr));
  if (!screen.Valid()) {
    return nullptr;
  }
  const RealisedPalette realised(screen.Get(), PaletteHandle(palette));
  GdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.Get(), width, rows));
  if (!bitmap.Valid()) {
    return nullptr;
  }
  const auto* layout = reinterpret_cast<const BITMAPINFO*>(info);
  if (::SetDIBits(screen.Get(), bitmap.Get(), 0, static_cast<UINT>(rows), pixels, layout, DIB_RGB_COLORS) ==
      0) {
    return nullptr;
  }
  return std::make_unique<Win32DeviceBitmap>(std::move(bitmap));
}

}  // namespace vtsetup::platform::win32

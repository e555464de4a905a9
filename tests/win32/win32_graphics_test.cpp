// Bitmaps and palettes made by the system and copied onto a canvas, read back pixel by pixel.
#include "platform/win32/ui/win32_graphics.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "platform/win32/ui/win32_canvas.h"
#include "platform/win32/ui/win32_gdi_objects.h"
#include "tests/support/bitmap_layout.h"

namespace vtsetup::platform::win32::testing {
namespace {

using vtsetup::testing::Bytes;
using vtsetup::testing::Info;
using vtsetup::testing::InfoFields;
using vtsetup::testing::Layout;

constexpr COLORREF kWhite = RGB(255, 255, 255);
// Four colours that no rounding of a device could mistake for each other.
constexpr COLORREF kColours[4] = {RGB(200, 30, 40), RGB(10, 180, 90), RGB(20, 40, 220), RGB(250, 240, 10)};

Bytes ColourTable() {
  Layout table;
  for (const COLORREF colour : kColours) {
    table.U8(GetBValue(colour)).U8(GetGValue(colour)).U8(GetRValue(colour)).U8(0);
  }
  return table.Data();
}

// A 2 by 2 picture of 8 bits with the four colours: 0 1 on the top row, 2 3 below.
struct TwoByTwo {
  explicit TwoByTwo(bool top_down = false) {
    InfoFields fields;
    fields.width = 2;
    fields.height = top_down ? -2 : 2;
    fields.colours_used = 4;
    info = Layout().Append(Info(fields)).Append(ColourTable()).Data();
    // Rows of 4 bytes each, the two pixels and their padding.
    pixels = top_down ? Layout().U8(0).U8(1).Zeros(2).U8(2).U8(3).Zeros(2).Data()
                      : Layout().U8(2).U8(3).Zeros(2).U8(0).U8(1).Zeros(2).Data();
  }
  Bytes info;
  Bytes pixels;
};

// A white true-colour target in memory, standing for a window's client area.
class MemoryTarget {
 public:
  MemoryTarget(int width, int height) : context_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO layout{};
    layout.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(context_, &layout, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous_ = ::SelectObject(context_, bitmap_);
    const RECT all{0, 0, width, height};
    ::FillRect(context_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  MemoryTarget(const MemoryTarget&) = delete;
  MemoryTarget& operator=(const MemoryTarget&) = delete;
  ~MemoryTarget() {
    ::SelectObject(context_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(context_);
  }

  HDC Context() const { return context_; }
  COLORREF Pixel(int x, int y) const { return ::GetPixel(context_, x, y); }

 private:
  HDC context_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

HBITMAP BitmapHandle(const DeviceBitmap& bitmap) {
  return dynamic_cast<const Win32DeviceBitmap&>(bitmap).Handle();
}

TEST(Win32Graphics, PaletteHoldsTheTableInOrder) {
  Win32Graphics graphics;
  const Bytes table = ColourTable();
  std::unique_ptr<DevicePalette> palette = graphics.CreatePalette(table.data(), 4);
  ASSERT_NE(palette, nullptr);
  HPALETTE handle = PaletteHandle(palette.get());
  ASSERT_NE(handle, nullptr);
  PALETTEENTRY entries[5] = {};
  EXPECT_EQ(::GetPaletteEntries(handle, 0, 5, entries), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), kColours[i]) << i;
    EXPECT_EQ(entries[i].peFlags, 0);
  }
  palette.reset();
  EXPECT_EQ(::GetObjectType(handle), 0u);
}

TEST(Win32Graphics, NoPaletteWithoutATableOrBeyondItsLargestSize) {
  Win32Graphics graphics;
  const Bytes table = ColourTable();
  EXPECT_EQ(graphics.CreatePalette(nullptr, 4), nullptr);
  EXPECT_EQ(graphics.CreatePalette(table.data(), 0), nullptr);
  EXPECT_EQ(graphics.CreatePalette(table.data(), 65536), nullptr);
}

class Win32CanvasTest : public ::testing::TestWithParam<bool> {
 protected:
  // With the bitmap's palette, or on the path without one.
  bool WithPalette() const { return GetParam(); }

  Win32Graphics graphics;
};

TEST_P(Win32CanvasTest, StretchedCopyShowsEachPixelsColour) {
  const TwoByTwo picture;
  std::unique_ptr<DevicePalette> palette =
      WithPalette() ? graphics.CreatePalette(picture.info.data() + 40, 4) : nullptr;
  std::unique_ptr<DeviceBitmap> bitmap =
      graphics.CreateDeviceBitmap(picture.info.data(), picture.pixels.data(), palette.get());
  ASSERT_NE(bitmap, nullptr);
  BITMAP shape{};
  ASSERT_NE(::GetObjectA(BitmapHandle(*bitmap), sizeof shape, &shape), 0);
  EXPECT_EQ(shape.bmWidth, 2);
  EXPECT_EQ(shape.bmHeight, 2);

  MemoryTarget target(6, 6);
  HGDIOBJ palette_before = ::GetCurrentObject(target.Context(), OBJ_PAL);
  Win32Canvas canvas(target.Context());
  EXPECT_TRUE(canvas.StretchCopy(*bitmap, palette.get(), {1, 1, 4, 4}, {0, 0, 2, 2}));
  EXPECT_EQ(::GetCurrentObject(target.Context(), OBJ_PAL), palette_before);

  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 4;
      const COLORREF expected = inside ? kColours[(y >= 3 ? 2 : 0) + (x >= 3 ? 1 : 0)] : kWhite;
      EXPECT_EQ(target.Pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_P(Win32CanvasTest, SourceRectangleSelectsPartOfTheBitmap) {
  const TwoByTwo picture(true);
  std::unique_ptr<DevicePalette> palette =
      WithPalette() ? graphics.CreatePalette(picture.info.data() + 40, 4) : nullptr;
  std::unique_ptr<DeviceBitmap> bitmap =
      graphics.CreateDeviceBitmap(picture.info.data(), picture.pixels.data(), palette.get());
  ASSERT_NE(bitmap, nullptr);
  MemoryTarget target(3, 3);
  Win32Canvas canvas(target.Context());
  // The bottom-right pixel alone, at the target's top-left, and the top row stretched below it.
  EXPECT_TRUE(canvas.StretchCopy(*bitmap, palette.get(), {0, 0, 1, 1}, {1, 1, 1, 1}));
  EXPECT_TRUE(canvas.StretchCopy(*bitmap, palette.get(), {0, 1, 2, 2}, {0, 0, 2, 1}));
  EXPECT_EQ(target.Pixel(0, 0), kColours[3]);
  EXPECT_EQ(target.Pixel(1, 0), kWhite);
  EXPECT_EQ(target.Pixel(0, 1), kColours[0]);
  EXPECT_EQ(target.Pixel(1, 2), kColours[1]);
  EXPECT_EQ(target.Pixel(2, 2), kWhite);
}

INSTANTIATE_TEST_SUITE_P(PaletteOrNone, Win32CanvasTest, ::testing::Bool());

TEST(Win32Graphics, TrueColourBitmapNeedsNoTable) {
  Win32Graphics graphics;
  InfoFields fields;
  fields.width = 2;
  fields.height = 1;
  fields.bits = 24;
  const Bytes info = Info(fields);
  const Bytes pixels = vtsetup::testing::Row24({0x112233, 0xA0B0C0});
  std::unique_ptr<DeviceBitmap> bitmap = graphics.CreateDeviceBitmap(info.data(), pixels.data(), nullptr);
  ASSERT_NE(bitmap, nullptr);
  MemoryTarget target(2, 1);
  Win32Canvas canvas(target.Context());
  EXPECT_TRUE(canvas.StretchCopy(*bitmap, nullptr, {0, 0, 2, 1}, {0, 0, 2, 1}));
  EXPECT_EQ(target.Pixel(0, 0), RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(target.Pixel(1, 0), RGB(0xA0, 0xB0, 0xC0));
}

TEST(Win32Graphics, PaintedBitmapIsFreeToBeDeletedAfterwards) {
  Win32Graphics graphics;
  const TwoByTwo picture;
  std::unique_ptr<DevicePalette> palette = graphics.CreatePalette(picture.info.data() + 40, 4);
  std::unique_ptr<DeviceBitmap> bitmap =
      graphics.CreateDeviceBitmap(picture.info.data(), picture.pixels.data(), palette.get());
  ASSERT_NE(bitmap, nullptr);
  const HBITMAP bitmap_handle = BitmapHandle(*bitmap);
  const HPALETTE palette_handle = PaletteHandle(palette.get());
  {
    MemoryTarget target(2, 2);
    Win32Canvas canvas(target.Context());
    ASSERT_TRUE(canvas.StretchCopy(*bitmap, palette.get(), {0, 0, 2, 2}, {0, 0, 2, 2}));
  }
  // An object still selected somewhere would only be marked for deletion and live on.
  bitmap.reset();
  palette.reset();
  EXPECT_EQ(::GetObjectType(bitmap_handle), 0u);
  EXPECT_EQ(::GetObjectType(palette_handle), 0u);
}

TEST(Win32Graphics, NoBitmapForWhatCannotBeShown) {
  Win32Graphics graphics;
  const TwoByTwo picture;
  EXPECT_EQ(graphics.CreateDeviceBitmap(nullptr, picture.pixels.data(), nullptr), nullptr);
  EXPECT_EQ(graphics.CreateDeviceBitmap(picture.info.data(), nullptr, nullptr), nullptr);
  for (const auto& [width, height] : {std::pair{0, 2}, std::pair{2, 0}, std::pair{-2, 2}}) {
    InfoFields fields;
    fields.width = width;
    fields.height = height;
    fields.colours_used = 4;
    const Bytes info = Layout().Append(Info(fields)).Append(ColourTable()).Data();
    EXPECT_EQ(graphics.CreateDeviceBitmap(info.data(), picture.pixels.data(), nullptr), nullptr)
        << width << "x" << height;
  }
  // Bit fields: the masks would be read past the header, where this info ends.
  InfoFields fields;
  fields.width = 2;
  fields.height = 2;
  fields.bits = 16;
  fields.compression = BI_BITFIELDS;
  const Bytes info = Info(fields);
  EXPECT_EQ(graphics.CreateDeviceBitmap(info.data(), picture.pixels.data(), nullptr), nullptr);
}

TEST(Win32Graphics, CanvasRefusesABitmapOfAnotherKind) {
  class ForeignBitmap final : public DeviceBitmap {};
  MemoryTarget target(2, 2);
  Win32Canvas canvas(target.Context());
  EXPECT_FALSE(canvas.StretchCopy(ForeignBitmap(), nullptr, {0, 0, 2, 2}, {0, 0, 2, 2}));
  EXPECT_EQ(target.Pixel(0, 0), kWhite);
}

}  // namespace
}  // namespace vtsetup::platform::win32::testing

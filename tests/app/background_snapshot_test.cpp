#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/background_window.h"
#include "app/dib.h"
#include "platform/host/ui/host_user_interface.h"
#include "resources/resource_types.h"
#include "tests/support/absent_user.h"
#include "tests/support/bitmap_layout.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::app {
namespace {

using testing::Bytes;
using testing::Info;
using testing::Layout;
using testing::Row24;
using testing::SnapshotPixel;
using testing::WithFileHeader;

constexpr std::uint32_t kLightGrey = 0xC0C0C0;
constexpr std::int32_t kPictureWidth = 60;
constexpr std::int32_t kPictureHeight = 45;
constexpr std::int32_t kWindowWidth = 100;
constexpr std::int32_t kWindowHeight = 70;
constexpr std::uint32_t kBillboardColours[3][4] = {{0xFF0000, 0x00FF00, 0x0000FF, 0x123456},
                                                   {0xFFFFFF, 0x000000, 0x808080, 0x654321},
                                                   {0x00FFFF, 0xFF00FF, 0xFFFF00, 0x0F0F0F}};

// Sixteen colours that differ from each other and from the grey of the window's class.
std::uint32_t PaletteColour(std::uint32_t index) {
  return (index * 16) << 16 | (255 - index * 9) << 8 | (index * 5 + 1);
}

std::uint32_t PictureIndex(std::int32_t x, std::int32_t y) {
  return static_cast<std::uint32_t>(x + 7 * y) % 16;
}

// The background: 8 bits through a table of 16 colours, rows stored bottom-up as usual.
Bytes PalettePicture() {
  Layout layout;
  layout.Append(Info({.width = kPictureWidth, .height = kPictureHeight, .bits = 8, .colours_used = 16}));
  for (std::uint32_t i = 0; i < 16; ++i) {
    const std::uint32_t colour = PaletteColour(i);
    layout.U8(colour).U8(colour >> 8).U8(colour >> 16).U8(0);
  }
  for (std::int32_t y = kPictureHeight - 1; y >= 0; --y) {
    for (std::int32_t x = 0; x < kPictureWidth; ++x) {
      layout.U8(PictureIndex(x, y));
    }
  }
  return WithFileHeader(layout.Data(), 14 + 40 + 16 * 4);
}

// The billboard: 4 by 3 of 24 bits.
Bytes TrueColourBillboard() {
  Layout layout;
  layout.Append(Info({.width = 4, .height = 3, .bits = 24}));
  for (int y = 2; y >= 0; --y) {
    layout.Append(Row24({kBillboardColours[y][0], kBillboardColours[y][1], kBillboardColours[y][2],
                         kBillboardColours[y][3]}));
  }
  return WithFileHeader(layout.Data(), 54);
}

TEST(BackgroundSnapshot, PictureBillboardAndGreyMarginArePaintedWhereThePersonSeesThem) {
  testing::TestMachine machine;
  testing::TempDir snapshots;
  testing::WriteBytes(machine.Host("C:\\back.bmp"), PalettePicture());
  testing::WriteBytes(machine.Host("C:\\splash001.bmp"), TrueColourBillboard());
  platform::host::HostUserInterface ui(machine.Machine(),
                                       {resources::DialogTemplates(), resources::StringTable()},
                                       std::make_unique<testing::AbsentUser>(), snapshots.Path().string());
  Dib picture(machine.System().Files(), machine.System().Pictures());
  ASSERT_TRUE(picture.LoadDib("C:\\back.bmp"));
  BackgroundWindow background(ui, picture);
  // A window larger than the picture shows the class's grey around it.
  ASSERT_TRUE(background.CreateBackgroundWindow(kWindowWidth, kWindowHeight));
  background.PumpPendingMessages();

  auto billboard = std::make_unique<Dib>(machine.System().Files(), machine.System().Pictures());
  ASSERT_TRUE(billboard->LoadDib("C:\\splash001.bmp"));
  EXPECT_EQ(background.Billboard().Swap(std::move(billboard)), nullptr);
  ui.Invalidate(background.Window(), nullptr, false);
  background.PumpPendingMessages();

  const Bytes first = testing::ReadBytes((snapshots.Path() / "background-0001.bmp").string());
  const Bytes second = testing::ReadBytes((snapshots.Path() / "background-0002.bmp").string());
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_FALSE(std::filesystem::exists(snapshots.Path() / "background-0003.bmp"));
  for (std::int32_t y = 0; y < kWindowHeight; ++y) {
    for (std::int32_t x = 0; x < kWindowWidth; ++x) {
      const bool on_picture = x < kPictureWidth && y < kPictureHeight;
      const std::uint32_t under = on_picture ? PaletteColour(PictureIndex(x, y)) : kLightGrey;
      const bool on_billboard =
          x >= kBillboardLeft && x < kBillboardLeft + 4 && y >= kBillboardTop && y < kBillboardTop + 3;
      const std::uint32_t over =
          on_billboard ? kBillboardColours[y - kBillboardTop][x - kBillboardLeft] : under;
      ASSERT_EQ(SnapshotPixel(first, x, y), under) << x << "," << y;
      ASSERT_EQ(SnapshotPixel(second, x, y), over) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace vtsetup::app

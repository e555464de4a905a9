#include "platform/host/ui/host_graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/ui/framebuffer.h"
#include "platform/host/ui/framebuffer_canvas.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::platform::host {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Rows = std::vector<std::vector<std::uint32_t>>;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGrey = 0x808080;

void PutLittle(Bytes& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) {
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

struct InfoFields {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t image_size = 0;
  std::uint32_t colours_used = 0;
};

// The 40-byte info header at its documented offsets, then the colour table bytes as given.
Bytes Info(const InfoFields& fields, const Bytes& table = {}) {
  Bytes info(40 + table.size(), 0);
  PutLittle(info, 0, 40, 4);
  PutLittle(info, 4, static_cast<std::uint32_t>(fields.width), 4);
  PutLittle(info, 8, static_cast<std::uint32_t>(fields.height), 4);
  PutLittle(info, 12, 1, 2);
  PutLittle(info, 14, fields.bits, 2);
  PutLittle(info, 16, fields.compression, 4);
  PutLittle(info, 20, fields.image_size, 4);
  PutLittle(info, 32, fields.colours_used, 4);
  std::copy(table.begin(), table.end(), info.begin() + 40);
  return info;
}

// Exactly the bytes given, so that the address sanitizer sees any read past them.
std::unique_ptr<DeviceBitmap> Make(const Bytes& info, const Bytes& pixels) {
  HostGraphics graphics;
  return graphics.CreateDeviceBitmap(info.data(), pixels.data(), nullptr);
}

Rows RowsOf(const Framebuffer& picture) {
  Rows rows(static_cast<std::size_t>(picture.Height()));
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    for (std::int32_t x = 0; x < picture.Width(); ++x) {
      rows[static_cast<std::size_t>(y)].push_back(picture.Pixel(x, y));
    }
  }
  return rows;
}

std::optional<Rows> Decode(const Bytes& info, const Bytes& pixels) {
  const std::unique_ptr<DeviceBitmap> bitmap = Make(info, pixels);
  if (!bitmap) {
    return std::nullopt;
  }
  return RowsOf(dynamic_cast<const HostDeviceBitmap&>(*bitmap).Picture());
}

// A run-length stream whose image size is its length.
std::optional<Rows> DecodeRunLengths(InfoFields fields, const Bytes& table, const Bytes& stream) {
  fields.image_size = static_cast<std::uint32_t>(stream.size());
  return Decode(Info(fields, table), stream);
}

// Entries blue, green, red, reserved for 0x112233, 0xAABBCC, 0x0000FF, 0x00FF00, 0xFF0000.
const Bytes kTable = {0x33, 0x22, 0x11, 0, 0xCC, 0xBB, 0xAA, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};

TEST(HostGraphicsDecodeTest, IndexedDepthsThroughTheTableBottomUpWithPaddedRows) {
  // Bits past the width and the padding bytes are set, and must not show.
  EXPECT_EQ(Decode(Info({.width = 3, .height = 2, .bits = 1, .colours_used = 2},
                        Bytes(kTable.begin(), kTable.begin() + 8)),
                   {0xBF, 0xFF, 0xFF, 0xFF, 0x5F, 0xFF, 0xFF, 0xFF}),
            (Rows{{0x112233, 0xAABBCC, 0x112233}, {0xAABBCC, 0x112233, 0xAABBCC}}));
  EXPECT_EQ(Decode(Info({.width = 3, .height = 2, .bits = 4, .colours_used = 5}, kTable),
                   {0x01, 0x2F, 0xFF, 0xFF, 0x34, 0x0F, 0xEE, 0xEE}),
            (Rows{{0x00FF00, 0xFF0000, 0x112233}, {0x112233, 0xAABBCC, 0x0000FF}}));
}

TEST(HostGraphicsDecodeTest, EightBitsWithSixteenColoursAndIndicesPastTheTable) {
  Bytes table;
  for (std::uint8_t i = 0; i < 16; ++i) {
    table.insert(table.end(), {i, 0x80, static_cast<std::uint8_t>(0xF0 | i), 0});
  }
  EXPECT_EQ(Decode(Info({.width = 3, .height = 1, .bits = 8, .colours_used = 16}, table), {15, 16, 255, 0}),
            (Rows{{0xFF800F, kBlack, kBlack}}));
}

TEST(HostGraphicsDecodeTest, EightBitsOfWidth101ReadRowsOf104BytesWhenTheImageSizeIsZero) {
  Bytes table;
  for (int i = 0; i < 256; ++i) {
    const auto level = static_cast<std::uint8_t>(i);
    table.insert(table.end(), {level, level, level, 0});
  }
  Bytes pixels(1040, 0xEE);
  Rows expected(10);
  for (std::size_t row = 0; row < 10; ++row) {  // from the bottom
    for (std::size_t x = 0; x < 101; ++x) {
      pixels[row * 104 + x] = static_cast<std::uint8_t>(x + 3 * row);
      expected[9 - row].push_back(static_cast<std::uint32_t>((x + 3 * row) % 256) * 0x010101);
    }
  }
  EXPECT_EQ(Decode(Info({.width = 101, .height = 10, .bits = 8}, table), pixels), expected);
}

TEST(HostGraphicsDecodeTest, TrueColourDepths) {
  // 5-5-5 with the top bit ignored; 16 of 31 widens to 0x84.
  EXPECT_EQ(
      Decode(Info({.width = 3, .height = 2, .bits = 16}), {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x80, 0xAA, 0xAA,
                                                           0x10, 0x42, 0xFF, 0x7F, 0x00, 0x00, 0xAA, 0xAA}),
      (Rows{{0x848484, 0xFFFFFF, kBlack}, {0xFF0000, 0x00FF00, 0x0000FF}}));
  EXPECT_EQ(
      Decode(Info({.width = 1, .height = 2, .bits = 24}), {0x01, 0x02, 0x03, 0xEE, 0x04, 0x05, 0x06, 0xEE}),
      (Rows{{0x060504}, {0x030201}}));
  EXPECT_EQ(
      Decode(Info({.width = 2, .height = 1, .bits = 32}), {0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0x80}),
      (Rows{{0x030201, 0x060504}}));
  // A negative height stores the top row first.
  EXPECT_EQ(
      Decode(Info({.width = 1, .height = -2, .bits = 24}), {0x01, 0x02, 0x03, 0xEE, 0x04, 0x05, 0x06, 0xEE}),
      (Rows{{0x030201}, {0x060504}}));
}

TEST(HostGraphicsDecodeTest, RunLengthEncodedEightBits) {
  const Bytes stream = {
      0x05, 0x01, 0x00, 0x00,  // bottom row: run cut at the edge
      0x00, 0x02, 0x01, 0x00, 0x00, 0x03, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00,  // move right, 3 absolute, pad
      0x01, 0x03, 0x00, 0x02, 0x01, 0x00, 0x01, 0x02, 0x00, 0x01,              // then the end of the bitmap
      0x04, 0x02};                                                             // past the end: not painted
  const Bytes table = {0x10, 0x10, 0x10, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
  EXPECT_EQ(DecodeRunLengths({.width = 4, .height = 3, .bits = 8, .compression = 1, .colours_used = 4}, table,
                             stream),
            (Rows{{0xFF0000, kBlack, 0x00FF00, kBlack},
                  {kBlack, 0x00FF00, 0xFF0000, 0x101010},
                  {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF}}));
}

TEST(HostGraphicsDecodeTest, RunLengthEncodedFourBits) {
  Bytes table;
  for (std::uint8_t i = 0; i < 16; ++i) {
    table.insert(table.end(), {i, 0, 0, 0});
  }
  // Alternating run; a move right and up; five absolute indices in three bytes and a pad; a run.
  const Bytes stream = {0x03, 0x12, 0x00, 0x02, 0x01, 0x01, 0x00, 0x05,
                        0x34, 0x56, 0x70, 0x00, 0x02, 0x89, 0x00, 0x01};
  EXPECT_EQ(DecodeRunLengths({.width = 12, .height = 2, .bits = 4, .compression = 2}, table, stream),
            (Rows{{0, 0, 0, 0, 3, 4, 5, 6, 7, 8, 9, 0}, {1, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
}

TEST(HostGraphicsDecodeTest, DamagedHeadersAreRefusedWithinTheirBuffers) {
  // Large enough that only the header can be the reason for a refusal, in all but the last case.
  const Bytes rows(70000, 0);
  for (const InfoFields& fields : std::vector<InfoFields>{
           {.width = 0, .height = 2, .bits = 24},
           {.width = 2, .height = 0, .bits = 24},
           {.width = -2, .height = 2, .bits = 24},
           {.width = 16385, .height = 1, .bits = 1},
           {.width = 1, .height = -16385, .bits = 1},
           {.width = 1, .height = std::numeric_limits<std::int32_t>::min(), .bits = 24, .image_size = 64},
           {.width = std::numeric_limits<std::int32_t>::max(), .height = 1, .bits = 32, .image_size = 64},
           {.width = 2, .height = 2, .bits = 0},
           {.width = 2, .height = 2, .bits = 2},
           {.width = 2, .height = 2, .bits = 64},
           {.width = 2, .height = 2, .bits = 32, .compression = 3},  // bit fields
           {.width = 2, .height = 2, .bits = 24, .compression = 4},
           {.width = 2, .height = 2, .bits = 4, .compression = 1, .image_size = 64},
           {.width = 2, .height = 2, .bits = 8, .compression = 2, .image_size = 64},
           {.width = 2, .height = -2, .bits = 8, .compression = 1, .image_size = 64},
           {.width = 10, .height = 2, .bits = 24, .image_size = 63},  // rows need 64
       }) {
    Bytes table(fields.bits == 8 || fields.bits == 4 ? 4u << fields.bits : 0u, 0);
    EXPECT_EQ(Make(Info(fields, table), rows), nullptr)
        << fields.width << "x" << fields.height << "x" << fields.bits;
  }
  HostGraphics graphics;
  const Bytes info = Info({.width = 1, .height = 1, .bits = 24});
  EXPECT_EQ(graphics.CreateDeviceBitmap(nullptr, rows.data(), nullptr), nullptr);
  EXPECT_EQ(graphics.CreateDeviceBitmap(info.data(), nullptr, nullptr), nullptr);
}

TEST(HostGraphicsDecodeTest, RunLengthStreamsThatEndEarlyStopAtTheirImageSize) {
  const Bytes table(1024, 0xFF);
  for (const Bytes& stream : std::vector<Bytes>{{0x00, 0x07, 0x01, 0x02},  // absolute run past the end
                                                {0x00, 0x02, 0x05},        // move cut short
                                                {0x02},                    // a lone count
                                                {0x00, 0x02, 0x00, 0xFF, 0x03, 0x01}}) {  // moved off the top
    const std::optional<Rows> rows =
        DecodeRunLengths({.width = 3, .height = 1, .bits = 8, .compression = 1}, table, stream);
    ASSERT_TRUE(rows);
    EXPECT_EQ((*rows)[0][2], kBlack);
  }
}

TEST(HostGraphicsPaletteTest, EntriesInTableOrder) {
  HostGraphics graphics;
  const std::unique_ptr<DevicePalette> palette = graphics.CreatePalette(kTable.data(), 5);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(dynamic_cast<const HostPalette&>(*palette).Colours(),
            (std::vector<std::uint32_t>{0x112233, 0xAABBCC, 0x0000FF, 0x00FF00, 0xFF0000}));
  EXPECT_EQ(graphics.CreatePalette(kTable.data(), 0), nullptr);
  EXPECT_EQ(graphics.CreatePalette(nullptr, 5), nullptr);
  // More than a logical palette can hold is refused before the table is read.
  EXPECT_EQ(graphics.CreatePalette(kTable.data(), 65536), nullptr);
}

class FramebufferCanvasTest : public ::testing::Test {
 protected:
  FramebufferCanvasTest() {
    Framebuffer picture(3, 2);
    for (std::int32_t y = 0; y < 2; ++y) {
      for (std::int32_t x = 0; x < 3; ++x) {
        picture.SetPixel(x, y, Colour(x, y));
      }
    }
    bitmap_.emplace(std::move(picture));
  }
  static std::uint32_t Colour(std::int32_t x, std::int32_t y) {
    return 0x100000 * static_cast<std::uint32_t>(x + 1) + 0x1000 * static_cast<std::uint32_t>(y + 1);
  }
  bool Copy(PixelRect destination, PixelRect source = {0, 0, 3, 2}, const DevicePalette* palette = nullptr) {
    return canvas_.StretchCopy(*bitmap_, palette, destination, source);
  }
  // The screen after a copy, onto grey, that must succeed.
  Rows Drawn(PixelRect destination, PixelRect source = {0, 0, 3, 2}, const DevicePalette* palette = nullptr) {
    screen_.Fill(kGrey);
    EXPECT_TRUE(Copy(destination, source, palette));
    return RowsOf(screen_);
  }
  // The framebuffer's pixels with those in the given rectangle replaced by `inside(x, y)`.
  template <typename Inside>
  Rows Expected(PixelRect rect, Inside inside) const {
    Rows rows = RowsOf(Framebuffer(screen_.Width(), screen_.Height(), kGrey));
    for (std::int32_t y = std::max(rect.top, 0); y < std::min(rect.top + rect.height, screen_.Height());
         ++y) {
      for (std::int32_t x = std::max(rect.left, 0); x < std::min(rect.left + rect.width, screen_.Width());
           ++x) {
        rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = inside(x - rect.left, y - rect.top);
      }
    }
    return rows;
  }

  Framebuffer screen_{64, 48, kGrey};
  FramebufferCanvas canvas_{screen_};
  std::optional<HostDeviceBitmap> bitmap_;
};

TEST_F(FramebufferCanvasTest, CopiesAtItsOwnSizeOntoTheGivenPlace) {
  ASSERT_TRUE(Copy({50, 40, 3, 2}));
  EXPECT_EQ(screen_.Pixel(50, 40), Colour(0, 0));
  EXPECT_EQ(screen_.Pixel(52, 41), Colour(2, 1));
  for (const auto& [x, y] :
       std::vector<std::pair<int, int>>{{49, 40}, {53, 40}, {50, 39}, {50, 42}, {53, 42}, {0, 0}}) {
    EXPECT_EQ(screen_.Pixel(x, y), kGrey) << x << "," << y;
  }
  EXPECT_EQ(RowsOf(screen_), Expected({50, 40, 3, 2}, Colour));
}

TEST_F(FramebufferCanvasTest, StretchesAndTakesSourceRectanglesFromTheTop) {
  EXPECT_EQ(Drawn({10, 5, 6, 4}),
            Expected({10, 5, 6, 4}, [](std::int32_t x, std::int32_t y) { return Colour(x / 2, y / 2); }));
  EXPECT_EQ(Drawn({0, 0, 2, 1}, {1, 0, 2, 1}),
            Expected({0, 0, 2, 1}, [](std::int32_t x, std::int32_t) { return Colour(x + 1, 0); }));
  // Halving picks one pixel of each pair.
  EXPECT_EQ(Drawn({0, 0, 1, 1}, {1, 0, 2, 2}),
            Expected({0, 0, 1, 1}, [](std::int32_t, std::int32_t) { return Colour(2, 1); }));
}

TEST_F(FramebufferCanvasTest, ClipsAtEveryEdge) {
  EXPECT_EQ(Drawn({-1, -1, 3, 2}), Expected({-1, -1, 3, 2}, Colour));
  EXPECT_EQ(Drawn({62, 47, 6, 4}),
            Expected({62, 47, 6, 4}, [](std::int32_t x, std::int32_t y) { return Colour(x / 2, y / 2); }));
  // A source rectangle reaching past the bitmap draws only what the bitmap has.
  EXPECT_EQ(Drawn({0, 0, 3, 2}, {2, 0, 3, 2}),
            Expected({0, 0, 1, 2}, [](std::int32_t, std::int32_t y) { return Colour(2, y); }));
  screen_.Fill(kGrey);
  const std::int32_t most = std::numeric_limits<std::int32_t>::max();
  for (const PixelRect& outside :
       {PixelRect{64, 0, 3, 2}, PixelRect{0, 48, 3, 2}, PixelRect{-3, 0, 3, 2},
        PixelRect{most, most, most, most}, PixelRect{0, 0, 0, 2}, PixelRect{0, 0, 3, -2}}) {
    EXPECT_FALSE(Copy(outside)) << outside.left << "," << outside.top;
  }
  EXPECT_FALSE(Copy({0, 0, 3, 2}, {3, 0, 3, 2}));
  EXPECT_FALSE(Copy({0, 0, 3, 2}, {0, 0, -3, 2}));
  EXPECT_EQ(RowsOf(screen_), RowsOf(Framebuffer(64, 48, kGrey)));
}

TEST_F(FramebufferCanvasTest, PalettesChangeNoColoursAndForeignBitmapsDrawNothing) {
  HostGraphics graphics;
  const std::unique_ptr<DevicePalette> palette = graphics.CreatePalette(kTable.data(), 5);
  EXPECT_EQ(Drawn({0, 0, 3, 2}, {0, 0, 3, 2}, palette.get()), Expected({0, 0, 3, 2}, Colour));
  class ForeignBitmap : public DeviceBitmap {};
  EXPECT_FALSE(canvas_.StretchCopy(ForeignBitmap(), nullptr, {0, 0, 3, 2}, {0, 0, 3, 2}));
}

TEST(FramebufferTest, PixelsOutsideAreNotThere) {
  Framebuffer screen(2, 1, kGrey);
  screen.SetPixel(2, 0, kBlack);
  screen.SetPixel(-1, 0, kBlack);
  EXPECT_EQ(RowsOf(screen), (Rows{{kGrey, kGrey}}));
  EXPECT_EQ(screen.Pixel(0, 1), 0u);
  const Framebuffer empty(-5, 3);
  EXPECT_EQ(empty.Width(), 0);
  EXPECT_EQ(empty.Height(), 3);
}

TEST(FramebufferTest, WritesABottomUpBmpWithPaddedRows) {
  testing::TempDir folder;
  const std::string path = folder.File("snapshot.bmp");
  testing::WriteBytes(path, {'o', 'l', 'd'});
  Framebuffer screen(3, 2, kGrey);
  screen.SetPixel(0, 0, 0x112233);
  screen.SetPixel(2, 1, 0xAABBCC);
  ASSERT_TRUE(screen.WriteBmp(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

  const Bytes file = testing::ReadBytes(path);
  // The file header, the info header, then rows of 9 bytes of pixels and 3 of padding, the bottom one first.
  Bytes expected = {'B', 'M', 54 + 24, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  const Bytes info = Info({.width = 3, .height = 2, .bits = 24, .image_size = 24});
  expected.insert(expected.end(), info.begin(), info.end());
  expected.insert(expected.end(), {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xCC, 0xBB, 0xAA, 0, 0, 0});
  expected.insert(expected.end(), {0x33, 0x22, 0x11, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0, 0, 0});
  ASSERT_EQ(file.size(), expected.size());
  std::copy_n(file.begin() + 38, 8, expected.begin() + 38);  // the resolution is the writer's own choice
  EXPECT_EQ(file, expected);

  // What is written decodes to what was drawn.
  EXPECT_EQ(Decode(Bytes(file.begin() + 14, file.begin() + 54), Bytes(file.begin() + 54, file.end())),
            RowsOf(screen));
  EXPECT_FALSE(screen.WriteBmp(folder.File("missing/snapshot.bmp")));
}

}  // namespace
}  // namespace vtsetup::platform::host

#include "app/dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/host/ui/framebuffer_canvas.h"
#include "platform/host/ui/host_graphics.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_machine.h"

namespace vtsetup::app {
namespace {

using platform::host::Framebuffer;
using platform::host::FramebufferCanvas;
using platform::host::HostPalette;
using Bytes = std::vector<unsigned char>;

constexpr const char* kPicture = "C:\\pic.bmp";
constexpr std::uint32_t kBackdrop = 0x00123456;

// Fields appended little-endian, one by one, as a bitmap file lays them out.
class Layout {
 public:
  Layout& U8(std::uint32_t value) {
    bytes_.push_back(static_cast<unsigned char>(value & 0xFF));
    return *this;
  }
  Layout& U16(std::uint32_t value) { return U8(value).U8(value >> 8); }
  Layout& U32(std::uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
  Layout& Append(const Bytes& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  Layout& Zeros(std::size_t count) {
    bytes_.resize(bytes_.size() + count, 0);
    return *this;
  }
  const Bytes& Data() const { return bytes_; }

 private:
  Bytes bytes_;
};

struct InfoFields {
  std::uint32_t header_size = 40;
  std::int32_t width = 3;
  std::int32_t height = 2;
  std::uint16_t bits = 8;
  std::uint32_t compression = 0;
  std::uint32_t image_size = 0;
  std::uint32_t colours_used = 0;
  std::int32_t resolution = 2835;
};

Bytes Info(const InfoFields& fields) {
  Layout layout;
  layout.U32(fields.header_size)
      .U32(static_cast<std::uint32_t>(fields.width))
      .U32(static_cast<std::uint32_t>(fields.height))
      .U16(1)
      .U16(fields.bits)
      .U32(fields.compression)
      .U32(fields.image_size)
      .U32(static_cast<std::uint32_t>(fields.resolution))
      .U32(static_cast<std::uint32_t>(fields.resolution))
      .U32(fields.colours_used)
      .U32(0);
  if (fields.header_size > 40 && fields.header_size < 1024) {
    layout.Zeros(fields.header_size - 40);
  }
  return layout.Data();
}

Bytes CoreInfo(std::uint16_t width, std::uint16_t height, std::uint16_t bits) {
  return Layout().U32(12).U16(width).U16(height).U16(1).U16(bits).Data();
}

// Every entry differs from every other and from the backdrop.
std::uint32_t EntryColour(std::uint32_t index) {
  return index << 16 | (255 - index) << 8 | ((index * 3) & 0xFF);
}

// Entries of 4 bytes (blue, green, red, 0), or of 3 for the 12-byte header form.
Bytes Table(std::uint32_t count, std::uint32_t entry_size = 4) {
  Layout layout;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t colour = EntryColour(i);
    layout.U8(colour).U8(colour >> 8).U8(colour >> 16);
    if (entry_size == 4) {
      layout.U8(0);
    }
  }
  return layout.Data();
}

// One 24-bit row with its padding to 4 bytes.
Bytes Row24(const std::vector<std::uint32_t>& colours) {
  Layout layout;
  for (const std::uint32_t colour : colours) {
    layout.U8(colour).U8(colour >> 8).U8(colour >> 16);
  }
  layout.Zeros((4 - colours.size() * 3 % 4) % 4);
  return layout.Data();
}

Bytes WithFileHeader(const Bytes& rest, std::uint32_t pixel_offset) {
  return Layout()
      .U8('B')
      .U8('M')
      .U32(static_cast<std::uint32_t>(14 + rest.size()))
      .U16(0)
      .U16(0)
      .U32(pixel_offset)
      .Append(rest)
      .Data();
}

// A 3 by 2 picture of 8 bits, bottom row first: indices 0, 100, 255 and above them 7, 8, 200.
const Bytes kEightBitRows = {0, 100, 255, 0xEE, 7, 8, 200, 0xEE};

Bytes EightBitFile(const InfoFields& fields, const Bytes& rows = kEightBitRows) {
  const Bytes table = Table(fields.colours_used != 0 ? fields.colours_used : 256);
  return WithFileHeader(Layout().Append(Info(fields)).Append(table).Append(rows).Data(),
                        static_cast<std::uint32_t>(14 + 40 + table.size()));
}

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// 2 by 2 of 24 bits: red and green on top, blue and white below.
Bytes TrueColourFile() {
  const Bytes body = Layout()
                         .Append(Info({.width = 2, .height = 2, .bits = 24}))
                         .Append(Row24({kBlue, kWhite}))
                         .Append(Row24({kRed, kGreen}))
                         .Data();
  return WithFileHeader(body, 54);
}

class CountingGraphics final : public platform::Graphics {
 public:
  explicit CountingGraphics(platform::Graphics& real) : real_(real) {}
  int palettes = 0;
  int bitmaps = 0;

  std::unique_ptr<platform::DevicePalette> CreatePalette(const std::uint8_t* colour_table,
                                                         std::uint32_t count) override {
    ++palettes;
    return real_.CreatePalette(colour_table, count);
  }
  std::unique_ptr<platform::DeviceBitmap> CreateDeviceBitmap(
      const std::uint8_t* info, const std::uint8_t* pixels, const platform::DevicePalette* palette) override {
    ++bitmaps;
    return real_.CreateDeviceBitmap(info, pixels, palette);
  }

 private:
  platform::Graphics& real_;
};

class DibTest : public ::testing::Test {
 protected:
  void Place(const Bytes& bytes, const char* path = kPicture) {
    testing::WriteBytes(machine_.Host(path), bytes);
  }
  bool Load(const Bytes& bytes) {
    Place(bytes);
    return dib_.LoadDib(kPicture);
  }
  // The picture painted at its own size onto a backdrop of that size.
  Framebuffer Painted() {
    Framebuffer screen(dib_.DibWidth(), std::abs(dib_.DibHeight()), kBackdrop);
    FramebufferCanvas canvas(screen);
    EXPECT_TRUE(dib_.PaintDib(canvas, 0, 0, 0, 0, 0, 0, 0, 0));
    return screen;
  }
  std::vector<std::uint32_t> PaletteColours() {
    const auto* palette = dynamic_cast<const HostPalette*>(dib_.DibPalette());
    return palette != nullptr ? palette->Colours() : std::vector<std::uint32_t>{};
  }
  void ExpectEmpty() {
    EXPECT_FALSE(dib_.IsLoaded());
    EXPECT_TRUE(dib_.PixelBlock().empty());
    EXPECT_EQ(dib_.DibWidth(), 0);
    EXPECT_EQ(dib_.DibHeight(), 0);
    EXPECT_EQ(dib_.ColourCount(), 0u);
    EXPECT_EQ(dib_.DibPalette(), nullptr);
    EXPECT_EQ(dib_.DibDeviceBitmap(), nullptr);
    Framebuffer screen(4, 4, kBackdrop);
    FramebufferCanvas canvas(screen);
    EXPECT_FALSE(dib_.PaintDib(canvas, 0, 0, 4, 4, 0, 0, 0, 0));
    EXPECT_EQ(screen.Pixel(0, 0), kBackdrop);
    EXPECT_EQ(graphics_.palettes + graphics_.bitmaps, 0);
  }

  testing::TestMachine machine_;
  // Fails nothing unless told; records every read.
  testing::FaultyFileSystem files_{machine_.System().Files()};
  CountingGraphics graphics_{machine_.System().Pictures()};
  Dib dib_{files_, graphics_};
};

std::vector<std::uint32_t> EntryColours(std::uint32_t count) {
  std::vector<std::uint32_t> colours;
  for (std::uint32_t i = 0; i < count; ++i) {
    colours.push_back(EntryColour(i));
  }
  return colours;
}

TEST_F(DibTest, EightBitsWithoutColoursUsedGetTheWholeTableAndPalette) {
  ASSERT_TRUE(Load(EightBitFile({})));
  EXPECT_EQ(dib_.ColourCount(), 256u);
  // The header as kept: image size and colours used filled in, the table and rows behind it.
  const Bytes expected = Layout()
                             .Append(Info({.image_size = 8, .colours_used = 256}))
                             .Append(Table(256))
                             .Append(kEightBitRows)
                             .Data();
  EXPECT_EQ(dib_.PixelBlock(), expected);
  EXPECT_EQ(PaletteColours(), EntryColours(256));
  const Framebuffer screen = Painted();
  EXPECT_EQ(screen.Pixel(0, 0), EntryColour(7));
  EXPECT_EQ(screen.Pixel(2, 0), EntryColour(200));
  EXPECT_EQ(screen.Pixel(1, 1), EntryColour(100));
  EXPECT_EQ(screen.Pixel(2, 1), EntryColour(255));
}

TEST_F(DibTest, ColoursUsedSetsTheTableAndPaletteSize) {
  ASSERT_TRUE(Load(EightBitFile({.colours_used = 16})));
  EXPECT_EQ(dib_.ColourCount(), 16u);
  EXPECT_EQ(dib_.PixelBlock().size(), 40u + 16 * 4 + 8);
  EXPECT_EQ(PaletteColours(), EntryColours(16));
  // Index 100 lies past the 16 entries: black, never a read past the table.
  EXPECT_EQ(Painted().Pixel(1, 1), 0u);
}

TEST_F(DibTest, TwelveByteHeaderIsWidenedWithItsThreeByteTable) {
  // 3 by 2 of 4 bits: indices 1, 2, 3 below and 15, 0, 14 above, rows of 4 bytes.
  const Bytes rows = {0x12, 0x30, 0, 0, 0xF0, 0xE0, 0, 0};
  const Bytes core = Layout().Append(CoreInfo(3, 2, 4)).Append(Table(16, 3)).Append(rows).Data();
  ASSERT_TRUE(Load(WithFileHeader(core, 14 + 12 + 48)));
  const Bytes expected = Layout()
                             .Append(Info({.bits = 4, .image_size = 8, .colours_used = 16, .resolution = 0}))
                             .Append(Table(16))
                             .Append(rows)
                             .Data();
  EXPECT_EQ(dib_.PixelBlock(), expected);
  const auto table_read = [](const testing::FaultyFileSystem::Call& read) {
    return read.offset == 14 + 12 && read.size == 48;
  };
  EXPECT_TRUE(std::any_of(files_.reads.begin(), files_.reads.end(), table_read));
  const Framebuffer screen = Painted();
  EXPECT_EQ(screen.Pixel(0, 0), EntryColour(15));
  EXPECT_EQ(screen.Pixel(2, 0), EntryColour(14));
  EXPECT_EQ(screen.Pixel(0, 1), EntryColour(1));
  EXPECT_EQ(screen.Pixel(2, 1), EntryColour(3));
}

TEST_F(DibTest, FilesWithoutTheFileHeaderHaveTheirPixelsBehindTheTable) {
  const Bytes body =
      Layout().Append(Info({.colours_used = 256})).Append(Table(256)).Append(kEightBitRows).Data();
  ASSERT_TRUE(Load(body));
  EXPECT_EQ(Painted().Pixel(0, 0), EntryColour(7));
  dib_.ReleaseDib();

  const Bytes rows = {0x12, 0x30, 0, 0, 0xF0, 0xE0, 0, 0};
  const Bytes core = Layout().Append(CoreInfo(3, 2, 4)).Append(Table(16, 3)).Append(rows).Data();
  ASSERT_TRUE(Load(core));
  EXPECT_EQ(Painted().Pixel(2, 1), EntryColour(3));
}

TEST_F(DibTest, TrueColourHasNoTableNorPaletteAndPaints) {
  ASSERT_TRUE(Load(TrueColourFile()));
  EXPECT_EQ(dib_.ColourCount(), 0u);
  EXPECT_EQ(dib_.PixelBlock().size(), 40u + 16);
  EXPECT_EQ(dib_.DibPalette(), nullptr);
  const Framebuffer screen = Painted();
  EXPECT_EQ(screen.Pixel(0, 0), kRed);
  EXPECT_EQ(screen.Pixel(1, 0), kGreen);
  EXPECT_EQ(screen.Pixel(0, 1), kBlue);
  EXPECT_EQ(screen.Pixel(1, 1), kWhite);
  EXPECT_EQ(graphics_.palettes, 0);
}

TEST_F(DibTest, ImageSizeZeroIsComputedFromPaddedRows) {
  Layout rows;
  for (std::uint32_t y = 0; y < 10; ++y) {
    for (std::uint32_t x = 0; x < 101; ++x) {
      rows.U8((x + 2 * y) & 0xFF);
    }
    rows.U8(0xAA).U8(0xAA).U8(0xAA);
  }
  ASSERT_EQ(rows.Data().size(), 1040u);
  ASSERT_TRUE(Load(EightBitFile({.width = 101, .height = 10}, rows.Data())));
  EXPECT_EQ(dib_.PixelBlock().size(), 40u + 1024 + 1040);
  const Bytes image_size(dib_.PixelBlock().begin() + 20, dib_.PixelBlock().begin() + 24);
  EXPECT_EQ(image_size, Layout().U32(1040).Data());
  const Framebuffer screen = Painted();
  // The top row is the last stored, y = 9.
  EXPECT_EQ(screen.Pixel(100, 0), EntryColour(100 + 18));
  EXPECT_EQ(screen.Pixel(0, 9), EntryColour(0));
  EXPECT_EQ(screen.Pixel(100, 9), EntryColour(100));
}

TEST_F(DibTest, TopDownPicturesLoadAndPaintTheRightWayUp) {
  // Rows from the top, with no image size: the rows' size must come from the height without its sign.
  const Bytes body = Layout()
                         .Append(Info({.width = 2, .height = -3, .bits = 24}))
                         .Append(Row24({kRed, kGreen}))
                         .Append(Row24({kBlue, kWhite}))
                         .Append(Row24({kGreen, kRed}))
                         .Data();
  ASSERT_TRUE(Load(WithFileHeader(body, 54)));
  EXPECT_EQ(dib_.DibHeight(), -3);
  EXPECT_EQ(dib_.PixelBlock().size(), 40u + 24);
  const Framebuffer screen = Painted();
  EXPECT_EQ(screen.Pixel(0, 0), kRed);
  EXPECT_EQ(screen.Pixel(1, 1), kWhite);
  EXPECT_EQ(screen.Pixel(0, 2), kGreen);
  EXPECT_EQ(screen.Pixel(1, 2), kRed);
}

TEST_F(DibTest, PaintStretchesOntoTheDestinationAndLeavesTheRestAlone) {
  ASSERT_TRUE(Load(TrueColourFile()));
  Framebuffer screen(6, 6, kBackdrop);
  FramebufferCanvas canvas(screen);
  ASSERT_TRUE(dib_.PaintDib(canvas, 1, 1, 4, 4, 0, 0, 0, 0));
  const std::uint32_t expected[6][6] = {
      {kBackdrop, kBackdrop, kBackdrop, kBackdrop, kBackdrop, kBackdrop},
      {kBackdrop, kRed, kRed, kGreen, kGreen, kBackdrop},
      {kBackdrop, kRed, kRed, kGreen, kGreen, kBackdrop},
      {kBackdrop, kBlue, kBlue, kWhite, kWhite, kBackdrop},
      {kBackdrop, kBlue, kBlue, kWhite, kWhite, kBackdrop},
      {kBackdrop, kBackdrop, kBackdrop, kBackdrop, kBackdrop, kBackdrop},
  };
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(screen.Pixel(x, y), expected[y][x]) << x << "," << y;
    }
  }
}

TEST_F(DibTest, PaintCopiesOnlyTheSourceRectangle) {
  ASSERT_TRUE(Load(TrueColourFile()));
  Framebuffer screen(4, 3, kBackdrop);
  FramebufferCanvas canvas(screen);
  // The top right pixel, from the top as on the screen, spread over 3 by 2.
  ASSERT_TRUE(dib_.PaintDib(canvas, 0, 0, 3, 2, 1, 0, 1, 1));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(screen.Pixel(x, y), x < 3 && y < 2 ? kGreen : kBackdrop) << x << "," << y;
    }
  }
}

TEST_F(DibTest, PaintingTwiceMakesBitmapAndPaletteOnce) {
  ASSERT_TRUE(Load(EightBitFile({})));
  Painted();
  const platform::DeviceBitmap* first = dib_.DibDeviceBitmap();
  Painted();
  EXPECT_EQ(dib_.DibDeviceBitmap(), first);
  EXPECT_EQ(graphics_.bitmaps, 1);
  EXPECT_EQ(graphics_.palettes, 1);
}

TEST_F(DibTest, APaletteTheScreenRefusesIsNotAskedForAgain) {
  // More entries than a logical palette holds.
  ASSERT_TRUE(Load(EightBitFile({.colours_used = 70000})));
  EXPECT_EQ(dib_.ColourCount(), 70000u);
  Painted();
  Painted();
  EXPECT_EQ(dib_.DibPalette(), nullptr);
  EXPECT_EQ(graphics_.palettes, 1);
}

TEST_F(DibTest, EmptyAndMissingPicturesPaintNothing) {
  ExpectEmpty();
  EXPECT_FALSE(dib_.LoadDib("C:\\missing.bmp"));
  ExpectEmpty();
}

TEST_F(DibTest, ReleaseForgetsThePictureAndALoadReplacesIt) {
  ASSERT_TRUE(Load(TrueColourFile()));
  Painted();
  const Bytes blue = WithFileHeader(
      Layout().Append(Info({.width = 1, .height = 1, .bits = 24})).Append(Row24({kBlue})).Data(), 54);
  ASSERT_TRUE(Load(blue));
  EXPECT_EQ(dib_.DibWidth(), 1);
  EXPECT_EQ(Painted().Pixel(0, 0), kBlue);
  EXPECT_EQ(graphics_.bitmaps, 2);

  dib_.ReleaseDib();
  graphics_.bitmaps = 0;
  ExpectEmpty();
}

TEST_F(DibTest, ShortFilesStayEmpty) {
  const Bytes whole = EightBitFile({.colours_used = 16});
  const Bytes bare =
      Layout().Append(Info({.colours_used = 16})).Append(Table(16)).Append(kEightBitRows).Data();
  const std::vector<Bytes> cut = {
      {},
      Bytes(whole.begin(), whole.begin() + 13),
      Bytes(whole.begin(), whole.begin() + 14 + 39),       // the info header cut
      Bytes(bare.begin(), bare.begin() + 39),              // the same without the file header
      Bytes(whole.begin(), whole.begin() + 14 + 40 + 63),  // the colour table cut
      Bytes(whole.begin(), whole.end() - 1),               // the last pixel row cut
      Bytes(bare.begin(), bare.end() - 1),
  };
  for (const Bytes& file : cut) {
    EXPECT_FALSE(Load(file)) << file.size() << " bytes";
    ExpectEmpty();
  }
}

TEST_F(DibTest, HeadersPromisingMoreThanTheFileHoldsOrNoScreenShowsStayEmpty) {
  const std::vector<std::pair<const char*, InfoFields>> hostile = {
      {"colours used past the file", {.colours_used = 0xFFFFFFFF}},
      {"table size wrapping in 32 bits", {.colours_used = 0x40000001}},
      {"image size past the file", {.image_size = 0xFFFFFFFF}},
      {"width past the limit", {.width = kDibMaxSide + 1, .height = 1}},
      {"height past the limit", {.width = 1, .height = -kDibMaxSide - 1}},
      {"lowest height", {.width = 1, .height = INT32_MIN}},
      {"negative width", {.width = -3}},
      {"no width", {.width = 0}},
      {"no height", {.height = 0}},
      {"a gigabyte of pixels", {.width = kDibMaxSide, .height = kDibMaxSide, .bits = 32}},
      // 2^29 bits a row, 2^26 bytes, times 64 rows is 2^32: 0 in 32 bits.
      {"rows wrapping in 32 bits", {.width = kDibMaxSide, .height = 64, .bits = 32768}},
      {"header past the file", {.header_size = 0xFFFFFFF0}},
      {"unknown header size", {.header_size = 20}},
  };
  // The file holds what a sound header of 3 by 2 with 256 colours would need.
  const auto file_with = [](const InfoFields& fields) {
    return WithFileHeader(Layout().Append(Info(fields)).Append(Table(256)).Append(kEightBitRows).Data(),
                          14 + 40 + 1024);
  };
  const std::uint64_t file_size = file_with({}).size();
  for (const auto& [what, fields] : hostile) {
    files_.reads.clear();
    EXPECT_FALSE(Load(file_with(fields))) << what;
    ExpectEmpty();
    // Whatever was allocated for a read was bounded by the file.
    for (const testing::FaultyFileSystem::Call& read : files_.reads) {
      EXPECT_LE(read.offset + read.size, file_size) << what;
    }
  }
  Bytes offset_past_the_end = EightBitFile({});
  offset_past_the_end[10] = 0xF0;
  offset_past_the_end[13] = 0x7F;
  EXPECT_FALSE(Load(offset_past_the_end));
  ExpectEmpty();
}

TEST_F(DibTest, TheLimitItselfLoads) {
  const Bytes body = Layout()
                         .Append(Info({.width = kDibMaxSide, .height = -1, .bits = 1}))
                         .Append(Table(2))
                         .Zeros(kDibMaxSide / 8)
                         .Data();
  ASSERT_TRUE(Load(body));
  EXPECT_EQ(dib_.DibWidth(), kDibMaxSide);
}

TEST_F(DibTest, UncompressedRowsGetTheirBytesWhateverTheImageSizeSays) {
  ASSERT_TRUE(Load(EightBitFile({.image_size = 1})));
  EXPECT_EQ(dib_.PixelBlock().size(), 40u + 1024 + 8);
  EXPECT_EQ(Painted().Pixel(2, 1), EntryColour(255));
}

TEST_F(DibTest, LongerHeadersOfLaterFilesKeepTheirTableBehindTheWholeHeader) {
  const Bytes body = Layout()
                         .Append(Info({.header_size = 124, .colours_used = 256}))
                         .Append(Table(256))
                         .Append(kEightBitRows)
                         .Data();
  ASSERT_TRUE(Load(WithFileHeader(body, 14 + 124 + 1024)));
  EXPECT_EQ(dib_.PixelBlock().size(), 40u + 1024 + 8);
  EXPECT_EQ(dib_.PixelBlock()[0], 40);
  EXPECT_EQ(Painted().Pixel(2, 0), EntryColour(200));
}

// Their three colour masks are kept nowhere, so the screen refuses them; our pictures are never
// of this kind.
TEST_F(DibTest, BitFieldPicturesLoadButAreNotPainted) {
  const Bytes body = Layout()
                         .Append(Info({.width = 1, .height = 1, .bits = 32, .compression = 3}))
                         .U32(0xFF0000)
                         .U32(0x00FF00)
                         .U32(0x0000FF)
                         .U32(0x00ABCDEF)
                         .Data();
  ASSERT_TRUE(Load(WithFileHeader(body, 14 + 40 + 12)));
  EXPECT_EQ(dib_.PixelBlock().size(), 40u + 4);
  Framebuffer screen(1, 1, kBackdrop);
  FramebufferCanvas canvas(screen);
  EXPECT_FALSE(dib_.PaintDib(canvas, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(screen.Pixel(0, 0), kBackdrop);
}

TEST_F(DibTest, AFailingReadLeavesTheDibEmpty) {
  Place(EightBitFile({}));
  testing::FaultyFileSystem files(machine_.System().Files());
  {
    Dib learning(files, graphics_);
    ASSERT_TRUE(learning.LoadDib(kPicture));
  }
  const int reads = static_cast<int>(files.reads.size());
  ASSERT_GE(reads, 4);  // file header, info header, table, pixels
  for (int failing = 1; failing <= reads; ++failing) {
    files.reads.clear();
    files.fail_read = failing;
    Dib dib(files, graphics_);
    EXPECT_FALSE(dib.LoadDib(kPicture)) << "read " << failing;
    EXPECT_FALSE(dib.IsLoaded());
    EXPECT_EQ(dib.DibWidth(), 0);
  }
}

}  // namespace
}  // namespace vtsetup::app

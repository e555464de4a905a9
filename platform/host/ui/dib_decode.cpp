#include "platform/host/ui/dib_decode.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/host/ui/dib_rle.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::size_t kInfoHeaderSize = 40;
enum Compression : std::uint32_t { kUncompressed = 0, kRle8 = 1, kRle4 = 2 };

std::uint16_t U16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

std::uint32_t U32(const std::uint8_t* at) {
  return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
}

// The fields that decide how the pixels are read. The header's size field is not among them: the
// loader always lays out the 40-byte form with the colour table right behind it, whatever the file had.
struct InfoHeader {
  std::int32_t width = 0;
  std::int64_t height = 0;  // absolute
  bool top_down = false;
  std::uint16_t bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t image_size = 0;
  std::uint32_t colours_used = 0;
};

InfoHeader ReadInfoHeader(const std::uint8_t* info) {
  InfoHeader header;
  header.width = static_cast<std::int32_t>(U32(info + 4));
  const auto height = static_cast<std::int32_t>(U32(info + 8));
  header.height = std::abs(static_cast<std::int64_t>(height));
  header.top_down = height < 0;
  header.bits = U16(info + 14);
  header.compression = U32(info + 16);
  header.image_size = U32(info + 20);
  header.colours_used = U32(info + 32);
  return header;
}

bool IsSupported(const InfoHeader& header) {
  switch (header.compression) {
    case kUncompressed:
      return header.bits == 1 || header.bits == 4 || header.bits == 8 || header.bits == 16 ||
             header.bits == 24 || header.bits == 32;
    // Windows knows no top-down compressed bitmaps either.
    case kRle8:
      return header.bits == 8 && !header.top_down;
    case kRle4:
      return header.bits == 4 && !header.top_down;
    default:
      // Bit fields included: their three masks sit between header and pixels in the file, which the
      // info given here does not hold.
      return false;
  }
}

bool HasSaneSize(const InfoHeader& header) {
  return header.width > 0 && header.width <= Framebuffer::kMaxSide && header.height > 0 &&
         header.height <= Framebuffer::kMaxSide;
}

// One colour per index the bits can hold. Indices the table does not reach are black, so no pixel
// value can read past the table.
std::vector<std::uint32_t> IndexColours(const InfoHeader& header, const std::uint8_t* table) {
  std::vector<std::uint32_t> colours(std::size_t{1} << header.bits, 0);
  const std::uint32_t count = header.colours_used != 0 ? header.colours_used : 1u << header.bits;
  const std::size_t reached = std::min<std::size_t>(count, colours.size());
  for (std::size_t i = 0; i < reached; ++i) {
    colours[i] = ColourOfEntry(table + 4 * i);
  }
  return colours;
}

// 5 bits of a 16-bit pixel widened so that 31 becomes 255.
std::uint32_t Widen5(unsigned value) {
  return (value << 3) | (value >> 2);
}

std::uint32_t PixelOf(const std::uint8_t* row, std::size_t x, unsigned bits,
                      const std::vector<std::uint32_t>& colours) {
  switch (bits) {
    case 1:
      return colours[(row[x / 8] >> (7 - x % 8)) & 1];
    case 4:
      return colours[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F];
    case 8:
      return colours[row[x]];
    case 16: {
      const unsigned value = U16(row + 2 * x);
      return Widen5((value >> 10) & 31) << 16 | Widen5((value >> 5) & 31) << 8 | Widen5(value & 31);
    }
    case 24:
      return ColourOfEntry(row + 3 * x);
    default:
      return ColourOfEntry(row + 4 * x);
  }
}

}  // namespace

std::optional<Framebuffer> DecodeDib(const std::uint8_t* info, const std::uint8_t* pixels) {
  const InfoHeader header = ReadInfoHeader(info);
  if (!IsSupported(header) || !HasSaneSize(header)) {
    return std::nullopt;
  }
  const std::uint64_t row_size =
      ((std::uint64_t{header.bits} * static_cast<std::uint64_t>(header.width) + 31) & ~std::uint64_t{31}) / 8;
  const std::uint64_t rows_size = row_size * static_cast<std::uint64_t>(header.height);
  const std::uint64_t available = header.image_size != 0 ? header.image_size : rows_size;
  if (header.compression == kUncompressed && available < rows_size) {
    return std::nullopt;
  }
  const std::vector<std::uint32_t> colours =
      header.bits <= 8 ? IndexColours(header, info + kInfoHeaderSize) : std::vector<std::uint32_t>{};
  Framebuffer picture(header.width, static_cast<std::int32_t>(header.height));
  if (header.compression != kUncompressed) {
    PaintRle({pixels, static_cast<std::size_t>(available)}, header.bits, colours, picture);
    return picture;
  }
  for (std::int32_t row = 0; row < picture.Height(); ++row) {
    const std::uint8_t* stored = pixels + static_cast<std::size_t>(row) * row_size;
    const std::int32_t y = header.top_down ? row : picture.Height() - 1 - row;
    for (std::int32_t x = 0; x < picture.Width(); ++x) {
      picture.SetPixel(x, y, PixelOf(stored, static_cast<std::size_t>(x), header.bits, colours));
    }
  }
  return picture;
}

}  // namespace vtsetup::platform::host

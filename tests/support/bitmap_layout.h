#pragma once

#include <cstdint>
#include <vector>

namespace vtsetup::testing {

// Bitmap files laid out by hand, field by field, so that tests never build them with the code they test.
using Bytes = std::vector<unsigned char>;

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

inline Bytes Info(const InfoFields& fields) {
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

inline Bytes CoreInfo(std::uint16_t width, std::uint16_t height, std::uint16_t bits) {
  return Layout().U32(12).U16(width).U16(height).U16(1).U16(bits).Data();
}

// One 24-bit row with its padding to 4 bytes.
inline Bytes Row24(const std::vector<std::uint32_t>& colours) {
  Layout layout;
  for (const std::uint32_t colour : colours) {
    layout.U8(colour).U8(colour >> 8).U8(colour >> 16);
  }
  layout.Zeros((4 - colours.size() * 3 % 4) % 4);
  return layout.Data();
}

inline Bytes WithFileHeader(const Bytes& rest, std::uint32_t pixel_offset) {
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

// A little-endian field of `size` bytes at `at`.
inline std::uint32_t Little(const Bytes& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
  }
  return value;
}

// What a person would see of a background snapshot: its pixel at (x, y) from the top, read from the
// 24-bit bottom-up layout of the file.
inline std::uint32_t SnapshotPixel(const Bytes& file, std::int32_t x, std::int32_t y) {
  const std::uint32_t offset = Little(file, 10, 4);
  const auto width = static_cast<std::int32_t>(Little(file, 18, 4));
  const auto height = static_cast<std::int32_t>(Little(file, 22, 4));
  const std::size_t row_size = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t at =
      offset + static_cast<std::size_t>(height - 1 - y) * row_size + static_cast<std::size_t>(x) * 3;
  return Little(file, at, 3);
}

}  // namespace vtsetup::testing

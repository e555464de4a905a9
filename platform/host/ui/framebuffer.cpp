#include "platform/host/ui/framebuffer.h"

#include <algorithm>

#include "platform/host/machine/whole_file.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

std::int32_t Side(std::int32_t requested) {
  return std::clamp(requested, 0, Framebuffer::kMaxSide);
}

void PutLittle(std::string& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) {
    bytes.push_back(static_cast<char>(value >> (8 * i)));
  }
}

}  // namespace

Framebuffer::Framebuffer(std::int32_t width, std::int32_t height, std::uint32_t colour)
    : width_(Side(width)),
      height_(Side(height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), colour) {}

std::uint32_t Framebuffer::Pixel(std::int32_t x, std::int32_t y) const {
  return Contains(x, y) ? pixels_[IndexOf(x, y)] : 0;
}

void Framebuffer::SetPixel(std::int32_t x, std::int32_t y, std::uint32_t colour) {
  if (Contains(x, y)) {
    pixels_[IndexOf(x, y)] = colour;
  }
}

void Framebuffer::Fill(std::uint32_t colour) {
  std::fill(pixels_.begin(), pixels_.end(), colour);
}

bool Framebuffer::WriteBmp(const std::string& host_path) const {
  const std::uint32_t row_size = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
  const std::uint32_t image_size = row_size * static_cast<std::uint32_t>(height_);
  const std::uint32_t pixel_offset = kFileHeaderSize + kInfoHeaderSize;
  std::string bytes;
  bytes.reserve(pixel_offset + image_size);
  bytes += "BM";
  PutLittle(bytes, pixel_offset + image_size, 4);
  PutLittle(bytes, 0, 4);  // two reserved words
  PutLittle(bytes, pixel_offset, 4);
  PutLittle(bytes, kInfoHeaderSize, 4);
  PutLittle(bytes, static_cast<std::uint32_t>(width_), 4);
  PutLittle(bytes, static_cast<std::uint32_t>(height_), 4);
  PutLittle(bytes, 1, 2);   // planes
  PutLittle(bytes, 24, 2);  // bits per pixel
  PutLittle(bytes, 0, 4);   // no compression
  PutLittle(bytes, image_size, 4);
  PutLittle(bytes, kPixelsPerMetre, 4);
  PutLittle(bytes, kPixelsPerMetre, 4);
  PutLittle(bytes, 0, 4);  // colours used
  PutLittle(bytes, 0, 4);  // important colours
  const std::size_t padding = row_size - static_cast<std::uint32_t>(width_) * 3;
  for (std::int32_t y = height_ - 1; y >= 0; --y) {
    for (std::int32_t x = 0; x < width_; ++x) {
      PutLittle(bytes, pixels_[IndexOf(x, y)], 3);  // blue, green, red
    }
    bytes.append(padding, '\0');
  }
  return ReplaceWholeFile(host_path, bytes) == 0;
}

}  // namespace vtsetup::platform::host

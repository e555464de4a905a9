#include "platform/host/ui/dib_rle.h"

namespace vtsetup::platform::host {
namespace {

enum Escape : std::uint8_t { kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2 };

class RleStream {
 public:
  explicit RleStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Next(std::uint8_t& byte) {
    if (at_ >= bytes_.size()) {
      return false;
    }
    byte = bytes_[at_++];
    return true;
  }
  void Skip() { ++at_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

// Where the next pixel goes. Wide enough that no stream can make it wrap.
struct Position {
  std::int64_t x = 0;
  std::int64_t row = 0;  // from the bottom
};

// The index of the `i`th pixel of a byte: the byte itself, or for 4 bits its high and low half in turn.
std::uint8_t IndexIn(std::uint8_t byte, unsigned bits, unsigned i) {
  if (bits == 8) {
    return byte;
  }
  return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

}  // namespace

void PaintRle(std::span<const std::uint8_t> stream, unsigned bits, std::span<const std::uint32_t> colours,
              Framebuffer& picture) {
  RleStream input(stream);
  Position at;
  const auto paint = [&](std::uint8_t index) {
    if (at.x < picture.Width()) {
      picture.SetPixel(static_cast<std::int32_t>(at.x),
                       static_cast<std::int32_t>(picture.Height() - 1 - at.row), colours[index]);
    }
    ++at.x;
  };
  std::uint8_t count = 0;
  std::uint8_t value = 0;
  while (at.row < picture.Height() && input.Next(count) && input.Next(value)) {
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) {
        paint(IndexIn(value, bits, i));
      }
      continue;
    }
    switch (value) {
      case kEndOfLine:
        at.x = 0;
        ++at.row;
        break;
      case kEndOfBitmap:
        return;
      case kDelta: {
        std::uint8_t right = 0;
        std::uint8_t up = 0;
        if (!input.Next(right) || !input.Next(up)) {
          return;
        }
        at.x += right;
        at.row += up;
        break;
      }
      default: {
        // Absolute mode: `value` indices stored as they are, padded to a whole 16-bit word.
        std::uint8_t byte = 0;
        for (unsigned i = 0; i < value; ++i) {
          if ((bits == 8 || i % 2 == 0) && !input.Next(byte)) {
            return;
          }
          paint(IndexIn(byte, bits, i));
        }
        const unsigned stored = bits == 8 ? value : (value + 1u) / 2;
        if (stored % 2 != 0) {
          input.Skip();
        }
        break;
      }
    }
  }
}

}  // namespace vtsetup::platform::host

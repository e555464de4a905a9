#include "app/dib.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <new>
#include <optional>

#include "setupdb/byte_order.h"

namespace vtsetup::app {
namespace {

using platform::File;

constexpr std::uint16_t kFileType = 0x4D42;  // "BM"
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::size_t kPixelOffsetField = 10;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kCoreEntrySize = 3;
constexpr std::uint32_t kEntrySize = 4;
constexpr std::uint32_t kUncompressed = 0;

constexpr std::size_t kSizeField = 0;
constexpr std::size_t kWidthField = 4;
constexpr std::size_t kHeightField = 8;
constexpr std::size_t kPlanesField = 12;
constexpr std::size_t kBitsField = 14;
constexpr std::size_t kCompressionField = 16;
constexpr std::size_t kImageSizeField = 20;
constexpr std::size_t kColoursUsedField = 32;

using InfoHeader = std::array<std::uint8_t, kDibInfoHeaderSize>;

std::int32_t GetI32(const std::uint8_t* at) {
  return static_cast<std::int32_t>(GetU32(at));
}

// A top-down picture has as many rows as its height says without the sign.
std::int64_t RowCount(const std::uint8_t* info) {
  return std::abs(std::int64_t{GetI32(info + kHeightField)});
}

// A short read is as bad as a failed one: every size asked for was checked against the file first.
bool ReadExactly(File& file, void* buffer, std::uint64_t size) {
  if (size > std::numeric_limits<std::uint32_t>::max()) {
    return false;
  }
  std::uint32_t transferred = 0;
  return file.Read(buffer, static_cast<std::uint32_t>(size), transferred) == platform::ERR_NONE &&
         transferred == size;
}

bool SeekTo(File& file, std::uint64_t position) {
  return file.Seek(static_cast<std::int64_t>(position), platform::SeekOrigin::Begin, nullptr) ==
         platform::ERR_NONE;
}

// Older files carry a 12-byte header with 16-bit sides; the fields it lacks are 0.
InfoHeader WidenCoreHeader(const InfoHeader& core) {
  InfoHeader info{};
  PutU32(info.data() + kSizeField, kDibInfoHeaderSize);
  PutU32(info.data() + kWidthField, GetU16(core.data() + 4));
  PutU32(info.data() + kHeightField, GetU16(core.data() + 6));
  PutU16(info.data() + kPlanesField, GetU16(core.data() + 8));
  PutU16(info.data() + kBitsField, GetU16(core.data() + 10));
  return info;
}

bool ShowsOnScreen(const InfoHeader& info) {
  const std::int32_t width = GetI32(info.data() + kWidthField);
  const std::int64_t rows = RowCount(info.data());
  return width > 0 && width <= kDibMaxSide && rows > 0 && rows <= kDibMaxSide;
}

std::uint32_t ColourCountOf(const InfoHeader& info) {
  const std::uint32_t used = GetU32(info.data() + kColoursUsedField);
  if (used != 0) {
    return used;
  }
  const unsigned bits = GetU16(info.data() + kBitsField);
  return bits <= 8 ? 1u << bits : 0;
}

// The header's image size, or the rows' size when it gives none. Uncompressed rows are never given
// fewer bytes than they fill, since the bitmap functions read whole rows whatever the header says.
// In 64 bits, so that no side or bit count can wrap the product; nothing when the header's field
// cannot hold it.
std::optional<std::uint32_t> ImageSizeOf(const InfoHeader& info) {
  const std::uint64_t bits = GetU16(info.data() + kBitsField);
  const auto width = static_cast<std::uint64_t>(GetI32(info.data() + kWidthField));
  const auto rows = static_cast<std::uint64_t>(RowCount(info.data()));
  const std::uint64_t rows_size = ((bits * width + 31) & ~std::uint64_t{31}) / 8 * rows;
  std::uint64_t size = GetU32(info.data() + kImageSizeField);
  if (size == 0 || GetU32(info.data() + kCompressionField) == kUncompressed) {
    size = std::max(size, rows_size);
  }
  if (size > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(size);
}

// Where the parts of a bitmap file lie, read from its headers and checked against the file's size,
// so that nothing is allocated for bytes the file does not hold.
struct DibLayout {
  InfoHeader info{};  // the 40-byte form, image size and colours used filled in
  std::uint32_t colour_count = 0;
  bool core_table = false;  // 3-byte entries, of the 12-byte header form
  std::uint64_t table_at = 0;
  std::uint64_t pixels_at = 0;
  std::uint32_t image_size = 0;
};

// Reads the headers from the file's current position, with or without the file header. Headers
// longer than 40 bytes, of later files, are cut to the 40-byte form; the colour table follows the
// whole header.
std::optional<DibLayout> ReadDibHeader(File& file, std::uint64_t file_size) {
  std::uint64_t start = 0;
  if (file.Seek(0, platform::SeekOrigin::Current, &start) != platform::ERR_NONE) {
    return std::nullopt;
  }
  std::array<std::uint8_t, kFileHeaderSize> file_header{};
  if (!ReadExactly(file, file_header.data(), file_header.size())) {
    return std::nullopt;
  }
  std::uint64_t info_at = start;
  std::uint64_t pixel_offset = 0;
  if (GetU16(file_header.data()) == kFileType) {
    info_at += kFileHeaderSize;
    pixel_offset = GetU32(file_header.data() + kPixelOffsetField);
  }
  DibLayout layout;
  if (!SeekTo(file, info_at) || !ReadExactly(file, layout.info.data(), layout.info.size())) {
    return std::nullopt;
  }
  const std::uint32_t header_size = GetU32(layout.info.data() + kSizeField);
  layout.core_table = header_size == kCoreHeaderSize;
  if (layout.core_table) {
    layout.info = WidenCoreHeader(layout.info);
  } else if (header_size < kDibInfoHeaderSize) {
    return std::nullopt;
  }
  PutU32(layout.info.data() + kSizeField, kDibInfoHeaderSize);
  if (!ShowsOnScreen(layout.info)) {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> image_size = ImageSizeOf(layout.info);
  if (!image_size) {
    return std::nullopt;
  }
  layout.image_size = *image_size;
  layout.colour_count = ColourCountOf(layout.info);
  PutU32(layout.info.data() + kImageSizeField, layout.image_size);
  PutU32(layout.info.data() + kColoursUsedField, layout.colour_count);

  const std::uint64_t stored_table_size =
      std::uint64_t{layout.colour_count} * (layout.core_table ? kCoreEntrySize : kEntrySize);
  layout.table_at = info_at + header_size;
  layout.pixels_at = pixel_offset != 0 ? start + pixel_offset : layout.table_at + stored_table_size;
  if (layout.table_at + stored_table_size > file_size || layout.pixels_at + layout.image_size > file_size) {
    return std::nullopt;
  }
  return layout;
}

// Reads the colour table into `table`, which has room for its 4-byte entries. The 3-byte entries of
// the 12-byte form are read into the front and widened from the last to the first, so that no entry
// is overwritten before it moved.
bool ReadColourTable(File& file, const DibLayout& layout, std::uint8_t* table) {
  if (layout.colour_count == 0) {
    return true;
  }
  const std::uint32_t entry_size = layout.core_table ? kCoreEntrySize : kEntrySize;
  if (!SeekTo(file, layout.table_at) ||
      !ReadExactly(file, table, std::uint64_t{layout.colour_count} * entry_size)) {
    return false;
  }
  if (layout.core_table) {
    for (std::uint64_t entry = layout.colour_count; entry-- > 0;) {
      const std::uint8_t* stored = table + entry * kCoreEntrySize;
      const std::array<std::uint8_t, kEntrySize> widened{stored[0], stored[1], stored[2], 0};
      std::copy(widened.begin(), widened.end(), table + entry * kEntrySize);
    }
  }
  return true;
}

std::int32_t OrOwn(std::int32_t given, std::int32_t own) {
  return given != 0 ? given : own;
}

}  // namespace

bool Dib::LoadDib(const char* path) {
  ReleaseDib();
  const platform::OpenResult opened = files_.Open(path, platform::FileAccess::Read, platform::SHARE_READ,
                                                  platform::FileCreation::OpenExisting);
  std::uint64_t file_size = 0;
  if (opened.file == nullptr || opened.file->Size(file_size) != platform::ERR_NONE) {
    return false;
  }
  const std::optional<DibLayout> layout = ReadDibHeader(*opened.file, file_size);
  if (!layout) {
    return false;
  }
  std::vector<std::uint8_t> block;
  const std::uint64_t table_size = std::uint64_t{layout->colour_count} * kEntrySize;
  const std::uint64_t block_size = kDibInfoHeaderSize + table_size + layout->image_size;
  // The sizes are bounded by the file's, yet a large file may still be more than memory holds, and a
  // 32-bit program's address space cannot even name every block a 4 GiB file asks for.
  if (block_size > block.max_size()) {
    return false;
  }
  try {
    block.resize(static_cast<std::size_t>(block_size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::copy(layout->info.begin(), layout->info.end(), block.begin());
  std::uint8_t* const table = block.data() + kDibInfoHeaderSize;
  if (!ReadColourTable(*opened.file, *layout, table) || !SeekTo(*opened.file, layout->pixels_at) ||
      !ReadExactly(*opened.file, table + table_size, layout->image_size)) {
    return false;
  }
  block_ = std::move(block);
  return true;
}

std::int32_t Dib::DibWidth() const {
  return IsLoaded() ? GetI32(block_.data() + kWidthField) : 0;
}

std::int32_t Dib::DibHeight() const {
  return IsLoaded() ? GetI32(block_.data() + kHeightField) : 0;
}

std::uint32_t Dib::ColourCount() const {
  return IsLoaded() ? GetU32(block_.data() + kColoursUsedField) : 0;
}

const platform::DevicePalette* Dib::DibPalette() {
  if (!IsLoaded()) {
    return nullptr;
  }
  // A palette the screen refused is not asked for again on every paint.
  if (!palette_tried_) {
    palette_tried_ = true;
    if (ColourCount() != 0) {
      palette_ = graphics_.CreatePalette(block_.data() + kDibInfoHeaderSize, ColourCount());
    }
  }
  return palette_.get();
}

const platform::DeviceBitmap* Dib::DibDeviceBitmap() {
  if (!IsLoaded()) {
    return nullptr;
  }
  if (device_bitmap_ == nullptr) {
    const platform::DevicePalette* palette = DibPalette();
    const std::uint8_t* pixels = block_.data() + kDibInfoHeaderSize + std::size_t{kEntrySize} * ColourCount();
    device_bitmap_ = graphics_.CreateDeviceBitmap(block_.data(), pixels, palette);
  }
  return device_bitmap_.get();
}

bool Dib::PaintDib(platform::Canvas& target, std::int32_t left, std::int32_t top, std::int32_t width,
                   std::int32_t height, std::int32_t source_left, std::int32_t source_top,
                   std::int32_t source_width, std::int32_t source_height) {
  const platform::DeviceBitmap* bitmap = DibDeviceBitmap();
  if (bitmap == nullptr) {
    return false;
  }
  // The bitmap is made the right way up from either row order, so its own height is always the
  // number of rows; a negative one would ask for a mirrored copy.
  const std::int32_t own_width = DibWidth();
  const auto own_height = static_cast<std::int32_t>(RowCount(block_.data()));
  const platform::PixelRect destination{left, top, OrOwn(width, own_width), OrOwn(height, own_height)};
  const platform::PixelRect source{source_left, source_top, OrOwn(source_width, own_width),
                                   OrOwn(source_height, own_height)};
  return target.StretchCopy(*bitmap, DibPalette(), destination, source);
}

void Dib::ReleaseDib() {
  device_bitmap_.reset();
  palette_.reset();
  palette_tried_ = false;
  block_ = {};
}

}  // namespace vtsetup::app

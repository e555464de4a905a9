// Draws the pictures of the example medium, so that no binary pictures live in the tree:
//
//   make_pictures OUTDIR
//
// The setup loads uncompressed bottom-up bitmaps with the 40-byte info header, 8 bits with a colour
// table or 24 bits without one; we write exactly those two kinds. What the pictures show is fixed
// here in words, because tests check single pixels against it:
//
// Landscape (the backgrounds back640.bmp, back800.bmp, back1024.bmp, back1280.bmp at their screen sizes
// and dialog.bmp at 250x190), 8 bits, 256 colour table entries. With rows y and columns x counted from
// the top left, width w and height h, and sky = h * 2 / 3:
//   - a frame two pixels wide uses entry 255, (224, 176, 64) in red, green, blue;
//   - else a sun, the pixels whose squared distance d2 from (w * 3 / 4, h / 3) is at most r2 with
//     r = h / 8, uses entry 224 + 30 * d2 / r2, which is (255, 255 - 3k, 96 - 3k) for k = entry - 224;
//   - else rows y < sky use entry y * 192 / sky, which is (i / 4, i / 2, 64 + i) for entry i;
//   - else the ground uses entry 192 + (y - sky) * 32 / (h - sky), which is (24 + 2k, 96 + 3k, 24 + k)
//     for k = entry - 192.
// Billboards splash001.bmp to splash003.bmp at 298x200 (the width gives padded rows), 24 bits:
//   - a white frame two pixels wide;
//   - else n white squares of 16 by 16 pixels for billboard n, the i-th (from 0) with its top left
//     corner at (12 + 24 * i, 12);
//   - else base * (h + y) / (2 * h) per channel, with base (200, 80, 40), (40, 160, 80) and (60, 90, 200)
//     for billboards 1, 2 and 3.
// All integer arithmetic, divisions rounding down.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace vtsetup::examples {
namespace {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// Rows top-down without padding: one byte per pixel with a colour table, three (blue, green, red)
// without.
struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 8;
  std::vector<Rgb> palette;
  std::vector<std::uint8_t> pixels;
};

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

void PutI32(std::vector<std::uint8_t>& out, std::int32_t value) {
  PutU32(out, static_cast<std::uint32_t>(value));
}

std::vector<std::uint8_t> EncodeBmp(const Picture& picture) {
  const auto width = static_cast<std::uint32_t>(picture.width);
  const auto height = static_cast<std::uint32_t>(picture.height);
  const std::uint32_t row_bytes = width * picture.bits / 8;
  const std::uint32_t stride = (width * picture.bits + 31) / 32 * 4;
  const std::uint32_t image_size = stride * height;
  const auto colours = static_cast<std::uint32_t>(picture.palette.size());
  const std::uint32_t pixel_offset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;

  std::vector<std::uint8_t> out;
  out.reserve(pixel_offset + image_size);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, pixel_offset + image_size);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU32(out, pixel_offset);

  PutU32(out, kInfoHeaderSize);
  PutI32(out, picture.width);
  PutI32(out, picture.height);  // positive: bottom-up, the only order the loader settles
  PutU16(out, 1);
  PutU16(out, picture.bits);
  PutU32(out, 0);  // no compression
  PutU32(out, image_size);
  PutI32(out, kPixelsPerMetre);
  PutI32(out, kPixelsPerMetre);
  PutU32(out, colours);
  PutU32(out, 0);

  for (const Rgb& colour : picture.palette) {
    out.push_back(colour.blue);
    out.push_back(colour.green);
    out.push_back(colour.red);
    out.push_back(0);
  }
  for (std::uint32_t row = height; row-- > 0;) {
    const auto first = picture.pixels.begin() + static_cast<std::ptrdiff_t>(row * row_bytes);
    out.insert(out.end(), first, first + row_bytes);
    out.insert(out.end(), stride - row_bytes, 0);
  }
  return out;
}

std::vector<Rgb> LandscapePalette() {
  std::vector<Rgb> palette(256);
  for (int i = 0; i < 192; ++i) {
    palette[i] = {static_cast<std::uint8_t>(i / 4), static_cast<std::uint8_t>(i / 2),
                  static_cast<std::uint8_t>(64 + i)};
  }
  for (int k = 0; k < 32; ++k) {
    palette[192 + k] = {static_cast<std::uint8_t>(24 + 2 * k), static_cast<std::uint8_t>(96 + 3 * k),
                        static_cast<std::uint8_t>(24 + k)};
  }
  for (int k = 0; k < 31; ++k) {
    palette[224 + k] = {255, static_cast<std::uint8_t>(255 - 3 * k), static_cast<std::uint8_t>(96 - 3 * k)};
  }
  palette[255] = {224, 176, 64};
  return palette;
}

bool InFrame(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  return x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
}

Picture Landscape(std::int32_t width, std::int32_t height) {
  Picture picture{width, height, 8, LandscapePalette(), {}};
  picture.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const std::int32_t sky = height * 2 / 3;
  const std::int64_t sun_x = width * 3 / 4;
  const std::int64_t sun_y = height / 3;
  const std::int64_t radius = height / 8;
  const std::int64_t r2 = radius * radius;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const std::int64_t d2 = (x - sun_x) * (x - sun_x) + (y - sun_y) * (y - sun_y);
      std::int64_t entry = 0;
      if (InFrame(x, y, width, height)) {
        entry = 255;
      } else if (d2 <= r2) {
        entry = 224 + 30 * d2 / r2;
      } else if (y < sky) {
        entry = y * 192 / sky;
      } else {
        entry = 192 + (y - sky) * 32 / (height - sky);
      }
      picture.pixels.push_back(static_cast<std::uint8_t>(entry));
    }
  }
  return picture;
}

Picture Billboard(int number) {
  static constexpr Rgb kBase[] = {{200, 80, 40}, {40, 160, 80}, {60, 90, 200}};
  const Rgb base = kBase[number - 1];
  Picture picture{298, 200, 24, {}, {}};
  const std::int32_t h = picture.height;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < picture.width; ++x) {
      bool white = InFrame(x, y, picture.width, h);
      for (int i = 0; i < number && !white; ++i) {
        white = x >= 12 + 24 * i && x < 28 + 24 * i && y >= 12 && y < 28;
      }
      const auto shade = [&](std::uint8_t channel) {
        return white ? std::uint8_t{255} : static_cast<std::uint8_t>(channel * (h + y) / (2 * h));
      };
      picture.pixels.push_back(shade(base.blue));
      picture.pixels.push_back(shade(base.green));
      picture.pixels.push_back(shade(base.red));
    }
  }
  return picture;
}

bool WritePicture(const std::filesystem::path& folder, const std::string& name, const Picture& picture) {
  const std::vector<std::uint8_t> bytes = EncodeBmp(picture);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::cerr << "make_pictures: cannot write " << (folder / name).string() << "\n";
    return false;
  }
  return true;
}

int Run(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_pictures OUTDIR\n";
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::cerr << "make_pictures: cannot make " << folder.string() << ": " << error.message() << "\n";
    return 1;
  }
  bool written = WritePicture(folder, "back640.bmp", Landscape(640, 480)) &&
                 WritePicture(folder, "back800.bmp", Landscape(800, 600)) &&
                 WritePicture(folder, "back1024.bmp", Landscape(1024, 768)) &&
                 WritePicture(folder, "back1280.bmp", Landscape(1280, 1024)) &&
                 WritePicture(folder, "dialog.bmp", Landscape(250, 190));
  for (int number = 1; number <= 3 && written; ++number) {
    char name[32];
    std::snprintf(name, sizeof name, "splash%03d.bmp", number);
    written = WritePicture(folder, name, Billboard(number));
  }
  return written ? 0 : 1;
}

}  // namespace
}  // namespace vtsetup::examples

int main(int argc, char** argv) {
  return vtsetup::examples::Run(argc, argv);
}

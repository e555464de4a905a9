// Draws our pictures, so that no binary pictures live in the tree:
//
//   make_pictures OUTDIR            the pictures of the example medium
//   make_pictures --program OUTDIR  the bitmap and the icon built into the setup program
//
// The setup loads uncompressed bottom-up bitmaps with the 40-byte info header, 8 bits with a colour
// table or 24 bits without one; we write exactly those two kinds, and icon files whose one image is
// such a bitmap with 4 bits and its transparency mask. What the pictures show is fixed here in words,
// because tests check single pixels against it. Rows y and columns x are counted from the top left;
// w and h are the width and height.
//
// Landscape (the backgrounds back640.bmp, back800.bmp, back1024.bmp, back1280.bmp at their screen sizes
// and dialog.bmp at 250x190), 8 bits, 256 colour table entries, with sky = h * 2 / 3:
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
// Page picture page.bmp at 90x176 (the width gives padded rows), 8 bits, 256 colour table entries, with
// m = |x - 45| + |y - 64|:
//   - a frame two pixels wide uses entry 255, (224, 176, 64);
//   - else a diamond, the pixels with m <= 32, uses entry 208 + m / 2, which is (255, 232 - 4k, 96 - 4k)
//     for k = entry - 208;
//   - else three bars, the i-th (from 0) covering rows 120 + 16 * i to 127 + 16 * i and columns 16 to
//     73 - 16 * i, use entry 254, (232, 232, 240);
//   - else row y uses entry y, which is (i / 4, i / 2, 80 + i) for entry i;
//   - entries 176 to 207 and 225 to 253 are black and unused.
// Program icon setup.ico, one 32x32 image with 4 bits and 16 colour table entries, with
// d2 = (2x - 31)^2 + (2y - 31)^2 and m = |2x - 31| + |2y - 31|:
//   - pixels with d2 > 961 are transparent: mask bit set, entry 0;
//   - else a ring, d2 > 729, uses entry 1, (0, 0, 128);
//   - else a diamond, m <= 22, uses entry 3, (255, 200, 32);
//   - else entry 2, (32, 64, 192);
//   - entries 0 and 4 to 15 are black.
// All integer arithmetic, divisions rounding down.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// Rows top-down without padding: one byte per pixel with a colour table (even with 4 bits), three
// (blue, green, red) without. Only icons have a mask: one flag per pixel, set where it is transparent.
struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 8;
  std::vector<Rgb> palette;
  std::vector<std::uint8_t> pixels;
  std::vector<bool> transparent;
};

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kIconDirectorySize = 6 + 16;
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

std::uint32_t Stride(const Picture& picture, std::uint32_t bits) {
  return (static_cast<std::uint32_t>(picture.width) * bits + 31) / 32 * 4;
}

// One stored row, padded to four bytes.
std::vector<std::uint8_t> ColourRow(const Picture& picture, std::uint32_t row) {
  const auto width = static_cast<std::uint32_t>(picture.width);
  std::vector<std::uint8_t> out(Stride(picture, picture.bits), 0);
  const std::uint32_t samples = picture.bits == 24 ? 3 * width : width;
  const std::uint8_t* first = picture.pixels.data() + static_cast<std::size_t>(row) * samples;
  for (std::uint32_t i = 0; i < samples; ++i) {
    if (picture.bits == 4) {
      out[i / 2] |= static_cast<std::uint8_t>(first[i] << (i % 2 == 0 ? 4 : 0));
    } else {
      out[i] = first[i];
    }
  }
  return out;
}

std::vector<std::uint8_t> MaskRow(const Picture& picture, std::uint32_t row) {
  const auto width = static_cast<std::uint32_t>(picture.width);
  std::vector<std::uint8_t> out(Stride(picture, 1), 0);
  for (std::uint32_t x = 0; x < width; ++x) {
    if (picture.transparent[static_cast<std::size_t>(row) * width + x]) {
      out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
  }
  return out;
}

std::uint32_t ImageSize(const Picture& picture) {
  const std::uint32_t mask = picture.transparent.empty() ? 0 : Stride(picture, 1);
  return (Stride(picture, picture.bits) + mask) * static_cast<std::uint32_t>(picture.height);
}

// The info header, the colour table and the rows bottom-up: what a bitmap file holds behind its file
// header, and an icon file for each image, there with a doubled height that counts the mask below.
std::vector<std::uint8_t> EncodeDib(const Picture& picture) {
  const auto height = static_cast<std::uint32_t>(picture.height);
  const bool masked = !picture.transparent.empty();
  std::vector<std::uint8_t> out;
  out.reserve(kInfoHeaderSize + 4 * picture.palette.size() + ImageSize(picture));
  PutU32(out, kInfoHeaderSize);
  PutI32(out, picture.width);
  PutI32(out,
         masked ? 2 * picture.height : picture.height);  // positive: bottom-up, the order the loader settles
  PutU16(out, 1);
  PutU16(out, picture.bits);
  PutU32(out, 0);  // no compression
  PutU32(out, ImageSize(picture));
  PutI32(out, kPixelsPerMetre);
  PutI32(out, kPixelsPerMetre);
  PutU32(out, static_cast<std::uint32_t>(picture.palette.size()));
  PutU32(out, 0);

  for (const Rgb& colour : picture.palette) {
    out.push_back(colour.blue);
    out.push_back(colour.green);
    out.push_back(colour.red);
    out.push_back(0);
  }
  for (std::uint32_t row = height; row-- > 0;) {
    const std::vector<std::uint8_t> stored = ColourRow(picture, row);
    out.insert(out.end(), stored.begin(), stored.end());
  }
  for (std::uint32_t row = height; masked && row-- > 0;) {
    const std::vector<std::uint8_t> stored = MaskRow(picture, row);
    out.insert(out.end(), stored.begin(), stored.end());
  }
  return out;
}

std::vector<std::uint8_t> EncodeBmp(const Picture& picture) {
  const std::vector<std::uint8_t> dib = EncodeDib(picture);
  const auto size = static_cast<std::uint32_t>(kFileHeaderSize + dib.size());
  std::vector<std::uint8_t> out;
  out.reserve(size);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, size);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU32(out, size - ImageSize(picture));
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

// An icon file with one image.
std::vector<std::uint8_t> EncodeIco(const Picture& picture) {
  const std::vector<std::uint8_t> dib = EncodeDib(picture);
  std::vector<std::uint8_t> out;
  out.reserve(kIconDirectorySize + dib.size());
  PutU16(out, 0);
  PutU16(out, 1);  // an icon, not a cursor
  PutU16(out, 1);
  out.push_back(static_cast<std::uint8_t>(picture.width));
  out.push_back(static_cast<std::uint8_t>(picture.height));
  out.push_back(static_cast<std::uint8_t>(picture.palette.size()));
  out.push_back(0);
  PutU16(out, 1);
  PutU16(out, picture.bits);
  PutU32(out, static_cast<std::uint32_t>(dib.size()));
  PutU32(out, kIconDirectorySize);
  out.insert(out.end(), dib.begin(), dib.end());
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
  Picture picture{width, height, 8, LandscapePalette(), {}, {}};
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
  Picture picture{298, 200, 24, {}, {}, {}};
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

Picture PagePicture() {
  Picture picture{90, 176, 8, std::vector<Rgb>(256), {}, {}};
  for (int i = 0; i < 176; ++i) {
    picture.palette[i] = {static_cast<std::uint8_t>(i / 4), static_cast<std::uint8_t>(i / 2),
                          static_cast<std::uint8_t>(80 + i)};
  }
  for (int k = 0; k <= 16; ++k) {
    picture.palette[208 + k] = {255, static_cast<std::uint8_t>(232 - 4 * k),
                                static_cast<std::uint8_t>(96 - 4 * k)};
  }
  picture.palette[254] = {232, 232, 240};
  picture.palette[255] = {224, 176, 64};
  for (std::int32_t y = 0; y < picture.height; ++y) {
    for (std::int32_t x = 0; x < picture.width; ++x) {
      const std::int32_t m = std::abs(x - 45) + std::abs(y - 64);
      const std::int32_t bar = (y - 120) / 16;
      std::int32_t entry = y;
      if (InFrame(x, y, picture.width, picture.height)) {
        entry = 255;
      } else if (m <= 32) {
        entry = 208 + m / 2;
      } else if (y >= 120 && bar < 3 && (y - 120) % 16 < 8 && x >= 16 && x <= 73 - 16 * bar) {
        entry = 254;
      }
      picture.pixels.push_back(static_cast<std::uint8_t>(entry));
    }
  }
  return picture;
}

Picture ProgramIcon() {
  Picture picture{32, 32, 4, std::vector<Rgb>(16), {}, {}};
  picture.palette[1] = {0, 0, 128};
  picture.palette[2] = {32, 64, 192};
  picture.palette[3] = {255, 200, 32};
  for (std::int32_t y = 0; y < picture.height; ++y) {
    for (std::int32_t x = 0; x < picture.width; ++x) {
      const std::int32_t d2 = (2 * x - 31) * (2 * x - 31) + (2 * y - 31) * (2 * y - 31);
      const std::int32_t m = std::abs(2 * x - 31) + std::abs(2 * y - 31);
      std::uint8_t entry = 2;
      if (d2 > 961) {
        entry = 0;
      } else if (d2 > 729) {
        entry = 1;
      } else if (m <= 22) {
        entry = 3;
      }
      picture.pixels.push_back(entry);
      picture.transparent.push_back(d2 > 961);
    }
  }
  return picture;
}

bool WriteFile(const std::filesystem::path& folder, const std::string& name,
               const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::cerr << "make_pictures: cannot write " << (folder / name).string() << "\n";
    return false;
  }
  return true;
}

bool WritePicture(const std::filesystem::path& folder, const std::string& name, const Picture& picture) {
  return WriteFile(folder, name, EncodeBmp(picture));
}

bool WriteMediumPictures(const std::filesystem::path& folder) {
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
  return written;
}

bool WriteProgramPictures(const std::filesystem::path& folder) {
  return WritePicture(folder, "page.bmp", PagePicture()) &&
         WriteFile(folder, "setup.ico", EncodeIco(ProgramIcon()));
}

int Run(int argc, char** argv) {
  const bool program = argc == 3 && std::string(argv[1]) == "--program";
  if (argc != 2 && !program) {
    std::cerr << "usage: make_pictures [--program] OUTDIR\n";
    return 2;
  }
  const std::filesystem::path folder(argv[argc - 1]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::cerr << "make_pictures: cannot make " << folder.string() << ": " << error.message() << "\n";
    return 1;
  }
  const bool written = program ? WriteProgramPictures(folder) : WriteMediumPictures(folder);
  return written ? 0 : 1;
}

}  // namespace
}  // namespace vtsetup::examples

int main(int argc, char** argv) {
  return vtsetup::examples::Run(argc, argv);
}

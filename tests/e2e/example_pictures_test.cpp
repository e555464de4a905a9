#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

using vtsetup::testing::ReadBytes;
using vtsetup::testing::TempDir;
using Bytes = std::vector<unsigned char>;
using Quad = std::array<unsigned, 4>;

std::uint32_t U16At(const Bytes& b, std::size_t at) {
  return b.at(at) | (b.at(at + 1) << 8);
}

std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return U16At(b, at) | (U16At(b, at + 2) << 16);
}

// The expected pixels below follow from the picture descriptions at the top of make_pictures.cpp,
// worked out by hand; file positions from the bitmap layout: rows stored bottom-up, each padded to
// four bytes, behind the 14-byte file header, the 40-byte info header and the colour table.
class ExamplePicturesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempDir>();
    const std::string command = std::string("'") + VT_MAKE_PICTURES + "' '" + dir_->File("GFX") + "'";
    result_ = std::system(command.c_str());
  }
  static void TearDownTestSuite() { dir_.reset(); }

  void SetUp() override { ASSERT_EQ(result_, 0) << "make_pictures failed"; }

  static Bytes Picture(const std::string& name) { return ReadBytes(dir_->File("GFX/" + name)); }

  static Quad FourBytes(const Bytes& b, std::size_t at) {
    return {b.at(at), b.at(at + 1), b.at(at + 2), b.at(at + 3)};
  }

  static inline std::unique_ptr<TempDir> dir_;
  static inline int result_ = -1;
};

TEST_F(ExamplePicturesTest, DialogPictureIsAnEightBitBitmapWithItsColourTable) {
  const Bytes b = Picture("dialog.bmp");
  const std::size_t stride = 252;  // 250 pixels padded to a multiple of four
  const std::size_t pixels = 14 + 40 + 256 * 4;
  ASSERT_EQ(b.size(), pixels + stride * 190);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32At(b, 2), b.size());
  EXPECT_EQ(U32At(b, 10), pixels);
  EXPECT_EQ(U32At(b, 14), 40u);
  EXPECT_EQ(U32At(b, 18), 250u);
  EXPECT_EQ(U32At(b, 22), 190u);
  EXPECT_EQ(U16At(b, 26), 1u);
  EXPECT_EQ(U16At(b, 28), 8u);
  EXPECT_EQ(U32At(b, 30), 0u);
  EXPECT_EQ(U32At(b, 34), stride * 190);
  EXPECT_EQ(U32At(b, 46), 256u);

  // Sky at (100, 50): entry 50 * 192 / 126 = 76, coloured (19, 38, 140).
  const std::size_t sky = pixels + (189 - 50) * stride + 100;
  ASSERT_EQ(b[sky], 76);
  EXPECT_EQ(FourBytes(b, 54 + 76 * 4), (Quad{140, 38, 19, 0}));
  // Ground at (10, 180): entry 192 + 54 * 32 / 64 = 219, coloured (78, 177, 51).
  const std::size_t ground = pixels + (189 - 180) * stride + 10;
  ASSERT_EQ(b[ground], 219);
  EXPECT_EQ(FourBytes(b, 54 + 219 * 4), (Quad{51, 177, 78, 0}));
  // The padding of the bottom row, the first one stored.
  EXPECT_EQ(b[pixels + 250], 0);
  EXPECT_EQ(b[pixels + 251], 0);
}

TEST_F(ExamplePicturesTest, BillboardIsATwentyFourBitBitmapWithPaddedRows) {
  const Bytes b = Picture("splash002.bmp");
  const std::size_t stride = 896;  // 298 pixels of three bytes padded to a multiple of four
  ASSERT_EQ(b.size(), 54 + stride * 200);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32At(b, 2), b.size());
  EXPECT_EQ(U32At(b, 10), 54u);
  EXPECT_EQ(U32At(b, 14), 40u);
  EXPECT_EQ(U32At(b, 18), 298u);
  EXPECT_EQ(U32At(b, 22), 200u);
  EXPECT_EQ(U16At(b, 28), 24u);
  EXPECT_EQ(U32At(b, 34), stride * 200);
  EXPECT_EQ(U32At(b, 46), 0u);

  const auto pixel = [&](std::size_t x, std::size_t y) {
    const std::size_t at = 54 + (199 - y) * stride + 3 * x;
    return std::array<unsigned, 3>{b.at(at), b.at(at + 1), b.at(at + 2)};
  };
  // Base (40, 160, 80): three quarters of it at row 100, 220/400 of it at row 20; stored blue first.
  EXPECT_EQ(pixel(150, 100), (std::array<unsigned, 3>{60, 120, 30}));
  EXPECT_EQ(pixel(44, 20), (std::array<unsigned, 3>{255, 255, 255}));  // the second square
  EXPECT_EQ(pixel(68, 20), (std::array<unsigned, 3>{44, 88, 22}));     // no third square
}

TEST_F(ExamplePicturesTest, BackgroundsHaveTheSizesTheirNamesPromise) {
  const struct {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
  } kBackgrounds[] = {{"back640.bmp", 640, 480},
                      {"back800.bmp", 800, 600},
                      {"back1024.bmp", 1024, 768},
                      {"back1280.bmp", 1280, 1024}};
  for (const auto& background : kBackgrounds) {
    SCOPED_TRACE(background.name);
    const Bytes b = Picture(background.name);
    ASSERT_EQ(b.size(), 14 + 40 + 1024 + background.width * background.height);
    EXPECT_EQ(U32At(b, 18), background.width);
    EXPECT_EQ(U32At(b, 22), background.height);
    EXPECT_EQ(U16At(b, 28), 8u);
  }
  for (const char* name : {"splash001.bmp", "splash003.bmp"}) {
    EXPECT_EQ(Picture(name).size(), 54u + 896 * 200) << name;
  }
}

}  // namespace

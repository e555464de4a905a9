#include "wizard/welcome_page.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/ui/framebuffer.h"
#include "platform/host/ui/framebuffer_canvas.h"
#include "tests/wizard/page_test_machine.h"
#include "wizard/page_ids.h"

namespace vtsetup::wizard {
namespace {

using platform::host::Framebuffer;

// A picture of 3 by 2 pixels, rows from the top, as 0x00RRGGBB.
using Picture = std::array<std::array<std::uint32_t, 3>, 2>;

constexpr Picture kGreen = {{{0x00102030, 0x0000FF00, 0x00405060}, {0x00708090, 0x00A0B0C0, 0x00D0E0F0}}};
constexpr Picture kRed = {{{0x00FF0000, 0x00FF1010, 0x00FF2020}, {0x00FF3030, 0x00FF4040, 0x00FF5050}}};

void Little(std::string& bytes, std::uint32_t value, int count) {
  for (int i = 0; i < count; ++i) {
    bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

// The picture as a 24-bit bitmap file: the 14-byte file header, the 40-byte info header, and the rows
// bottom-up, each padded to 4 bytes.
std::string BitmapFile(const Picture& picture) {
  constexpr std::uint32_t kRowBytes = 12;  // 3 pixels of 3 bytes, padded
  std::string bytes = "BM";
  Little(bytes, 14 + 40 + 2 * kRowBytes, 4);
  Little(bytes, 0, 4);
  Little(bytes, 14 + 40, 4);
  Little(bytes, 40, 4);
  Little(bytes, 3, 4);
  Little(bytes, 2, 4);
  Little(bytes, 1, 2);
  Little(bytes, 24, 2);
  for (int field = 0; field < 6; ++field) {
    Little(bytes, 0, 4);
  }
  for (int row = 1; row >= 0; --row) {
    for (const std::uint32_t colour : picture[static_cast<std::size_t>(row)]) {
      Little(bytes, colour, 3);  // blue, green, red
    }
    Little(bytes, 0, 3);
  }
  return bytes;
}

// What the page's client area shows around the picture's corner at (122, 11): the 3 by 2 pixels there,
// and whether the pixels just outside are untouched.
struct Painted {
  Picture inside{};
  bool outside_untouched = false;
};

Painted PaintedOn(const Framebuffer& pixels) {
  Painted painted;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      painted.inside[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
          pixels.Pixel(122 + x, 11 + y);
    }
  }
  painted.outside_untouched = pixels.Pixel(121, 11) == 0 && pixels.Pixel(125, 11) == 0 &&
                              pixels.Pixel(122, 10) == 0 && pixels.Pixel(124, 13) == 0;
  return painted;
}

class WelcomePageTest : public PageTestMachine {
 protected:
  WelcomePageTest() {
    info_.Options.BitmapDir = "gfx";
    // Not the bitmap folder: never shown.
    WriteFile("C:\\Setup\\dialog.bmp", BitmapFile(kRed));
  }
  // Visits the page and gives what it painted.
  std::uint16_t VisitSeeing(WelcomePage& page, Painted& painted) {
    return Visit(TEMPLATE_WELCOME, page,
                 [&](platform::Window window) { painted = PaintedOn(*window->pixels); });
  }
  static constexpr const char* kPicturePath = "C:\\Setup\\gfx\\dialog.bmp";
};

TEST_F(WelcomePageTest, WithoutAnInstalledGameTheStartButtonCannotBeUsed) {
  WriteFile(kPicturePath, BitmapFile(kGreen));
  Answer(
      "page 1: press 6\n"  // disabled: the visit ends in Escape
      "page 1: press 1\n");
  WelcomePage page(Services(), choices_, result_);
  Painted painted;
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_CANCEL);
  EXPECT_NE(errors_.str().find("control 6 is disabled"), std::string::npos) << errors_.str();
  EXPECT_EQ(painted.inside, kGreen);
  EXPECT_TRUE(painted.outside_untouched);
  EXPECT_EQ(choices_.installed_game_path, "");
  const std::vector<std::string> lines = PageLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0],
            "page 1 shown: button 1 \"&Dalej >>\"; button 6 \"&Rozpoczęcie\" disabled; button 2 \"&Anuluj\"; "
            "picture 114; picture 1028 bitmap 0");
}

TEST_F(WelcomePageTest, OverAnInstalledGameTheStartButtonStartsIt) {
  InstallGame();
  WriteFile(kPicturePath, BitmapFile(kGreen));
  Answer("page 1: press 6\n");
  WelcomePage page(Services(), choices_, result_);
  Painted painted;
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_START);
  EXPECT_EQ(choices_.installed_game_path, "C:\\Gry\\Orvella\\orv.exe");
  EXPECT_EQ(painted.inside, kGreen);
  EXPECT_EQ(errors_.str(), "");
  const std::vector<std::string> lines = PageLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "page 1 shown: button 1 \"&Dalej >>\"; button 6 \"&Rozpoczęcie\"; button 2 \"&Anuluj\"; "
            "picture 114; picture 1028 bitmap 0");
  EXPECT_EQ(lines[1], "page 1: press 6");
}

TEST_F(WelcomePageTest, ComingBackLoadsThePictureAgainAndLooksForTheGameAgain) {
  WriteFile(kPicturePath, BitmapFile(kGreen));
  Answer("page 1: key enter\npage 1: key escape\npage 1: press 6\n");
  WelcomePage page(Services(), choices_, result_);
  Painted painted;
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_NEXT);
  EXPECT_EQ(painted.inside, kGreen);
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_CANCEL);
  // Between two showings the picture changes and the game appears.
  WriteFile(kPicturePath, BitmapFile(kRed));
  InstallGame();
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_START);
  EXPECT_EQ(painted.inside, kRed);
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(WelcomePageTest, AMissingOrBrokenPictureShowsNothingAndThePageWorks) {
  Answer("page 1: press 1\npage 1: press 2\n");
  WelcomePage page(Services(), choices_, result_);
  Painted painted;
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_NEXT);
  EXPECT_EQ(painted.inside, Picture{});
  WriteFile(kPicturePath, BitmapFile(kGreen).substr(0, 40));
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_CANCEL);
  EXPECT_EQ(painted.inside, Picture{});
  EXPECT_TRUE(painted.outside_untouched);
}

TEST_F(WelcomePageTest, AClosedPageHoldsNoPicture) {
  WriteFile(kPicturePath, BitmapFile(kGreen));
  Answer("page 1: press 1\n");
  WelcomePage page(Services(), choices_, result_);
  Painted painted;
  EXPECT_EQ(VisitSeeing(page, painted), PAGE_NEXT);
  EXPECT_EQ(painted.inside, kGreen);
  // A paint that came after the page went would find nothing to draw.
  Framebuffer after(200, 50);
  platform::host::FramebufferCanvas canvas(after);
  page.OnPaint(nullptr, canvas);
  EXPECT_EQ(PaintedOn(after).inside, Picture{});
}

}  // namespace
}  // namespace vtsetup::wizard

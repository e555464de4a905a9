#include "wizard/rich_text_page.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/wizard/page_test_machine.h"
#include "wizard/memory_file.h"
#include "wizard/page_ids.h"

namespace vtsetup::wizard {
namespace {

constexpr const char* kLicencePath = "C:\\Setup\\pl\\agree.rtf";

// The page-shown line of the licence page with the rich edit showing `text` (in UTF-8, escaped).
std::string LicenceShown(const std::string& text) {
  return "page 2 shown: button 1 \"&Dalej >>\"; button 2 \"&Anuluj\"; button 7 \"<< &Wstecz\"; picture 114; "
         "richedit 1023 \"" +
         text + "\"";
}

class RichTextPageTest : public PageTestMachine {
 protected:
  // The rich edit's text as the control shows it, read while the page is open.
  std::string ShownText(std::uint16_t template_id, RichTextPage& page, std::uint16_t control,
                        std::uint16_t* result = nullptr) {
    std::string shown;
    const std::uint16_t got =
        Visit(template_id, page, [&](platform::Window window) { shown = ui_->Text(window, control).Data(); });
    if (result != nullptr) {
      *result = got;
    }
    return shown;
  }
};

TEST_F(RichTextPageTest, ALicenceLongerThanTheControlsChunkArrivesWholeAndInOrder) {
  // Numbered lines with a code-page letter (\'b3 is "l" with a stroke), well over two of the
  // control's 4092-byte requests and no multiple of them.
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Arial;}}\\f0 ";
  std::string expected;
  for (int line = 1; line <= 300; ++line) {
    char text[64];
    std::snprintf(text, sizeof text, "Punkt %03d umowy licencyjnej gry Orvella", line);
    rtf += std::string(text) + " \\'b3.\\par\r\n";
    expected += std::string(text) + " \xB3.\n";
  }
  rtf += "}";
  ASSERT_GT(rtf.size(), 3u * 4092u);
  ASSERT_NE(rtf.size() % 4092u, 0u);
  WriteFile(kLicencePath, rtf);
  Answer("page 2: press 1\n");
  RichTextPage page = LicencePage(Services(), choices_, result_);
  std::uint16_t result = 0;
  EXPECT_EQ(ShownText(TEMPLATE_LICENCE, page, CONTROL_LICENCE_TEXT, &result), expected);
  EXPECT_EQ(result, PAGE_NEXT);
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(RichTextPageTest, TheLicencePageShowsItsTextAndTakesEveryWayOut) {
  WriteFile(kLicencePath, "{\\rtf1\\ansi Umowa\\par Zgoda}");
  Answer(
      "page 2: press 1\n"
      "page 2: press 7\n"
      "page 2: press 2\n"
      "page 2: key escape\n"
      "page 2: key enter\n");
  RichTextPage page = LicencePage(Services(), choices_, result_);
  for (const std::uint16_t expected : {PAGE_NEXT, PAGE_BACK, PAGE_CANCEL, PAGE_CANCEL, PAGE_NEXT}) {
    EXPECT_EQ(Visit(TEMPLATE_LICENCE, page), expected);
  }
  EXPECT_EQ(errors_.str(), "");
  const std::vector<std::string> lines = PageLines();
  ASSERT_EQ(lines.size(), 10u);
  // Streamed again on every showing.
  for (std::size_t shown = 0; shown < lines.size(); shown += 2) {
    EXPECT_EQ(lines[shown], LicenceShown("Umowa\\nZgoda"));
  }
  EXPECT_EQ(lines[1], "page 2: press 1");
  EXPECT_EQ(lines[3], "page 2: press 7");
}

TEST_F(RichTextPageTest, AnEmptyOrMissingLicenceLeavesTheControlEmptyAndThePageWorking) {
  Answer("page 2: press 1\npage 2: press 7\n");
  RichTextPage page = LicencePage(Services(), choices_, result_);
  EXPECT_EQ(ShownText(TEMPLATE_LICENCE, page, CONTROL_LICENCE_TEXT), "");  // missing
  WriteFile(kLicencePath, "");
  std::uint16_t result = 0;
  EXPECT_EQ(ShownText(TEMPLATE_LICENCE, page, CONTROL_LICENCE_TEXT, &result), "");
  EXPECT_EQ(result, PAGE_BACK);
  const std::vector<std::string> lines = PageLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], LicenceShown(""));
  EXPECT_EQ(lines[2], LicenceShown(""));
}

TEST_F(RichTextPageTest, AFileBeyondTheLimitLeavesTheControlEmpty) {
  WriteFile(kLicencePath, "{\\rtf1 Tekst}");
  std::filesystem::resize_file(machine_->Host(kLicencePath), std::uint64_t{kMaxMemoryFileSize} + 1);
  Answer("page 2: press 1\n");
  RichTextPage page = LicencePage(Services(), choices_, result_);
  EXPECT_EQ(ShownText(TEMPLATE_LICENCE, page, CONTROL_LICENCE_TEXT), "");
}

TEST_F(RichTextPageTest, TheLicenceLiesInTheLanguageFolderBelowTheBitmapFolder) {
  // RelativeDir empty: the source folder is the setup program's own.
  info_.Options.RelativeDir = "";
  info_.Options.BitmapDir = "gfx";
  WriteFile("C:\\Setup\\gfx\\pl\\agree.rtf", "{\\rtf1 Licencja z gfx}");
  WriteFile("C:\\Setup\\pl\\agree.rtf", "{\\rtf1 Nie ta}");
  WriteFile("C:\\Setup\\gfx\\agree.rtf", "{\\rtf1 Nie ta}");
  Answer("page 2: press 1\n");
  RichTextPage page = LicencePage(Services(), choices_, result_);
  EXPECT_EQ(ShownText(TEMPLATE_LICENCE, page, CONTROL_LICENCE_TEXT), "Licencja z gfx");
}

TEST_F(RichTextPageTest, TheReadmePageShowsTheDatabasesFileInItsOwnControl) {
  info_.Options.ReadmeFile = "czytajto.rtf";
  WriteFile("C:\\Setup\\pl\\czytajto.rtf", "{\\rtf1 Czytaj to}");
  WriteFile(kLicencePath, "{\\rtf1 Licencja}");
  Answer("page 8: key enter\npage 8: key escape\npage 8: key enter\n");
  RichTextPage page = ReadmePage(Services(), choices_, result_);
  std::uint16_t result = 0;
  EXPECT_EQ(ShownText(TEMPLATE_README, page, CONTROL_README_TEXT, &result), "Czytaj to");
  EXPECT_EQ(result, PAGE_NEXT);
  EXPECT_EQ(ShownText(TEMPLATE_README, page, CONTROL_README_TEXT, &result), "Czytaj to");
  EXPECT_EQ(result, PAGE_CANCEL);
  // Without a readme file named there is nothing to show.
  info_.Options.ReadmeFile = "";
  EXPECT_EQ(ShownText(TEMPLATE_README, page, CONTROL_README_TEXT), "");
  const std::vector<std::string> lines = PageLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "page 8 shown: button 1 \"&Dalej >>\"; richedit 1026 \"Czytaj to\"; picture 114");
  EXPECT_EQ(errors_.str(), "");
}

}  // namespace
}  // namespace vtsetup::wizard

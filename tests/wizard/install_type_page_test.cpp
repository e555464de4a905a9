#include "wizard/install_type_page.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/wizard/type_page_fixture.h"
#include "wizard/page_ids.h"

namespace vtsetup::wizard {
namespace {

// Drives of every cluster size that the space rule treats apart, and the two kinds that never take a
// game: the medium's CD-ROM and a remote drive with plenty of room.
constexpr char kClusterMachine[] =
    "[Drive C]\nFolder = c\nType = cdrom\n"
    "[Drive D]\nFolder = d\nType = removable\nFreeBytes = 1048576\nClusterSize = 512\n"
    "[Drive E]\nFolder = e\nType = ramdisk\nFreeBytes = 2097152\nClusterSize = 4096\n"
    "[Drive F]\nFolder = f\nType = fixed\nFreeBytes = 3145728\nClusterSize = 32768\n"
    "[Drive G]\nFolder = g\nType = fixed\nFreeBytes = 3000000\nClusterSize = 3000\n"
    "[Drive H]\nFolder = h\nType = remote\nFreeBytes = 99999744\nClusterSize = 512\n";

// "Pełna" and "Za duża" in code page 1250.
constexpr char kDescriptions[] =
    "[Pack1]\r\nName=Pe\xB3na\r\nDesc=Wszystkie pliki gry\r\n"
    "[Pack2]\r\nName=Za du\xBF"
    "a\r\nDesc=Nigdzie sie nie miesci\r\n";

class ClusterSizePageTest : public TypePageTest {
 protected:
  // Each drive of kClusterMachine is filled exactly by the entry for its cluster size; every other
  // entry is too big. The second type needs one byte more everywhere.
  ClusterSizePageTest() {
    for (const std::uint32_t extra : {0u, 1u}) {
      AddType(0xFFFFFFFFu,
              {{0, 3000000 + extra}, {9, 1048576 + extra}, {12, 2097152 + extra}, {15, 3145728 + extra}});
    }
  }
};

TEST_F(ClusterSizePageTest, EachDriveIsMeasuredByItsClusterSizeAndTheRoomiestIsChosen) {
  Start(kClusterMachine, "page 3: press 1\n");
  WriteDescriptions(kDescriptions);
  EXPECT_EQ(Visit(), PAGE_NEXT);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(Control(pages[0], "list 1000"),
            R"(list 1000 (tab stop 85) ["Pełna\t[2.9 MB]"*, "Za duża\t[2.9 MB]"])");
  // Removable and RAM drives are offered, remote and CD-ROM drives are not; each fits exactly.
  EXPECT_EQ(Control(pages[0], "list 1001"),
            R"(list 1001 (tab stop 85) ["D:\t[1.0 MB]", "E:\t[2.0 MB]", "F:\t[3.0 MB]"*, "G:\t[2.9 MB]"])");
  EXPECT_EQ(Control(pages[0], "edit 1002"), R"(edit 1002 "F:\Vantor\Orvella")");
  EXPECT_EQ(Control(pages[0], "text 1013"), R"(text 1013 "Wszystkie pliki gry")");
  EXPECT_EQ(Control(pages[0], "button 1"), R"(button 1 "&Dalej >>")");
  EXPECT_EQ(choices_.destination_base, "F:\\");
  EXPECT_EQ(choices_.chosen_type, 0u);
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(ClusterSizePageTest, ATypeThatFitsNowhereLeavesNoDriveAndNextDisabled) {
  Start(kClusterMachine,
        "page 3: select 1000 1\n"
        "page 3: press 1\n");  // refused: the button is disabled, so the visit ends as Escape
  WriteDescriptions(kDescriptions);
  EXPECT_EQ(Visit(), PAGE_CANCEL);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Control(pages[1], "list 1001"), "list 1001 (tab stop 85) []");
  EXPECT_EQ(Control(pages[1], "button 1"), R"(button 1 "&Dalej >>" disabled)");
  EXPECT_EQ(Control(pages[1], "text 1013"), R"(text 1013 "Nigdzie sie nie miesci")");
  // Without a drive the destination stays where it was.
  EXPECT_EQ(Control(pages[1], "edit 1002"), R"(edit 1002 "F:\Vantor\Orvella")");
  EXPECT_EQ(choices_.chosen_type, 1u);
  EXPECT_NE(errors_.str().find("control 1 is disabled"), std::string::npos) << errors_.str();
}

TEST_F(TypePageTest, WithoutDescDatEveryTypeIsASetWithItsSize) {
  AddType(1572864);
  AddType(0xFFFFFFFFu, {{0, 524288}});
  choices_.destination_base = "C:\\";
  Start("[Drive C]\nFolder = c\nType = fixed\nFreeBytes = 1572864\nClusterSize = 4096\n",
        "page 3: key escape\n");
  EXPECT_EQ(Visit(), PAGE_CANCEL);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(Control(pages[0], "list 1000"), R"(list 1000 (tab stop 85) ["Set\t[1.5 MB]"*, "Set\t[0.5 MB]"])");
  EXPECT_EQ(Control(pages[0], "list 1001"), R"(list 1001 (tab stop 85) ["C:\t[1.5 MB]"*])");
  EXPECT_EQ(Control(pages[0], "text 1013"), R"(text 1013 "Set")");
  // A root as the base takes no second backslash.
  EXPECT_EQ(Control(pages[0], "edit 1002"), R"(edit 1002 "C:\Vantor\Orvella")");
}

TEST_F(TypePageTest, TheDefaultTypeIsPreselectedAndChosenOnceTheListHasTheFocus) {
  AddType(1048576);
  AddType(1048576);
  info_.Options.DefaultPack = 1;
  choices_.chosen_type = 7;
  Start("[Drive C]\nFolder = c\nType = fixed\nFreeBytes = 1048576\nClusterSize = 4096\n",
        "page 3: press 7\n");
  WriteDescriptions(kDescriptions);
  EXPECT_EQ(Visit(), PAGE_BACK);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(Control(pages[0], "list 1000"),
            R"(list 1000 (tab stop 85) ["Pełna\t[1.0 MB]", "Za duża\t[1.0 MB]"*])");
  EXPECT_EQ(Control(pages[0], "text 1013"), R"(text 1013 "Nigdzie sie nie miesci")");
  EXPECT_EQ(choices_.chosen_type, 1u);
  // On the drive of the program-files folder, that folder stays the base.
  EXPECT_EQ(Control(pages[0], "edit 1002"), R"(edit 1002 "C:\Program Files\Vantor\Orvella")");
}

TEST_F(TypePageTest, OfDrivesWithEqualRoomTheLaterIsChosen) {
  AddType(1048576);
  Start(
      "[Drive C]\nFolder = c\nType = fixed\nFreeBytes = 1048576\nClusterSize = 4096\n"
      "[Drive D]\nFolder = d\nType = fixed\nFreeBytes = 2097152\nClusterSize = 4096\n"
      "[Drive E]\nFolder = e\nType = fixed\nFreeBytes = 2097152\nClusterSize = 4096\n",
      "page 3: key enter\n");
  EXPECT_EQ(Visit(), PAGE_NEXT);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(Control(pages[0], "list 1001"),
            R"(list 1001 (tab stop 85) ["C:\t[1.0 MB]", "D:\t[2.0 MB]", "E:\t[2.0 MB]"*])");
  EXPECT_EQ(choices_.destination_base, "E:\\");
}

// A drive the user picked stays picked while the new type fits on it; otherwise the roomiest is taken.
TEST_F(TypePageTest, ChangingTheTypeKeepsTheDriveOnlyWhereTheTypeStillFits) {
  AddType(1048576);
  AddType(6291456);
  Start(
      "[Drive D]\nFolder = d\nType = fixed\nFreeBytes = 10485760\nClusterSize = 4096\n"
      "[Drive E]\nFolder = e\nType = fixed\nFreeBytes = 5242880\nClusterSize = 4096\n"
      "[Drive F]\nFolder = f\nType = fixed\nFreeBytes = 8388608\nClusterSize = 4096\n",
      "page 3: select 1001 1; select 1000 1\n"  // E, then a type too big for E
      "page 3: select 1001 1; select 1000 0\n"  // F, then a type that fits everywhere
      "page 3: press 1\n");
  EXPECT_EQ(Visit(), PAGE_NEXT);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(Control(pages[0], "list 1001"),
            R"(list 1001 (tab stop 85) ["D:\t[10.0 MB]"*, "E:\t[5.0 MB]", "F:\t[8.0 MB]"])");
  EXPECT_EQ(Control(pages[1], "list 1001"), R"(list 1001 (tab stop 85) ["D:\t[10.0 MB]"*, "F:\t[8.0 MB]"])");
  EXPECT_EQ(Control(pages[1], "edit 1002"), R"(edit 1002 "D:\Vantor\Orvella")");
  EXPECT_EQ(Control(pages[2], "list 1001"),
            R"(list 1001 (tab stop 85) ["D:\t[10.0 MB]", "E:\t[5.0 MB]", "F:\t[8.0 MB]"*])");
  EXPECT_EQ(Control(pages[2], "edit 1002"), R"(edit 1002 "F:\Vantor\Orvella")");
  EXPECT_EQ(choices_.destination_base, "F:\\");
  EXPECT_EQ(choices_.chosen_type, 0u);
}

// "desc.dat" comes from the medium: a label longer than the buffer is cut to 511 characters.
TEST_F(TypePageTest, ALongLabelIsCutToTheBuffer) {
  AddType(1048576);
  Start("[Drive C]\nFolder = c\nType = fixed\nFreeBytes = 1048576\nClusterSize = 4096\n",
        "page 3: key escape\n");
  // Built by appending: GCC 12 at -O3 takes the sum of a literal and a string for a buffer overrun.
  std::string descriptions = "[Pack1]\nName=";
  descriptions.append(600, 'x').append("\nDesc=").append(300, 'y').append("\n");
  WriteDescriptions(descriptions);
  EXPECT_EQ(Visit(), PAGE_CANCEL);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 1u);
  std::string list = "list 1000 (tab stop 85) [\"";
  list.append(511, 'x').append(R"(\t[1.0 MB]"*])");
  EXPECT_EQ(Control(pages[0], "list 1000"), list);
  std::string text = "text 1013 \"";
  text.append(300, 'y').append("\"");
  EXPECT_EQ(Control(pages[0], "text 1013"), text);
}

// Only next, back and cancel end the page; no other command is taken as a result.
TEST_F(TypePageTest, OnlyNextBackAndCancelBecomeTheResult) {
  AddType(1048576);
  Start("[Drive C]\nFolder = c\nType = fixed\nFreeBytes = 1048576\nClusterSize = 4096\n", "");
  PageResult result;
  InstallTypePage page(Services(), table_, choices_, result);
  const platform::Window window = ui_->CreateDialogWindow(TEMPLATE_INSTALL_TYPE, nullptr, &page, &info_);
  ASSERT_NE(window, nullptr);
  for (const std::uint16_t ignored : {3, 4, 5, 6, 8, 1002, 1013}) {
    page.OnCommand(window, ignored, platform::NOTIFY_CLICKED);
    EXPECT_EQ(result.Value(), PAGE_UNDECIDED) << ignored;
  }
  for (const std::uint16_t id : {PAGE_BACK, PAGE_CANCEL, PAGE_NEXT}) {
    page.OnCommand(window, id, platform::NOTIFY_CLICKED);
    EXPECT_EQ(result.Value(), id);
  }
  ui_->DestroyWindow(window);
}

}  // namespace
}  // namespace vtsetup::wizard

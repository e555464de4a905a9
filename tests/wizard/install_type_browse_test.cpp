#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/wizard/type_page_fixture.h"
#include "wizard/page_ids.h"

namespace vtsetup::wizard {
namespace {

// The medium on a CD-ROM; C: and E: too small for the type, D: roomy, H: a network drive, I: a CD-ROM.
constexpr char kBrowseMachine[] =
    "[Drive C]\nFolder = c\nType = fixed\nFreeBytes = 1048576\nClusterSize = 4096\n"
    "[Drive D]\nFolder = d\nType = fixed\nFreeBytes = 4194304\nClusterSize = 4096\n"
    "[Drive E]\nFolder = e\nType = fixed\nFreeBytes = 3145728\nClusterSize = 4096\n"
    "[Drive H]\nFolder = h\nType = remote\nFreeBytes = 99999744\nClusterSize = 4096\n"
    "[Drive I]\nFolder = i\nType = cdrom\n";

constexpr char kBrowserShown[] = R"(folder browser "Wybierz ścieżkę docelową:" -> )";

std::string UnusableWarning(const std::string& folder) {
  return R"(message box (style 48) "": "Das Programm kann auf )" + folder +
         R"( nicht installiert werden.\r\nWähle ein anderes Verzeichnis" -> 1 (ok))";
}

std::string NoRoomWarning(const std::string& folder) {
  return R"(message box (style 48) "": "Auf )" + folder +
         R"( ist nicht genügend Platz für die gewählte Installation vorhanden.\r\nWähle ein anderes Verzeichnis" -> 1 (ok))";
}

class BrowsePageTest : public TypePageTest {
 protected:
  BrowsePageTest() { AddType(2097152); }
  // The transcript's lines of the folder browser and of the boxes, in order.
  std::vector<std::string> BrowserAndBoxes() const {
    std::vector<std::string> lines = Transcript();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return line.rfind("page 3", 0) == 0; }),
                lines.end());
    return lines;
  }
};

// Where the game cannot go at all: the first warning, and the browser again, until the user cancels.
TEST_F(BrowsePageTest, ACdRomAnUnknownDriveOrAPathTooLongIsRefused) {
  const std::string too_long = "D:\\" + std::string(257, 'g');  // 260 characters
  Start(kBrowseMachine,
        "page 3: press 1009\n"
        "browse I:\\Gry\n"
        "message ok\n"
        "browse Q:\\Gry\n"
        "message ok\n"
        "browse Gry\n"
        "message ok\n"
        "browse " +
            too_long +
            "\n"
            "message ok\n"
            "browse cancel\n"
            "page 3: key escape\n");
  EXPECT_EQ(Visit(), PAGE_CANCEL);
  EXPECT_EQ(BrowserAndBoxes(), (std::vector<std::string>{
                                   kBrowserShown + std::string(R"("I:\Gry")"), UnusableWarning(R"(I:\Gry)"),
                                   kBrowserShown + std::string(R"("Q:\Gry")"), UnusableWarning(R"(Q:\Gry)"),
                                   kBrowserShown + std::string(R"("Gry")"), UnusableWarning("Gry"),
                                   kBrowserShown + ("\"" + too_long + "\""), UnusableWarning(too_long),
                                   kBrowserShown + std::string("cancel")}));
  // Nothing changed.
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Control(pages[1], "list 1001"), R"(list 1001 (tab stop 85) ["D:\t[4.0 MB]"*, "E:\t[3.0 MB]"])");
  EXPECT_EQ(Control(pages[1], "edit 1002"), R"(edit 1002 "D:\Vantor\Orvella")");
  EXPECT_EQ(choices_.destination_base, "D:\\");
  EXPECT_EQ(errors_.str(), "");
}

// One character less than the path that is too long is taken.
TEST_F(BrowsePageTest, TheLongestPathTheSystemHoldsIsTaken) {
  const std::string longest = "D:\\" + std::string(256, 'g');
  Start(kBrowseMachine,
        "page 3: press 1009\n"
        "browse " +
            longest +
            "\n"
            "page 3: press 1\n");
  EXPECT_EQ(Visit(), PAGE_NEXT);
  EXPECT_EQ(choices_.destination_base, longest.c_str());
}

// Where the type does not fit, and a network drive, which the drive table never holds: the second warning.
TEST_F(BrowsePageTest, ADriveWithoutRoomOrOnTheNetworkIsRefused) {
  Start(kBrowseMachine,
        "page 3: press 1009\n"
        "browse C:\\Gry\n"
        "message ok\n"
        "browse H:\\Gry\n"
        "message ok\n"
        "browse cancel\n"
        "page 3: key escape\n");
  EXPECT_EQ(Visit(), PAGE_CANCEL);
  EXPECT_EQ(BrowserAndBoxes(),
            (std::vector<std::string>{kBrowserShown + std::string(R"("C:\Gry")"), NoRoomWarning(R"(C:\Gry)"),
                                      kBrowserShown + std::string(R"("H:\Gry")"), NoRoomWarning(R"(H:\Gry)"),
                                      kBrowserShown + std::string("cancel")}));
  EXPECT_EQ(choices_.destination_base, "D:\\");
}

// A folder on a good drive selects the drive and becomes the base; it stays while the user stays on the
// drive, and another drive's root replaces it.
TEST_F(BrowsePageTest, AFolderOnAGoodDriveLastsUntilAnotherDriveIsChosen) {
  Start(kBrowseMachine,
        "page 3: select 1001 1; press 1009\n"  // E first, then a folder on D
        "browse D:\\Gry\\Orvella\n"
        "page 3: select 1001 0\n"
        "page 3: select 1001 1\n"
        "page 3: press 1\n");
  EXPECT_EQ(Visit(), PAGE_NEXT);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(Control(pages[1], "list 1001"), R"(list 1001 (tab stop 85) ["D:\t[4.0 MB]"*, "E:\t[3.0 MB]"])");
  EXPECT_EQ(Control(pages[1], "edit 1002"), R"(edit 1002 "D:\Gry\Orvella\Vantor\Orvella")");
  EXPECT_EQ(Control(pages[1], "button 1"), R"(button 1 "&Dalej >>")");
  EXPECT_EQ(Control(pages[2], "edit 1002"), R"(edit 1002 "D:\Gry\Orvella\Vantor\Orvella")");
  EXPECT_EQ(Control(pages[3], "list 1001"), R"(list 1001 (tab stop 85) ["D:\t[4.0 MB]", "E:\t[3.0 MB]"*])");
  EXPECT_EQ(Control(pages[3], "edit 1002"), R"(edit 1002 "E:\Vantor\Orvella")");
  EXPECT_EQ(choices_.destination_base, "E:\\");
  EXPECT_EQ(errors_.str(), "");
}

// A drive letter typed in lower case names the same drive.
TEST_F(BrowsePageTest, ALowerCaseDriveLetterIsTheSameDrive) {
  Start(kBrowseMachine,
        "page 3: press 1009\n"
        "browse e:\\gry\n"
        "page 3: press 1\n");
  EXPECT_EQ(Visit(), PAGE_NEXT);
  const std::vector<std::string> pages = PageLines();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Control(pages[1], "list 1001"), R"(list 1001 (tab stop 85) ["D:\t[4.0 MB]", "E:\t[3.0 MB]"*])");
  EXPECT_EQ(choices_.destination_base, "e:\\gry");
}

// The title comes from the string table into a buffer of 200 bytes; a longer entry is cut, not overrun.
TEST_F(BrowsePageTest, TheBrowserTitleIsCutToItsBuffer) {
  const std::string long_title(300, 't');
  const resources::StringEntry strings[] = {{5021, long_title.c_str()}, {5024, "pl"}};
  Start(kBrowseMachine,
        "page 3: press 1009\n"
        "browse cancel\n"
        "page 3: key escape\n",
        strings);
  EXPECT_EQ(Visit(), PAGE_CANCEL);
  EXPECT_EQ(BrowserAndBoxes(),
            std::vector<std::string>{"folder browser \"" + std::string(199, 't') + "\" -> cancel"});
}

}  // namespace
}  // namespace vtsetup::wizard

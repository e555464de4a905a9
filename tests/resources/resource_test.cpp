#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "resources/dinstall_strings.h"
#include "resources/resource_types.h"
#include "tests/resources/rc_script_reader.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::resources {
namespace {

using testing::ReadBytes;
using Bytes = std::vector<unsigned char>;

std::string BuildFile(const std::string& name) {
  return std::string(VT_RESOURCE_DIR) + "/" + name;
}

std::uint32_t U16At(const Bytes& b, std::size_t at) {
  return b.at(at) | (b.at(at + 1) << 8);
}
std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return U16At(b, at) | (U16At(b, at + 2) << 16);
}

// The expected texts are typed here in UTF-8 and converted, so a wrong escaped byte in the data shows.
std::string Cp1250(std::string_view utf8) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<char32_t> character = NextUtf8Character(utf8, at);
    const std::optional<unsigned char> byte = character ? Cp1250Byte(*character) : std::nullopt;
    if (!byte) {
      ADD_FAILURE() << "not in code page 1250: " << utf8;
      return out;
    }
    out += static_cast<char>(*byte);
  }
  return out;
}

const ControlTemplate* FindControl(std::uint16_t dialog, std::uint16_t id) {
  const DialogTemplate* found = FindDialogTemplate(dialog);
  if (found == nullptr) {
    return nullptr;
  }
  for (const ControlTemplate& control : found->controls) {
    if (control.id == id) {
      return &control;
    }
  }
  return nullptr;
}

std::string TextOf(std::uint16_t dialog, std::uint16_t id) {
  const ControlTemplate* control = FindControl(dialog, id);
  return control == nullptr ? "<missing>" : control->text;
}

TEST(ResourceScript, SaysWhatTheDataSays) {
  const Bytes bytes = ReadBytes(BuildFile("setup.rc"));
  const testing::ResourceScript script = testing::ReadResourceScript(std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(script.pragmas, std::vector<std::string>{"code_page(1250)"});
  EXPECT_EQ(script.icons, (std::map<std::int32_t, std::string>{{106, "setup.ico"}}));
  EXPECT_EQ(script.bitmaps, (std::map<std::int32_t, std::string>{{114, "page.bmp"}}));

  static const std::map<ControlClass, std::string> kClassNames = {
      {ControlClass::Button, "Button"},     {ControlClass::Static, "Static"},
      {ControlClass::ListBox, "ListBox"},   {ControlClass::Edit, "Edit"},
      {ControlClass::RichEdit, "RICHEDIT"}, {ControlClass::ProgressBar, "msctls_progress32"}};
  ASSERT_EQ(script.dialogs.size(), DialogTemplates().size());
  for (std::size_t d = 0; d < script.dialogs.size(); ++d) {
    const testing::ScriptDialog& written = script.dialogs[d];
    const DialogTemplate& data = DialogTemplates()[d];
    SCOPED_TRACE(data.id);
    EXPECT_EQ(written.id, data.id);
    EXPECT_EQ(written.extended, data.extended);
    EXPECT_EQ((std::array{written.x, written.y, written.width, written.height}),
              (std::array<std::int32_t, 4>{data.x, data.y, data.width, data.height}));
    EXPECT_EQ(written.style, data.style);
    EXPECT_EQ(written.font, data.font);
    EXPECT_EQ(written.font_size, data.font_size);
    ASSERT_EQ(written.controls.size(), data.controls.size());
    for (std::size_t c = 0; c < written.controls.size(); ++c) {
      const testing::ScriptControl& control = written.controls[c];
      const ControlTemplate& expected = data.controls[c];
      SCOPED_TRACE(c);
      EXPECT_EQ(control.id, expected.id == kNoId ? -1 : expected.id);
      EXPECT_EQ(control.class_name, kClassNames.at(expected.control_class));
      EXPECT_EQ(control.names_bitmap, expected.bitmap != 0);
      EXPECT_EQ(control.text, expected.bitmap != 0 ? std::to_string(expected.bitmap) : expected.text);
      EXPECT_EQ(control.style, expected.style);
      EXPECT_EQ((std::array{control.x, control.y, control.width, control.height}),
                (std::array<std::int32_t, 4>{expected.x, expected.y, expected.width, expected.height}));
    }
  }

  ASSERT_EQ(script.strings.size(), StringTable().size());
  for (std::size_t i = 0; i < script.strings.size(); ++i) {
    EXPECT_EQ(script.strings[i].first, StringTable()[i].id);
    EXPECT_EQ(script.strings[i].second, StringTable()[i].text) << StringTable()[i].id;
  }
}

TEST(DialogTemplates, HaveTheirShapesControlsUniqueIdsAndOneDefaultButtonPerPage) {
  struct Expected {
    std::uint16_t id, count, default_button;  // 0 for no default button
    std::int16_t width, height;
    bool extended;
    std::uint32_t style;
  };
  // Pop-up, visible, centred, modal frame, set font, 3D look; and where a control may fail, no-fail-create.
  constexpr std::uint32_t kPage = 0x900008C4, kTolerant = 0x900008D4;
  static constexpr Expected kExpected[] = {
      {104, 11, 1, 260, 150, false, kPage},   {107, 2, 0, 185, 34, false, kTolerant},
      {108, 2, 0, 183, 34, false, kTolerant}, {110, 5, 1, 260, 150, false, kPage},
      {111, 5, 1, 260, 150, true, kTolerant}, {112, 9, 1, 260, 150, false, kPage},
      {113, 4, 6, 260, 150, false, kPage},    {114, 4, 6, 260, 150, false, kPage},
      {115, 3, 1, 260, 150, true, kTolerant}};
  ASSERT_EQ(DialogTemplates().size(), std::size(kExpected));
  for (const Expected& expected : kExpected) {
    SCOPED_TRACE(expected.id);
    const DialogTemplate* dialog = FindDialogTemplate(expected.id);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->controls.size(), expected.count);
    EXPECT_EQ((std::array{dialog->width, dialog->height}), (std::array{expected.width, expected.height}));
    EXPECT_EQ(dialog->extended, expected.extended);
    EXPECT_EQ(dialog->style, expected.style);
    EXPECT_EQ(std::string(dialog->font), "MS Sans Serif");
    EXPECT_EQ(dialog->font_size, 8);
    std::set<std::uint16_t> ids;
    std::vector<std::uint16_t> defaults;
    int page_pictures = 0;
    for (const ControlTemplate& control : dialog->controls) {
      page_pictures += control.bitmap == kPageBitmap && control.x == 7 && control.y == 7 &&
                       control.width == 59 && control.height == 108;
      EXPECT_TRUE(control.id == kNoId || ids.insert(control.id).second) << "id " << control.id << " twice";
      if (control.control_class == ControlClass::Button &&
          (control.style & 0x0F) == style::kDefaultPushButton) {
        defaults.push_back(control.id);
      }
    }
    EXPECT_EQ(page_pictures, expected.id >= 110 ? 1 : 0);  // every page but the choice page
    EXPECT_EQ(defaults, expected.default_button == 0 ? std::vector<std::uint16_t>{}
                                                     : std::vector<std::uint16_t>{expected.default_button});
  }
  EXPECT_EQ(FindDialogTemplate(109), nullptr);
  EXPECT_EQ(FindDialogTemplate(0), nullptr);
}

TEST(DialogTemplates, GiveEachKindOfControlItsStyles) {
  // Written from the controls' descriptions rather than from the data's own constants.
  const std::uint32_t kChildVisible = 0x50000000;
  for (const DialogTemplate& dialog : DialogTemplates()) {
    for (const ControlTemplate& control : dialog.controls) {
      SCOPED_TRACE(std::to_string(dialog.id) + "/" + std::to_string(control.id));
      EXPECT_EQ(control.style & kChildVisible, kChildVisible);
      const bool takes_focus =
          control.control_class != ControlClass::Static && control.control_class != ControlClass::ProgressBar;
      EXPECT_EQ((control.style & style::kTabStop) != 0, takes_focus);
      const std::uint32_t own = control.style & ~(kChildVisible | style::kTabStop);
      switch (control.control_class) {
        case ControlClass::ListBox:
          EXPECT_EQ(own, 0x00A00181u);  // border, vertical scroll, no integral height, tab stops, notify
          break;
        case ControlClass::Edit:
          EXPECT_EQ(own, 0x00800880u);  // border, read-only, horizontal auto-scroll
          break;
        case ControlClass::RichEdit:
          // Border, scroll bar kept, read-only, vertical auto-scroll, multi-line.
          EXPECT_EQ(own, 0x00A02844u);
          break;
        case ControlClass::ProgressBar:
          EXPECT_EQ(own, 0x00800000u);
          break;
        case ControlClass::Static: {
          const bool picture = control.bitmap != 0 || (dialog.id == 110 && control.id == 1028);
          const bool progress_text = control.id == 1027 && (dialog.id == 107 || dialog.id == 108);
          EXPECT_EQ(own, picture ? 0x0Eu : progress_text ? 0x201u : 0u);  // bitmap; centred both ways; left
          EXPECT_TRUE(control.bitmap == 0 || control.bitmap == kPageBitmap);
          break;
        }
        case ControlClass::Button:
          EXPECT_EQ(own == 3u, dialog.id == 112 && control.id >= 1025);  // the automatic check boxes
          EXPECT_TRUE(own == 0u || own == 1u || own == 3u) << own;       // push, default push, check box
          break;
      }
    }
  }
}

TEST(DialogTemplates, CarryTheTextsOfTheirPages) {
  EXPECT_EQ(TextOf(108, 1027), Cp1250("Kopiowanie plików. Proszę czekać..."));
  EXPECT_EQ(TextOf(104, 1011), Cp1250("Napęd docelowy"));
  EXPECT_EQ(TextOf(104, 1012), Cp1250("Ścieżka docelowa"));
  EXPECT_EQ(TextOf(112, 1027), Cp1250("Wyświetlenie pliku CzytajTo"));
  EXPECT_EQ(TextOf(113, 6), Cp1250("&Rozpoczęcie"));
  EXPECT_EQ(TextOf(114, 1), Cp1250("&Wyjście"));
  const DialogTemplate* finished = FindDialogTemplate(113);
  ASSERT_NE(finished, nullptr);
  EXPECT_EQ(
      finished->controls[2].text,
      Cp1250(
          "Instalacja zakończona.\r\n\r\nMożesz uruchomić grę z menu Start\nlub przyciskiem Rozpoczęcie."));
  const ControlTemplate* progress = FindControl(107, 1008);
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ((std::array{progress->x, progress->y, progress->width, progress->height}),
            (std::array<std::int16_t, 4>{7, 17, 171, 10}));
}

TEST(StringTable, HoldsTheMessagesByteForByte) {
  ASSERT_EQ(StringTable().size(), 23u);
  for (std::size_t i = 1; i < StringTable().size(); ++i) {
    EXPECT_LT(StringTable()[i - 1].id, StringTable()[i].id);
  }
  EXPECT_EQ(StringTable().front().id, 5000);
  EXPECT_EQ(StringTable().back().id, 5024);
  EXPECT_EQ(FindString(5011), nullptr);
  EXPECT_EQ(FindString(5020), nullptr);
  EXPECT_EQ(FindString(5025), nullptr);
  ASSERT_NE(FindString(5008), nullptr);
  EXPECT_EQ(FindString(5008),
            Cp1250("Na dysku %s, na którym ma zostać zainstalowana gra, nie ma wystarczającej ilości wolnego "
                   "miejsca na dokończenie instalacji.\r\nZwolnij potrzebną ilość miejsca na dysku i wybierz "
                   "opcję Ponów lub przerwij instalację."));
  ASSERT_NE(FindString(5019), nullptr);
  EXPECT_EQ(FindString(5019),
            Cp1250("Na żadnym napędzie nie ma wystarczająco dużo wolnego miejsca na minimalną instalację.\r\n"
                   "Potrzeba przynajmniej %0.1f MB.\r\nZwolnij odpowiednie miejsce i naciśnij OK lub "
                   "przerwij instalację."));
  ASSERT_NE(FindString(5002), nullptr);
  EXPECT_EQ(std::string(FindString(5002)), "c:\\Programme");
  ASSERT_NE(FindString(5024), nullptr);
  EXPECT_EQ(std::string(FindString(5024)), "pl");
}

// The uninstaller's texts, typed here in UTF-8: what its table holds must decode to exactly these.
TEST(DinstallStringTable, HoldsEveryMessageOfTheUninstallerInCodePage1250) {
  const std::map<std::uint16_t, std::string> expected = {
      {6000, "Usuwanie gry"},
      {6001, "Czy na pewno chcesz usunąć grę %s i wszystkie jej składniki z tego komputera?"},
      {6002,
       "Dziennik instalacji %s jest uszkodzony. Można usunąć tylko to, co wymienia jego nieuszkodzona "
       "część.\r\nCzy chcesz to usunąć?"},
      {6003, "Nie można odczytać dziennika instalacji %s. Gra nie zostanie usunięta."},
      {6004, "Gra %s została usunięta z tego komputera."},
      {6005, "Gra %s została usunięta, ale nie wszystko udało się usunąć. Pozostało:\r\n%s"},
      {6006, "%s (plik jest używany)"},
      {6007, "%s (folder nie jest pusty)"},
      {6008, "%s (pominięto: poza folderem gry)"},
      {6009, "%s (błąd %u)"},
      {6010, "i %u innych"},
  };
  std::map<std::uint16_t, std::string> decoded;
  for (std::size_t i = 0; i < DinstallStringTable().size(); ++i) {
    const StringEntry& entry = DinstallStringTable()[i];
    if (i > 0) {
      EXPECT_LT(DinstallStringTable()[i - 1].id, entry.id);
    }
    decoded[entry.id] = Cp1250ToUtf8(entry.text);
  }
  EXPECT_EQ(decoded, expected);
}

TEST(ResourceScript, TheUninstallersHoldsItsStringTableAlone) {
  const Bytes bytes = ReadBytes(BuildFile("dinstall.rc"));
  const testing::ResourceScript script = testing::ReadResourceScript(std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(script.pragmas, std::vector<std::string>{"code_page(1250)"});
  EXPECT_TRUE(script.icons.empty());
  EXPECT_TRUE(script.bitmaps.empty());
  EXPECT_TRUE(script.dialogs.empty());
  std::vector<std::pair<std::int32_t, std::string>> table;
  for (const StringEntry& entry : DinstallStringTable()) {
    table.emplace_back(entry.id, entry.text);
  }
  EXPECT_EQ(script.strings, table);
  // Polish bytes are written as they are, under the code-page line.
  EXPECT_NE(std::string(bytes.begin(), bytes.end())
                .find("    6009, \"%s (b\xB3\xB9"
                      "d %u)\"\n"),
            std::string::npos);
}

// Expected values follow from the artwork described at the top of make_pictures.cpp, worked out by
// hand; positions from the bitmap layout (rows bottom-up, padded to four bytes).
TEST(ProgramPictures, PageBitmapIsAnEightBitPictureOfItsSize) {
  const Bytes b = ReadBytes(BuildFile("page.bmp"));
  const std::size_t stride = 92;
  const std::size_t pixels = 14 + 40 + 256 * 4;
  ASSERT_EQ(b.size(), pixels + stride * 176);
  EXPECT_EQ(U16At(b, 0), 0x4D42u);  // "BM"
  EXPECT_EQ(U32At(b, 2), b.size());
  EXPECT_EQ(U32At(b, 10), pixels);
  EXPECT_EQ(U32At(b, 14), 40u);
  EXPECT_EQ(U32At(b, 18), 90u);
  EXPECT_EQ(U32At(b, 22), 176u);
  EXPECT_EQ(U16At(b, 26), 1u);
  EXPECT_EQ(U16At(b, 28), 8u);
  EXPECT_EQ(U32At(b, 30), 0u);
  EXPECT_EQ(U32At(b, 46), 256u);

  const auto entry = [&](int x, int y) { return b.at(pixels + (175 - y) * stride + x); };
  const auto colour = [&](int index) { return U32At(b, 54 + 4 * index); };  // 0x00RRGGBB
  EXPECT_EQ(entry(0, 100), 255);
  EXPECT_EQ(entry(45, 64), 208);  // the diamond's centre
  EXPECT_EQ(colour(208), 0xFFE860u);
  EXPECT_EQ(entry(45, 96), 224);  // its lowest point
  EXPECT_EQ(colour(224), 0xFFA820u);
  EXPECT_EQ(entry(45, 97), 97);  // background below it
  EXPECT_EQ(colour(97), 0x1830B1u);
  EXPECT_EQ(entry(73, 120), 254);  // the first bar's last column, then background
  EXPECT_EQ(entry(74, 120), 120);
  EXPECT_EQ(entry(57, 136), 254);  // the second bar is 16 pixels shorter
  EXPECT_EQ(entry(58, 136), 136);
  EXPECT_EQ(entry(20, 128), 128);  // the gap between two bars
  EXPECT_EQ(colour(254), 0xE8E8F0u);
  EXPECT_EQ(b.at(pixels + 90), 0);  // padding of the bottom row
  EXPECT_EQ(b.at(pixels + 91), 0);
}

TEST(ProgramPictures, IconHasOneSixteenColourImageOf32Pixels) {
  const Bytes b = ReadBytes(BuildFile("setup.ico"));
  const std::size_t image = 6 + 16;
  const std::size_t image_size = 40 + 16 * 4 + 32 * 16 + 32 * 4;
  ASSERT_EQ(b.size(), image + image_size);
  EXPECT_EQ((std::array{U16At(b, 0), U16At(b, 2), U16At(b, 4)}), (std::array<std::uint32_t, 3>{0, 1, 1}));
  EXPECT_EQ((std::array<unsigned, 4>{b[6], b[7], b[8], b[9]}), (std::array<unsigned, 4>{32, 32, 16, 0}));
  EXPECT_EQ(U16At(b, 10), 1u);  // planes
  EXPECT_EQ(U16At(b, 12), 4u);  // bits
  EXPECT_EQ(U32At(b, 14), image_size);
  EXPECT_EQ(U32At(b, 18), image);
  EXPECT_EQ(U32At(b, image), 40u);
  EXPECT_EQ(U32At(b, image + 4), 32u);
  EXPECT_EQ(U32At(b, image + 8), 64u);  // the colour rows and the mask
  EXPECT_EQ(U16At(b, image + 14), 4u);

  const std::size_t colours = image + 40;
  const std::size_t rows = colours + 64;
  const std::size_t mask = rows + 32 * 16;
  EXPECT_EQ(U32At(b, colours + 3 * 4), 0xFFC820u);
  // Row 15 (stored 16th from the bottom): transparent ends, ring, blue, then the diamond from x = 5 to 26.
  const Bytes row15(b.begin() + rows + 16 * 16, b.begin() + rows + 17 * 16);
  EXPECT_EQ(row15, (Bytes{0x01, 0x12, 0x23, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x32,
                          0x21, 0x10}));
  EXPECT_EQ(Bytes(b.begin() + mask + 16 * 4, b.begin() + mask + 17 * 4), (Bytes{0x80, 0, 0, 0x01}));
  EXPECT_EQ(Bytes(b.begin() + mask + 31 * 4, b.end()), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));  // the top row
}

}  // namespace
}  // namespace vtsetup::resources

#include <algorithm>
#include <array>

#include "resources/resource_types.h"

namespace vtsetup::resources {
namespace {

using namespace style;

constexpr std::uint32_t kControl = kChild | kVisible;
constexpr std::uint32_t kButtonStyle = kControl | kTabStop | kPushButton;
constexpr std::uint32_t kDefaultButtonStyle = kControl | kTabStop | kDefaultPushButton;
constexpr std::uint32_t kCheckBoxStyle = kControl | kTabStop | kAutoCheckBox;
constexpr std::uint32_t kTextStyle = kControl | kStaticLeft;
constexpr std::uint32_t kPictureStyle = kControl | kStaticBitmap;
constexpr std::uint32_t kListStyle =
    kControl | kTabStop | kListNotify | kListUseTabStops | kListNoIntegralHeight | kVerticalScroll | kBorder;
constexpr std::uint32_t kDestinationStyle =
    kControl | kTabStop | kEditReadOnly | kEditAutoHorizontalScroll | kBorder;
constexpr std::uint32_t kRichTextStyle = kControl | kTabStop | kEditMultiLine | kEditReadOnly |
                                         kVerticalScroll | kEditDisableNoScroll | kEditAutoVerticalScroll |
                                         kBorder;
constexpr std::uint32_t kProgressTextStyle = kControl | kStaticCentre | kStaticCentreImage;
constexpr std::uint32_t kProgressBarStyle = kControl | kBorder;

// Pages and progress boxes lie over the background window without a title bar; the no-fail-create
// dialogs still appear when a rich-edit or progress control class is missing.
constexpr std::uint32_t kWindowStyle = kPopup | kVisible | kModalFrame | k3dLook | kCentre | kSetFont;
constexpr std::uint32_t kTolerantWindowStyle = kWindowStyle | kNoFailCreate;

struct Rect {
  std::int16_t x, y, width, height;
};

constexpr ControlTemplate Make(std::uint16_t id, ControlClass control_class, const char* text, Rect at,
                               std::uint32_t style, std::uint16_t bitmap = 0) {
  return {id, control_class, text, at.x, at.y, at.width, at.height, style, bitmap};
}
constexpr ControlTemplate Button(std::uint16_t id, const char* text, Rect at) {
  return Make(id, ControlClass::Button, text, at, kButtonStyle);
}
constexpr ControlTemplate DefaultButton(std::uint16_t id, const char* text, Rect at) {
  return Make(id, ControlClass::Button, text, at, kDefaultButtonStyle);
}
constexpr ControlTemplate CheckBox(std::uint16_t id, const char* text, Rect at) {
  return Make(id, ControlClass::Button, text, at, kCheckBoxStyle);
}
constexpr ControlTemplate Text(std::uint16_t id, const char* text, Rect at) {
  return Make(id, ControlClass::Static, text, at, kTextStyle);
}
constexpr ControlTemplate Picture(std::uint16_t id, std::uint16_t bitmap, Rect at) {
  return Make(id, ControlClass::Static, "", at, kPictureStyle, bitmap);
}
constexpr ControlTemplate List(std::uint16_t id, Rect at) {
  return Make(id, ControlClass::ListBox, "", at, kListStyle);
}
constexpr ControlTemplate RichText(std::uint16_t id) {
  return Make(id, ControlClass::RichEdit, "", {80, 7, 173, 110}, kRichTextStyle);
}
constexpr ControlTemplate ProgressText(const char* text, Rect at) {
  return Make(1027, ControlClass::Static, text, at, kProgressTextStyle);
}
constexpr ControlTemplate ProgressBar(Rect at) {
  return Make(1008, ControlClass::ProgressBar, "", at, kProgressBarStyle);
}

constexpr const char* kNextText = "&Dalej >>";
constexpr const char* kCancelText = "&Anuluj";
constexpr const char* kBackText = "<< &Wstecz";
constexpr const char* kStartText =
    "&Rozpocz\xEA"
    "cie";
constexpr const char* kExitText =
    "&Wyj\x9C"
    "cie";

constexpr ControlTemplate kNext = DefaultButton(1, kNextText, {203, 132, 50, 14});
constexpr ControlTemplate kPagePicture = Picture(kNoId, kPageBitmap, {7, 7, 59, 108});

// Template 104: installation type, drive and destination.
constexpr ControlTemplate kChoicePage[] = {
    List(1000, {7, 16, 133, 40}),
    List(1001, {7, 72, 134, 44}),
    Button(1009, "...", {130, 132, 12, 13}),
    Button(7, kBackText, {148, 132, 50, 14}),
    kNext,
    Make(1002, ControlClass::Edit, "", {7, 132, 118, 13}, kDestinationStyle),
    Text(1010, "Typ instalacji", {8, 7, 72, 8}),
    Text(1011,
         "Nap\xEA"
         "d docelowy",
         {8, 63, 69, 8}),
    Text(1013, "", {147, 16, 106, 105}),
    Text(1012,
         "\x8C"
         "cie\xBFka docelowa",
         {8, 122, 66, 8}),
    Text(1014, "Opis", {147, 7, 72, 8}),
};

// Template 107: reading the setup database.
constexpr ControlTemplate kPreparingBox[] = {
    ProgressText("Przygotowywanie instalacji...", {8, 5, 168, 12}),
    ProgressBar({7, 17, 171, 10}),
};

// Template 108: copying the files.
constexpr ControlTemplate kCopyingBox[] = {
    ProgressText("Kopiowanie plik\xF3w. Prosz\xEA czeka\xE6...", {8, 5, 165, 12}),
    ProgressBar({7, 17, 169, 10}),
};

// Template 110: welcome.
constexpr ControlTemplate kWelcomePage[] = {
    kNext,        Button(6, kStartText, {81, 132, 50, 14}), Button(2, kCancelText, {147, 132, 50, 14}),
    kPagePicture, Picture(1028, 0, {77, 7, 15, 13}),
};

// Template 111: licence.
constexpr ControlTemplate kLicencePage[] = {
    kNext,
    Button(2, kCancelText, {81, 132, 50, 14}),
    Button(7, kBackText, {148, 132, 50, 14}),
    kPagePicture,
    RichText(1023),
};

// Template 112: options.
constexpr ControlTemplate kOptionsPage[] = {
    kNext,
    Button(2, kCancelText, {82, 132, 50, 14}),
    Button(7, kBackText, {148, 132, 50, 14}),
    CheckBox(1025, "Sprawdzenie DirectX", {96, 78, 127, 10}),
    CheckBox(1026, "Utworzenie grupy w menu Start", {96, 91, 127, 10}),
    CheckBox(1027, "Wy\x9Cwietlenie pliku CzytajTo", {96, 104, 127, 10}),
    Text(kNoId, "Opcje", {96, 11, 157, 38}),
    kPagePicture,
    CheckBox(1028, "Instalacja gry", {96, 65, 127, 10}),
};

// Template 113: finished.
constexpr ControlTemplate kFinishedPage[] = {
    DefaultButton(6, kStartText, {203, 132, 50, 14}),
    Button(1, kExitText, {147, 132, 50, 14}),
    Text(kNoId,
         "Instalacja zako\xF1"
         "czona.\r\n\r\nMo\xBF"
         "esz uruchomi\xE6 gr\xEA z menu Start\nlub przyciskiem "
         "Rozpocz\xEA"
         "cie.",
         {84, 8, 169, 111}),
    kPagePicture,
};

// Template 114: finished, the DirectX drivers need a restart.
constexpr ControlTemplate kRestartPage[] = {
    DefaultButton(6, "&Restart", {203, 132, 50, 14}),
    Button(1, kExitText, {147, 132, 50, 14}),
    Text(kNoId,
         "Instalacja zako\xF1"
         "czona.\r\n\r\nZainstalowane sterowniki DirectX wymagaj\xB9 ponownego "
         "uruchomienia systemu.",
         {86, 8, 167, 111}),
    kPagePicture,
};

// Template 115: readme.
constexpr ControlTemplate kReadmePage[] = {
    kNext,
    RichText(1026),
    kPagePicture,
};

constexpr DialogTemplate Page(std::uint16_t id, std::span<const ControlTemplate> controls) {
  return {id, 0, 0, 260, 150, kWindowStyle, false, "MS Sans Serif", 8, controls};
}
// The pages with a rich-edit control.
constexpr DialogTemplate ExtendedPage(std::uint16_t id, std::span<const ControlTemplate> controls) {
  return {id, 0, 0, 260, 150, kTolerantWindowStyle, true, "MS Sans Serif", 8, controls};
}
constexpr DialogTemplate ProgressBox(std::uint16_t id, std::int16_t width,
                                     std::span<const ControlTemplate> controls) {
  return {id, 0, 0, width, 34, kTolerantWindowStyle, false, "MS Sans Serif", 8, controls};
}

constexpr std::array kDialogs = {
    Page(104, kChoicePage),
    ProgressBox(107, 185, kPreparingBox),
    ProgressBox(108, 183, kCopyingBox),
    Page(110, kWelcomePage),
    ExtendedPage(111, kLicencePage),
    Page(112, kOptionsPage),
    Page(113, kFinishedPage),
    Page(114, kRestartPage),
    ExtendedPage(115, kReadmePage),
};

}  // namespace

std::span<const DialogTemplate> DialogTemplates() {
  return kDialogs;
}

const DialogTemplate* FindDialogTemplate(std::uint16_t id) {
  const auto found = std::find_if(kDialogs.begin(), kDialogs.end(),
                                  [id](const DialogTemplate& dialog) { return dialog.id == id; });
  return found == kDialogs.end() ? nullptr : &*found;
}

}  // namespace vtsetup::resources

#pragma once

#include <cstdint>
#include <optional>

#include "base/text_string.h"
#include "platform/drives.h"
#include "platform/user_interface.h"
#include "wizard/drive_table.h"

namespace vtsetup::wizard {

// The folder browser's title from the string table, and the buffer it is loaded into.
inline constexpr std::uint16_t STRING_BROWSE_TITLE = 5021;
inline constexpr std::uint32_t kBrowseTitleBufferSize = 200;

// The longest folder taken from the browser: the system's path buffers hold 260 bytes with the
// terminating zero. A longer one is refused like a drive that takes no game, since cutting it would
// install somewhere the user never chose.
inline constexpr std::uint32_t kMaxBrowsedPathLength = 259;

// The two answers to a folder the game cannot go to, each with the folder for %s. These, unlike every
// other box of the setup, are German and have no title.
inline constexpr char kUnusableFolderWarning[] =
    "Das Programm kann auf %s nicht installiert werden.\r\nW\xE4hle ein anderes Verzeichnis";
inline constexpr char kNoRoomWarning[] =
    "Auf %s ist nicht gen\xFCgend Platz f\xFCr die gew\xE4hlte Installation vorhanden.\r\n"
    "W\xE4hle ein anderes Verzeichnis";
inline constexpr std::uint32_t kBrowseWarningStyle = platform::BOX_OK | platform::BOX_ICON_WARNING;

// Asks for a folder until the user picks one on a drive of the table where the pack fits, warning
// about each one that does not do, or cancels (nothing). Without a pack nothing fits.
std::optional<TextString> BrowseForDestination(platform::UserInterface& ui, platform::Drives& drives,
                                               const DriveTable& table, const PackSizeTable* pack_sizes,
                                               platform::Window owner);

}  // namespace vtsetup::wizard

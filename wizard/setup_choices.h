#pragma once

#include <cstdint>

#include "base/text_string.h"

namespace vtsetup::wizard {

// What the pages read from start-up and leave for the main sequence: program-wide state of one run,
// owned by the main sequence and lent to the pages.
struct SetupChoices {
  // The setup program's folder followed by the database's relative folder, ending in a backslash: where
  // the game's files, the pictures and the texts lie.
  TextString source_folder;
  // The folder the game goes under: the program-files folder at first, a drive's root once a drive is
  // chosen, or a folder picked with the browser.
  TextString destination_base;
  // The folder below the base, from the database's default destination; the pages only show it.
  TextString destination_subfolder;
  // The installation type chosen on the type page, an index into the database's packs.
  std::uint32_t chosen_type = 0;
  // The executable of an installed copy of the game, empty when none was found.
  TextString installed_game_path;
};

}  // namespace vtsetup::wizard

#pragma once

#include <cstdint>
#include <span>

#include "base/text_string.h"
#include "uninstaller/removal.h"

namespace vtsetup::uninstaller {

// The string-table entries that name a kept item, each a format for the item's name (and the error's
// number for `failed`), and the line that counts the items left out. An empty entry (missing from the
// table) shows the bare name, and no count.
struct KeptTexts {
  TextString in_use;
  TextString not_empty;
  TextString outside;
  TextString failed;
  TextString others;
};

// The kept items one to a line, joined by "\r\n", as many from the first as fit in `room` characters
// together with the line that counts the rest; that line alone when not even the first item fits.
TextString KeptList(std::span<const KeptItem> kept, const KeptTexts& texts, std::uint32_t room);

}  // namespace vtsetup::uninstaller

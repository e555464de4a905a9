#pragma once

#include <cstdint>

#include "setupdb/setup_info.h"

namespace vtsetup::testing {

// Database entries in one expression, for trees that tests build by hand.
inline FileEntry File(const char* path, std::uint32_t size, std::uint32_t crc) {
  FileEntry entry;
  entry.Path = path;
  entry.FileSize = size;
  entry.Crc = crc;
  return entry;
}

inline PackDir Dir(const char* path, bool delete_unempty) {
  PackDir dir;
  dir.Path = path;
  dir.DeleteUnempty = delete_unempty;
  return dir;
}

inline ShortcutEntry Shortcut(const char* name, const char* target) {
  ShortcutEntry shortcut;
  shortcut.Name = name;
  shortcut.Target = target;
  return shortcut;
}

}  // namespace vtsetup::testing

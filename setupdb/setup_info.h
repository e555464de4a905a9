#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/text_string.h"

namespace vtsetup {

// Tags in the first word of the records. In FileEntry and PackDir the tag also marks an entry that is
// still to be installed: the copy clears a handled entry to zero.
inline constexpr std::uint32_t RECORD_SIZE_SETUP_INFO = 60;
inline constexpr std::uint32_t RECORD_SIZE_OPTIONS = 44;
inline constexpr std::uint32_t RECORD_SIZE_BITMAPS_COMPILING = 20;
inline constexpr std::uint32_t RECORD_SIZE_PACK = 148;
inline constexpr std::uint32_t RECORD_SIZE_FILE = 16;
inline constexpr std::uint32_t RECORD_SIZE_DIR = 12;

// Entry j is the space the pack needs on a volume whose allocation unit is 2^j bytes.
inline constexpr std::size_t PACK_SIZE_ENTRIES = 24;

// Field names are the script keys that fill them. The arrays' counts are the vectors' sizes.

struct FileEntry {
  std::uint32_t RecordSize = RECORD_SIZE_FILE;
  TextString Path;  // relative to the source folder and, for pack files, to the destination
  std::uint32_t FileSize = 0;
  std::uint32_t Crc = 0;  // 0 when checksums were off at compile time
};

struct PackDir {
  std::uint32_t RecordSize = RECORD_SIZE_DIR;
  TextString Path;       // ends in a backslash
  bool SubDirs = false;  // the compiler's walk mark; not stored
  bool DeleteUnempty = false;
};

struct ShortcutEntry {
  std::uint32_t Reserved = 0;  // the first word, always 0
  TextString Name;
  TextString Target;
};

struct PackInfo {
  std::uint32_t RecordSize = RECORD_SIZE_PACK;
  TextString Typename;
  TextString Typedesc;
  std::array<std::uint32_t, PACK_SIZE_ENTRIES> PackSizes{};
  std::vector<PackDir> Dirs;
  std::vector<FileEntry> Files;
  std::vector<ShortcutEntry> Shortcuts;
  std::vector<ShortcutEntry> DesktopShortcuts;
  std::vector<ShortcutEntry> InternetShortcuts;
};

struct SetupOptions {
  std::uint32_t RecordSize = RECORD_SIZE_OPTIONS;
  std::int32_t SpareSpace = 0;
  bool InstallDirectX = false;
  bool InstallGame = false;
  std::int32_t SplashDelay = 0;
  bool Uninstall = false;
  bool Readme = false;
  bool CheckCRC = false;
  std::uint16_t DefaultPack = 0;
  TextString RelativeDir;
  TextString DirectXDir;
  TextString UninstallPrg;
  TextString BitmapDir;
  TextString ReadmeFile;
};

struct SetupBitmaps {
  std::uint32_t RecordSize = 0;
  TextString Background640x480;
  TextString Background800x600;
  TextString Background1024x768;
  TextString Background1280x1024;
};

struct SetupInfo {
  std::uint32_t RecordSize = RECORD_SIZE_SETUP_INFO;
  TextString PrgName;
  TextString DefDestDir;
  // Absent once the user turns the Start-menu group off: then no group and no shortcut is made.
  std::optional<TextString> GroupName = TextString();
  TextString Company;
  TextString Product;
  TextString Version;
  TextString Filename;
  SetupOptions Options;
  std::vector<PackInfo> Packs;
  SetupBitmaps Bitmaps;
  std::uint32_t TempTotalSize = 0;
  std::vector<FileEntry> TempFiles;
};

}  // namespace vtsetup

#pragma once

#include <cstdint>

// The layout of "dinstall.log", the one contract between the setup that writes it and the uninstaller
// that reads it: both take its numbers from here.
namespace vtsetup::install_log_format {

// The log's name in the game's folder, where the uninstaller looks for it when it is given none.
inline constexpr char kLogFileName[] = "dinstall.log";

inline constexpr char kMagic[4] = {'I', 'L', 'O', 'G'};
inline constexpr std::uint32_t kHeaderSize = 28;
inline constexpr std::uint32_t kHeaderVersion = 10;
// Fields of the header, by offset.
inline constexpr std::uint32_t kSizeField = 16;
inline constexpr std::uint32_t kFirstRecordField = 24;
// The program name's length word follows the header, and the name follows the word.
inline constexpr std::uint32_t kNameSizeField = kHeaderSize;
inline constexpr std::uint32_t kNameStart = kNameSizeField + 4;

inline constexpr std::uint32_t kRecordHeaderSize = 18;
inline constexpr std::uint32_t kRecordMarker = 15;
inline constexpr std::uint32_t kNextFieldInRecord = 14;
// The body length is one byte.
inline constexpr std::uint32_t kMaxBodyLength = 255;
// The body header's own size, which tells its layout: three words before one text (directories and
// groups), or four (files and keys with a reserved word, shortcuts with two text lengths).
inline constexpr std::uint32_t kShortBodyHeader = 12;
inline constexpr std::uint32_t kLongBodyHeader = 16;

inline constexpr std::uint8_t kTypeDirectory = 2;
inline constexpr std::uint8_t kTypeFile = 3;
inline constexpr std::uint8_t kTypeKey = 4;
inline constexpr std::uint8_t kTypeShortcut = 5;
inline constexpr std::uint8_t kTypeGroup = 6;

inline constexpr std::uint32_t LOG_ABSOLUTE = 0x100;
inline constexpr std::uint32_t LOG_RELATIVE = 0x200;

}  // namespace vtsetup::install_log_format

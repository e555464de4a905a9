#pragma once

#include <cstdint>

#include "platform/user_interface.h"

namespace vtsetup::uninstaller {

// The uninstaller's own string table.
inline constexpr std::uint16_t MSG_TITLE = 6000;
inline constexpr std::uint16_t MSG_CONFIRM = 6001;         // program name
inline constexpr std::uint16_t MSG_LOG_DAMAGED = 6002;     // log path
inline constexpr std::uint16_t MSG_LOG_UNREADABLE = 6003;  // log path
inline constexpr std::uint16_t MSG_ALL_REMOVED = 6004;     // program name
inline constexpr std::uint16_t MSG_SOME_KEPT = 6005;       // program name, the list of what was kept
inline constexpr std::uint16_t MSG_KEPT_IN_USE = 6006;
inline constexpr std::uint16_t MSG_KEPT_NOT_EMPTY = 6007;
inline constexpr std::uint16_t MSG_KEPT_OUTSIDE = 6008;
inline constexpr std::uint16_t MSG_KEPT_FAILED = 6009;  // name, error number
inline constexpr std::uint16_t MSG_KEPT_OTHERS = 6010;  // count

inline constexpr std::uint32_t kConfirmStyle = platform::BOX_YES_NO | platform::BOX_ICON_QUESTION;
inline constexpr std::uint32_t kDamagedStyle = platform::BOX_YES_NO | platform::BOX_ICON_WARNING;
inline constexpr std::uint32_t kUnreadableStyle = platform::BOX_OK | platform::BOX_ICON_STOP;
inline constexpr std::uint32_t kAllRemovedStyle = platform::BOX_OK | platform::BOX_ICON_INFORMATION;
inline constexpr std::uint32_t kSomeKeptStyle = platform::BOX_OK | platform::BOX_ICON_WARNING;

}  // namespace vtsetup::uninstaller

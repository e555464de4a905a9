#pragma once

#include <cstdint>

namespace vtsetup::wizard {

// The wizard's pages by number, as the main sequence asks for them. Number 7 and every number not
// here make no page.
enum PageId : std::uint16_t {
  PAGE_WELCOME = 1,
  PAGE_LICENCE = 2,
  PAGE_INSTALL_TYPE = 3,
  PAGE_OPTIONS = 4,
  PAGE_FINISHED = 5,
  PAGE_FINISHED_RESTART = 6,
  PAGE_README = 8,
};

// What the user decided on a page: the command id of the control used, which is the dialog's standard
// id where they coincide.
inline constexpr std::uint16_t PAGE_UNDECIDED = 0;
inline constexpr std::uint16_t PAGE_NEXT = 1;
inline constexpr std::uint16_t PAGE_CANCEL = 2;
inline constexpr std::uint16_t PAGE_START = 6;
inline constexpr std::uint16_t PAGE_BACK = 7;

// Dialog templates of the pages and of the two progress dialogs.
inline constexpr std::uint16_t TEMPLATE_INSTALL_TYPE = 104;
inline constexpr std::uint16_t TEMPLATE_PREPARING = 107;
inline constexpr std::uint16_t TEMPLATE_COPYING = 108;
inline constexpr std::uint16_t TEMPLATE_WELCOME = 110;
inline constexpr std::uint16_t TEMPLATE_LICENCE = 111;
inline constexpr std::uint16_t TEMPLATE_OPTIONS = 112;
inline constexpr std::uint16_t TEMPLATE_FINISHED = 113;
inline constexpr std::uint16_t TEMPLATE_FINISHED_RESTART = 114;
inline constexpr std::uint16_t TEMPLATE_README = 115;

// The progress bar of both progress dialogs.
inline constexpr std::uint16_t CONTROL_PROGRESS_BAR = 1008;

}  // namespace vtsetup::wizard

#pragma once

#include <cstddef>
#include <functional>

namespace vtsetup::platform::host {

// The width that a terminal reports when it reports none, and that lines fit when there is no terminal.
inline constexpr std::size_t kDefaultTerminalColumns = 80;

// How many columns the person's terminal has now. Asked again at every redraw, so that a window made
// narrower while the files are copied is followed.
using ColumnCount = std::function<std::size_t()>;

// The width of the terminal behind a file descriptor; the default when it is none or tells 0.
std::size_t TerminalColumns(int descriptor);

}  // namespace vtsetup::platform::host

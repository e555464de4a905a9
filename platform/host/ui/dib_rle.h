#pragma once

#include <cstdint>
#include <span>

#include "platform/host/ui/framebuffer.h"

namespace vtsetup::platform::host {

// Paints a run-length encoded bitmap of `bits` (8 or 4) per colour index onto `picture`, whose rows
// run from the top while the stream's run from the bottom. `colours` has an entry for every index the
// bits can hold. Nothing past the stream is read; runs past a row's end are cut, a move past the last
// row ends the picture, and pixels the stream skips keep their colour.
void PaintRle(std::span<const std::uint8_t> stream, unsigned bits, std::span<const std::uint32_t> colours,
              Framebuffer& picture);

}  // namespace vtsetup::platform::host

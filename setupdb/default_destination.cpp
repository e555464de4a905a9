#include "setupdb/default_destination.h"

namespace vtsetup {

void ReduceDefaultDestination(TextString& def_dest_dir) {
  const std::int32_t at = def_dest_dir.Find(DEFAULT_PROGRAM_DIR_MARKER);
  if (at >= 0) {
    const auto start = static_cast<std::uint32_t>(at);
    constexpr std::uint32_t kRemoved = sizeof DEFAULT_PROGRAM_DIR_MARKER - 1 + 1;
    def_dest_dir = def_dest_dir.Left(start) + def_dest_dir.Mid(start + kRemoved);
  }
  if (def_dest_dir.At(0) == '\\') {
    def_dest_dir = def_dest_dir.Mid(1);
  }
}

}  // namespace vtsetup

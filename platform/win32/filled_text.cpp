#include "platform/win32/filled_text.h"

#include <algorithm>
#include <vector>

namespace vtsetup::platform::win32 {
namespace {

// A path's first try fits nearly always; a folder that grows between two calls gets a few more.
constexpr DWORD kFirstTrySize = MAX_PATH + 1;
constexpr int kTries = 4;

}  // namespace

TextString TextOfNeededSize(const std::function<DWORD(char* buffer, DWORD size)>& fill) {
  DWORD size = kFirstTrySize;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    std::vector<char> buffer(size);
    const DWORD answer = fill(buffer.data(), size);
    if (answer == 0) {
      return {};
    }
    if (answer < size) {
      return TextString(buffer.data(), answer);
    }
    // Some systems count the size without its zero; growing past the answer covers both readings.
    size = std::max(answer, size) + 1;
  }
  return {};
}

TextString TextOfGrowingBuffer(const std::function<DWORD(char* buffer, DWORD size)>& fill,
                               const std::function<DWORD(DWORD size)>& truncated_at, DWORD first_size,
                               DWORD largest_size) {
  if (largest_size == 0) {
    return {};
  }
  DWORD size = std::min(std::max<DWORD>(first_size, 1), largest_size);
  for (;;) {
    std::vector<char> buffer(size);
    const DWORD answer = fill(buffer.data(), size);
    if (answer == 0) {
      return {};
    }
    if (answer < truncated_at(size) || size >= largest_size) {
      // A cut text may lack its zero (GetModuleFileNameA on the older systems), so the answer's
      // length is taken, never more than the buffer.
      return TextString(buffer.data(), std::min(answer, size));
    }
    size = size > largest_size / 2 ? largest_size : size * 2;
  }
}

}  // namespace vtsetup::platform::win32

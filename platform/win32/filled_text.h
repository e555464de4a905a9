#pragma once

#include <windows.h>

#include <functional>

#include "base/text_string.h"

namespace vtsetup::platform::win32 {

// A text from the many Windows calls that fill a caller's buffer and, when it is too small, answer the
// size they need with its terminating zero (GetCurrentDirectoryA, GetFullPathNameA, GetTempPathA,
// GetShortPathNameA). `fill` gets the buffer and its size and gives the call's answer. Empty when the
// call fails (answers 0).
TextString TextOfNeededSize(const std::function<DWORD(char* buffer, DWORD size)>& fill);

// A text from the calls that fill the buffer as far as it goes and answer how much they wrote, so that
// only an answer that reaches `truncated_at(size)` tells of a cut (GetModuleFileNameA at size,
// GetPrivateProfileStringA at size - 1). The buffer starts at `first_size` and doubles up to
// `largest_size`; an answer at the largest size is taken as it is. Empty when the call answers 0.
TextString TextOfGrowingBuffer(const std::function<DWORD(char* buffer, DWORD size)>& fill,
                               const std::function<DWORD(DWORD size)>& truncated_at, DWORD first_size,
                               DWORD largest_size);

}  // namespace vtsetup::platform::win32

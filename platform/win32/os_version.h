#pragma once

#include <windows.h>

namespace vtsetup::platform::win32 {

// The system's version record as GetVersionExA fills it (the 148-byte form every system of ours
// knows); all zero when the call fails.
OSVERSIONINFOA SystemVersionRecord();

// Whether the system is of the NT family, whose security and file calls the 9x family only pretends
// to have.
bool IsNtFamily();

}  // namespace vtsetup::platform::win32

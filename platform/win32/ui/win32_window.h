#pragma once

#include <windows.h>

#include "platform/user_interface.h"

namespace vtsetup::platform::win32 {

// The seam's window is the system's window handle itself, so that what the program hands on (the
// DirectX setup's owner, for one) is a real window. These two are the only places that say so.
inline HWND ToHwnd(Window window) {
  return reinterpret_cast<HWND>(window);
}

inline Window ToWindow(HWND window) {
  return reinterpret_cast<Window>(window);
}

}  // namespace vtsetup::platform::win32

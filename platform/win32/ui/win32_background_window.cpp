// The background window: its class, its window procedure, what the program does with it, and the
// thread's message queue.
#include <windows.h>

#include "platform/win32/ui/paint_session.h"
#include "platform/win32/ui/win32_user_interface.h"
#include "platform/win32/ui/win32_window.h"

namespace vtsetup::platform::win32 {
namespace {

constexpr char kBackgroundClass[] = "VT_SETUP";
constexpr char kBackgroundTitle[] = "Vantor Setup";
constexpr WORD kProgramIcon = 106;

HINSTANCE ProgramModule() {
  return ::GetModuleHandleA(nullptr);
}

WindowEvents* EventsOf(HWND window) {
  return reinterpret_cast<WindowEvents*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  WindowEvents* events = EventsOf(window);
  if (events == nullptr) {
    return ::DefWindowProcA(window, message, wparam, lparam);
  }
  switch (message) {
    case WM_PAINT:
      PaintThrough(window, *events);
      return 0;
    case WM_CLOSE:
      events->OnClose(ToWindow(window));
      return 0;
    case WM_RBUTTONDOWN:
      events->OnRightButtonDown(ToWindow(window));
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

bool Win32UserInterface::RegisterBackgroundClass() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = BackgroundWindowProc;
  window_class.hInstance = ProgramModule();
  window_class.hIcon = ::LoadIconA(ProgramModule(), MAKEINTRESOURCEA(kProgramIcon));
  window_class.hbrBackground = static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
  window_class.lpszClassName = kBackgroundClass;
  return ::RegisterClassA(&window_class) != 0;
}

bool Win32UserInterface::UnregisterBackgroundClass() {
  return ::UnregisterClassA(kBackgroundClass, ProgramModule()) != 0;
}

Window Win32UserInterface::CreateBackgroundWindow(const PixelRect& place, WindowEvents& events) {
  return ToWindow(::CreateWindowExA(0, kBackgroundClass, kBackgroundTitle, WS_POPUP, place.left, place.top,
                                    place.width, place.height, nullptr, nullptr, ProgramModule(), &events));
}

void Win32UserInterface::ShowWindow(Window window, std::uint32_t show) {
  ::ShowWindow(ToHwnd(window), static_cast<int>(show));
}

void Win32UserInterface::Invalidate(Window window, const PixelRect* area, bool erase) {
  // Marking needs nothing of the window's thread: its next pump finds the paint waiting.
  if (area == nullptr) {
    ::InvalidateRect(ToHwnd(window), nullptr, erase);
    return;
  }
  const RECT rect{area->left, area->top, area->left + area->width, area->top + area->height};
  ::InvalidateRect(ToHwnd(window), &rect, erase);
}

void Win32UserInterface::Update(Window window) {
  // From another thread the paint message is sent, so the caller waits until the window's thread
  // has painted.
  ::UpdateWindow(ToHwnd(window));
}

PixelRect Win32UserInterface::WindowPlace(Window window) {
  RECT rect{};
  if (!::GetWindowRect(ToHwnd(window), &rect)) {
    return {};
  }
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32UserInterface::MoveWindow(Window window, std::int32_t left, std::int32_t top) {
  ::SetWindowPos(ToHwnd(window), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32UserInterface::DestroyWindow(Window window) {
  ::DestroyWindow(ToHwnd(window));
}

void Win32UserInterface::PostQuit(std::int32_t exit_code) {
  ::PostQuitMessage(exit_code);
}

bool Win32UserInterface::PumpOne(Window keyboard_dialog) {
  MSG message;
  if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    return false;
  }
  // A quit message goes the same way as any other: no loop of the program ends on it, and dispatching
  // it, for no window, does nothing.
  if (keyboard_dialog != nullptr && ::IsDialogMessageA(ToHwnd(keyboard_dialog), &message)) {
    return true;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
  return true;
}

}  // namespace vtsetup::platform::win32

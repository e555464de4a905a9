// Modeless dialogs from the program's templates, their dialog procedure, and the cursor of the dialog
// class.
#include <windows.h>

#include "platform/win32/ui/paint_session.h"
#include "platform/win32/ui/win32_user_interface.h"
#include "platform/win32/ui/win32_window.h"

namespace vtsetup::platform::win32 {
namespace {

// What the initialisation message carries to the procedure: the creation call waits for it, so both
// live on the creating call's stack.
struct DialogCreation {
  DialogEvents* events;
  void* parameter;
};

DialogEvents* EventsOf(HWND dialog) {
  return reinterpret_cast<DialogEvents*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

// Messages that come before the initialisation (the font, the sizes) find no events yet and go to the
// dialog manager, as do the ones after the events heard of the end.
INT_PTR CALLBACK EventsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    const auto* creation = reinterpret_cast<const DialogCreation*>(lparam);
    ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(creation->events));
    return creation->events->OnInit(ToWindow(dialog), creation->parameter) ? TRUE : FALSE;
  }
  DialogEvents* events = EventsOf(dialog);
  if (events == nullptr) {
    return FALSE;
  }
  switch (message) {
    case WM_COMMAND:
      events->OnCommand(ToWindow(dialog), LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_PAINT:
      PaintThrough(dialog, *events);
      return TRUE;
    case WM_DESTROY:
      events->OnDestroy(ToWindow(dialog));
      ::SetWindowLongPtrA(dialog, DWLP_USER, 0);
      // The dialog manager frees what it made for the dialog.
      return FALSE;
    default:
      return FALSE;
  }
}

// For a dialog that only shows, such as a progress dialog: everything is the dialog manager's.
INT_PTR CALLBACK SilentDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// An empty, hidden dialog, in memory: the smallest window of the dialog class. The template is three
// empty words (menu, class, title) behind the header, on a 4-byte boundary as the system wants it.
struct alignas(4) EmptyDialogTemplate {
  DLGTEMPLATE header{WS_POPUP, 0, 0, 0, 0, 0, 0};
  WORD menu = 0;
  WORD window_class = 0;
  WORD title = 0;
};

// A window of the dialog class while it lives, for what belongs to the class.
class ClassWindow {
 public:
  ClassWindow() {
    const EmptyDialogTemplate empty;
    window_ = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), &empty.header, nullptr,
                                           SilentDialogProc, 0);
  }
  ClassWindow(const ClassWindow&) = delete;
  ClassWindow& operator=(const ClassWindow&) = delete;
  ~ClassWindow() {
    if (window_ != nullptr) {
      ::DestroyWindow(window_);
    }
  }

  HWND Get() const { return window_; }

 private:
  HWND window_;
};

// The class's cursor becomes `cursor`; the one before it is the answer, 0 when no window of the class
// could be made and nothing changed.
std::uintptr_t SwapDialogClassCursor(HCURSOR cursor) {
  // Any window of the class reaches it. One made for the purpose serves whether or not a dialog is
  // open, and keeps the adapter from tracking its dialogs.
  const ClassWindow window;
  if (window.Get() == nullptr) {
    return 0;
  }
  return ::SetClassLongPtrA(window.Get(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
}

}  // namespace

Window Win32UserInterface::CreateDialogWindow(std::uint16_t template_id, Window owner, DialogEvents* events,
                                              void* parameter) {
  HINSTANCE program = ::GetModuleHandleA(nullptr);
  if (events == nullptr) {
    return ToWindow(
        ::CreateDialogParamA(program, MAKEINTRESOURCEA(template_id), ToHwnd(owner), SilentDialogProc, 0));
  }
  DialogCreation creation{events, parameter};
  return ToWindow(::CreateDialogParamA(program, MAKEINTRESOURCEA(template_id), ToHwnd(owner),
                                       EventsDialogProc, reinterpret_cast<LPARAM>(&creation)));
}

std::uintptr_t Win32UserInterface::SetDialogClassWaitCursor() {
  return SwapDialogClassCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void Win32UserInterface::RestoreDialogClassCursor(std::uintptr_t token) {
  // 0 is the answer of a change that never happened; the dialog class always has a cursor otherwise.
  if (token != 0) {
    SwapDialogClassCursor(reinterpret_cast<HCURSOR>(token));
  }
}

}  // namespace vtsetup::platform::win32

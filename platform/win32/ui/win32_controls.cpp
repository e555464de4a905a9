// The controls of dialogs, by id.
// The system's other headers need this one first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
// clang-format on

#include <string>

#include "platform/win32/ui/win32_user_interface.h"
#include "platform/win32/ui/win32_window.h"

namespace vtsetup::platform::win32 {
namespace {

// A missing control would answer every message with 0, which reads as a real answer (position 0, an
// empty range); the seam's empty answer is given instead.
LRESULT AskControl(Window dialog, std::uint16_t id, UINT message, WPARAM wparam, LPARAM lparam,
                   LRESULT when_missing) {
  HWND control = ::GetDlgItem(ToHwnd(dialog), id);
  if (control == nullptr) {
    return when_missing;
  }
  return ::SendMessageA(control, message, wparam, lparam);
}

void TellControl(Window dialog, std::uint16_t id, UINT message, WPARAM wparam, LPARAM lparam) {
  AskControl(dialog, id, message, wparam, lparam, 0);
}

std::int32_t PositionOrNone(LRESULT answer) {
  // LB_ERR and LB_ERRSPACE alike: no item.
  return answer < 0 ? -1 : static_cast<std::int32_t>(answer);
}

// The rich-edit control calls back with the system's calling convention; the seam's reader is a plain
// function, reached through this cookie.
struct RtfSource {
  StreamReader reader;
  void* cookie;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* delivered) {
  const auto* source = reinterpret_cast<const RtfSource*>(cookie);
  std::int32_t given = 0;
  const std::uint32_t stop = source->reader(source->cookie, buffer, requested, &given);
  *delivered = given;
  return stop;
}

}  // namespace

bool Win32UserInterface::HasControl(Window dialog, std::uint16_t id) {
  return ::GetDlgItem(ToHwnd(dialog), id) != nullptr;
}

void Win32UserInterface::SetText(Window dialog, std::uint16_t id, const char* text) {
  ::SetDlgItemTextA(ToHwnd(dialog), id, text != nullptr ? text : "");
}

TextString Win32UserInterface::Text(Window dialog, std::uint16_t id) {
  HWND control = ::GetDlgItem(ToHwnd(dialog), id);
  if (control == nullptr) {
    return {};
  }
  // The length may be more than the text (a rich edit counts its line ends as two); what was copied is
  // what counts.
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
  const UINT copied = ::GetDlgItemTextA(ToHwnd(dialog), id, text.data(), static_cast<int>(text.size()));
  return TextString(text.data(), copied);
}

void Win32UserInterface::Enable(Window dialog, std::uint16_t id, bool enabled) {
  if (HWND control = ::GetDlgItem(ToHwnd(dialog), id)) {
    ::EnableWindow(control, enabled);
  }
}

bool Win32UserInterface::IsEnabled(Window dialog, std::uint16_t id) {
  HWND control = ::GetDlgItem(ToHwnd(dialog), id);
  return control != nullptr && ::IsWindowEnabled(control);
}

void Win32UserInterface::Show(Window dialog, std::uint16_t id, bool visible) {
  if (HWND control = ::GetDlgItem(ToHwnd(dialog), id)) {
    ::ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
  }
}

void Win32UserInterface::SetCheck(Window dialog, std::uint16_t id, bool checked) {
  TellControl(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32UserInterface::IsChecked(Window dialog, std::uint16_t id) {
  return AskControl(dialog, id, BM_GETCHECK, 0, 0, BST_UNCHECKED) == BST_CHECKED;
}

// --- List boxes

void Win32UserInterface::SetListTabStops(Window dialog, std::uint16_t id, std::int32_t dialog_units) {
  INT stop = dialog_units;
  TellControl(dialog, id, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
}

std::int32_t Win32UserInterface::AddListItem(Window dialog, std::uint16_t id, const char* text) {
  return PositionOrNone(
      AskControl(dialog, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : ""), LB_ERR));
}

void Win32UserInterface::SetListItemData(Window dialog, std::uint16_t id, std::int32_t position,
                                         std::uint32_t data) {
  // The list box takes -1 for every item at once.
  if (position < 0) {
    return;
  }
  TellControl(dialog, id, LB_SETITEMDATA, static_cast<WPARAM>(position), static_cast<LPARAM>(data));
}

std::uint32_t Win32UserInterface::ListItemData(Window dialog, std::uint16_t id, std::int32_t position) {
  // LB_ERR, the answer for no such item, reads 0xFFFFFFFF.
  return static_cast<std::uint32_t>(
      AskControl(dialog, id, LB_GETITEMDATA, static_cast<WPARAM>(position), 0, LB_ERR));
}

void Win32UserInterface::SelectListItem(Window dialog, std::uint16_t id, std::int32_t position) {
  // A position past the items leaves none selected, as -1 does; the list box alone would keep the old one.
  const LRESULT count = AskControl(dialog, id, LB_GETCOUNT, 0, 0, 0);
  const bool listed = position >= 0 && position < count;
  TellControl(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(listed ? position : -1), 0);
}

std::int32_t Win32UserInterface::ListSelection(Window dialog, std::uint16_t id) {
  return PositionOrNone(AskControl(dialog, id, LB_GETCURSEL, 0, 0, LB_ERR));
}

std::int32_t Win32UserInterface::ListCount(Window dialog, std::uint16_t id) {
  return static_cast<std::int32_t>(AskControl(dialog, id, LB_GETCOUNT, 0, 0, 0));
}

void Win32UserInterface::ClearList(Window dialog, std::uint16_t id) {
  TellControl(dialog, id, LB_RESETCONTENT, 0, 0);
}

std::int32_t Win32UserInterface::FindListItem(Window dialog, std::uint16_t id, const char* prefix) {
  if (prefix == nullptr) {
    return -1;
  }
  // From -1 the search covers the whole list from its first item.
  return PositionOrNone(AskControl(dialog, id, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(prefix), LB_ERR));
}

// --- Progress bars and rich edits

std::uint32_t Win32UserInterface::SetProgressRange(Window dialog, std::uint16_t id, std::uint16_t maximum) {
  return static_cast<std::uint32_t>(AskControl(dialog, id, PBM_SETRANGE, 0, MAKELPARAM(0, maximum), 0));
}

void Win32UserInterface::SetProgressPosition(Window dialog, std::uint16_t id, std::uint16_t position) {
  TellControl(dialog, id, PBM_SETPOS, position, 0);
}

void Win32UserInterface::StreamRtf(Window dialog, std::uint16_t id, StreamReader reader, void* cookie) {
  if (reader == nullptr) {
    return;
  }
  RtfSource source{reader, cookie};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadRtf;
  TellControl(dialog, id, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

}  // namespace vtsetup::platform::win32

// What asks the user, the program's strings, file titles, cursors and the screen.
#include "platform/win32/ui/win32_user_interface.h"

// The system's other headers need this one first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <string>

#include "platform/win32/com/com_object.h"
#include "platform/win32/shell/shell_item_list.h"
#include "platform/win32/ui/win32_window.h"

namespace vtsetup::platform::win32 {
namespace {

// The longest entry of a string table is 65535 UTF-16 units, each of at most two bytes in an ANSI
// code page; a larger buffer would hold nothing more.
constexpr std::uint32_t kLargestStringBuffer = 2 * 65535 + 1;
constexpr WORD kFirstTitleBuffer = MAX_PATH;

}  // namespace

std::int32_t Win32UserInterface::ShowMessageBox(Window owner, const char* text, const char* title,
                                                std::uint32_t style) {
  // A box asked for by a worker runs its own loop on the worker; the owner's thread only has to keep
  // pumping, which every wait of the program does.
  return ::MessageBoxA(ToHwnd(owner), text != nullptr ? text : "", title != nullptr ? title : "", style);
}

std::optional<TextString> Win32UserInterface::BrowseForFolder(Window owner, const char* title) {
  const ComApartment apartment;
  char display_name[MAX_PATH] = "";
  BROWSEINFOA browse{};
  browse.hwndOwner = ToHwnd(owner);
  browse.pszDisplayName = display_name;
  browse.lpszTitle = title;
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  const ShellItemList chosen(::SHBrowseForFolderA(&browse));
  return FolderOfItem(chosen);
}

std::optional<TextString> Win32UserInterface::LoadStringResource(std::uint16_t id,
                                                                 std::uint32_t buffer_size) {
  if (buffer_size == 0) {
    return std::nullopt;
  }
  HINSTANCE program = ::GetModuleHandleA(nullptr);
  std::string buffer(std::min(buffer_size, kLargestStringBuffer), '\0');
  const int loaded = ::LoadStringA(program, id, buffer.data(), static_cast<int>(buffer.size()));
  if (loaded > 0) {
    return TextString(buffer.data(), static_cast<std::uint32_t>(loaded));
  }
  // A one-byte buffer holds only the zero, and the system then answers 0 as for a missing entry; a
  // buffer with room for one character tells the two apart.
  char probe[2] = "";
  if (buffer_size == 1 && ::LoadStringA(program, id, probe, sizeof probe) > 0) {
    return TextString();
  }
  return std::nullopt;
}

TextString Win32UserInterface::FileTitle(const char* path) {
  if (path == nullptr) {
    return {};
  }
  // The service answers a buffer that is too small with the size it needs.
  std::string title(kFirstTitleBuffer, '\0');
  short answer = ::GetFileTitleA(path, title.data(), static_cast<WORD>(title.size()));
  if (answer > 0) {
    title.assign(static_cast<std::size_t>(answer), '\0');
    answer = ::GetFileTitleA(path, title.data(), static_cast<WORD>(title.size()));
  }
  // A name the service refuses (a wildcard, a folder's trailing backslash) has no title.
  if (answer != 0) {
    return {};
  }
  return TextString(title.c_str());
}

std::uintptr_t Win32UserInterface::ShowWaitCursor() {
  return reinterpret_cast<std::uintptr_t>(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT)));
}

void Win32UserInterface::RestoreCursor(std::uintptr_t token) {
  ::SetCursor(reinterpret_cast<HCURSOR>(token));
}

ScreenSize Win32UserInterface::Screen() {
  return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

void Win32UserInterface::InitCommonControls() {
  ::InitCommonControls();
}

}  // namespace vtsetup::platform::win32

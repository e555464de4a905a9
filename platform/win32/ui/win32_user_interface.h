#pragma once

#include "platform/user_interface.h"

namespace vtsetup::platform::win32 {

// The seam's windows are the system's: the background window of its own class, modeless dialogs from
// the program's templates, their controls by id, and the thread's message queue.
//
// The calls that may come from a worker keep their promise as the system makes them, since a message
// sent to another thread's window is carried out by that thread while the sender waits:
// - SetText and the two progress calls send their messages to the control;
// - Update sends the paint message, so it returns once the window's thread has painted;
// - Invalidate and HasControl only mark or read the window manager's state, which any thread may, and
//   the window's thread finds the paint waiting at its next pump;
// - ShowMessageBox runs the box's own loop on the calling thread, as the system means it to; the owner,
//   disabled while the box is up, only needs its thread to keep pumping, which every wait does;
// - LoadStringResource and FileTitle need no window at all.
class Win32UserInterface final : public UserInterface {
 public:
  // Windows: win32_background_window.cpp.
  bool RegisterBackgroundClass() override;
  bool UnregisterBackgroundClass() override;
  Window CreateBackgroundWindow(const PixelRect& place, WindowEvents& events) override;
  void ShowWindow(Window window, std::uint32_t show) override;
  void Invalidate(Window window, const PixelRect* area, bool erase) override;
  void Update(Window window) override;
  PixelRect WindowPlace(Window window) override;
  void MoveWindow(Window window, std::int32_t left, std::int32_t top) override;
  void DestroyWindow(Window window) override;
  void PostQuit(std::int32_t exit_code) override;
  bool PumpOne(Window keyboard_dialog) override;

  // Dialogs: win32_dialogs.cpp.
  Window CreateDialogWindow(std::uint16_t template_id, Window owner, DialogEvents* events,
                            void* parameter) override;
  std::uintptr_t SetDialogClassWaitCursor() override;
  void RestoreDialogClassCursor(std::uintptr_t token) override;

  // Controls: win32_controls.cpp.
  bool HasControl(Window dialog, std::uint16_t id) override;
  void SetText(Window dialog, std::uint16_t id, const char* text) override;
  TextString Text(Window dialog, std::uint16_t id) override;
  void Enable(Window dialog, std::uint16_t id, bool enabled) override;
  bool IsEnabled(Window dialog, std::uint16_t id) override;
  void Show(Window dialog, std::uint16_t id, bool visible) override;
  void SetCheck(Window dialog, std::uint16_t id, bool checked) override;
  bool IsChecked(Window dialog, std::uint16_t id) override;
  void SetListTabStops(Window dialog, std::uint16_t id, std::int32_t dialog_units) override;
  std::int32_t AddListItem(Window dialog, std::uint16_t id, const char* text) override;
  void SetListItemData(Window dialog, std::uint16_t id, std::int32_t position, std::uint32_t data) override;
  std::uint32_t ListItemData(Window dialog, std::uint16_t id, std::int32_t position) override;
  void SelectListItem(Window dialog, std::uint16_t id, std::int32_t position) override;
  std::int32_t ListSelection(Window dialog, std::uint16_t id) override;
  std::int32_t ListCount(Window dialog, std::uint16_t id) override;
  void ClearList(Window dialog, std::uint16_t id) override;
  std::int32_t FindListItem(Window dialog, std::uint16_t id, const char* prefix) override;
  std::uint32_t SetProgressRange(Window dialog, std::uint16_t id, std::uint16_t maximum) override;
  void SetProgressPosition(Window dialog, std::uint16_t id, std::uint16_t position) override;
  void StreamRtf(Window dialog, std::uint16_t id, StreamReader reader, void* cookie) override;

  // The rest: win32_user_interface.cpp.
  std::int32_t ShowMessageBox(Window owner, const char* text, const char* title,
                              std::uint32_t style) override;
  std::optional<TextString> BrowseForFolder(Window owner, const char* title) override;
  std::optional<TextString> LoadStringResource(std::uint16_t id, std::uint32_t buffer_size) override;
  TextString FileTitle(const char* path) override;
  std::uintptr_t ShowWaitCursor() override;
  void RestoreCursor(std::uintptr_t token) override;
  ScreenSize Screen() override;
  void InitCommonControls() override;
};

}  // namespace vtsetup::platform::win32

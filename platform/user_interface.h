#pragma once

#include <cstdint>
#include <optional>

#include "base/text_string.h"
#include "platform/graphics.h"

namespace vtsetup::platform {

// A window of the user interface; what it is stays the platform's business. Null is no window.
struct WindowObject;
using Window = WindowObject*;

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Message-box styles and answers with the Windows numbers, which the callers combine and compare.
inline constexpr std::uint32_t BOX_OK = 0;
inline constexpr std::uint32_t BOX_OK_CANCEL = 1;
inline constexpr std::uint32_t BOX_ABORT_RETRY_IGNORE = 2;
inline constexpr std::uint32_t BOX_YES_NO = 4;
inline constexpr std::uint32_t BOX_RETRY_CANCEL = 5;
inline constexpr std::uint32_t BOX_ICON_STOP = 16;
inline constexpr std::uint32_t BOX_ICON_QUESTION = 32;
inline constexpr std::uint32_t BOX_ICON_WARNING = 48;
inline constexpr std::uint32_t BOX_ICON_INFORMATION = 64;

inline constexpr std::int32_t ANSWER_OK = 1;
inline constexpr std::int32_t ANSWER_CANCEL = 2;
inline constexpr std::int32_t ANSWER_ABORT = 3;
inline constexpr std::int32_t ANSWER_RETRY = 4;
inline constexpr std::int32_t ANSWER_IGNORE = 5;
inline constexpr std::int32_t ANSWER_YES = 6;
inline constexpr std::int32_t ANSWER_NO = 7;

// Notification codes of commands, with the Windows numbers.
inline constexpr std::uint16_t NOTIFY_CLICKED = 0;
inline constexpr std::uint16_t NOTIFY_SELECTION_CHANGED = 1;
inline constexpr std::uint16_t NOTIFY_FOCUS = 4;

// The command of the Escape key and of cancel buttons.
inline constexpr std::uint16_t COMMAND_CANCEL = 2;

// Show commands of a window.
inline constexpr std::uint32_t WINDOW_SHOW = 5;

// A dialog's handling of its messages: its dialog procedure. Called on the thread that pumps.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  // The dialog and its controls exist. True gives the focus to the first control that takes it, which
  // then sends its focus notification, as the dialog manager does.
  virtual bool OnInit(Window dialog, void* parameter) = 0;
  virtual void OnCommand(Window dialog, std::uint16_t id, std::uint16_t notification) = 0;
  virtual void OnPaint(Window /*dialog*/, Canvas& /*canvas*/) {}
  virtual void OnDestroy(Window /*dialog*/) {}
};

// A top-level window's handling of its messages: its window procedure.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void OnPaint(Window window, Canvas& canvas) = 0;
  virtual void OnClose(Window window) = 0;
  virtual void OnRightButtonDown(Window window) = 0;
};

// The stream-in callback of a rich-edit control: fills up to `requested` bytes, sets `delivered`, and
// returns 0 to go on or non-zero to end the transfer.
using StreamReader = std::uint32_t (*)(void* cookie, std::uint8_t* buffer, std::int32_t requested,
                                       std::int32_t* delivered);

// Windows, dialogs, their controls, the message queue and the boxes that ask the user. No name here is
// one that the Windows headers turn into a macro, so the win32 adapter can override every one. Everything
// belongs to the thread that pumps, except what is marked: those calls may come from a worker and
// are then carried out by the pumping thread while the caller waits, as a sent message would be.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // The background window's class: icon 106, the light-grey stock brush, no cursor. Unregistering is
  // refused while a window of the class exists.
  virtual bool RegisterBackgroundClass() = 0;
  virtual bool UnregisterBackgroundClass() = 0;
  // A borderless pop-up of the class, created hidden; null when it cannot be made.
  virtual Window CreateBackgroundWindow(const PixelRect& place, WindowEvents& events) = 0;
  virtual void ShowWindow(Window window, std::uint32_t show) = 0;
  // Marks the client area (all of it when `area` is null) for painting; may come from a worker.
  virtual void Invalidate(Window window, const PixelRect* area, bool erase) = 0;
  // Paints the marked area now; from a worker, waits until the pumping thread has painted.
  virtual void Update(Window window) = 0;
  // In screen pixels.
  virtual PixelRect WindowPlace(Window window) = 0;
  // Moves without changing the size or the z-order.
  virtual void MoveWindow(Window window, std::int32_t left, std::int32_t top) = 0;
  virtual void DestroyWindow(Window window) = 0;
  virtual void PostQuit(std::int32_t exit_code) = 0;
  // Names the picture file that a window now shows over its own (a billboard), for a system whose user
  // cannot see the pixels: a host run at a terminal prints the file's name when it changes. Null or
  // empty: the window shows none any more. Windows shows the picture itself, so nothing is needed
  // there. May come from a worker.
  virtual void DescribePicture(Window /*window*/, const char* /*path*/) {}

  // A modeless dialog from a template of the program, owned by `owner`; `events` may be null for a
  // dialog without a procedure of its own. Null when it cannot be made.
  virtual Window CreateDialogWindow(std::uint16_t template_id, Window owner, DialogEvents* events,
                                    void* parameter) = 0;

  // Controls of a dialog by id. A missing control makes a setter do nothing and a getter give its
  // empty answer.
  virtual bool HasControl(Window dialog, std::uint16_t id) = 0;                 // may come from a worker
  virtual void SetText(Window dialog, std::uint16_t id, const char* text) = 0;  // may come from a worker
  virtual TextString Text(Window dialog, std::uint16_t id) = 0;
  virtual void Enable(Window dialog, std::uint16_t id, bool enabled) = 0;
  virtual bool IsEnabled(Window dialog, std::uint16_t id) = 0;
  virtual void Show(Window dialog, std::uint16_t id, bool visible) = 0;
  virtual void SetCheck(Window dialog, std::uint16_t id, bool checked) = 0;
  virtual bool IsChecked(Window dialog, std::uint16_t id) = 0;

  // List boxes. Positions count from 0; -1 is none.
  virtual void SetListTabStops(Window dialog, std::uint16_t id, std::int32_t dialog_units) = 0;
  virtual std::int32_t AddListItem(Window dialog, std::uint16_t id, const char* text) = 0;
  virtual void SetListItemData(Window dialog, std::uint16_t id, std::int32_t position,
                               std::uint32_t data) = 0;
  virtual std::uint32_t ListItemData(Window dialog, std::uint16_t id, std::int32_t position) = 0;
  virtual void SelectListItem(Window dialog, std::uint16_t id, std::int32_t position) = 0;
  virtual std::int32_t ListSelection(Window dialog, std::uint16_t id) = 0;
  virtual std::int32_t ListCount(Window dialog, std::uint16_t id) = 0;
  virtual void ClearList(Window dialog, std::uint16_t id) = 0;
  // The first item from the start that begins with `prefix` without regard to case, or -1.
  virtual std::int32_t FindListItem(Window dialog, std::uint16_t id, const char* prefix) = 0;

  // Progress bars; both may come from a worker. The range call gives the previous range, low word
  // the minimum and high word the maximum.
  virtual std::uint32_t SetProgressRange(Window dialog, std::uint16_t id, std::uint16_t maximum) = 0;
  virtual void SetProgressPosition(Window dialog, std::uint16_t id, std::uint16_t position) = 0;

  // Fills a rich-edit control with RTF text delivered through `reader`.
  virtual void StreamRtf(Window dialog, std::uint16_t id, StreamReader reader, void* cookie) = 0;

  // Takes the next message of this thread's queue, offers it to the keyboard handling of
  // `keyboard_dialog` when one is given (Enter, Escape, tabbing), and dispatches it otherwise. False when
  // the queue was empty. Never waits.
  virtual bool PumpOne(Window keyboard_dialog) = 0;

  // Asks the user; blocks until answered. May come from a worker. Answers as above.
  virtual std::int32_t ShowMessageBox(Window owner, const char* text, const char* title,
                                      std::uint32_t style) = 0;
  // A file-system folder, or nothing when the user cancels.
  virtual std::optional<TextString> BrowseForFolder(Window owner, const char* title) = 0;

  // An entry of the program's string table cut to `buffer_size` - 1 characters; nothing when missing.
  // May come from a worker, and answers at once: it needs nothing of the pumping thread.
  virtual std::optional<TextString> LoadStringResource(std::uint16_t id, std::uint32_t buffer_size) = 0;
  // The name of a file as the system shows it, for captions. May come from a worker, and answers at once.
  virtual TextString FileTitle(const char* path) = 0;

  // The hour-glass and the cursor that was in force before it. `ShowWaitCursor` gives the previous
  // cursor's token, 0 when there was none; `RestoreCursor` brings a token back.
  virtual std::uintptr_t ShowWaitCursor() = 0;
  virtual void RestoreCursor(std::uintptr_t token) = 0;
  // The cursor of every dialog of the dialog class: the wait cursor while a progress dialog is open.
  virtual std::uintptr_t SetDialogClassWaitCursor() = 0;
  virtual void RestoreDialogClassCursor(std::uintptr_t token) = 0;

  virtual ScreenSize Screen() = 0;
  // Makes the common controls (the progress bar) available.
  virtual void InitCommonControls() = 0;
};

}  // namespace vtsetup::platform

#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/machine/machine.h"
#include "platform/host/ui/dialog_state.h"
#include "platform/host/ui/ui_driver.h"
#include "platform/user_interface.h"
#include "resources/resource_types.h"

namespace vtsetup::platform::host {
class Framebuffer;
}

namespace vtsetup::platform {

// A host window: the background window or a dialog with its controls, and what it still has to paint.
struct WindowObject {
  enum class Kind { Background, Dialog };

  Kind kind = Kind::Dialog;
  PixelRect place;
  bool visible = false;
  bool invalid = false;
  bool erase = false;
  Window owner = nullptr;
  WindowEvents* window_events = nullptr;
  DialogEvents* dialog_events = nullptr;
  host::DialogState dialog;
  std::unique_ptr<host::Framebuffer> pixels;  // the client area
  ~WindowObject();
  // The user's actions of the page's current visit, applied one per pump.
  std::deque<host::UserAction> pending;
  bool visited = false;
  std::uint32_t idle_pumps = 0;
};

}  // namespace vtsetup::platform

namespace vtsetup::platform::host {

// The resources that the user interface shows: the program's own, or a test's.
struct UiResources {
  std::span<const resources::DialogTemplate> dialogs;
  std::span<const resources::StringEntry> strings;
};

// The user interface of a host run. Windows are records; input comes from a driver (an answers file,
// a terminal, or nobody) whenever the pumping thread finds a page waiting with nothing else to do; the
// transcript records what was shown and answered, and the background window's picture can be written
// after each repaint.
//
// Threads: every window belongs to the thread that made this object. A call from another thread is
// queued and carried out by that thread's next pump while the caller waits, which is how a worker's
// progress messages and message boxes reach the windows on Windows too.
class HostUserInterface final : public UserInterface {
 public:
  HostUserInterface(const Machine& machine, UiResources resources, std::unique_ptr<UiDriver> driver,
                    std::string snapshot_folder);
  ~HostUserInterface() override;

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
  void DescribePicture(Window window, const char* path) override;

  Window CreateDialogWindow(std::uint16_t template_id, Window owner, DialogEvents* events,
                            void* parameter) override;
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

  bool PumpOne(Window keyboard_dialog) override;

  std::int32_t ShowMessageBox(Window owner, const char* text, const char* title,
                              std::uint32_t style) override;
  std::optional<TextString> BrowseForFolder(Window owner, const char* title) override;
  std::optional<TextString> LoadStringResource(std::uint16_t id, std::uint32_t buffer_size) override;
  TextString FileTitle(const char* path) override;

  std::uintptr_t ShowWaitCursor() override;
  void RestoreCursor(std::uintptr_t token) override;
  std::uintptr_t SetDialogClassWaitCursor() override;
  void RestoreDialogClassCursor(std::uintptr_t token) override;

  ScreenSize Screen() override;
  void InitCommonControls() override {}

  // The cursor now shown and the dialog class's cursor, for tests: 1 the arrow, 2 the hour-glass.
  std::uintptr_t CurrentCursor() const { return cursor_; }
  std::uintptr_t DialogClassCursor() const { return dialog_class_cursor_; }

 private:
  struct SentCall;

  bool OnUiThread() const { return std::this_thread::get_id() == ui_thread_; }
  // Runs `call` on the window thread: at once there, or through its queue, waiting for it.
  void OnWindowThread(const std::function<void()>& call);
  template <typename Result, typename Call>
  Result Ask(Call call) {
    Result result{};
    OnWindowThread([&] { result = call(); });
    return result;
  }

  WindowObject* Known(Window window) const;
  ControlState* ControlOf(Window dialog, std::uint16_t id) const;
  // A dialog without a procedure of its own: the progress dialog, which only shows.
  static bool IsProgressDialog(const WindowObject& window);
  // Tells the driver how a progress dialog looks now; other windows are no business of its.
  void ShowProgress(const WindowObject& dialog);
  void Paint(WindowObject& window);
  bool PaintOnePending();
  bool RunOneSentCall();
  bool ActOnPage(WindowObject& page);
  void Apply(WindowObject& page, const UserAction& action);
  void Command(WindowObject& dialog, std::uint16_t id, std::uint16_t notification);
  void SetFocusToFirstControl(WindowObject& dialog);
  PixelRect CentredPlace(const resources::DialogTemplate& dialog) const;
  void Record(const std::string& cp1250_line) const;
  void RecordUtf8(const std::string& line) const;

  const Machine& machine_;
  UiResources resources_;
  std::unique_ptr<UiDriver> driver_;
  std::string snapshot_folder_;
  std::uint32_t snapshots_written_ = 0;
  std::thread::id ui_thread_;

  std::vector<std::unique_ptr<WindowObject>> windows_;
  std::deque<std::int32_t> posted_quits_;
  bool class_registered_ = false;
  std::uintptr_t cursor_ = 1;
  std::uintptr_t dialog_class_cursor_ = 1;

  std::mutex sent_mutex_;
  std::deque<SentCall*> sent_;
};

}  // namespace vtsetup::platform::host

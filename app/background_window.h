#pragma once

#include <cstdint>
#include <optional>

#include "app/current_billboard.h"
#include "app/dib.h"
#include "platform/user_interface.h"

namespace vtsetup::app {

// Where the billboard's top-left corner lies in the background window.
inline constexpr std::int32_t kBillboardLeft = 50;
inline constexpr std::int32_t kBillboardTop = 40;

// The setup's one window of its own, the owner of every page, progress dialog and box, and the pump
// that keeps messages flowing: there is no blocking message loop anywhere, every wait of the main
// thread polls `PumpPendingMessages`. Lives from start-up to the end of the process.
class BackgroundWindow final : public platform::WindowEvents {
 public:
  BackgroundWindow(platform::UserInterface& ui, Dib& picture) : ui_(ui), picture_(picture) {}
  BackgroundWindow(const BackgroundWindow&) = delete;
  BackgroundWindow& operator=(const BackgroundWindow&) = delete;

  // Registers the class and shows the window centred on the screen at the given size (the picture's,
  // or the screen's when there is no picture). False when the class or the window cannot be made.
  bool CreateBackgroundWindow(std::int32_t width, std::int32_t height);
  // Always true: the system refuses while the window exists, which is always the case at the end of a
  // run, and the refusal does not matter.
  bool UnregisterBackgroundClass();
  // Null before the window exists.
  platform::Window Window() const { return window_; }

  // Dispatches every queued message of the thread, offering each to the current page's keyboard
  // handling first, and returns 0 as soon as the queue is empty. Never waits.
  std::int32_t PumpPendingMessages();
  // The page that gets Enter, Escape and tabbing; the page framework sets it, null for none.
  void SetCurrentPage(platform::Window page) { current_page_ = page; }

  // The hour-glass on, keeping the cursor from before; off, bringing that one back. A second "on"
  // keeps the first saved cursor; "off" without a wait cursor changes nothing.
  void SetWaitCursor(bool on);

  CurrentBillboard& Billboard() { return billboard_; }

  // The window procedure: the picture at (0, 0), the billboard over it; a close request and a right
  // click post quit messages that no loop of ours ends on.
  void OnPaint(platform::Window window, platform::Canvas& canvas) override;
  void OnClose(platform::Window window) override;
  void OnRightButtonDown(platform::Window window) override;

 private:
  platform::UserInterface& ui_;
  Dib& picture_;
  platform::Window window_ = nullptr;
  platform::Window current_page_ = nullptr;
  std::optional<std::uintptr_t> saved_cursor_;
  CurrentBillboard billboard_;
};

}  // namespace vtsetup::app

#include "platform/host/ui/host_user_interface.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <utility>

#include "platform/host/ui/framebuffer.h"
#include "platform/host/ui/framebuffer_canvas.h"
#include "platform/host/ui/progress_line.h"

namespace vtsetup::platform {

WindowObject::~WindowObject() = default;

}  // namespace vtsetup::platform

namespace vtsetup::platform::host {
namespace {

// The light-grey stock brush of the background window's class.
constexpr std::uint32_t kLightGrey = 0xC0C0C0;
// Dialog units of "MS Sans Serif" 8 at 96 dots per inch: 6 by 13 pixels per 4 by 8 units.
std::int32_t HorizontalPixels(std::int32_t units) {
  return units * 6 / 4;
}
std::int32_t VerticalPixels(std::int32_t units) {
  return units * 13 / 8;
}

}  // namespace

struct HostUserInterface::SentCall {
  std::function<void()> call;
  bool done = false;
  std::condition_variable finished;
};

HostUserInterface::HostUserInterface(const Machine& machine, UiResources resources,
                                     std::unique_ptr<UiDriver> driver, std::string snapshot_folder)
    : machine_(machine),
      resources_(resources),
      driver_(std::move(driver)),
      snapshot_folder_(std::move(snapshot_folder)),
      ui_thread_(std::this_thread::get_id()) {}

HostUserInterface::~HostUserInterface() = default;

void HostUserInterface::Record(const std::string& line) const {
  machine_.Record().Record(line);
}

void HostUserInterface::RecordUtf8(const std::string& line) const {
  machine_.Record().RecordUtf8(line);
}

void HostUserInterface::OnWindowThread(const std::function<void()>& call) {
  if (OnUiThread()) {
    call();
    return;
  }
  SentCall sent;
  sent.call = call;
  std::unique_lock lock(sent_mutex_);
  sent_.push_back(&sent);
  sent.finished.wait(lock, [&] { return sent.done; });
}

bool HostUserInterface::RunOneSentCall() {
  SentCall* sent = nullptr;
  {
    const std::lock_guard lock(sent_mutex_);
    if (sent_.empty()) {
      return false;
    }
    sent = sent_.front();
    sent_.pop_front();
  }
  sent->call();
  const std::lock_guard lock(sent_mutex_);
  sent->done = true;
  sent->finished.notify_all();
  return true;
}

WindowObject* HostUserInterface::Known(Window window) const {
  for (const auto& known : windows_) {
    if (known.get() == window) {
      return known.get();
    }
  }
  return nullptr;
}

ControlState* HostUserInterface::ControlOf(Window dialog, std::uint16_t id) const {
  WindowObject* window = Known(dialog);
  return window != nullptr && window->kind == WindowObject::Kind::Dialog ? window->dialog.Find(id) : nullptr;
}

// --- Windows

bool HostUserInterface::RegisterBackgroundClass() {
  return Ask<bool>([&] { return !std::exchange(class_registered_, true); });
}

bool HostUserInterface::UnregisterBackgroundClass() {
  return Ask<bool>([&] {
    const bool in_use = std::any_of(windows_.begin(), windows_.end(), [](const auto& window) {
      return window->kind == WindowObject::Kind::Background;
    });
    if (!class_registered_ || in_use) {
      return false;
    }
    class_registered_ = false;
    return true;
  });
}

Window HostUserInterface::CreateBackgroundWindow(const PixelRect& place, WindowEvents& events) {
  return Ask<Window>([&]() -> Window {
    if (!class_registered_ || place.width < 0 || place.height < 0) {
      return nullptr;
    }
    auto window = std::make_unique<WindowObject>();
    window->kind = WindowObject::Kind::Background;
    window->place = place;
    window->window_events = &events;
    window->pixels = std::make_unique<Framebuffer>(place.width, place.height);
    windows_.push_back(std::move(window));
    return windows_.back().get();
  });
}

void HostUserInterface::ShowWindow(Window window, std::uint32_t /*show*/) {
  OnWindowThread([&] {
    if (WindowObject* known = Known(window); known != nullptr && !known->visible) {
      known->visible = true;
      known->invalid = true;
      known->erase = true;
    }
  });
}

void HostUserInterface::Invalidate(Window window, const PixelRect* /*area*/, bool erase) {
  // The whole client area is repainted; painting a part would show the same picture.
  OnWindowThread([&] {
    if (WindowObject* known = Known(window)) {
      known->invalid = true;
      known->erase = known->erase || erase;
    }
  });
}

void HostUserInterface::Update(Window window) {
  OnWindowThread([&] {
    if (WindowObject* known = Known(window); known != nullptr && known->invalid && known->visible) {
      Paint(*known);
    }
  });
}

void HostUserInterface::Paint(WindowObject& window) {
  window.invalid = false;
  FramebufferCanvas canvas(*window.pixels);
  if (window.kind == WindowObject::Kind::Background) {
    if (window.erase) {
      window.pixels->Fill(kLightGrey);
    }
    window.erase = false;
    window.window_events->OnPaint(&window, canvas);
    if (!snapshot_folder_.empty()) {
      char name[32];
      std::snprintf(name, sizeof name, "/background-%04u.bmp", ++snapshots_written_);
      window.pixels->WriteBmp(snapshot_folder_ + name);
    }
    return;
  }
  window.erase = false;
  if (window.dialog_events != nullptr) {
    window.dialog_events->OnPaint(&window, canvas);
  }
}

bool HostUserInterface::PaintOnePending() {
  for (const auto& window : windows_) {
    if (window->invalid && window->visible) {
      Paint(*window);
      return true;
    }
  }
  return false;
}

PixelRect HostUserInterface::WindowPlace(Window window) {
  return Ask<PixelRect>([&] {
    const WindowObject* known = Known(window);
    return known != nullptr ? known->place : PixelRect();
  });
}

void HostUserInterface::MoveWindow(Window window, std::int32_t left, std::int32_t top) {
  OnWindowThread([&] {
    if (WindowObject* known = Known(window)) {
      known->place.left = left;
      known->place.top = top;
    }
  });
}

void HostUserInterface::DestroyWindow(Window window) {
  OnWindowThread([&] {
    WindowObject* known = Known(window);
    if (known == nullptr) {
      return;
    }
    // Windows that it owns go first, as on Windows.
    std::vector<Window> owned;
    for (const auto& other : windows_) {
      if (other->owner == known) {
        owned.push_back(other.get());
      }
    }
    for (Window child : owned) {
      DestroyWindow(child);
    }
    if (known->dialog_events != nullptr) {
      known->dialog_events->OnDestroy(known);
    } else if (IsProgressDialog(*known)) {
      Record("progress dialog " + std::to_string(known->dialog.source->id) + " closed");
      driver_->ProgressClosed();
    }
    windows_.erase(std::find_if(windows_.begin(), windows_.end(),
                                [&](const auto& entry) { return entry.get() == known; }));
  });
}

void HostUserInterface::PostQuit(std::int32_t exit_code) {
  OnWindowThread([&] { posted_quits_.push_back(exit_code); });
}

void HostUserInterface::DescribePicture(Window window, const char* path) {
  OnWindowThread([&] {
    const WindowObject* known = Known(window);
    if (known != nullptr && known->kind == WindowObject::Kind::Background) {
      driver_->PictureShown(path != nullptr && *path != '\0' ? FileTitle(path).Data() : "");
    }
  });
}

bool HostUserInterface::IsProgressDialog(const WindowObject& window) {
  return window.kind == WindowObject::Kind::Dialog && window.dialog_events == nullptr;
}

void HostUserInterface::ShowProgress(const WindowObject& dialog) {
  if (IsProgressDialog(dialog) && dialog.visible) {
    driver_->ProgressShown(ProgressOf(dialog.dialog));
  }
}

// --- Dialogs

PixelRect HostUserInterface::CentredPlace(const resources::DialogTemplate& dialog) const {
  PixelRect place;
  place.width = HorizontalPixels(dialog.width);
  place.height = VerticalPixels(dialog.height);
  place.left = (static_cast<std::int32_t>(machine_.Config().screen_width) - place.width) / 2;
  place.top = (static_cast<std::int32_t>(machine_.Config().screen_height) - place.height) / 2;
  return place;
}

Window HostUserInterface::CreateDialogWindow(std::uint16_t template_id, Window owner, DialogEvents* events,
                                             void* parameter) {
  return Ask<Window>([&]() -> Window {
    const auto found =
        std::find_if(resources_.dialogs.begin(), resources_.dialogs.end(),
                     [&](const resources::DialogTemplate& dialog) { return dialog.id == template_id; });
    if (found == resources_.dialogs.end()) {
      return nullptr;
    }
    auto made = std::make_unique<WindowObject>();
    made->kind = WindowObject::Kind::Dialog;
    made->owner = Known(owner);
    made->dialog_events = events;
    made->dialog = DialogState::FromTemplate(*found, events != nullptr ? PageOfTemplate(template_id) : 0);
    made->place = CentredPlace(*found);
    made->pixels = std::make_unique<Framebuffer>(made->place.width, made->place.height);
    made->visible = (found->style & resources::style::kVisible) != 0;
    made->invalid = made->visible;
    windows_.push_back(std::move(made));
    WindowObject& window = *windows_.back();
    if (events == nullptr) {
      Record("progress dialog " + std::to_string(template_id) + " opened");
      ShowProgress(window);
    } else if (events->OnInit(&window, parameter) && Known(&window) != nullptr) {
      SetFocusToFirstControl(window);
    }
    return Known(&window);
  });
}

void HostUserInterface::SetFocusToFirstControl(WindowObject& dialog) {
  for (const ControlState& control : dialog.dialog.controls) {
    if (control.TakesFocus()) {
      if (control.Notifies()) {
        Command(dialog, control.Id(), NOTIFY_FOCUS);
      }
      return;
    }
  }
}

void HostUserInterface::Command(WindowObject& dialog, std::uint16_t id, std::uint16_t notification) {
  if (dialog.dialog_events != nullptr) {
    dialog.dialog_events->OnCommand(&dialog, id, notification);
  }
}

std::optional<TextString> HostUserInterface::LoadStringResource(std::uint16_t id, std::uint32_t buffer_size) {
  for (const resources::StringEntry& entry : resources_.strings) {
    if (entry.id == id && buffer_size > 0) {
      return TextString(entry.text).Left(buffer_size - 1);
    }
  }
  return std::nullopt;
}

TextString HostUserInterface::FileTitle(const char* path) {
  TextString name;
  TextString extension;
  TextString(path).SplitPath(nullptr, nullptr, &name, &extension);
  return name + extension;
}

std::uintptr_t HostUserInterface::ShowWaitCursor() {
  return Ask<std::uintptr_t>([&] { return std::exchange(cursor_, 2); });
}

void HostUserInterface::RestoreCursor(std::uintptr_t token) {
  OnWindowThread([&] { cursor_ = token; });
}

std::uintptr_t HostUserInterface::SetDialogClassWaitCursor() {
  return Ask<std::uintptr_t>([&] { return std::exchange(dialog_class_cursor_, 2); });
}

void HostUserInterface::RestoreDialogClassCursor(std::uintptr_t token) {
  OnWindowThread([&] { dialog_class_cursor_ = token; });
}

ScreenSize HostUserInterface::Screen() {
  return {static_cast<std::int32_t>(machine_.Config().screen_width),
          static_cast<std::int32_t>(machine_.Config().screen_height)};
}

}  // namespace vtsetup::platform::host

#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/ui/win32_user_interface.h"
#include "platform/win32/ui/win32_window.h"
#include "tests/win32/win32_test_resources.h"

namespace vtsetup::platform::win32::testing {

// Pumps until `done` says so; false when `milliseconds` pass first.
template <typename Done>
bool PumpUntil(UserInterface& ui, Done done, DWORD milliseconds = 5000) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > milliseconds) {
      return false;
    }
    if (!ui.PumpOne(nullptr)) {
      ::Sleep(1);
    }
  }
  return true;
}

inline void PumpAll(UserInterface& ui) {
  while (ui.PumpOne(nullptr)) {
  }
}

// What a dialog procedure was told, in order.
class RecordingDialog final : public DialogEvents {
 public:
  struct Command {
    Window dialog;
    std::uint16_t id;
    std::uint16_t notification;
  };

  explicit RecordingDialog(bool init_answer = true) : init_answer_(init_answer) {}

  bool OnInit(Window dialog, void* parameter) override {
    init_dialogs.push_back(dialog);
    init_parameter = parameter;
    controls_at_init = ::GetDlgItem(ToHwnd(dialog), TEST_LIST) != nullptr;
    return init_answer_;
  }
  void OnCommand(Window dialog, std::uint16_t id, std::uint16_t notification) override {
    commands.push_back({dialog, id, notification});
  }
  void OnPaint(Window dialog, Canvas&) override { painted.push_back(dialog); }
  void OnDestroy(Window dialog) override { destroyed.push_back(dialog); }

  bool HasCommand(std::uint16_t id, std::uint16_t notification) const {
    for (const Command& command : commands) {
      if (command.id == id && command.notification == notification) {
        return true;
      }
    }
    return false;
  }

  std::vector<Window> init_dialogs;
  void* init_parameter = nullptr;
  bool controls_at_init = false;
  std::vector<Command> commands;
  std::vector<Window> painted;
  std::vector<Window> destroyed;

 private:
  bool init_answer_;
};

// A dialog of the test program's templates, destroyed at the end.
class OpenDialog {
 public:
  OpenDialog(UserInterface& ui, std::uint16_t template_id, DialogEvents* events, void* parameter = nullptr,
             Window owner = nullptr)
      : ui_(ui), window_(ui.CreateDialogWindow(template_id, owner, events, parameter)) {}
  OpenDialog(const OpenDialog&) = delete;
  OpenDialog& operator=(const OpenDialog&) = delete;
  ~OpenDialog() {
    if (window_ != nullptr && ::IsWindow(ToHwnd(window_))) {
      ui_.DestroyWindow(window_);
    }
  }

  Window Get() const { return window_; }
  HWND Hwnd() const { return ToHwnd(window_); }
  HWND Control(int id) const { return ::GetDlgItem(Hwnd(), id); }

 private:
  UserInterface& ui_;
  Window window_;
};

struct DialogSearch {
  const std::function<bool(HWND)>* matches;
  HWND found;
};

inline BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  char class_name[16] = "";
  ::GetClassNameA(window, class_name, sizeof class_name);
  if (std::string(class_name) == "#32770" && ::IsWindowVisible(window) && (*search->matches)(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Finds a shown top-level dialog-class window of `thread` that `matches`, for up to 10 seconds. A window
// that never comes would leave the box it stands for waiting for a person, so the test program ends then.
inline HWND AwaitThreadDialog(DWORD thread, const std::function<bool(HWND)>& matches, const char* what) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    DialogSearch search{&matches, nullptr};
    ::EnumThreadWindows(thread, MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      return search.found;
    }
    ::Sleep(10);
  }
  std::fprintf(stderr, "\n%s never appeared; ending rather than waiting for a person\n", what);
  std::_Exit(EXIT_FAILURE);
}

inline std::string WindowText(HWND window) {
  char text[512] = "";
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace vtsetup::platform::win32::testing

// Shows one page of the program's own dialog templates through the system's user interface and exits
// with the page's result, so that a test can answer it from an answers file or at a terminal:
//
//   ui_probe TEMPLATE
//
// The page stores the command ids 1, 2, 6 and 7 as its result, as the wizard's pages do.
//
//   ui_probe copy
//
// shows the copying dialog as a run does: a worker names the files and moves the bar, the slideshow
// names its picture, and the worker asks a question in between; exits with the answer.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/system.h"

namespace {

using vtsetup::platform::UserInterface;
using vtsetup::platform::Window;

// A name longer than any terminal's line, in code page 1250.
constexpr const char* kLongFileName =
    "bardzo_d\xB3uga_nazwa_pliku_kt\xF3ra_nie_mie\x9C"
    "ci_si\xEA_w_\xBF"
    "adnym_wierszu_terminala_"
    "nawet_szerokiego_koniec.map";

class Unpainted final : public vtsetup::platform::WindowEvents {
 public:
  void OnPaint(Window, vtsetup::platform::Canvas&) override {}
  void OnClose(Window) override {}
  void OnRightButtonDown(Window) override {}
};

int ShowCopy(UserInterface& ui) {
  Unpainted unpainted;
  ui.RegisterBackgroundClass();
  const Window background = ui.CreateBackgroundWindow({0, 0, 64, 48}, unpainted);
  const Window progress = ui.CreateDialogWindow(108, background, nullptr, nullptr);
  if (background == nullptr || progress == nullptr) {
    std::fprintf(stderr, "ui_probe: no copying dialog\n");
    return 65;
  }
  ui.SetProgressRange(progress, 1008, 100);
  std::atomic<bool> finished = false;
  std::int32_t answer = 0;
  std::thread worker([&] {
    ui.SetText(progress, 1027, "level1.map");
    ui.SetProgressPosition(progress, 1008, 30);
    ui.DescribePicture(background, "D:\\BITMAPS\\splash001.bmp");
    ui.SetText(progress, 1027, kLongFileName);
    ui.SetProgressPosition(progress, 1008, 60);
    answer = ui.ShowMessageBox(background, "Plik ju\xBF istnieje.", "Vantor Setup", 20);
    ui.SetProgressPosition(progress, 1008, 100);
    finished = true;
  });
  while (!finished) {
    if (!ui.PumpOne(nullptr)) {
      std::this_thread::yield();
    }
  }
  worker.join();
  ui.DestroyWindow(progress);
  ui.DestroyWindow(background);
  return answer;
}

class ResultPage final : public vtsetup::platform::DialogEvents {
 public:
  bool OnInit(vtsetup::platform::Window, void*) override { return true; }
  void OnCommand(vtsetup::platform::Window, std::uint16_t id, std::uint16_t) override {
    if (id == 1 || id == 2 || id == 6 || id == 7) {
      result = id;
    }
  }
  std::uint16_t result = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ui_probe TEMPLATE | copy\n");
    return 64;
  }
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  vtsetup::platform::UserInterface* const shown = system.Ui();
  if (shown == nullptr) {
    std::fprintf(stderr, "ui_probe: %s\n", system.UiProblem().c_str());
    system.Programs().ReportExit(vtsetup::platform::EXIT_SYSTEM_UNUSABLE);
    return vtsetup::platform::EXIT_SYSTEM_UNUSABLE;
  }
  UserInterface& ui = *shown;
  if (std::string_view(argv[1]) == "copy") {
    const int answer = ShowCopy(ui);
    system.Programs().ReportExit(answer);
    return answer;
  }
  ResultPage page;
  const auto template_id = static_cast<std::uint16_t>(std::atoi(argv[1]));
  const Window window = ui.CreateDialogWindow(template_id, nullptr, &page, nullptr);
  if (window == nullptr) {
    std::fprintf(stderr, "ui_probe: no template %u\n", template_id);
    return 65;
  }
  while (page.result == 0) {
    ui.PumpOne(window);
  }
  ui.DestroyWindow(window);
  std::printf("result %u\n", page.result);
  system.Programs().ReportExit(page.result);
  return page.result;
}

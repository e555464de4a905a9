// Shows one page of the program's own dialog templates through the system's user interface and exits
// with the page's result, so that a test can answer it from an answers file or at a terminal:
//
//   ui_probe TEMPLATE
//
// The page stores the command ids 1, 2, 6 and 7 as its result, as the wizard's pages do.
#include <cstdio>
#include <cstdlib>

#include "platform/system.h"

namespace {

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
    std::fprintf(stderr, "usage: ui_probe TEMPLATE\n");
    return 64;
  }
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  vtsetup::platform::UserInterface* const shown = system.Ui();
  if (shown == nullptr) {
    std::fprintf(stderr, "ui_probe: %s\n", system.UiProblem().c_str());
    system.Programs().ReportExit(vtsetup::platform::EXIT_SYSTEM_UNUSABLE);
    return vtsetup::platform::EXIT_SYSTEM_UNUSABLE;
  }
  vtsetup::platform::UserInterface& ui = *shown;
  ResultPage page;
  const auto template_id = static_cast<std::uint16_t>(std::atoi(argv[1]));
  const vtsetup::platform::Window window = ui.CreateDialogWindow(template_id, nullptr, &page, nullptr);
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

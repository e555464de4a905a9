#pragma once

#include "platform/user_interface.h"
#include "wizard/page_result.h"

namespace vtsetup::wizard {

// The last page, in both its forms: finished (exit, or start the game) and finished with a restart
// needed (exit, or restart Windows). It only reports which button was used.
class FinishedPage final : public platform::DialogEvents {
 public:
  explicit FinishedPage(PageResult& result) : result_(result) {}

  bool OnInit(platform::Window, void*) override { return true; }
  void OnCommand(platform::Window, std::uint16_t id, std::uint16_t) override { result_.StoreCommand(id); }

 private:
  PageResult& result_;
};

}  // namespace vtsetup::wizard

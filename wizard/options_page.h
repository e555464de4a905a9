#pragma once

#include <cstdint>
#include <optional>

#include "platform/user_interface.h"
#include "setupdb/setup_info.h"
#include "wizard/page_result.h"
#include "wizard/page_services.h"
#include "wizard/setup_choices.h"

namespace vtsetup::wizard {

// The check boxes of the options page.
inline constexpr std::uint16_t CONTROL_INSTALL_DIRECTX = 1025;
inline constexpr std::uint16_t CONTROL_CREATE_GROUP = 1026;
inline constexpr std::uint16_t CONTROL_SHOW_README = 1027;
inline constexpr std::uint16_t CONTROL_INSTALL_GAME = 1028;

// Page 4, the last before the copy: the user may switch off installing the game (offered only over
// an installed copy), the DirectX setup, the Start-menu group and the readme. "&Dalej >>" writes the
// boxes into the database; every other way out leaves it as it was.
//
// Lives for the whole run, because what the script offered is taken at the first showing and kept: a
// box that the script switched off can never be switched on, even after the database's field changed.
class OptionsPage final : public platform::DialogEvents {
 public:
  OptionsPage(const PageServices& services, SetupChoices& choices, PageResult& result)
      : services_(services), choices_(choices), result_(result) {}

  bool OnInit(platform::Window dialog, void* parameter) override;
  void OnCommand(platform::Window dialog, std::uint16_t id, std::uint16_t notification) override;
  void OnDestroy(platform::Window) override { info_ = nullptr; }

 private:
  void SaveChoices(platform::Window dialog);

  PageServices services_;
  SetupChoices& choices_;
  PageResult& result_;
  SetupInfo* info_ = nullptr;
  std::optional<bool> directx_offered_;
  std::optional<bool> readme_offered_;
};

}  // namespace vtsetup::wizard

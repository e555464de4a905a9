#pragma once

#include <cstdint>
#include <memory>

#include "app/dib.h"
#include "platform/user_interface.h"
#include "wizard/page_result.h"
#include "wizard/page_services.h"
#include "wizard/setup_choices.h"

namespace vtsetup::wizard {

// The welcome picture's file in the bitmap folder, and where its top-left corner lies in the page.
inline constexpr const char* kWelcomePictureName = "dialog.bmp";
inline constexpr std::int32_t kWelcomePictureLeft = 122;
inline constexpr std::int32_t kWelcomePictureTop = 11;

// Page 1: the welcome picture, and a start button that is usable only over an installed copy of the
// game, whose path it leaves in the choices for the main sequence to start. The picture is loaded on
// every showing and let go when the page goes.
class WelcomePage final : public platform::DialogEvents {
 public:
  WelcomePage(const PageServices& services, SetupChoices& choices, PageResult& result)
      : services_(services), choices_(choices), result_(result) {}

  bool OnInit(platform::Window dialog, void* parameter) override;
  void OnCommand(platform::Window, std::uint16_t id, std::uint16_t) override { result_.StoreCommand(id); }
  void OnPaint(platform::Window dialog, platform::Canvas& canvas) override;
  void OnDestroy(platform::Window) override { picture_.reset(); }

 private:
  PageServices services_;
  SetupChoices& choices_;
  PageResult& result_;
  std::unique_ptr<app::Dib> picture_;
};

}  // namespace vtsetup::wizard

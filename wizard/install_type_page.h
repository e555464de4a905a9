#pragma once

#include <cstdint>

#include "base/text_string.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"
#include "wizard/drive_table.h"
#include "wizard/page_result.h"
#include "wizard/page_services.h"
#include "wizard/setup_choices.h"

namespace vtsetup::wizard {

// The controls of the installation type page.
inline constexpr std::uint16_t CONTROL_TYPE_LIST = 1000;
inline constexpr std::uint16_t CONTROL_DRIVE_LIST = 1001;
inline constexpr std::uint16_t CONTROL_DESTINATION = 1002;
inline constexpr std::uint16_t CONTROL_BROWSE = 1009;
inline constexpr std::uint16_t CONTROL_TYPE_DESCRIPTION = 1013;
// Where the bracketed sizes of both lists start, in dialog units, so that they line up in a column.
inline constexpr std::int32_t kSizeColumnTabStop = 85;

// Page 3: the installation type, the drive and the destination folder. It offers only the drives on
// which the selected type fits, so "next" needs no further check; when it reports next, the chosen
// type and the destination base are already in the setup's choices.
class InstallTypePage final : public platform::DialogEvents {
 public:
  InstallTypePage(const PageServices& services, const DriveTable& drives, SetupChoices& choices,
                  PageResult& result)
      : services_(services), drives_(drives), choices_(choices), result_(result) {}

  // `parameter` is the setup database.
  bool OnInit(platform::Window dialog, void* parameter) override;
  void OnCommand(platform::Window dialog, std::uint16_t id, std::uint16_t notification) override;
  void OnDestroy(platform::Window dialog) override;

 private:
  void FillTypeList(platform::Window dialog);
  // The type under the type list's selection, or null.
  const PackInfo* SelectedType(platform::Window dialog);
  // The drives on which the selected type fits, keeping the drive selected before where it still fits
  // and otherwise selecting the one with the most room. True when some drive fits.
  bool FillDriveList(platform::Window dialog);
  // The destination base moves to the root of the selected drive unless it already lies on it. True
  // when it moved.
  bool FollowDriveList(platform::Window dialog);
  void ShowDestination(platform::Window dialog);
  void EnableNext(platform::Window dialog);
  void OnTypeList(platform::Window dialog, std::uint16_t notification);
  void OnDriveList(platform::Window dialog, std::uint16_t notification);
  void Browse(platform::Window dialog);

  PageServices services_;
  const DriveTable& drives_;
  SetupChoices& choices_;
  PageResult& result_;

  // While the page is shown.
  const SetupInfo* info_ = nullptr;
  TextString language_folder_;
};

}  // namespace vtsetup::wizard

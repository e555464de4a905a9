#pragma once

#include <cstdint>
#include <memory>

#include "app/setup_run.h"
#include "base/text_string.h"
#include "integration/install_log.h"
#include "setupdb/setup_info.h"
#include "wizard/finished_page.h"
#include "wizard/install_type_page.h"
#include "wizard/options_page.h"
#include "wizard/rich_text_page.h"
#include "wizard/welcome_page.h"

namespace vtsetup::app {

// Exit codes of the setup program that the main sequence itself gives; registration hands on its own.
inline constexpr std::int32_t EXIT_DONE = 0;
inline constexpr std::int32_t EXIT_GAME_RUNNING = 1;
inline constexpr std::int32_t EXIT_FAILED = 9;
inline constexpr std::int32_t EXIT_CANCELLED = 10;

// The messages of the main sequence.
inline constexpr std::uint16_t MESSAGE_RESTART_REFUSED = 5013;
inline constexpr std::uint16_t MESSAGE_LOG_NOT_CREATED = 5014;
inline constexpr std::uint16_t MESSAGE_DESTINATION_NOT_CREATED = 5015;
inline constexpr std::uint16_t MESSAGE_COPY_FAILED = 5017;
inline constexpr std::uint16_t MESSAGE_GAME_NOT_STARTED = 5018;

// One run of the setup from start-up to the final page, on the main thread: every wait polls and
// pumps, so the windows stay alive while the user decides and while the workers copy.
class MainSequence {
 public:
  explicit MainSequence(SetupRun& run);
  // A page left shown by a cancelled run goes before the procedures it calls.
  ~MainSequence() { run_.pages.DiscardPage(); }
  MainSequence(const MainSequence&) = delete;
  MainSequence& operator=(const MainSequence&) = delete;

  // The exit code of the run.
  std::int32_t RunSetup();

  // Pages 1 to 4 with back and next; false when the run must end with EXIT_CANCELLED (cancel, the
  // installed game started, or a page that cannot be shown). On true the destination folder and the
  // chosen type are set.
  bool RunWizard(SetupInfo& info, TextString& destination_folder, std::uint32_t& chosen_type);
  // Removes the temporary files and gives the window class back (which the system refuses while the
  // window lives). Always true.
  bool CleanUpSetup(SetupInfo& info, const TextString& destination_folder, const TextString& temp_folder);

 private:
  // Shows a page and polls until the user decides, then once more; the last poll's result. A page
  // that cannot be shown counts as cancel, since nobody could ever decide on it.
  std::uint16_t DecidePage(std::uint16_t page, void* parameter);
  // The copy phase: destination folder, log, workers, and the roll-back of a failed copy. EXIT_DONE
  // or the code that ends the run.
  std::int32_t InstallFiles(SetupInfo& info, const TextString& destination_folder,
                            const TextString& temp_folder, std::uint32_t chosen_type);
  // Pauses without pumping, as the run does before the first page.
  void PauseOneSecond();
  // The final page and what its start button asks for.
  std::int32_t Finish(const SetupInfo& info, const TextString& destination_folder, std::uint32_t chosen_type,
                      bool restart);

  SetupRun& run_;
  InstallLog log_;
  wizard::WelcomePage welcome_;
  wizard::RichTextPage licence_;
  wizard::InstallTypePage install_type_;
  wizard::OptionsPage options_;
  wizard::RichTextPage readme_;
  wizard::FinishedPage finished_;
};

}  // namespace vtsetup::app

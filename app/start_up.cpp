#include "app/start_up.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>

#include "engine/temp_files.h"
#include "integration/windows_keys.h"
#include "setupdb/default_destination.h"
#include "setupdb/setup_file.h"
#include "wizard/page_ids.h"

namespace vtsetup::app {
namespace {

constexpr char kSetupFileName[] = "SETUP.INF";
constexpr std::uint16_t MSG_SETUP_FILE_MISSING = 5000;
constexpr std::uint16_t MSG_SETUP_FILE_DAMAGED = 5001;
constexpr std::uint16_t STR_DEFAULT_PROGRAM_FILES = 5002;
constexpr std::uint16_t MSG_NO_DRIVE_WITH_ROOM = 5019;
constexpr std::uint16_t kProgressMaximum = 100;

// What the string table holds for the program-files folder, for a table that lacks it.
constexpr char kFallbackProgramFiles[] = "c:\\Programme";
constexpr std::uint32_t kFolderBufferSize = 200;

// False after telling the user why the database cannot be used.
bool ReadDatabase(SetupRun& run, std::unique_ptr<SetupInfo>& database) {
  const SetupFileResult read =
      ReadSetupFile(run.system.Files(), kSetupFileName, database, [&run](std::uint32_t percent) {
        run.progress.SetProgressPos(
            static_cast<std::uint16_t>(std::min<std::uint32_t>(percent, kProgressMaximum)));
      });
  if (read == SETUP_FILE_OK) {
    return true;
  }
  // Anything but a missing file means the file is there but cannot be trusted.
  run.messages.ShowStringMessage(
      read == SETUP_FILE_CANNOT_OPEN ? MSG_SETUP_FILE_MISSING : MSG_SETUP_FILE_DAMAGED,
      platform::BOX_OK | platform::BOX_ICON_STOP);
  return false;
}

void AppendFolder(TextString& folder, const TextString& below) {
  folder.EnsureTrailingBackslash();
  folder.Append(below);
  folder.EnsureTrailingBackslash();
}

// A picture copied with the temporary files is taken before the one on the medium; the open only asks
// whether the file is there and readable.
TextString BackgroundPicturePath(platform::FileSystem& files, const SetupInfo& info,
                                 const TextString& source_folder, const TextString& temp_folder,
                                 const TextString& name) {
  TextString in_temp(temp_folder);
  in_temp.Append(name);
  if (files
          .Open(in_temp.Data(), platform::FileAccess::Read, platform::SHARE_NONE,
                platform::FileCreation::OpenExisting)
          .file != nullptr) {
    return in_temp;
  }
  // The script ends a BitmapDir in its backslash.
  TextString on_medium(source_folder);
  on_medium.Append(info.Options.BitmapDir);
  on_medium.Append(name);
  return on_medium;
}

// The screen's size without a picture; the picture's with one, 0 by 0 when it could not be loaded.
platform::ScreenSize LoadBackgroundPicture(SetupRun& run, const SetupInfo& info,
                                           const TextString& temp_folder, platform::ScreenSize screen) {
  const TextString name = ChooseBackgroundName(info, screen.width, screen.height);
  if (name.IsEmpty()) {
    return screen;
  }
  const TextString path =
      BackgroundPicturePath(run.system.Files(), info, run.choices.source_folder, temp_folder, name);
  run.background_picture.LoadDib(path.Data());
  // A picture stored top-down has a negative height in its header; the window takes its magnitude.
  return {run.background_picture.DibWidth(), std::abs(run.background_picture.DibHeight())};
}

// Strictly more free bytes than the pack needs for the drive's clusters: stricter than the type page,
// so that the warning errs on the side of telling the user.
bool SomePackFitsSomeDrive(const SetupInfo& info, const wizard::DriveTable& drives) {
  for (const PackInfo& pack : info.Packs) {
    for (const wizard::DriveInfo& drive : drives.Listed()) {
      if (drive.free_bytes > pack.PackSizes[wizard::ClusterSizeIndex(drive.cluster_size)]) {
        return true;
      }
    }
  }
  return false;
}

// The exact byte total of the smallest type; without types the largest 32-bit count.
std::uint32_t SmallestPackBytes(const SetupInfo& info) {
  std::uint32_t smallest = std::numeric_limits<std::uint32_t>::max();
  for (const PackInfo& pack : info.Packs) {
    smallest = std::min(smallest, pack.PackSizes[0]);
  }
  return smallest;
}

// False when the user declined to go on without room.
bool UserGoesOnWithoutRoom(SetupRun& run, const SetupInfo& info) {
  if (SomePackFitsSomeDrive(info, run.drives)) {
    return true;
  }
  const auto megabytes = static_cast<float>(SmallestPackBytes(info) / wizard::kBytesPerMegabyte);
  return run.messages.ShowNumberMessage(MSG_NO_DRIVE_WITH_ROOM, megabytes,
                                        platform::BOX_OK_CANCEL | platform::BOX_ICON_INFORMATION) ==
         platform::ANSWER_OK;
}

TextString DefaultProgramFiles(platform::UserInterface& ui) {
  std::optional<TextString> entry = ui.LoadStringResource(STR_DEFAULT_PROGRAM_FILES, kFolderBufferSize);
  return entry && !entry->IsEmpty() ? *entry : TextString(kFallbackProgramFiles);
}

// The computer's program-files folder. An empty value would put the game below the current folder,
// the medium's, so it counts as missing.
TextString ProgramFilesFolder(platform::Registry& registry, platform::UserInterface& ui) {
  std::optional<TextString> registered = windows_keys::RegisteredProgramFilesFolder(registry);
  return registered ? std::move(*registered) : DefaultProgramFiles(ui);
}

}  // namespace

TextString ChooseBackgroundName(const SetupInfo& info, std::int32_t screen_width,
                                std::int32_t screen_height) {
  const SetupBitmaps& pictures = info.Bitmaps;
  // Smallest first, so that a class is the index of its own picture.
  const std::array<const TextString*, 4> by_class = {&pictures.Background640x480, &pictures.Background800x600,
                                                     &pictures.Background1024x768,
                                                     &pictures.Background1280x1024};
  // Compared unsigned, as the system reports the sizes.
  const auto fits = [&](std::uint32_t width, std::uint32_t height) {
    return static_cast<std::uint32_t>(screen_width) >= width &&
           static_cast<std::uint32_t>(screen_height) >= height;
  };
  std::size_t screen_class = 0;
  if (fits(1280, 1024)) {
    screen_class = 3;
  } else if (fits(1024, 768)) {
    screen_class = 2;
  } else if (fits(800, 600)) {
    screen_class = 1;
  }
  for (std::size_t tried = screen_class + 1; tried-- > 0;) {
    if (!by_class[tried]->IsEmpty()) {
      return *by_class[tried];
    }
  }
  return TextString();
}

bool PrepareSetup(SetupRun& run, std::unique_ptr<SetupInfo>& database, TextString& temp_folder) {
  run.progress.OpenProgressDialog(wizard::TEMPLATE_PREPARING, false);
  run.progress.SetProgressRange(kProgressMaximum);
  run.ui.InitCommonControls();
  run.background.SetCurrentPage(nullptr);
  run.choices.destination_base = TextString();
  const platform::ScreenSize screen = run.ui.Screen();

  // The boxes of a failed read have no owner yet and leave the preparing dialog open: the run ends.
  if (!ReadDatabase(run, database)) {
    return false;
  }
  run.progress.SetProgressPos(0);
  SetupInfo& info = *database;
  AppendFolder(run.choices.source_folder, info.Options.RelativeDir);
  if (!info.TempFiles.empty()) {
    // A temporary file that did not come is missed only by whoever needs it later.
    CopyTempFiles(run.system.Files(), run.ui, info, run.choices.source_folder.Data(), temp_folder,
                  run.progress.Window(), wizard::CONTROL_PROGRESS_BAR);
  }
  run.drives = wizard::ScanDrives(run.system.Disks());
  const platform::ScreenSize window = LoadBackgroundPicture(run, info, temp_folder, screen);
  run.progress.CloseProgressDialog();

  if (!run.background.CreateBackgroundWindow(window.width, window.height)) {
    run.background.UnregisterBackgroundClass();
    return false;
  }
  run.messages.SetOwner(run.background.Window());
  if (!UserGoesOnWithoutRoom(run, info)) {
    return false;
  }

  run.choices.destination_base = ProgramFilesFolder(run.system.LocalMachine(), run.ui);
  // The pages show and the copy uses the reduced text, so the database keeps the same.
  ReduceDefaultDestination(info.DefDestDir);
  run.choices.destination_subfolder = info.DefDestDir;
  run.background.PumpPendingMessages();
  return true;
}

}  // namespace vtsetup::app

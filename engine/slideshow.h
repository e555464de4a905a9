#pragma once

#include <cstdint>
#include <optional>

#include "app/background_window.h"
#include "base/text_string.h"
#include "engine/status_word.h"
#include "platform/file_system.h"
#include "platform/graphics.h"
#include "platform/processes.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// What the main thread hands the slideshow worker. The database outlives the worker; the worker only
// reads `SplashDelay` and `BitmapDir` of it, which nobody changes while files are copied.
struct SlideshowJob {
  const SetupInfo* database = nullptr;
  TextString source_folder;
  // 0 until the main thread asks the slideshow to end with STOP_REQUEST.
  StatusWord stop{0};
  // 0 until the worker runs, STATUS_RUNNING while it does, STATUS_DONE as its last act.
  StatusWord status{0};
};

// What the slideshow talks to: the medium's pictures, the screen's form of them, the background
// window that shows the current one, and the clock it waits by.
struct SlideshowServices {
  platform::FileSystem& files;
  platform::Graphics& graphics;
  platform::UserInterface& ui;
  platform::Processes& processes;
  app::BackgroundWindow& background;
};

// The billboards "splash001.bmp", "splash002.bmp", ... of the bitmap folder, each shown for the
// database's `SplashDelay` at the billboard's place in the background window, over and over from the
// first one after the last, until the stop word is set.
class Slideshow {
 public:
  explicit Slideshow(const SlideshowServices& services) : services_(services) {}

  // The slideshow worker's body. STATUS_DONE, or STATUS_SOURCE_MISSING when there is no first picture;
  // the status word says STATUS_DONE in both cases, since a medium without billboards is no fault.
  WorkerStatus SlideshowWorker(SlideshowJob& job);

 private:
  bool PictureExists(const TextString& path);
  // Puts the picture in the billboard slot and has the window repaint the old and the new one's area.
  void ShowPicture(const TextString& path);
  void Invalidate(const platform::PixelRect& area);

  SlideshowServices services_;
  // The area of the billboard that this worker put in the slot last; nobody else fills the slot.
  std::optional<platform::PixelRect> shown_area_;
};

// "splash%03u.bmp" for the picture's number.
TextString BillboardName(std::uint32_t number);

}  // namespace vtsetup

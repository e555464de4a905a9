#include "engine/slideshow.h"

#include <cstdlib>
#include <memory>

#include "app/dib.h"
#include "setupdb/bitmap_folder.h"

namespace vtsetup {

TextString BillboardName(std::uint32_t number) {
  TextString name;
  name.Format("splash%03u.bmp", number);
  return name;
}

WorkerStatus Slideshow::SlideshowWorker(SlideshowJob& job) {
  Publish(job.status, STATUS_RUNNING);
  // Only the name is formatted: a percent sign in the folder is part of a path, not a directive.
  const TextString folder = BitmapFolder(job.source_folder, *job.database);
  // A negative delay would wait for weeks once taken as a count of milliseconds; the user would never
  // see the copy's end.
  const std::int32_t delay = job.database->Options.SplashDelay;
  const std::uint32_t milliseconds = delay > 0 ? static_cast<std::uint32_t>(delay) : 0;
  std::uint32_t number = 1;
  while (Observe(job.stop) == 0) {
    const TextString path = folder + BillboardName(number);
    if (!PictureExists(path)) {
      if (number == 1) {
        Publish(job.status, STATUS_DONE);
        return STATUS_SOURCE_MISSING;
      }
      // The first gap in the numbers ends the round; the next one starts at once, without a pause.
      number = 1;
      continue;
    }
    ShowPicture(path);
    services_.processes.Sleep(milliseconds);
    ++number;
  }
  Publish(job.status, STATUS_DONE);
  return STATUS_DONE;
}

bool Slideshow::PictureExists(const TextString& path) {
  return services_.files
             .Open(path.Data(), platform::FileAccess::Read, platform::SHARE_READ,
                   platform::FileCreation::OpenExisting)
             .file != nullptr;
}

void Slideshow::ShowPicture(const TextString& path) {
  // Loaded before it takes the slot, so the paint handler never waits for a file to be read. A picture
  // that cannot be loaded stays empty for its time: it paints nothing and the round goes on.
  auto next = std::make_unique<app::Dib>(services_.files, services_.graphics);
  const bool loaded = next->LoadDib(path.Data());
  // A picture stored top-down gives its height negative; its area on the screen is the same.
  const platform::PixelRect area{app::kBillboardLeft, app::kBillboardTop, next->DibWidth(),
                                 std::abs(next->DibHeight())};
  // The one it replaces is released here, outside the lock, once nobody can paint it any more.
  services_.background.Billboard().Swap(std::move(next));
  // Not under the lock: the update runs the paint handler on the main thread, which takes it.
  if (shown_area_) {
    Invalidate(*shown_area_);
  }
  Invalidate(area);
  services_.ui.Update(services_.background.Window());
  // What a person who cannot see the window is told is on it now.
  services_.ui.DescribePicture(services_.background.Window(), loaded ? path.Data() : nullptr);
  shown_area_ = area;
}

void Slideshow::Invalidate(const platform::PixelRect& area) {
  // Without erasing: the paint handler draws the background picture over the whole area anyway, and
  // an erase first would make it flicker.
  services_.ui.Invalidate(services_.background.Window(), &area, false);
}

}  // namespace vtsetup

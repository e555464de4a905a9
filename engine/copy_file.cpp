#include "engine/copy_file.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/text_string.h"
#include "setupdb/crc32.h"

namespace vtsetup {
namespace {

using platform::FileAccess;
using platform::FileCreation;

// The file-title service fills a buffer of this size.
constexpr std::uint32_t kTitleBufferSize = 512;

bool IsDiskFull(platform::SystemError error) {
  return error == platform::ERR_HANDLE_DISK_FULL || error == platform::ERR_DISK_FULL;
}

void ShowCaption(const CopyProgress& progress, const char* source) {
  if (progress.ui == nullptr || progress.window == nullptr ||
      !progress.ui->HasControl(progress.window, kCaptionControl)) {
    return;
  }
  TextString lower(source);
  lower.ToLower();
  TextString title = progress.ui->FileTitle(lower.Data());
  if (title.Length() >= kTitleBufferSize) {
    title = title.Left(kTitleBufferSize - 1);
  }
  progress.ui->SetText(progress.window, kCaptionControl, title.Data());
}

void ShowPosition(const CopyProgress& progress, std::uint64_t bytes_done) {
  if (progress.ui == nullptr || progress.window == nullptr ||
      !progress.ui->HasControl(progress.window, progress.control)) {
    return;
  }
  // An empty set is complete; a total smaller than the bytes moved (a database that undercounts)
  // would otherwise push the bar past its end.
  double percent = 100.0;
  if (progress.byte_total != 0) {
    percent = (static_cast<double>(progress.bytes_before) + static_cast<double>(bytes_done)) /
              static_cast<double>(progress.byte_total) * 100.0;
  }
  const double clamped = std::clamp(percent, 0.0, 100.0);
  progress.ui->SetProgressPosition(progress.window, progress.control, static_cast<std::uint16_t>(clamped));
}

// The destination as far as it was written is worth nothing: it goes, so that nothing half copied
// stays behind unlogged.
CopyResult Discard(platform::FileSystem& files, std::unique_ptr<platform::File>& target,
                   const char* destination, CopyResult result) {
  target.reset();
  files.Delete(destination);
  return result;
}

}  // namespace

CopyResult CopyFileChecked(platform::FileSystem& files, const char* source, const char* destination,
                           bool overwrite, std::uint32_t* checksum, const CopyProgress& progress) {
  const std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kCopyBlockSize]);
  if (buffer == nullptr) {
    return CopyResult::COPY_READ_FAILED;
  }
  const platform::OpenResult opened =
      files.Open(source, FileAccess::Read, platform::SHARE_READ, FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    return CopyResult::COPY_NO_SOURCE;
  }
  ShowCaption(progress, source);
  if (!overwrite) {
    const platform::OpenResult existing =
        files.Open(destination, FileAccess::Read, platform::SHARE_READ, FileCreation::OpenExisting);
    if (existing.file != nullptr) {
      return CopyResult::COPY_EXISTS;
    }
  }
  platform::OpenResult created =
      files.Open(destination, FileAccess::Write, platform::SHARE_NONE, FileCreation::CreateAlways);
  if (created.file == nullptr) {
    return CopyResult::COPY_WRITE_FAILED;
  }
  std::unique_ptr<platform::File> target = std::move(created.file);
  std::uint64_t remaining = 0;
  if (opened.file->Size(remaining) != platform::ERR_NONE) {
    return Discard(files, target, destination, CopyResult::COPY_READ_FAILED);
  }
  CrcRegister crc = CrcBegin();
  std::uint64_t done = 0;
  while (remaining > 0) {
    const auto block = static_cast<std::uint32_t>(std::min<std::uint64_t>(remaining, kCopyBlockSize));
    std::uint32_t read = 0;
    if (opened.file->Read(buffer.get(), block, read) != platform::ERR_NONE || read != block) {
      return Discard(files, target, destination, CopyResult::COPY_READ_FAILED);
    }
    crc = CrcUpdate(crc, buffer.get(), block);
    std::uint32_t written = 0;
    const platform::SystemError write_error = target->Write(buffer.get(), block, written);
    if (write_error != platform::ERR_NONE || written != block) {
      return Discard(files, target, destination,
                     IsDiskFull(write_error) ? CopyResult::COPY_DISK_FULL : CopyResult::COPY_WRITE_FAILED);
    }
    remaining -= block;
    done += block;
    ShowPosition(progress, done);
  }
  if (checksum != nullptr) {
    *checksum = CrcEnd(crc);
  }
  return CopyResult::COPY_OK;
}

}  // namespace vtsetup

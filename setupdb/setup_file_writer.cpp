#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "base/console.h"
#include "setupdb/byte_order.h"
#include "setupdb/file_checksum.h"
#include "setupdb/setup_file.h"

namespace vtsetup {
namespace {

// Writes the records in file order. Every Write* returns false on a failure, which the caller turns
// into SETUP_FILE_WRITE_FAILED; the diagnostics differ by what failed, as the console texts say.
class SetupFileWriter {
 public:
  SetupFileWriter(platform::FileSystem& files, platform::File& file, const char* path)
      : files_(files), file_(file), path_(path) {}

  bool WriteHeader() {
    unsigned char header[SETUP_FILE_BODY_OFFSET];
    for (int i = 0; i < 4; ++i) {
      header[i] = static_cast<unsigned char>(SETUP_FILE_MAGIC[i]);
    }
    PutU32(header + 4, SETUP_FILE_VERSION);
    PutU32(header + 8, SETUP_FILE_VERSION);  // placeholder until the checksum is known
    return WriteReported(header, 4) && WriteReported(header + 4, 4) && WriteReported(header + 8, 4);
  }

  bool WriteTree(const SetupInfo& info) {
    if (!WriteString(info.PrgName) || !WriteString(info.DefDestDir)) {
      return false;
    }
    if (!info.GroupName.has_value()) {
      return false;  // the file has no way to say "no group"
    }
    if (!WriteString(*info.GroupName) || !WriteString(info.Company) || !WriteString(info.Product) ||
        !WriteString(info.Version) || !WriteString(info.Filename) || !WriteOptions(info.Options)) {
      return false;
    }
    const SetupBitmaps& bitmaps = info.Bitmaps;
    if (!WriteString(bitmaps.Background640x480) || !WriteString(bitmaps.Background800x600) ||
        !WriteString(bitmaps.Background1024x768) || !WriteString(bitmaps.Background1280x1024)) {
      return false;
    }
    if (!WriteCount(info.Packs, true)) {
      return false;
    }
    for (const PackInfo& pack : info.Packs) {
      if (!WritePack(pack)) {
        return false;
      }
    }
    if (!WriteCount(info.TempFiles, true) || !WriteNumber(info.TempTotalSize, true)) {
      return false;
    }
    for (const FileEntry& entry : info.TempFiles) {
      if (!WriteFileEntry(entry)) {
        return false;
      }
    }
    return true;
  }

  bool WriteChecksum(std::uint32_t checksum) {
    unsigned char bytes[4];
    PutU32(bytes, checksum);
    return WriteReported(bytes, 4);
  }

  // The error of the write that failed; ERR_NONE for a short write, which has none of its own, and for
  // a tree that the file cannot hold.
  platform::SystemError LastError() const { return last_error_; }

 private:
  bool Write(const void* bytes, std::uint32_t size) {
    std::uint32_t written = 0;
    last_error_ = file_.Write(bytes, size, written);
    return last_error_ == platform::ERR_NONE && written == size;
  }

  // The header words, the top-level counts and the final checksum name the file when they fail.
  bool WriteReported(const void* bytes, std::uint32_t size) {
    if (!Write(bytes, size)) {
      ConsolePrint("Fehler beim Schreiben von %s => Abbruch.\n", path_);
      ConsolePrint("Grund: %s\n", files_.ErrorText(last_error_).Data());
      return false;
    }
    return true;
  }

  bool WriteNumber(std::uint32_t value, bool reported) {
    unsigned char bytes[4];
    PutU32(bytes, value);
    return reported ? WriteReported(bytes, 4) : Write(bytes, 4);
  }

  template <typename Entry>
  bool WriteCount(const std::vector<Entry>& entries, bool reported) {
    if (entries.size() > std::numeric_limits<std::uint32_t>::max()) {
      return false;
    }
    return WriteNumber(static_cast<std::uint32_t>(entries.size()), reported);
  }

  // The text up to its first zero byte, and that zero, in one write: the file holds no length prefixes,
  // so a zero inside a text would end it early and shift everything after it.
  bool WriteString(const TextString& text) {
    const auto length = static_cast<std::uint32_t>(std::strlen(text.Data()));
    if (!Write(text.Data(), length + 1)) {
      ConsolePrint("Fehler beim Schreiben => Abbruch\n");
      return false;
    }
    return true;
  }

  bool WriteOptions(const SetupOptions& options) {
    unsigned char block[SETUP_FILE_OPTIONS_BLOCK_SIZE] = {};
    PutU32(block + 0, options.RecordSize);
    PutU32(block + 4, static_cast<std::uint32_t>(options.SpareSpace));
    block[8] = options.InstallDirectX ? 1 : 0;
    block[9] = options.InstallGame ? 1 : 0;
    PutU32(block + 12, static_cast<std::uint32_t>(options.SplashDelay));
    block[16] = options.Uninstall ? 1 : 0;
    block[17] = options.Readme ? 1 : 0;
    block[18] = options.CheckCRC ? 1 : 0;
    PutU16(block + 20, options.DefaultPack);
    if (!Write(block, sizeof block)) {
      ConsolePrint("Fehler beim Schreiben => Abbruch\n");
      return false;
    }
    return WriteString(options.UninstallPrg) && WriteString(options.DirectXDir) &&
           WriteString(options.BitmapDir) && WriteString(options.ReadmeFile) &&
           WriteString(options.RelativeDir);
  }

  bool WritePack(const PackInfo& pack) {
    if (!WriteString(pack.Typename) || !WriteString(pack.Typedesc)) {
      return false;
    }
    unsigned char sizes[4 * PACK_SIZE_ENTRIES];
    for (std::size_t j = 0; j < PACK_SIZE_ENTRIES; ++j) {
      PutU32(sizes + 4 * j, pack.PackSizes[j]);
    }
    if (!Write(sizes, sizeof sizes) || !WriteCount(pack.Dirs, false)) {
      return false;
    }
    for (const PackDir& dir : pack.Dirs) {
      const unsigned char flag = dir.DeleteUnempty ? 1 : 0;
      if (!WriteString(dir.Path) || !Write(&flag, 1)) {
        return false;
      }
    }
    if (!WriteCount(pack.Files, false)) {
      return false;
    }
    for (const FileEntry& entry : pack.Files) {
      if (!WriteFileEntry(entry)) {
        return false;
      }
    }
    return WriteShortcuts(pack.Shortcuts) && WriteShortcuts(pack.DesktopShortcuts) &&
           WriteShortcuts(pack.InternetShortcuts);
  }

  bool WriteFileEntry(const FileEntry& entry) {
    return WriteString(entry.Path) && WriteNumber(entry.FileSize, false) && WriteNumber(entry.Crc, false);
  }

  bool WriteShortcuts(const std::vector<ShortcutEntry>& shortcuts) {
    if (!WriteCount(shortcuts, false)) {
      return false;
    }
    for (const ShortcutEntry& shortcut : shortcuts) {
      if (!WriteString(shortcut.Name) || !WriteString(shortcut.Target)) {
        return false;
      }
    }
    return true;
  }

  platform::FileSystem& files_;
  platform::File& file_;
  const char* path_;
  platform::SystemError last_error_ = platform::ERR_NONE;
};

void ReportCreateFailure(platform::FileSystem& files, const char* name, platform::SystemError error) {
  ConsolePrint("Kann Datei %s nicht erzeugen.\nGrund: ", name);
  ConsolePrint("%s\n", files.ErrorText(error).Data());
}

// Writes the tree into `file`, just made at `path`, then closes it and seals it with its checksum. The
// diagnostics name the file as `name`, the database the caller was asked for.
SetupFileResult WriteAndSeal(platform::FileSystem& files, const SetupInfo& info,
                             std::unique_ptr<platform::File> file, const char* path, const char* name,
                             platform::SystemError& reason) {
  {
    SetupFileWriter writer(files, *file, name);
    if (!writer.WriteHeader() || !writer.WriteTree(info)) {
      reason = writer.LastError();
      return SETUP_FILE_WRITE_FAILED;
    }
    file.reset();  // closed here, so the checksum sees every byte
  }
  // The checksum is taken on a handle of our own, so that a read that fails is not sealed in as a value.
  std::uint32_t checksum = 0;
  {
    platform::OpenResult sealed = files.Open(path, platform::FileAccess::Read, platform::SHARE_READ,
                                             platform::FileCreation::OpenExisting);
    std::uint64_t size = 0;
    std::vector<unsigned char> buffer;
    reason = sealed.file == nullptr ? sealed.error : sealed.file->Size(size);
    if (reason == platform::ERR_NONE) {
      reason = CheckedFileChecksum(*sealed.file, size, SETUP_FILE_BODY_OFFSET, buffer, checksum);
    }
    if (reason != platform::ERR_NONE) {
      return SETUP_FILE_WRITE_FAILED;
    }
  }
  platform::OpenResult reopened = files.Open(path, platform::FileAccess::Write, platform::SHARE_NONE,
                                             platform::FileCreation::OpenExisting);
  reason = reopened.file == nullptr
               ? reopened.error
               : reopened.file->Seek(SETUP_FILE_CHECKSUM_POSITION, platform::SeekOrigin::Begin, nullptr);
  if (reason != platform::ERR_NONE) {
    return SETUP_FILE_WRITE_FAILED;
  }
  SetupFileWriter patcher(files, *reopened.file, name);
  if (!patcher.WriteChecksum(checksum)) {
    reason = patcher.LastError();
    return SETUP_FILE_WRITE_FAILED;
  }
  return SETUP_FILE_OK;
}

// A name beside `path` that nothing holds yet, made as an empty file so that nobody else takes it.
platform::OpenResult ClaimNameBeside(platform::FileSystem& files, const char* path, TextString& beside) {
  constexpr int kAttempts = 100;
  platform::OpenResult claimed;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    beside.Format(attempt == 1 ? "%s.new" : "%s.new%d", path, attempt);
    claimed = files.Open(beside.Data(), platform::FileAccess::Write, platform::SHARE_NONE,
                         platform::FileCreation::CreateNew);
    if (claimed.file != nullptr || claimed.error != platform::ERR_FILE_EXISTS) {
      return claimed;
    }
  }
  return claimed;
}

}  // namespace

SetupFileResult WriteSetupFile(platform::FileSystem& files, const SetupInfo& info, const char* path) {
  platform::OpenResult created = files.Open(path, platform::FileAccess::Write, platform::SHARE_NONE,
                                            platform::FileCreation::CreateAlways);
  if (created.file == nullptr) {
    ReportCreateFailure(files, path, created.error);
    return SETUP_FILE_WRITE_FAILED;
  }
  platform::SystemError ignored = platform::ERR_NONE;
  return WriteAndSeal(files, info, std::move(created.file), path, path, ignored);
}

SetupFileResult ReplaceSetupFile(platform::FileSystem& files, const SetupInfo& info, const char* path,
                                 platform::SystemError& reason) {
  TextString beside;
  platform::OpenResult claimed = ClaimNameBeside(files, path, beside);
  if (claimed.file == nullptr) {
    reason = claimed.error;
    ReportCreateFailure(files, path, reason);
    return SETUP_FILE_WRITE_FAILED;
  }
  SetupFileResult result = WriteAndSeal(files, info, std::move(claimed.file), beside.Data(), path, reason);
  if (result == SETUP_FILE_OK) {
    reason = files.MoveReplacing(beside.Data(), path);
    result = reason == platform::ERR_NONE ? SETUP_FILE_OK : SETUP_FILE_WRITE_FAILED;
  }
  if (result != SETUP_FILE_OK) {
    files.Delete(beside.Data());
  }
  return result;
}

}  // namespace vtsetup

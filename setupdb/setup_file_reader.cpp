#include <algorithm>

#include "base/console.h"
#include "setupdb/byte_order.h"
#include "setupdb/checksum_flag.h"
#include "setupdb/file_checksum.h"
#include "setupdb/setup_file.h"

namespace vtsetup {
namespace {

// The fewest bytes one stored record can take: its strings' zero bytes and its numbers. A count that
// promises more records than the rest of the file can hold ends the read before anything is allocated.
constexpr std::uint64_t kMinPackBytes = 2 + 4 * PACK_SIZE_ENTRIES + 5 * 4;
constexpr std::uint64_t kMinDirBytes = 1 + 1;
constexpr std::uint64_t kMinFileBytes = 1 + 4 + 4;
constexpr std::uint64_t kMinShortcutBytes = 1 + 1;

// Reads the records in file order. Every Read* returns false on a failure, which the caller turns into
// SETUP_FILE_READ_FAILED.
class SetupFileReader {
 public:
  SetupFileReader(platform::FileSystem& files, platform::File& file, const char* path, std::uint64_t size)
      : files_(files), file_(file), path_(path), size_(size) {}

  // Magic, version and checksum, each compared right after its read. A failed read is reported; a read
  // that delivers fewer than four bytes is a mismatch like a wrong value.
  SetupFileResult CheckHeader(std::uint32_t expected_checksum) {
    const std::uint32_t wanted[] = {GetU32(reinterpret_cast<const unsigned char*>(SETUP_FILE_MAGIC)),
                                    SETUP_FILE_VERSION, expected_checksum};
    for (const std::uint32_t value : wanted) {
      unsigned char word[4] = {};
      std::uint32_t delivered = 0;
      if (!Read(word, 4, delivered)) {
        ReportReadFailure();
        return SETUP_FILE_READ_FAILED;
      }
      if (delivered != 4 || GetU32(word) != value) {
        return SETUP_FILE_INVALID;
      }
    }
    return SETUP_FILE_OK;
  }

  bool ReadTree(SetupInfo& info, const SetupFileProgress& progress) {
    if (!ReadString(info.PrgName) || !ReadString(info.DefDestDir) || !ReadString(info.GroupName.emplace()) ||
        !ReadString(info.Company) || !ReadString(info.Product) || !ReadString(info.Version) ||
        !ReadString(info.Filename)) {
      return false;
    }
    if (!ReadOptions(info.Options)) {
      return false;
    }
    SetChecksumVerification(info.Options.CheckCRC);
    SetupBitmaps& bitmaps = info.Bitmaps;
    if (!ReadString(bitmaps.Background640x480) || !ReadString(bitmaps.Background800x600) ||
        !ReadString(bitmaps.Background1024x768) || !ReadString(bitmaps.Background1280x1024)) {
      return false;
    }
    std::uint32_t pack_count = 0;
    if (!ReadReportedNumber(pack_count) || !FitsInRest(pack_count, kMinPackBytes)) {
      return false;
    }
    info.Packs.resize(pack_count);
    for (std::uint32_t i = 0; i < pack_count; ++i) {
      if (progress) {
        progress((100 / pack_count) * i);
      }
      if (!ReadPack(info.Packs[i])) {
        return false;
      }
    }
    std::uint32_t temp_count = 0;
    if (!ReadReportedNumber(temp_count) || !ReadReportedNumber(info.TempTotalSize) ||
        !FitsInRest(temp_count, kMinFileBytes)) {
      return false;
    }
    info.TempFiles.resize(temp_count);
    for (FileEntry& entry : info.TempFiles) {
      if (!ReadFileEntry(entry)) {
        return false;
      }
    }
    return true;
  }

 private:
  bool Read(void* buffer, std::uint32_t size, std::uint32_t& delivered) {
    last_error_ = file_.Read(buffer, size, delivered);
    position_ += delivered;
    return last_error_ == platform::ERR_NONE;
  }

  // Strings and the options block must arrive whole.
  bool ReadExact(void* buffer, std::uint32_t size) {
    std::uint32_t delivered = 0;
    return Read(buffer, size, delivered) && delivered == size;
  }

  // Numbers fail only when the read fails; a short read keeps the zeros of the rest of the field.
  bool ReadNumber(std::uint32_t& value) {
    unsigned char bytes[4] = {};
    std::uint32_t delivered = 0;
    if (!Read(bytes, 4, delivered)) {
      return false;
    }
    value = GetU32(bytes);
    return true;
  }

  // The counts and totals whose failure the reader reports on the console.
  bool ReadReportedNumber(std::uint32_t& value) {
    if (!ReadNumber(value)) {
      ReportReadFailure();
      return false;
    }
    return true;
  }

  bool FitsInRest(std::uint32_t count, std::uint64_t min_record_bytes) const {
    return count * min_record_bytes <= size_ - std::min(position_, size_);
  }

  // A byte at a time up to the zero: the file has no length prefixes and no buffering is wanted.
  bool ReadString(TextString& text) {
    text.Release();
    for (;;) {
      char c = '\0';
      if (!ReadExact(&c, 1)) {
        return false;
      }
      if (c == '\0') {
        return true;
      }
      text.Append(c);
    }
  }

  bool ReadOptions(SetupOptions& options) {
    unsigned char block[SETUP_FILE_OPTIONS_BLOCK_SIZE];
    if (!ReadExact(block, sizeof block)) {
      return false;
    }
    options.RecordSize = GetU32(block + 0);
    options.SpareSpace = static_cast<std::int32_t>(GetU32(block + 4));
    options.InstallDirectX = block[8] != 0;
    options.InstallGame = block[9] != 0;
    options.SplashDelay = static_cast<std::int32_t>(GetU32(block + 12));
    options.Uninstall = block[16] != 0;
    options.Readme = block[17] != 0;
    options.CheckCRC = block[18] != 0;
    options.DefaultPack = GetU16(block + 20);
    return ReadString(options.UninstallPrg) && ReadString(options.DirectXDir) &&
           ReadString(options.BitmapDir) && ReadString(options.ReadmeFile) && ReadString(options.RelativeDir);
  }

  bool ReadPack(PackInfo& pack) {
    pack.RecordSize = RECORD_SIZE_PACK;
    if (!ReadString(pack.Typename) || !ReadString(pack.Typedesc)) {
      return false;
    }
    unsigned char sizes[4 * PACK_SIZE_ENTRIES] = {};
    std::uint32_t delivered = 0;
    if (!Read(sizes, sizeof sizes, delivered)) {
      return false;
    }
    for (std::size_t j = 0; j < PACK_SIZE_ENTRIES; ++j) {
      pack.PackSizes[j] = GetU32(sizes + 4 * j);
    }
    std::uint32_t count = 0;
    if (!ReadNumber(count) || !FitsInRest(count, kMinDirBytes)) {
      return false;
    }
    pack.Dirs.resize(count);
    for (PackDir& dir : pack.Dirs) {
      dir.RecordSize = RECORD_SIZE_DIR;
      unsigned char flag = 0;
      if (!ReadString(dir.Path) || !Read(&flag, 1, delivered)) {
        return false;
      }
      dir.DeleteUnempty = flag != 0;
    }
    if (!ReadNumber(count) || !FitsInRest(count, kMinFileBytes)) {
      return false;
    }
    pack.Files.resize(count);
    for (FileEntry& entry : pack.Files) {
      if (!ReadFileEntry(entry)) {
        return false;
      }
    }
    return ReadShortcuts(pack.Shortcuts) && ReadShortcuts(pack.DesktopShortcuts) &&
           ReadShortcuts(pack.InternetShortcuts);
  }

  bool ReadFileEntry(FileEntry& entry) {
    entry.RecordSize = RECORD_SIZE_FILE;
    return ReadString(entry.Path) && ReadNumber(entry.FileSize) && ReadNumber(entry.Crc);
  }

  bool ReadShortcuts(std::vector<ShortcutEntry>& shortcuts) {
    std::uint32_t count = 0;
    if (!ReadNumber(count) || !FitsInRest(count, kMinShortcutBytes)) {
      return false;
    }
    shortcuts.resize(count);
    for (ShortcutEntry& shortcut : shortcuts) {
      if (!ReadString(shortcut.Name) || !ReadString(shortcut.Target)) {
        return false;
      }
    }
    return true;
  }

  void ReportReadFailure() {
    ConsolePrint("Fehler beim Lesen von %s => Abbruch.\n", path_);
    ConsolePrint("Grund: %s\n", files_.ErrorText(last_error_).Data());
  }

  platform::FileSystem& files_;
  platform::File& file_;
  const char* path_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  platform::SystemError last_error_ = platform::ERR_NONE;
};

}  // namespace

SetupFileResult ReadSetupFile(platform::FileSystem& files, const char* path, std::unique_ptr<SetupInfo>& info,
                              const SetupFileProgress& progress) {
  info.reset();
  platform::OpenResult opened = files.Open(path, platform::FileAccess::Read, platform::SHARE_READ,
                                           platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    ConsolePrint("Kann Datei %s nicht oeffnen.\nGrund: ", path);
    ConsolePrint("%s\n", files.ErrorText(opened.error).Data());
    return SETUP_FILE_CANNOT_OPEN;
  }
  const std::uint32_t computed = FileChecksum(files, path, SETUP_FILE_BODY_OFFSET);
  std::uint64_t size = 0;
  if (opened.file->Size(size) != platform::ERR_NONE) {
    size = 0;
  }
  SetupFileReader reader(files, *opened.file, path, size);
  if (const SetupFileResult header = reader.CheckHeader(computed); header != SETUP_FILE_OK) {
    return header;
  }
  auto loaded = std::make_unique<SetupInfo>();
  if (!reader.ReadTree(*loaded, progress)) {
    return SETUP_FILE_READ_FAILED;
  }
  info = std::move(loaded);
  return SETUP_FILE_OK;
}

}  // namespace vtsetup

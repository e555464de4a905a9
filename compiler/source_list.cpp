#include "compiler/source_list.h"

#include "base/console.h"
#include "compiler/compile_script.h"
#include "setupdb/checksum_flag.h"
#include "setupdb/file_checksum.h"

namespace vtsetup {
namespace {

constexpr char kSources[] = "Sources";
constexpr char kSubDirsFlag[] = "/SUBDIRS";
constexpr char kDeleteUnemptyFlag[] = "/DELETEUNEMPTY";

// Values of "File1", "File2", ... (or "Dir1", ...) up to the first one that is missing or empty.
std::vector<TextString> NumberedValues(const ScriptValues& script, const char* stem) {
  std::vector<TextString> values;
  for (std::int32_t i = 1;; ++i) {
    TextString key;
    key.Format("%s%i", stem, i);
    const TextString value = script.Raw(kSources, key.Data(), MISSING_VALUE);
    if (value.IsEmpty() || value == MISSING_VALUE) {
      return values;
    }
    values.push_back(value);
  }
}

// Removes a flag at its first occurrence and tells whether it was there.
bool TakeFlag(TextString& value, const char* flag) {
  const std::int32_t at = value.Find(flag);
  if (at < 0) {
    return false;
  }
  const auto start = static_cast<std::uint32_t>(at);
  value = value.Left(start) + value.Mid(start + TextString(flag).Length());
  TrimTrailingSpaces(value);
  return true;
}

TextString WithBackslash(const TextString& path) {
  TextString result(path);
  result.EnsureTrailingBackslash();
  return result;
}

// A path that names its own root or drive is opened as written; any other lies below the source root.
TextString OpenPath(const SourceList& sources, const TextString& path) {
  if (path.At(0) == '\\' || path.Find(":") >= 0) {
    return path;
  }
  return sources.SrcDir + path;
}

// The number after a reference's first `marker` letter: "File12" read after its "e" gives 12.
std::int32_t ReferenceNumber(const TextString& token, char marker) {
  const std::int32_t at = token.Find(TextString(&marker, 1).Data());
  return LeadingNumber(token.Data() + at + 1);
}

std::vector<TextString> SplitAtCommas(const TextString& value) {
  std::vector<TextString> tokens;
  std::uint32_t start = 0;
  for (std::uint32_t i = 0; i <= value.Length(); ++i) {
    if (i == value.Length() || value.At(i) == ',') {
      tokens.push_back(value.Mid(start, i - start));
      start = i + 1;
    }
  }
  return tokens;
}

int MissingKey(const ScriptValues& script, const char* key, const char* section) {
  ConsolePrint("Fehler: Schluesselwort %s in Section %s in der Datei %s nicht gefunden => Abbruch.", key,
               section, script.ScriptPath().Data());
  return COMPILE_MISSING_KEY;
}

int BadEntry(const ScriptValues& script, const char* section) {
  ConsolePrint("Fehler im Files-Eintrag in der Sektion %s in der Datei %s.\n", section,
               script.ScriptPath().Data());
  return COMPILE_BAD_ENTRY;
}

void PrintMeasured(const FileEntry& entry) {
  ConsolePrint("%s Groesse:%i CRC:0x%x\n", entry.Path.Data(), static_cast<int>(entry.FileSize),
               static_cast<unsigned>(entry.Crc));
}

int ReadPackFileList(const ScriptValues& script, const char* section, PackInfo& pack,
                     const SourceList& sources) {
  const TextString raw = script.Raw(section, "Files", MISSING_VALUE);
  if (raw == MISSING_VALUE) {
    return MissingKey(script, "Files", section);
  }
  const TextString value = script.Clean(section, "Files", MISSING_VALUE);
  for (const TextString& token : SplitAtCommas(value)) {
    if (token.Find("File") < 0) {
      return BadEntry(script, section);
    }
    const std::int32_t number = ReferenceNumber(token, 'e');
    if (number > static_cast<std::int64_t>(sources.Files.size())) {
      ConsolePrint("Dateindex im Files-Eintrag in Sektion %s in der Datei %s ist zu hoch: %i.\n", section,
                   script.ScriptPath().Data(), number);
      return COMPILE_BAD_ENTRY;
    }
    if (number < 1) {
      ConsolePrint("Dateindex im Files-Eintrag in Sektion %s in der Datei %s ist zu niedrig: %i.\n", section,
                   script.ScriptPath().Data(), number);
      return COMPILE_BAD_ENTRY;
    }
    FileEntry entry;
    entry.Path = sources.Files[static_cast<std::size_t>(number) - 1];
    pack.Files.push_back(std::move(entry));
  }
  return COMPILE_OK;
}

int ReadPackDirList(const ScriptValues& script, const char* section, PackInfo& pack,
                    const SourceList& sources, platform::FileSystem& files) {
  const TextString raw = script.Raw(section, "Dirs", MISSING_VALUE);
  if (raw == MISSING_VALUE) {
    return MissingKey(script, "Dirs", section);
  }
  const std::vector<TextString> tokens = SplitAtCommas(script.Clean(section, "Dirs", MISSING_VALUE));
  // The listed directories keep their places at the front; the walk appends what it finds after them.
  pack.Dirs.resize(tokens.size());
  for (std::size_t r = 0; r < tokens.size(); ++r) {
    if (tokens[r].Find("Dir") < 0) {
      return BadEntry(script, section);
    }
    const std::int32_t number = ReferenceNumber(tokens[r], 'r');
    if (number > static_cast<std::int64_t>(sources.Dirs.size())) {
      ConsolePrint("Verzeichnisindex im Dirs-Eintrag in Sektion %s in der Datei %s ist zu hoch: %i.\n",
                   section, script.ScriptPath().Data(), number);
      return COMPILE_BAD_ENTRY;
    }
    if (number < 1) {
      ConsolePrint("Verzeichnisindex im Dirs-Eintrag in Sektion %s in der Datei %s ist zu niedrig: %i.\n",
                   section, script.ScriptPath().Data(), number);
      return COMPILE_BAD_ENTRY;
    }
    const PackDir& source = sources.Dirs[static_cast<std::size_t>(number) - 1];
    pack.Dirs[r].Path = source.Path;
    pack.Dirs[r].DeleteUnempty = source.DeleteUnempty;
    std::vector<FileEntry> found =
        ScanSourceDir(files, sources, source.Path, source.SubDirs, source.DeleteUnempty, &pack.Dirs);
    pack.Files.insert(pack.Files.end(), std::make_move_iterator(found.begin()),
                      std::make_move_iterator(found.end()));
  }
  return COMPILE_OK;
}

}  // namespace

platform::SystemError FileMeasurer::Size(const TextString& open_path, std::uint32_t& size) {
  const std::string key(open_path.Data());
  if (const auto known = sizes_.find(key); known != sizes_.end()) {
    size = known->second;
    return platform::ERR_NONE;
  }
  platform::OpenResult opened = files_.Open(open_path.Data(), platform::FileAccess::Read,
                                            platform::SHARE_READ, platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    return opened.error;
  }
  std::uint64_t bytes = 0;
  if (const platform::SystemError error = opened.file->Size(bytes); error != platform::ERR_NONE) {
    return error;
  }
  size = static_cast<std::uint32_t>(bytes);
  sizes_.emplace(key, size);
  return platform::ERR_NONE;
}

std::uint32_t FileMeasurer::Checksum(const TextString& open_path, std::uint32_t size) {
  const auto key = std::make_pair(std::string(open_path.Data()), size);
  if (const auto known = checksums_.find(key); known != checksums_.end()) {
    return known->second;
  }
  const std::uint32_t checksum = FileChecksum(files_, open_path.Data(), 0, buffer_);
  checksums_.emplace(key, checksum);
  return checksum;
}

SourceList ReadSources(const ScriptValues& script) {
  SourceList sources;
  sources.SrcDir = script.Clean(kSources, "SrcDir", "Vantor Application");
  sources.SrcDir.EnsureTrailing('\\');
  sources.SrcDirMisc = script.Clean(kSources, "SrcDirMisc", "Vantor Application");
  for (const TextString& value : NumberedValues(script, "File")) {
    TextString path(value);
    StripComment(path);
    TrimTrailingSpaces(path);
    sources.Files.push_back(path);
  }
  for (const TextString& value : NumberedValues(script, "Dir")) {
    PackDir dir;
    dir.Path = value;
    StripComment(dir.Path);
    dir.Path.ToUpper();
    // Trailing blanks go only with a flag, so "GFX\   " keeps them.
    dir.SubDirs = TakeFlag(dir.Path, kSubDirsFlag);
    dir.DeleteUnempty = TakeFlag(dir.Path, kDeleteUnemptyFlag);
    sources.Dirs.push_back(dir);
  }
  return sources;
}

std::vector<FileEntry> ScanSourceDir(platform::FileSystem& files, const SourceList& sources,
                                     const TextString& directory, bool recurse, bool delete_unempty,
                                     std::vector<PackDir>* pack_dirs) {
  const TextString scan_folder = WithBackslash(sources.SrcDir + directory);
  ConsolePrint("%s\n", scan_folder.Data());
  std::vector<platform::FoundFile> listing;
  // A folder that cannot be listed simply contributes nothing.
  files.FindFiles((scan_folder + "*.*").Data(), listing);
  std::vector<FileEntry> entries;
  for (const platform::FoundFile& found : listing) {
    if (!found.directory) {
      FileEntry entry;
      entry.Path = directory + found.name;
      entries.push_back(std::move(entry));
      continue;
    }
    if (!recurse || found.name.At(0) == '.' || pack_dirs == nullptr) {
      continue;
    }
    TextString path(directory);
    path.EnsureTrailing('\\');
    path = WithBackslash(path + found.name);
    PackDir dir;
    dir.Path = path;
    dir.SubDirs = true;
    dir.DeleteUnempty = delete_unempty;
    pack_dirs->push_back(dir);
    std::vector<FileEntry> below = ScanSourceDir(files, sources, path, true, delete_unempty, pack_dirs);
    entries.insert(entries.end(), std::make_move_iterator(below.begin()),
                   std::make_move_iterator(below.end()));
  }
  return entries;
}

int CollectPackFiles(const ScriptValues& script, const char* section, PackInfo& pack,
                     const SourceList& sources, FileMeasurer& measurer) {
  if (const int result = ReadPackFileList(script, section, pack, sources); result != COMPILE_OK) {
    return result;
  }
  ConsolePrint("Directories in Pack\n");
  if (const int result = ReadPackDirList(script, section, pack, sources, measurer.Files());
      result != COMPILE_OK) {
    return result;
  }
  ConsolePrint("\nCollecting Files...\n");
  const bool checksums = ChecksumVerification();
  for (FileEntry& entry : pack.Files) {
    const TextString open_path = OpenPath(sources, entry.Path);
    const platform::SystemError error = measurer.Size(open_path, entry.FileSize);
    if (error != platform::ERR_NONE) {
      ConsolePrint("Datei %s in der Sektion %s konnte nicht geoeffnet werden.\nGrund:", open_path.Data(),
                   section);
      ConsolePrint("%s\n", measurer.Files().ErrorText(error).Data());
      return COMPILE_CANNOT_OPEN;
    }
    // Each entry adds the remainder past whole allocation units, not the slack up to the next unit.
    for (std::size_t j = 0; j < PACK_SIZE_ENTRIES; ++j) {
      const std::uint32_t unit_mask = (std::uint32_t{1} << j) - 1;
      pack.PackSizes[j] += entry.FileSize + (entry.FileSize & unit_mask);
    }
    entry.Crc = checksums ? measurer.Checksum(open_path, entry.FileSize) : 0;
    if (checksums) {
      PrintMeasured(entry);
    }
  }
  if (!checksums) {
    ConsolePrint("Collected files: %i (CheckSum disabled!)\n", static_cast<int>(pack.Files.size()));
  }
  ConsolePrint("Packsizes: ");
  for (const std::uint32_t size : pack.PackSizes) {
    ConsolePrint("%x ", static_cast<unsigned>(size));
  }
  ConsolePrint("\n");
  return COMPILE_OK;
}

int CollectTempFiles(const SourceList& sources, FileMeasurer& measurer, SetupInfo& info) {
  std::vector<FileEntry> entries =
      ScanSourceDir(measurer.Files(), sources, sources.SrcDirMisc, false, false, nullptr);
  ConsolePrint("Temporaere Dateien:\n");
  std::uint32_t total = 0;
  const bool checksums = ChecksumVerification();
  for (FileEntry& entry : entries) {
    const TextString open_path = OpenPath(sources, entry.Path);
    const platform::SystemError error = measurer.Size(open_path, entry.FileSize);
    if (error != platform::ERR_NONE) {
      ConsolePrint("Datei %s  konnte nicht geoeffnet werden.\nGrund:", open_path.Data());
      ConsolePrint("%s\n", measurer.Files().ErrorText(error).Data());
      return COMPILE_CANNOT_OPEN;
    }
    total += entry.FileSize;
    entry.Crc = checksums ? measurer.Checksum(open_path, entry.FileSize) : 0;
    PrintMeasured(entry);
  }
  info.TempFiles = std::move(entries);
  info.TempTotalSize = total;
  return COMPILE_OK;
}

}  // namespace vtsetup

#include "compiler/source_list.h"

#include "base/console.h"
#include "setupdb/checksum_flag.h"

namespace vtsetup {
namespace {

constexpr char kSubDirsFlag[] = "/SUBDIRS";
constexpr char kDeleteUnemptyFlag[] = "/DELETEUNEMPTY";

// Values of "File1", "File2", ... (or "Dir1", ...) up to the first one that is missing or empty.
std::vector<TextString> NumberedValues(const ScriptValues& script, const char* stem) {
  std::vector<TextString> values;
  for (std::int32_t i = 1;; ++i) {
    TextString key;
    key.Format("%s%i", stem, i);
    const TextString value = script.Raw(SECTION_SOURCES, key.Data(), MISSING_VALUE);
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

void PrintMeasured(const FileEntry& entry) {
  ConsolePrint("%s Groesse:%i CRC:0x%x\n", entry.Path.Data(), static_cast<int>(entry.FileSize),
               static_cast<unsigned>(entry.Crc));
}

// The messages of one list key; each takes the section, the script and the number.
struct ListMessages {
  const char* too_high;
  const char* too_low;
};

// The tokens of a pack's list key, which must be there (an empty value is one empty token).
CompileResult ReadList(const ScriptValues& script, const char* section, const char* key,
                       std::vector<TextString>& list) {
  if (script.Raw(section, key, MISSING_VALUE) == MISSING_VALUE) {
    return ReportMissingKey(script, key, section);
  }
  list = SplitAtCommas(script.Clean(section, key, MISSING_VALUE));
  return COMPILE_OK;
}

// Checks the tokens one by one and hands each position and catalogue index (from 0) to `take`, so a
// later bad token fails only after the earlier ones were taken, as the report shows them.
template <typename Take>
CompileResult ForEachReference(const ScriptValues& script, const char* section,
                               const std::vector<TextString>& list, const CatalogueReference& kind,
                               std::size_t count, const ListMessages& messages, Take take) {
  for (std::size_t r = 0; r < list.size(); ++r) {
    std::int32_t number = 0;
    switch (CheckReference(list[r], kind, count, number)) {
      case ReferenceCheck::NotAReference:
        // The Dirs list shares the Files list's text.
        ConsolePrint("Fehler im Files-Eintrag in der Sektion %s in der Datei %s.\n", section,
                     script.ScriptPath().Data());
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::TooHigh:
        ConsolePrint(messages.too_high, section, script.ScriptPath().Data(), number);
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::TooLow:
        ConsolePrint(messages.too_low, section, script.ScriptPath().Data(), number);
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::Ok:
        take(r, static_cast<std::size_t>(number) - 1);
        break;
    }
  }
  return COMPILE_OK;
}

constexpr ListMessages kFilesMessages = {
    "Dateindex im Files-Eintrag in Sektion %s in der Datei %s ist zu hoch: %i.\n",
    "Dateindex im Files-Eintrag in Sektion %s in der Datei %s ist zu niedrig: %i.\n",
};
constexpr ListMessages kDirsMessages = {
    "Verzeichnisindex im Dirs-Eintrag in Sektion %s in der Datei %s ist zu hoch: %i.\n",
    "Verzeichnisindex im Dirs-Eintrag in Sektion %s in der Datei %s ist zu niedrig: %i.\n",
};

CompileResult ReadPackFileList(const ScriptValues& script, const char* section, PackInfo& pack,
                               const SourceList& sources) {
  std::vector<TextString> list;
  if (const CompileResult result = ReadList(script, section, "Files", list); result != COMPILE_OK) {
    return result;
  }
  return ForEachReference(script, section, list, FILE_REFERENCE, sources.Files.size(), kFilesMessages,
                          [&](std::size_t, std::size_t index) {
                            FileEntry entry;
                            entry.Path = sources.Files[index];
                            pack.Files.push_back(std::move(entry));
                          });
}

CompileResult ReadPackDirList(const ScriptValues& script, const char* section, PackInfo& pack,
                              const SourceList& sources, platform::FileSystem& files) {
  std::vector<TextString> list;
  if (const CompileResult result = ReadList(script, section, "Dirs", list); result != COMPILE_OK) {
    return result;
  }
  // The listed directories keep their places at the front; the walk appends what it finds after them.
  pack.Dirs.resize(list.size());
  return ForEachReference(script, section, list, DIR_REFERENCE, sources.Dirs.size(), kDirsMessages,
                          [&](std::size_t r, std::size_t index) {
                            const PackDir& source = sources.Dirs[index];
                            pack.Dirs[r].Path = source.Path;
                            pack.Dirs[r].DeleteUnempty = source.DeleteUnempty;
                            std::vector<FileEntry> found =
                                ScanSourceDir(files, sources, source.Path, source.SubDirs,
                                              source.DeleteUnempty, &pack.Dirs);
                            pack.Files.insert(pack.Files.end(), std::make_move_iterator(found.begin()),
                                              std::make_move_iterator(found.end()));
                          });
}

}  // namespace

SourceList ReadSources(const ScriptValues& script) {
  SourceList sources;
  sources.SrcDir = script.Clean(SECTION_SOURCES, "SrcDir", "Vantor Application");
  sources.SrcDir.EnsureTrailing('\\');
  sources.SrcDirMisc = script.Clean(SECTION_SOURCES, "SrcDirMisc", "Vantor Application");
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

CompileResult CollectPackFiles(const ScriptValues& script, const char* section, PackInfo& pack,
                               const SourceList& sources, FileMeasurer& measurer) {
  if (const CompileResult result = ReadPackFileList(script, section, pack, sources); result != COMPILE_OK) {
    return result;
  }
  ConsolePrint("Directories in Pack\n");
  if (const CompileResult result = ReadPackDirList(script, section, pack, sources, measurer.Files());
      result != COMPILE_OK) {
    return result;
  }
  ConsolePrint("\nCollecting Files...\n");
  const bool checksums = ChecksumVerification();
  for (FileEntry& entry : pack.Files) {
    const TextString open_path = OpenPath(sources, entry.Path);
    FileMeasurement measured;
    const platform::SystemError error = measurer.Measure(open_path, checksums, measured);
    if (error != platform::ERR_NONE) {
      ConsolePrint("Datei %s in der Sektion %s konnte nicht geoeffnet werden.\nGrund:", open_path.Data(),
                   section);
      ConsolePrint("%s\n", measurer.Files().ErrorText(error).Data());
      return COMPILE_CANNOT_OPEN;
    }
    entry.FileSize = measured.size;
    // Each entry adds the remainder past whole allocation units, not the slack up to the next unit.
    for (std::size_t j = 0; j < PACK_SIZE_ENTRIES; ++j) {
      const std::uint32_t unit_mask = (std::uint32_t{1} << j) - 1;
      pack.PackSizes[j] += entry.FileSize + (entry.FileSize & unit_mask);
    }
    entry.Crc = measured.crc;
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

CompileResult CollectTempFiles(const SourceList& sources, FileMeasurer& measurer, SetupInfo& info) {
  std::vector<FileEntry> entries =
      ScanSourceDir(measurer.Files(), sources, sources.SrcDirMisc, false, false, nullptr);
  ConsolePrint("Temporaere Dateien:\n");
  std::uint32_t total = 0;
  const bool checksums = ChecksumVerification();
  for (FileEntry& entry : entries) {
    const TextString open_path = OpenPath(sources, entry.Path);
    FileMeasurement measured;
    const platform::SystemError error = measurer.Measure(open_path, checksums, measured);
    if (error != platform::ERR_NONE) {
      ConsolePrint("Datei %s  konnte nicht geoeffnet werden.\nGrund:", open_path.Data());
      ConsolePrint("%s\n", measurer.Files().ErrorText(error).Data());
      return COMPILE_CANNOT_OPEN;
    }
    entry.FileSize = measured.size;
    total += entry.FileSize;
    entry.Crc = measured.crc;
    PrintMeasured(entry);
  }
  info.TempFiles = std::move(entries);
  info.TempTotalSize = total;
  return COMPILE_OK;
}

}  // namespace vtsetup

#include "compiler/source_list.h"

#include <array>
#include <iterator>
#include <limits>

#include "base/console.h"
#include "compiler/source_walk.h"
#include "setupdb/checksum_flag.h"

namespace vtsetup {
namespace {

constexpr char kSubDirsFlag[] = "/SUBDIRS";
constexpr char kDeleteUnemptyFlag[] = "/DELETEUNEMPTY";
constexpr std::uint64_t kLargestStoredNumber = std::numeric_limits<std::uint32_t>::max();

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

// The Dirs list shares the Files list's text.
CompileResult ReportBadListEntry(const ScriptValues& script, const char* section) {
  ConsolePrint("Fehler im Files-Eintrag in der Sektion %s in der Datei %s.\n", section,
               script.ScriptPath().Data());
  return COMPILE_BAD_ENTRY;
}

// The tokens of a pack's list key, which must be there (an empty value is one empty token).
CompileResult ReadList(const ScriptValues& script, const char* section, const char* key,
                       std::vector<TextString>& list) {
  const TextString value = script.Raw(section, key, MISSING_VALUE);
  if (value == MISSING_VALUE) {
    return ReportMissingKey(script, key, section);
  }
  if (!script.AllValuesWhole()) {
    return ReportBadListEntry(script, section);
  }
  list = SplitAtCommas(Cleaned(value));
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
        return ReportBadListEntry(script, section);
      case ReferenceCheck::TooHigh:
        ConsolePrint(messages.too_high, section, script.ScriptPath().Data(), number);
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::TooLow:
        ConsolePrint(messages.too_low, section, script.ScriptPath().Data(), number);
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::Ok:
        if (const CompileResult taken = take(r, static_cast<std::size_t>(number) - 1); taken != COMPILE_OK) {
          return taken;
        }
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
                            return COMPILE_OK;
                          });
}

// A listed directory that is not there compiles to an empty folder, which is rarely what the script's
// author meant.
void WarnOfMissingFolder(const ScriptValues& script, const char* section, const SourceList& sources,
                         std::size_t index, WalkStart start) {
  TextString folder = sources.SrcDir + sources.Dirs[index].Path;
  folder.EnsureTrailingBackslash();
  script.Notes().Warn("Dir%d of [%s] in %s names %s, which %s: the pack gets the folder %s with no files",
                      static_cast<int>(index + 1), section, script.ScriptPath().Data(), folder.Data(),
                      start == WalkStart::Missing ? "does not exist" : "is a file, not a folder",
                      sources.Dirs[index].Path.Data());
}

CompileResult ReadPackDirList(const ScriptValues& script, const char* section, PackInfo& pack,
                              const SourceList& sources, platform::FileSystem& files) {
  std::vector<TextString> list;
  if (const CompileResult result = ReadList(script, section, "Dirs", list); result != COMPILE_OK) {
    return result;
  }
  // The listed directories keep their places at the front; the walk appends what it finds after them.
  pack.Dirs.resize(list.size());
  SourceWalk walk(files, sources.SrcDir, script.Notes());
  return ForEachReference(script, section, list, DIR_REFERENCE, sources.Dirs.size(), kDirsMessages,
                          [&](std::size_t r, std::size_t index) {
                            const PackDir& source = sources.Dirs[index];
                            pack.Dirs[r].Path = source.Path;
                            pack.Dirs[r].DeleteUnempty = source.DeleteUnempty;
                            std::vector<FileEntry> found;
                            WalkStart start = WalkStart::Folder;
                            const CompileResult walked = walk.Walk(
                                source.Path, source.SubDirs, source.DeleteUnempty, &pack.Dirs, found, start);
                            if (start != WalkStart::Folder) {
                              WarnOfMissingFolder(script, section, sources, index, start);
                            }
                            pack.Files.insert(pack.Files.end(), std::make_move_iterator(found.begin()),
                                              std::make_move_iterator(found.end()));
                            return walked;
                          });
}

// Measures one file for its entry; COMPILE_OK, or the failure with its report.
CompileResult MeasureEntry(const SourceList& sources, FileMeasurer& measurer, bool checksums,
                           FileEntry& entry, const char* section) {
  const TextString open_path = OpenPath(sources, entry.Path);
  FileMeasurement measured;
  platform::SystemError open_error = platform::ERR_NONE;
  switch (measurer.Measure(open_path, checksums, measured, open_error)) {
    case Measured::Ok:
      entry.FileSize = measured.size;
      entry.Crc = measured.crc;
      return COMPILE_OK;
    case Measured::CannotOpen:
      if (section != nullptr) {
        ConsolePrint("Datei %s in der Sektion %s konnte nicht geoeffnet werden.\nGrund:", open_path.Data(),
                     section);
      } else {
        ConsolePrint("Datei %s  konnte nicht geoeffnet werden.\nGrund:", open_path.Data());
      }
      ConsolePrint("%s\n", measurer.Files().ErrorText(open_error).Data());
      return COMPILE_CANNOT_OPEN;
    case Measured::Unusable:
      break;
  }
  return COMPILE_CANNOT_OPEN;
}

}  // namespace

CompileResult ReadSources(const ScriptValues& script, SourceList& sources) {
  sources.SrcDir = script.Clean(SECTION_SOURCES, "SrcDir", "Vantor Application");
  sources.SrcDir.EnsureTrailing('\\');
  sources.SrcDirMisc = script.Clean(SECTION_SOURCES, "SrcDirMisc", "Vantor Application");
  for (const TextString& value : NumberedValues(script, "File")) {
    sources.Files.push_back(Cleaned(value));
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
  return script.AllValuesWhole() ? COMPILE_OK : COMPILE_BAD_ENTRY;
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
  // Summed wider than the file holds them, so that a pack too large for it fails instead of wrapping.
  std::array<std::uint64_t, PACK_SIZE_ENTRIES> totals{};
  for (FileEntry& entry : pack.Files) {
    if (const CompileResult measured = MeasureEntry(sources, measurer, checksums, entry, section);
        measured != COMPILE_OK) {
      return measured;
    }
    // Each entry adds the remainder past whole allocation units, not the slack up to the next unit.
    for (std::size_t j = 0; j < PACK_SIZE_ENTRIES; ++j) {
      const std::uint32_t unit_mask = (std::uint32_t{1} << j) - 1;
      totals[j] += std::uint64_t{entry.FileSize} + (entry.FileSize & unit_mask);
      if (totals[j] > kLargestStoredNumber) {
        measurer.Notes().Explain(
            "the files of [%s] up to %s need %llu bytes on a drive of %u-byte units; a database holds its "
            "space figures in 32 bits, so at most %llu",
            section, entry.Path.Data(), static_cast<unsigned long long>(totals[j]), 1u << j,
            static_cast<unsigned long long>(kLargestStoredNumber));
        return COMPILE_CANNOT_OPEN;
      }
      pack.PackSizes[j] = static_cast<std::uint32_t>(totals[j]);
    }
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
  std::vector<FileEntry> entries;
  WalkStart start = WalkStart::Folder;
  if (const CompileResult walked = SourceWalk(measurer.Files(), sources.SrcDir, measurer.Notes())
                                       .Walk(sources.SrcDirMisc, false, false, nullptr, entries, start);
      walked != COMPILE_OK) {
    return walked;
  }
  ConsolePrint("Temporaere Dateien:\n");
  std::uint64_t total = 0;
  const bool checksums = ChecksumVerification();
  for (FileEntry& entry : entries) {
    if (const CompileResult measured = MeasureEntry(sources, measurer, checksums, entry, nullptr);
        measured != COMPILE_OK) {
      return measured;
    }
    total += entry.FileSize;
    if (total > kLargestStoredNumber) {
      measurer.Notes().Explain(
          "the temporary files up to %s hold %llu bytes; a database holds their total in 32 bits, so at most "
          "%llu",
          entry.Path.Data(), static_cast<unsigned long long>(total),
          static_cast<unsigned long long>(kLargestStoredNumber));
      return COMPILE_CANNOT_OPEN;
    }
    PrintMeasured(entry);
  }
  info.TempFiles = std::move(entries);
  info.TempTotalSize = static_cast<std::uint32_t>(total);
  return COMPILE_OK;
}

}  // namespace vtsetup

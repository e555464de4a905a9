#include "compiler/compile_script.h"

#include "base/console.h"
#include "compiler/pack_reader.h"
#include "compiler/script_values.h"
#include "compiler/source_list.h"
#include "setupdb/checksum_flag.h"
#include "setupdb/path_variables.h"

namespace vtsetup {
namespace {

constexpr char kProginfo[] = "Proginfo";
constexpr char kOptions[] = "Options";
constexpr char kBitmaps[] = "Bitmaps";

CompileResult SectionMissing(platform::FileSystem& files, const ScriptValues& script, const char* section) {
  ConsolePrint("Sektion %s in Datei %s nicht gefunden. => Abbruch\n", section, script.ScriptPath().Data());
  // The profile functions leave "file not found" as the last error for a section they cannot find.
  ConsolePrint("%s\n", files.ErrorText(platform::ERR_FILE_NOT_FOUND).Data());
  return COMPILE_MISSING_SECTION;
}

void ReadProginfo(const ScriptValues& script, PathVariables& variables, SetupInfo& info) {
  info.PrgName = script.Clean(kProginfo, "PrgName", "Vantor Application");
  DefineVariable(&variables, "PrgName", info.PrgName);
  const auto expanded = [&](const char* key, const char* default_value) {
    TextString value = script.Clean(kProginfo, key, default_value);
    ExpandVariables(&variables, &value);
    return value;
  };
  info.DefDestDir = expanded("DefDestDir", "%DefaultPrgPath%\\%PrgName%");
  info.GroupName = expanded("GroupName", "%PrgName%");
  info.Company = expanded("Company", "Vantor Software");
  info.Product = expanded("Product", "");
  info.Version = expanded("Version", "1.0");
  info.Filename = expanded("Filename", "");
}

void ReadOptions(const ScriptValues& script, SetupOptions& options) {
  options = SetupOptions{};
  options.Uninstall = script.Flag(kOptions, "Uninstall", true);
  options.UninstallPrg = script.Clean(kOptions, "UninstallPrg", "dinstall.exe");
  options.DirectXDir = script.Clean(kOptions, "DirectXDir", "");
  options.BitmapDir = script.Clean(kOptions, "BitmapDir", "");
  options.RelativeDir = script.Clean(kOptions, "RelativeDir", "");
  options.ReadmeFile = script.Clean(kOptions, "ReadmeFile", "");
  options.SpareSpace = script.Number(kOptions, "SpareSpace", 0);
  options.InstallDirectX = script.Flag(kOptions, "InstallDirectX", false);
  options.Readme = script.Flag(kOptions, "Readme", false);
  options.CheckCRC = script.Flag(kOptions, "CheckCRC", true);
  options.SplashDelay = script.Number(kOptions, "SplashDelay", 2000);
  options.DefaultPack = script.SmallNumber(kOptions, "DefaultPack", 0);
  SetChecksumVerification(options.CheckCRC);
}

void PrintSummary(const SetupInfo& info) {
  ConsolePrint("\nOptions:\n----------------------------------------------------------\n");
  ConsolePrint("%s\n", info.Options.CheckCRC ? "CRC enabled" : "CRC disabled !!");
  ConsolePrint("Relative Dir: %s\n", info.Options.RelativeDir.Data());
  ConsolePrint("Company Name: %s\n", info.Company.Data());
  ConsolePrint("Product:      %s\n", info.Product.Data());
  ConsolePrint("Version:      %s\n", info.Version.Data());
  ConsolePrint("Filename:     %s\n\n\n", info.Filename.Data());
}

// All three are checked before deciding, so the author learns of every missing one at once.
bool RequiredProginfoPresent(const SetupInfo& info) {
  if (info.Product.IsEmpty()) {
    ConsolePrint("Key Proginfo->Product must be set in script (e.g. Orvella)\n");
  }
  if (info.Version.IsEmpty()) {
    ConsolePrint("Key Proginfo->Version must be set in script (e.g. 1.0)\n");
  }
  if (info.Filename.IsEmpty()) {
    ConsolePrint("Key Proginfo->Filename must be set in script (e.g. ORV.EXE)\n");
  }
  return !info.Product.IsEmpty() && !info.Version.IsEmpty() && !info.Filename.IsEmpty();
}

void ReadBitmaps(const ScriptValues& script, SetupBitmaps& bitmaps) {
  bitmaps.RecordSize = RECORD_SIZE_BITMAPS_COMPILING;
  bitmaps.Background640x480 = script.Clean(kBitmaps, "Background640x480", "");
  bitmaps.Background800x600 = script.Clean(kBitmaps, "Background800x600", "");
  bitmaps.Background1024x768 = script.Clean(kBitmaps, "Background1024x768", "");
  bitmaps.Background1280x1024 = script.Clean(kBitmaps, "Background1280x1024", "");
}

// The installer preselects the pack that DefaultPack numbers from 0; a number past the last pack
// preselects none.
void CheckDefaultPack(const ScriptValues& script, const SetupInfo& info) {
  if (info.Options.DefaultPack >= info.Packs.size()) {
    script.Notes().Warn("[%s] DefaultPack=%u in %s names no pack: the script has %u, numbered from 0",
                        kOptions, static_cast<unsigned>(info.Options.DefaultPack), script.ScriptPath().Data(),
                        static_cast<unsigned>(info.Packs.size()));
  }
}

CompileResult CompileOpenedScript(const ScriptValues& script, FileMeasurer& measurer, SetupInfo& info) {
  if (!script.HasSection(kProginfo)) {
    return SectionMissing(measurer.Files(), script, kProginfo);
  }
  PathVariables variables;
  ReadProginfo(script, variables, info);
  if (!script.AllValuesWhole()) {
    return COMPILE_BAD_ENTRY;
  }
  if (!script.HasSection(kOptions)) {
    return SectionMissing(measurer.Files(), script, kOptions);
  }
  ReadOptions(script, info.Options);
  if (!script.AllValuesWhole()) {
    return COMPILE_BAD_ENTRY;
  }
  PrintSummary(info);
  if (!RequiredProginfoPresent(info)) {
    return COMPILE_MISSING_KEY;
  }
  if (!script.HasSection(kBitmaps)) {
    return SectionMissing(measurer.Files(), script, kBitmaps);
  }
  ReadBitmaps(script, info.Bitmaps);
  if (!script.AllValuesWhole()) {
    return COMPILE_BAD_ENTRY;
  }
  if (!script.HasSection(SECTION_SOURCES)) {
    return SectionMissing(measurer.Files(), script, SECTION_SOURCES);
  }
  SourceList sources;
  if (const CompileResult result = ReadSources(script, sources); result != COMPILE_OK) {
    return result;
  }
  if (const CompileResult result = ReadPacks(script, sources, variables, measurer, info.Packs);
      result != COMPILE_OK) {
    return result;
  }
  CheckDefaultPack(script, info);
  return CollectTempFiles(sources, measurer, info);
}

}  // namespace

CompileResult CompileScript(platform::FileSystem& files, platform::Profile& profile, const char* script_path,
                            std::unique_ptr<SetupInfo>& info, CompileReport& report) {
  info.reset();
  const ScriptValues script(profile, files.FullPath(script_path), report.notes);
  if (files
          .Open(script.ScriptPath().Data(), platform::FileAccess::Read, platform::SHARE_READ,
                platform::FileCreation::OpenExisting)
          .file == nullptr) {
    ConsolePrint(
        "Die Datei %s konnte nicht ge\xF6"
        "ffnet werden => Abbruch\n",
        script_path);
    return COMPILE_CANNOT_OPEN;
  }
  info = std::make_unique<SetupInfo>();
  FileMeasurer measurer(files, report.notes);
  const CompileResult result = CompileOpenedScript(script, measurer, *info);
  report.sources = measurer.MeasuredFiles();
  return result;
}

CompileResult CompileScript(platform::FileSystem& files, platform::Profile& profile, const char* script_path,
                            std::unique_ptr<SetupInfo>& info) {
  CompileReport report;
  return CompileScript(files, profile, script_path, info, report);
}

}  // namespace vtsetup

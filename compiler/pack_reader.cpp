#include "compiler/pack_reader.h"

#include "base/console.h"

namespace vtsetup {
namespace {

// The three shortcut tables differ in their keys, their messages and whether they name a source file.
struct ShortcutTable {
  const char* stem;
  const char* missing_comma;   // takes the key number, the section and the script
  const char* index_too_high;  // takes the section, the script and the number; null for web addresses
  const char* index_too_low;
};

constexpr ShortcutTable kStartMenu = {
    "Shortcut",
    "Der Shortcut-Eintrag %i in der Sektion %s in der Datei %s ist ung\xFCltig: , fehlt.\n",
    "Dateindex im Shortcut-Eintrag in Sektion %s in der Datei %s ist zu hoch: %i.\n",
    "Dateindex im Shortcut-Eintrag in Sektion %s in der Datei %s ist zu niedrig: %i.\n",
};
constexpr ShortcutTable kDesktop = {
    "DesktopShortcut",
    "Der Desktop-Shortcut-Eintrag %i in der Sektion %s in der Datei %s ist ung\xFCltig: , fehlt.\n",
    "Dateindex im Desktop-Shortcut-Eintrag in Sektion %s in der Datei %s ist zu hoch: %i.\n",
    "Dateindex im Desktop-Shortcut-Eintrag in Sektion %s in der Datei %s ist zu niedrig: %i.\n",
};
constexpr ShortcutTable kInternet = {
    "InternetShortcut",
    "Der Internet-Shortcut-Eintrag %i in der Sektion %s in der Datei %s ist ung\xFCltig: , fehlt.\n",
    nullptr,
    nullptr,
};

TextString ShortcutKey(const ShortcutTable& table, std::int32_t n) {
  TextString key;
  key.Format("%s%i", table.stem, n);
  return key;
}

// A Start-menu or desktop shortcut value that its buffer cut fails as a bad shortcut entry; the
// internet table has no such message, and the notes say why.
CompileResult ReportCutShortcut(const ScriptValues& script, const char* section, const ShortcutTable& table) {
  if (table.index_too_high != nullptr) {
    ConsolePrint("Fehler im Shortcut-Eintrag in der Sektion %s in der Datei %s.\n", section,
                 script.ScriptPath().Data());
  }
  return COMPILE_BAD_ENTRY;
}

CompileResult ReadShortcuts(const ScriptValues& script, const char* section, const ShortcutTable& table,
                            const SourceList& sources, const PathVariables& variables,
                            std::vector<ShortcutEntry>& shortcuts) {
  // A key that is there with an empty value still counts, and then fails for its missing comma.
  std::vector<TextString> values;
  for (;;) {
    TextString value = script.Clean(
        section, ShortcutKey(table, static_cast<std::int32_t>(values.size()) + 1).Data(), MISSING_SHORTCUT);
    if (!script.AllValuesWhole()) {
      return ReportCutShortcut(script, section, table);
    }
    if (value == MISSING_SHORTCUT) {
      break;
    }
    values.push_back(std::move(value));
  }
  const auto count = static_cast<std::int32_t>(values.size());
  shortcuts.assign(values.size(), ShortcutEntry{});
  for (std::int32_t n = 1; n <= count; ++n) {
    const TextString& value = values[static_cast<std::size_t>(n) - 1];
    const std::int32_t comma = value.Find(",");
    if (comma < 0) {
      ConsolePrint(table.missing_comma, n, section, script.ScriptPath().Data());
      return COMPILE_BAD_ENTRY;
    }
    const TextString reference = value.Left(static_cast<std::uint32_t>(comma));
    ShortcutEntry& shortcut = shortcuts[static_cast<std::size_t>(n) - 1];
    shortcut.Name = value.Mid(static_cast<std::uint32_t>(comma) + 1);
    ExpandVariables(&variables, &shortcut.Name);
    if (table.index_too_high == nullptr) {
      shortcut.Target = "http://" + reference;
      continue;
    }
    std::int32_t number = 0;
    switch (CheckReference(reference, FILE_REFERENCE, sources.Files.size(), number)) {
      case ReferenceCheck::NotAReference:
        ConsolePrint("Fehler im Shortcut-Eintrag in der Sektion %s in der Datei %s.\n", section,
                     script.ScriptPath().Data());
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::TooHigh:
        ConsolePrint(table.index_too_high, section, script.ScriptPath().Data(), number);
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::TooLow:
        ConsolePrint(table.index_too_low, section, script.ScriptPath().Data(), number);
        return COMPILE_BAD_ENTRY;
      case ReferenceCheck::Ok:
        break;
    }
    shortcut.Target = sources.Files[static_cast<std::size_t>(number) - 1];
  }
  return COMPILE_OK;
}

CompileResult ReadRequiredName(const ScriptValues& script, const char* section, const char* key,
                               TextString& field) {
  const TextString value = script.Raw(section, key, MISSING_VALUE);
  if (value == MISSING_VALUE) {
    return ReportMissingKey(script, key, section);
  }
  if (!script.AllValuesWhole()) {
    return COMPILE_BAD_ENTRY;
  }
  field = Cleaned(value);
  return COMPILE_OK;
}

CompileResult ReadPack(const ScriptValues& script, const char* section, const SourceList& sources,
                       const PathVariables& variables, FileMeasurer& measurer, PackInfo& pack) {
  ConsolePrint("==> %s\n", section);
  CompileResult result = ReadRequiredName(script, section, "Typename", pack.Typename);
  if (result == COMPILE_OK) {
    result = ReadRequiredName(script, section, "Typedesc", pack.Typedesc);
  }
  if (result == COMPILE_OK) {
    result = CollectPackFiles(script, section, pack, sources, measurer);
  }
  for (const auto& [table, shortcuts] :
       {std::pair{&kStartMenu, &pack.Shortcuts}, std::pair{&kDesktop, &pack.DesktopShortcuts},
        std::pair{&kInternet, &pack.InternetShortcuts}}) {
    if (result == COMPILE_OK) {
      result = ReadShortcuts(script, section, *table, sources, variables, *shortcuts);
    }
  }
  if (result == COMPILE_OK) {
    ConsolePrint("\n\n");
  }
  return result;
}

TextString PackSection(std::size_t index) {
  TextString section;
  section.Format("Pack%i", static_cast<int>(index + 1));
  return section;
}

}  // namespace

CompileResult ReadPacks(const ScriptValues& script, const SourceList& sources, const PathVariables& variables,
                        FileMeasurer& measurer, std::vector<PackInfo>& packs) {
  std::size_t count = 0;
  while (script.HasSection(PackSection(count).Data())) {
    ++count;
  }
  packs.assign(count, PackInfo{});
  for (std::size_t i = 0; i < count; ++i) {
    if (const CompileResult result =
            ReadPack(script, PackSection(i).Data(), sources, variables, measurer, packs[i]);
        result != COMPILE_OK) {
      return result;
    }
  }
  return COMPILE_OK;
}

}  // namespace vtsetup

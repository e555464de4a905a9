#include "compiler/database_json.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"

namespace vtsetup {
namespace {

using Member = std::pair<const char*, std::string>;

std::string Quoted(const TextString& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : Cp1250ToUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte < 0x20) {
      out.append("\\u00");
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

std::string Number(std::int64_t value) {
  return std::to_string(value);
}

std::string Flag(bool value) {
  return value ? "true" : "false";
}

std::string Key(const char* key) {
  return std::string("\"") + key + "\": ";
}

// `indent` is the column of the opening line; members go two blanks deeper.
std::string Object(const std::vector<Member>& members, int indent) {
  const std::string inner(indent + 2, ' ');
  std::string out = "{\n";
  for (std::size_t i = 0; i < members.size(); ++i) {
    out += inner + Key(members[i].first) + members[i].second + (i + 1 < members.size() ? ",\n" : "\n");
  }
  return out + std::string(indent, ' ') + "}";
}

std::string Array(const std::vector<std::string>& items, int indent) {
  if (items.empty()) {
    return "[]";
  }
  const std::string inner(indent + 2, ' ');
  std::string out = "[\n";
  for (std::size_t i = 0; i < items.size(); ++i) {
    out += inner + items[i] + (i + 1 < items.size() ? ",\n" : "\n");
  }
  return out + std::string(indent, ' ') + "]";
}

std::string InlineObject(const std::vector<Member>& members) {
  std::string out = "{";
  for (std::size_t i = 0; i < members.size(); ++i) {
    out += (i == 0 ? "" : ", ") + Key(members[i].first) + members[i].second;
  }
  return out + "}";
}

std::string Files(const std::vector<FileEntry>& files, int indent) {
  std::vector<std::string> items;
  for (const FileEntry& file : files) {
    items.push_back(InlineObject(
        {{"Path", Quoted(file.Path)}, {"FileSize", Number(file.FileSize)}, {"Crc", Number(file.Crc)}}));
  }
  return Array(items, indent);
}

std::string Dirs(const std::vector<PackDir>& dirs, int indent) {
  std::vector<std::string> items;
  for (const PackDir& dir : dirs) {
    items.push_back(InlineObject({{"Path", Quoted(dir.Path)}, {"DeleteUnempty", Flag(dir.DeleteUnempty)}}));
  }
  return Array(items, indent);
}

std::string Shortcuts(const std::vector<ShortcutEntry>& shortcuts, int indent) {
  std::vector<std::string> items;
  for (const ShortcutEntry& shortcut : shortcuts) {
    items.push_back(InlineObject({{"Name", Quoted(shortcut.Name)}, {"Target", Quoted(shortcut.Target)}}));
  }
  return Array(items, indent);
}

std::string PackSizes(const std::array<std::uint32_t, PACK_SIZE_ENTRIES>& sizes) {
  std::string out = "[";
  for (std::size_t j = 0; j < sizes.size(); ++j) {
    out += (j == 0 ? "" : ", ") + Number(sizes[j]);
  }
  return out + "]";
}

std::string Pack(const PackInfo& pack, int indent) {
  const int members = indent + 2;
  return Object({{"Typename", Quoted(pack.Typename)},
                 {"Typedesc", Quoted(pack.Typedesc)},
                 {"PackSizes", PackSizes(pack.PackSizes)},
                 {"Dirs", Dirs(pack.Dirs, members)},
                 {"Files", Files(pack.Files, members)},
                 {"Shortcuts", Shortcuts(pack.Shortcuts, members)},
                 {"DesktopShortcuts", Shortcuts(pack.DesktopShortcuts, members)},
                 {"InternetShortcuts", Shortcuts(pack.InternetShortcuts, members)}},
                indent);
}

std::string Options(const SetupOptions& options) {
  return Object({{"RecordSize", Number(options.RecordSize)},
                 {"SpareSpace", Number(options.SpareSpace)},
                 {"InstallDirectX", Flag(options.InstallDirectX)},
                 {"InstallGame", Flag(options.InstallGame)},
                 {"SplashDelay", Number(options.SplashDelay)},
                 {"Uninstall", Flag(options.Uninstall)},
                 {"Readme", Flag(options.Readme)},
                 {"CheckCRC", Flag(options.CheckCRC)},
                 {"DefaultPack", Number(options.DefaultPack)},
                 {"RelativeDir", Quoted(options.RelativeDir)},
                 {"DirectXDir", Quoted(options.DirectXDir)},
                 {"UninstallPrg", Quoted(options.UninstallPrg)},
                 {"BitmapDir", Quoted(options.BitmapDir)},
                 {"ReadmeFile", Quoted(options.ReadmeFile)}},
                2);
}

std::string Bitmaps(const SetupBitmaps& bitmaps) {
  return Object({{"Background640x480", Quoted(bitmaps.Background640x480)},
                 {"Background800x600", Quoted(bitmaps.Background800x600)},
                 {"Background1024x768", Quoted(bitmaps.Background1024x768)},
                 {"Background1280x1024", Quoted(bitmaps.Background1280x1024)}},
                2);
}

}  // namespace

std::string DatabaseJson(const SetupInfo& info) {
  std::vector<std::string> packs;
  for (const PackInfo& pack : info.Packs) {
    packs.push_back(Pack(pack, 4));
  }
  return Object({{"PrgName", Quoted(info.PrgName)},
                 {"DefDestDir", Quoted(info.DefDestDir)},
                 {"GroupName", info.GroupName ? Quoted(*info.GroupName) : "null"},
                 {"Company", Quoted(info.Company)},
                 {"Product", Quoted(info.Product)},
                 {"Version", Quoted(info.Version)},
                 {"Filename", Quoted(info.Filename)},
                 {"Options", Options(info.Options)},
                 {"Bitmaps", Bitmaps(info.Bitmaps)},
                 {"Packs", Array(packs, 2)},
                 {"TempTotalSize", Number(info.TempTotalSize)},
                 {"TempFiles", Files(info.TempFiles, 2)}},
                0) +
         "\n";
}

}  // namespace vtsetup

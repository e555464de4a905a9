#include "platform/host/machine/machine_config.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <set>
#include <sstream>
#include <string_view>

#include "base/ascii.h"
#include "base/code_page.h"
#include "base/quoted.h"

namespace vtsetup::platform::host {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::optional<DriveType> ParseDriveType(const std::string& name) {
  static constexpr std::pair<const char*, DriveType> kTypes[] = {
      {"unknown", DriveType::Unknown}, {"removable", DriveType::Removable}, {"fixed", DriveType::Fixed},
      {"remote", DriveType::Remote},   {"cdrom", DriveType::CdRom},         {"ramdisk", DriveType::RamDisk},
  };
  for (const auto& [text, type] : kTypes) {
    if (name == text) {
      return type;
    }
  }
  return std::nullopt;
}

std::optional<bool> ParseYesNo(const std::string& text) {
  if (text == "yes" || text == "1" || text == "true") {
    return true;
  }
  if (text == "no" || text == "0" || text == "false") {
    return false;
  }
  return std::nullopt;
}

std::optional<SystemVersion> ParseVersion(std::string_view text) {
  SystemVersion version;
  std::uint32_t* parts[] = {&version.major, &version.minor, &version.build};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t dot = i < 2 ? text.find('.') : text.size();
    if (dot == std::string_view::npos) {
      return std::nullopt;
    }
    const auto number = ParseNumber<std::uint32_t>(text.substr(0, dot));
    if (!number) {
      return std::nullopt;
    }
    *parts[i] = *number;
    text.remove_prefix(std::min(dot + 1, text.size()));
  }
  return version;
}

// A Windows path on a drive: a letter, a colon and a backslash at least.
bool IsDrivePath(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

class Parser {
 public:
  Parser(const std::string& root, const std::string& file_name) : root_(root), file_name_(file_name) {}

  ConfigParse Run(std::string_view text) {
    if (text.starts_with(UTF8_BYTE_ORDER_MARK)) {
      text.remove_prefix(UTF8_BYTE_ORDER_MARK.size());
    }
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
      ++line_number_;
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      if (!Line(TrimBlanks(line))) {
        return {std::nullopt, error_};
      }
    }
    if (!FinishDrive()) {
      return {std::nullopt, error_};
    }
    std::sort(config_.drives.begin(), config_.drives.end(),
              [](const DriveConfig& a, const DriveConfig& b) { return a.letter < b.letter; });
    return {config_, ""};
  }

 private:
  enum class Section { None, System, Drive };

  bool Fail(const std::string& what) {
    error_ = file_name_ + " line " + std::to_string(line_number_) + ": " + what;
    return false;
  }

  bool Line(std::string_view line) {
    if (line.empty() || line.front() == ';' || line.front() == '#') {
      return true;
    }
    if (line.front() == '[') {
      return SectionHeader(line);
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      return Fail(Quoted(line) + " is neither a [section] nor a key = value entry");
    }
    const std::string key = Lower(TrimBlanks(line.substr(0, equals)));
    const std::string value(TrimBlanks(line.substr(equals + 1)));
    if (section_ == Section::None) {
      return Fail("the entry " + Quoted(key) + " stands before any section");
    }
    if (!seen_keys_.insert(key).second) {
      return Fail("the key " + Quoted(key) + " is given twice in " + section_name_);
    }
    return section_ == Section::System ? SystemEntry(key, value) : DriveEntry(key, value);
  }

  bool SectionHeader(std::string_view line) {
    if (line.back() != ']') {
      return Fail("a section header must end in \"]\"");
    }
    if (!FinishDrive()) {
      return false;
    }
    section_name_ = Escaped(line);  // for messages only
    seen_keys_.clear();
    const std::string name = Lower(TrimBlanks(line.substr(1, line.size() - 2)));
    if (name == "system") {
      if (system_seen_) {
        return Fail("the section [System] is given twice");
      }
      system_seen_ = true;
      section_ = Section::System;
      return true;
    }
    if (name.size() == 7 && name.compare(0, 6, "drive ") == 0 && name[6] >= 'a' && name[6] <= 'z') {
      drive_ = DriveConfig();
      drive_.letter = static_cast<char>(name[6] - 'a' + 'A');
      if (config_.Drive(drive_.letter) != nullptr) {
        return Fail("the drive " + std::string(1, drive_.letter) + ": is given twice");
      }
      drive_line_ = line_number_;
      section_ = Section::Drive;
      return true;
    }
    return Fail("unknown section " + section_name_ + " (known: [System], [Drive C] to [Drive Z] and so on)");
  }

  bool FinishDrive() {
    if (section_ != Section::Drive) {
      return true;
    }
    section_ = Section::None;
    if (drive_.folder.empty()) {
      line_number_ = drive_line_;
      return Fail(section_name_ + " has no Folder");
    }
    config_.drives.push_back(drive_);
    return true;
  }

  bool DriveEntry(const std::string& key, const std::string& value) {
    if (key == "folder") {
      if (value.empty()) {
        return Fail("Folder is empty");
      }
      const std::filesystem::path folder(value);
      drive_.folder =
          (folder.is_absolute() ? folder : std::filesystem::path(root_) / folder).lexically_normal().string();
      if (drive_.folder.size() > 1 && drive_.folder.back() == '/') {
        drive_.folder.pop_back();
      }
      return true;
    }
    if (key == "type") {
      const auto type = ParseDriveType(Lower(value));
      if (!type) {
        return Fail("unknown drive type " + Quoted(value) +
                    " (known: fixed, removable, cdrom, remote, ramdisk, unknown)");
      }
      drive_.type = *type;
      return true;
    }
    if (key == "freebytes" || key == "totalbytes") {
      const auto bytes = ParseNumber<std::uint64_t>(value);
      if (!bytes) {
        return Fail(key + " must be a number of bytes, not " + Quoted(value));
      }
      (key == "freebytes" ? drive_.free_bytes : drive_.total_bytes) = *bytes;
      return true;
    }
    if (key == "readonly") {
      return YesOrNo("ReadOnly", value, drive_.read_only);
    }
    if (key == "clustersize") {
      const auto size = ParseNumber<std::uint32_t>(value);
      if (!size || *size == 0) {
        return Fail("ClusterSize must be a positive number of bytes, not " + Quoted(value));
      }
      drive_.cluster_size = *size;
      return true;
    }
    return Fail("unknown key " + Quoted(key) + " in " + section_name_ +
                " (known: Folder, Type, FreeBytes, TotalBytes, ClusterSize, ReadOnly)");
  }

  bool SystemEntry(const std::string& key, const std::string& value) {
    std::string* folder = key == "tempfolder"       ? &config_.temp_folder
                          : key == "programsfolder" ? &config_.programs_folder
                          : key == "desktopfolder"  ? &config_.desktop_folder
                          : key == "systemfolder"   ? &config_.system_folder
                                                    : nullptr;
    if (folder != nullptr) {
      if (!IsDrivePath(value)) {
        return Fail(key + " must be a Windows path such as C:\\Windows, not " + Quoted(value));
      }
      *folder = value;
      return true;
    }
    if (key == "screenwidth" || key == "screenheight" || key == "codepage") {
      const auto number = ParseNumber<std::uint32_t>(value);
      if (!number) {
        return Fail(key + " must be a number, not " + Quoted(value));
      }
      (key == "screenwidth"    ? config_.screen_width
       : key == "screenheight" ? config_.screen_height
                               : config_.code_page) = *number;
      return true;
    }
    if (key == "acceptrestart") {
      return YesOrNo("AcceptRestart", value, config_.accept_restart);
    }
    if (key == "extendedfreespace") {
      return YesOrNo("ExtendedFreeSpace", value, config_.extended_free_space);
    }
    if (key == "capplainfreespace") {
      return YesOrNo("CapPlainFreeSpace", value, config_.cap_plain_free_space);
    }
    if (key == "version") {
      const auto version = ParseVersion(value);
      if (!version) {
        return Fail("Version must read major.minor.build, not " + Quoted(value));
      }
      config_.version = *version;
      return true;
    }
    return Fail("unknown key " + Quoted(key) +
                " in [System] (known: TempFolder, ProgramsFolder, DesktopFolder, "
                "SystemFolder, ScreenWidth, ScreenHeight, AcceptRestart, CodePage, Version, "
                "ExtendedFreeSpace, CapPlainFreeSpace)");
  }

  bool YesOrNo(const char* key, const std::string& value, bool& setting) {
    const auto yes = ParseYesNo(Lower(value));
    if (!yes) {
      return Fail(std::string(key) + " must be yes or no, not " + Quoted(value));
    }
    setting = *yes;
    return true;
  }

  std::string root_;
  std::string file_name_;
  MachineConfig config_;
  std::string error_;
  int line_number_ = 0;
  Section section_ = Section::None;
  std::string section_name_;
  std::set<std::string> seen_keys_;
  bool system_seen_ = false;
  DriveConfig drive_;
  int drive_line_ = 0;
};

}  // namespace

const DriveConfig* MachineConfig::Drive(char letter) const {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (const DriveConfig& drive : drives) {
    if (drive.letter == upper) {
      return &drive;
    }
  }
  return nullptr;
}

ConfigParse ParseMachineConfig(const std::string& text, const std::string& root,
                               const std::string& file_name) {
  return Parser(root, file_name).Run(text);
}

std::string DefaultMachineIni() {
  return "; The Windows machine that setup programs see on this host.\n"
         ";\n"
         "; [Drive X]: Folder (relative to this file's folder, or absolute), Type (fixed, removable,\n"
         "; cdrom, remote, ramdisk, unknown), and optionally FreeBytes (enforced as a quota),\n"
         "; TotalBytes, ClusterSize and ReadOnly (yes: the medium is write-protected). A CD-ROM and a\n"
         "; read-only drive refuse every change; a drive whose folder is missing has no medium: it is\n"
         "; not ready.\n"
         ";\n"
         "; [System]: ExtendedFreeSpace = no takes the extended free-space query of large FAT32 drives\n"
         "; away, as older systems lack it; CapPlainFreeSpace = yes makes the plain query report at most\n"
         "; 2 GiB of free and of total bytes, as the systems that have the extended query do.\n"
         "\n"
         "[Drive C]\n"
         "Folder = drive_c\n"
         "Type = fixed\n"
         "\n"
         "[Drive Z]\n"
         "Folder = /\n"
         "Type = remote\n"
         "\n"
         "[System]\n"
         "TempFolder = C:\\Windows\\Temp\n"
         "ProgramsFolder = C:\\Windows\\Start Menu\\Programs\n"
         "DesktopFolder = C:\\Windows\\Desktop\n"
         "SystemFolder = C:\\Windows\\System\n"
         "ScreenWidth = 1024\n"
         "ScreenHeight = 768\n"
         "AcceptRestart = yes\n"
         "CodePage = 1250\n"
         "Version = 4.10.2222\n"
         "ExtendedFreeSpace = yes\n"
         "CapPlainFreeSpace = no\n";
}

}  // namespace vtsetup::platform::host

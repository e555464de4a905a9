#include "tests/compiler/script_fixture.h"

#include <fstream>

#include "platform/system.h"
#include "tests/support/random_bytes.h"
#include "tests/support/reference_crc.h"

namespace vtsetup::testing {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

Sections BaseScript() {
  return {
      {"Proginfo",
       {"PrgName=Orvella", "Product=Orvella", "Version=2.1", "Filename=orv.exe",
        "GroupName=%PrgName% Games   // the group"}},
      {"Options", {"CheckCRC=1", "Readme=2", "RelativeDir=GAME"}},
      {"Bitmaps", {"Background640x480=bg.bmp"}},
      {"Sources",
       {"SrcDir=src", "SrcDirMisc=MISC\\", "File1=orv.exe", "File2=readme.txt", "File3=big.dat",
        "Dir1=data\\ /subdirs", "Dir2=\"gfx\\   \"", "Dir3=empty\\ /DeleteUnempty"}},
      {"Pack1",
       {"Typename=Small", "Typedesc=Just the game", "Files=File1", "Dirs=Dir3", "Shortcut1=File1,%PrgName%",
        "Shortcut2=File2, Read me", "Shortcut4=File3,ignored",
        "InternetShortcut1=www.example.com,Home page"}},
      {"Pack2",
       {"Typename=Full", "Typedesc=Everything", "Files=File1,File3", "Dirs=Dir1,Dir3",
        "DesktopShortcut1=File1,Orvella"}},
      {"Pack4", {"Typename=Unreachable", "Typedesc=after a gap"}},
  };
}

void Set(Sections& script, const std::string& section, const std::string& key, const std::string& value) {
  for (auto& [name, lines] : script) {
    if (name != section) {
      continue;
    }
    std::erase_if(lines, [&](const std::string& line) { return line.rfind(key + "=", 0) == 0; });
    lines.push_back(key + "=" + value);
    return;
  }
  script.push_back({section, {key + "=" + value}});
}

void Remove(Sections& script, const std::string& section, const std::string& key) {
  for (auto& [name, lines] : script) {
    if (name == section) {
      std::erase_if(lines, [&](const std::string& line) { return line.rfind(key + "=", 0) == 0; });
    }
  }
}

void CompileScriptTest::SetUp() {
  previous_ = std::filesystem::current_path();
  std::filesystem::current_path(dir_.Path());
  std::filesystem::create_directories("src/DATA/SND");
  std::filesystem::create_directories("src/DATA/.svn");
  std::filesystem::create_directories("src/EMPTY");
  std::filesystem::create_directories("src/MISC/NESTED");
  files_ = {{"src/orv.exe", RandomBytes(5000, 1)},        {"src/readme.txt", RandomBytes(10, 2)},
            {"src/big.dat", RandomBytes(70000, 3)},       {"src/DATA/b.bin", RandomBytes(3, 4)},
            {"src/DATA/A.bin", RandomBytes(1, 5)},        {"src/DATA/SND/c.wav", RandomBytes(4097, 6)},
            {"src/DATA/.svn/x", RandomBytes(2, 7)},       {"src/MISC/helper.dll", RandomBytes(100, 8)},
            {"src/MISC/NESTED/no.txt", RandomBytes(1, 9)}};
  for (const auto& [path, bytes] : files_) {
    WriteBytes(path, bytes);
  }
}

CompileResult CompileScriptTest::Compile(const Sections& script, platform::FileSystem* files) {
  std::ofstream out("setup.ini", std::ios::trunc);
  for (const auto& [name, lines] : script) {
    out << "[" << name << "]\r\n";
    for (const std::string& line : lines) {
      out << line << "\r\n";
    }
  }
  out.close();
  platform::System& system = platform::TheSystem();
  report_ = CompileReport();
  CaptureStdout();
  CaptureStderr();
  const CompileResult result = CompileScript(files != nullptr ? *files : system.Files(), system.Profiles(),
                                             "setup.ini", info_, report_);
  notes_ = GetCapturedStderr();
  console_ = GetCapturedStdout();
  return result;
}

std::uint32_t CompileScriptTest::Crc(const std::string& path) {
  const std::vector<unsigned char>& bytes = files_.at(path);
  return BitwiseCrc(0xFFFFFFFFu, bytes.data(), bytes.size());
}

std::string CompileScriptTest::ScriptPath() const {
  return platform::TheSystem().Files().FullPath("setup.ini").Data();
}

}  // namespace vtsetup::testing

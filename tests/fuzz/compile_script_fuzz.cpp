// Feeds arbitrary setup scripts to the compiler over a small fixed source tree. Whatever compiles must
// store and load again.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "compiler/compile_script.h"
#include "platform/system.h"
#include "setupdb/setup_file.h"

namespace {

// The source tree lives in one folder per process, which is also the current folder, so that the
// scripts' relative paths find it; it is removed when the fuzzer exits.
class SourceTree {
 public:
  SourceTree()
      : path_(std::filesystem::temp_directory_path() /
              ("compile-script-fuzz-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_ / "src" / "DATA" / "SUB");
    std::filesystem::create_directories(path_ / "src" / "MISC");
    for (const char* name :
         {"src/game.exe", "src/readme.txt", "src/DATA/a.bin", "src/DATA/SUB/b.bin", "src/MISC/helper.dll"}) {
      std::ofstream(path_ / name) << name;
    }
    std::filesystem::current_path(path_);
    // The compiler reports every step on the standard output; the fuzzer has no use for it.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
      std::abort();
    }
  }
  SourceTree(const SourceTree&) = delete;
  SourceTree& operator=(const SourceTree&) = delete;
  ~SourceTree() {
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::filesystem::path path_;
};

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "compile_script_fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const SourceTree tree;
  {
    std::ofstream script("setup.ini", std::ios::binary | std::ios::trunc);
    script.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  std::unique_ptr<vtsetup::SetupInfo> info;
  const auto result = vtsetup::CompileScript(system.Files(), system.Profiles(), "setup.ini", info);
  Check(result >= vtsetup::COMPILE_OK && result <= vtsetup::COMPILE_BAD_ENTRY, "unexpected result");
  Check(info != nullptr, "no tree for a script that exists");
  if (result != vtsetup::COMPILE_OK) {
    return 0;
  }
  Check(vtsetup::WriteSetupFile(system.Files(), *info, "SETUP.INF") == vtsetup::SETUP_FILE_OK,
        "cannot store");
  std::unique_ptr<vtsetup::SetupInfo> loaded;
  Check(vtsetup::ReadSetupFile(system.Files(), "SETUP.INF", loaded) == vtsetup::SETUP_FILE_OK, "cannot load");
  Check(loaded->Packs.size() == info->Packs.size(), "packs lost");
  return 0;
}

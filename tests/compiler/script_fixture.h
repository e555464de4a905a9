#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "compiler/compile_script.h"
#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {

using Sections = std::vector<std::pair<std::string, std::vector<std::string>>>;

// A complete script over a small source tree; each test changes what it is about.
Sections BaseScript();
// Sets a key, adding the section when the script lacks it.
void Set(Sections& script, const std::string& section, const std::string& key, const std::string& value);
void Remove(Sections& script, const std::string& section, const std::string& key);

// Compiles in a folder of its own that holds the source tree of BaseScript, with what the compiler said
// on each stream.
class CompileScriptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override { std::filesystem::current_path(previous_); }

  // Through `files` when given, else through the system's own.
  CompileResult Compile(const Sections& script, platform::FileSystem* files = nullptr);

  std::uint32_t Crc(const std::string& path);
  std::string ScriptPath() const;

  TempDir dir_;
  std::filesystem::path previous_;
  std::map<std::string, std::vector<unsigned char>> files_;
  std::unique_ptr<SetupInfo> info_;
  CompileReport report_;
  std::string console_;  // the standard output
  std::string notes_;    // the standard error
};

}  // namespace vtsetup::testing

#include "platform/host/processes/host_libraries.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/current_folder.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;
using vtsetup::platform::ERR_BAD_FORMAT;
using vtsetup::platform::ERR_FILE_NOT_FOUND;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::ERR_PATH_NOT_FOUND;
using vtsetup::platform::Libraries;
using vtsetup::platform::LibraryLoad;
using vtsetup::platform::SystemError;
using vtsetup::testing::CurrentFolder;
using vtsetup::testing::ScopedVariable;
using vtsetup::testing::TestMachine;

using DirectXSetup = int(VT_WINAPI*)(void*, const char*, std::uint32_t);

class HostLibrariesTest : public ::testing::Test {
 protected:
  // The stub "DSETUP.DLL" of this build, copied to a Windows folder of the machine.
  std::string PlaceStub(const std::string& windows_folder) {
    const std::string folder = machine_.Host(windows_folder);
    fs::create_directories(folder);
    fs::copy_file(VT_DSETUP_STUB, folder + "/DSETUP.DLL", fs::copy_options::overwrite_existing);
    return folder;
  }

  TestMachine machine_;
  Libraries& libraries_ = machine_.System().Modules();
};

TEST_F(HostLibrariesTest, LoadsAWindowsPathInAnyCaseAndCallsItsExport) {
  PlaceStub(R"(C:\Setup\DirectX)");
  const LibraryLoad load = libraries_.Load(R"(c:\SETUP\directx\dsetup.dll)");
  ASSERT_EQ(load.error, ERR_NONE);
  ASSERT_NE(load.library, nullptr);
  EXPECT_EQ(load.library->Find("DirectXSetupW"), nullptr);

  const auto setup = reinterpret_cast<DirectXSetup>(load.library->Find("DirectXSetupA"));
  ASSERT_NE(setup, nullptr);
  const std::string record = (machine_.Root() / "dsetup.txt").string();
  const ScopedVariable record_to("VTSETUP_DSETUP_RECORD", record);
  const ScopedVariable answer("VTSETUP_DSETUP_RESULT", "-12");
  int window = 0;
  EXPECT_EQ(setup(&window, R"(C:\Setup\DirectX)", 0x10018), -12);
  std::ifstream in(record);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, R"(window=set root=C:\Setup\DirectX flags=0x10018)");
}

TEST_F(HostLibrariesTest, FindsABareNameInTheCurrentThenTheSystemFolder) {
  const std::string setup_folder = PlaceStub(R"(C:\Setup)");
  {
    const CurrentFolder inside(setup_folder);
    EXPECT_EQ(libraries_.Load("dsetup").error, ERR_NONE);
  }
  const CurrentFolder elsewhere(machine_.Root());
  EXPECT_EQ(libraries_.Load("DSETUP.DLL").error, ERR_FILE_NOT_FOUND);
  PlaceStub(machine_.Machine().Config().system_folder);
  const LibraryLoad load = libraries_.Load("DSETUP.DLL");
  ASSERT_EQ(load.error, ERR_NONE);
  EXPECT_NE(load.library->Find("DirectXSetupA"), nullptr);
}

TEST_F(HostLibrariesTest, SystemLibrariesOfTheHostLoadWithoutFunctions) {
  for (const char* name : {"riched32.dll", "RICHED32.DLL", "comctl32"}) {
    const LibraryLoad load = libraries_.Load(name);
    ASSERT_EQ(load.error, ERR_NONE) << name;
    ASSERT_NE(load.library, nullptr);
    EXPECT_EQ(load.library->Find("DllGetVersion"), nullptr);
  }
}

TEST_F(HostLibrariesTest, ReportsMissingFilesAndForeignFormats) {
  const std::string setup_folder = PlaceStub(R"(C:\Setup)");
  std::ofstream(setup_folder + "/X.DLL") << "not a library\n";
  struct Case {
    const char* path;
    SystemError error;
  };
  const Case cases[] = {
      {R"(C:\Setup\missing.dll)", ERR_FILE_NOT_FOUND},
      {R"(C:\Gone\DSETUP.DLL)", ERR_PATH_NOT_FOUND},
      {R"(Q:\DSETUP.DLL)", ERR_PATH_NOT_FOUND},
      {"missing", ERR_FILE_NOT_FOUND},
      {"", ERR_FILE_NOT_FOUND},
      {R"(C:\Setup\x.dll)", ERR_BAD_FORMAT},
  };
  for (const Case& c : cases) {
    const LibraryLoad load = libraries_.Load(c.path);
    EXPECT_EQ(load.error, c.error) << c.path;
    EXPECT_EQ(load.library, nullptr) << c.path;
  }
}

}  // namespace

#include "integration/directx_setup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "integration/registration.h"
#include "tests/integration/registration_fixture.h"
#include "tests/support/scoped_variable.h"

namespace vtsetup::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Only the DirectX setup is asked for; the medium holds it in C:\Setup\DirectX.
class DirectXSetupTest : public RegistrationFixture {
 protected:
  DirectXSetupTest() {
    info_.GroupName.reset();
    info_.Options.Uninstall = false;
    info_.Options.InstallDirectX = true;
  }
  void PlaceLibrary(const char* built) {
    fs::create_directories(Host("C:\\Setup\\DirectX"));
    fs::copy_file(built, Host("C:\\Setup\\DirectX") + "/DSETUP.DLL", fs::copy_options::overwrite_existing);
  }
  // The calls the stub library received.
  Lines Calls() const {
    Lines calls;
    std::ifstream in(record_);
    for (std::string line; std::getline(in, line);) {
      calls.push_back(line);
    }
    return calls;
  }
  void ExpectMissingLibraryBox() {
    const Lines lines = machine_.TranscriptLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], ::testing::StartsWith("message box (style 16) \"Vantor Setup\": "));
    EXPECT_THAT(lines[0], ::testing::HasSubstr("Brak pliku C:\\Setup\\DirectX\\DSETUP.DLL. "));
  }

  const std::string record_ = (machine_.Root() / "dsetup-calls.txt").string();
  const ScopedVariable record_to_{"VTSETUP_DSETUP_RECORD", record_};
};

TEST_F(DirectXSetupTest, EachAnswerOfTheLibraryGivesItsResult) {
  PlaceLibrary(VT_DSETUP_STUB);
  struct Case {
    const char* answer;
    std::int32_t result;
  };
  for (const Case& c :
       {Case{"0", REGISTER_DONE}, Case{"1", REGISTER_DONE_RESTART}, Case{"-12", REGISTER_DIRECTX_CANCELLED},
        Case{"2", REGISTER_DIRECTX_FAILED}, Case{"-1", REGISTER_DIRECTX_FAILED}}) {
    const ScopedVariable answer("VTSETUP_DSETUP_RESULT", c.answer);
    EXPECT_EQ(Register(), c.result) << c.answer;
  }
  EXPECT_EQ(Calls(), Lines(5, "window=set root=C:\\Setup\\DirectX flags=0x10018"));
  EXPECT_EQ(machine_.TranscriptLines(), Lines{});
}

TEST_F(DirectXSetupTest, FolderEndingInABackslashIsJoinedOnce) {
  PlaceLibrary(VT_DSETUP_STUB);
  info_.Options.DirectXDir = "DirectX\\";
  EXPECT_EQ(Register(), REGISTER_DONE);
  EXPECT_EQ(Calls(), Lines{"window=set root=C:\\Setup\\DirectX\\ flags=0x10018"});
}

TEST_F(DirectXSetupTest, MissingLibraryIsNamedInMessage5012) {
  EXPECT_EQ(Register(), REGISTER_DIRECTX_MISSING);
  ExpectMissingLibraryBox();
}

TEST_F(DirectXSetupTest, LibraryWithoutTheFunctionCountsAsMissing) {
  PlaceLibrary(VT_DSETUP_WITHOUT_FUNCTION);
  EXPECT_EQ(Register(), REGISTER_DIRECTX_MISSING);
  ExpectMissingLibraryBox();
}

// The shortcuts and the registration come first and stay when the DirectX setup fails.
TEST_F(DirectXSetupTest, RegistrationComesFirstAndStays) {
  PlaceLibrary(VT_DSETUP_STUB);
  info_.Options.Uninstall = true;
  info_.GroupName = TextString("Orvella");
  const ScopedVariable answer("VTSETUP_DSETUP_RESULT", "5");
  EXPECT_EQ(Register(), REGISTER_DIRECTX_FAILED);
  EXPECT_TRUE(Exists(std::string(kGroupFolder) + "\\Orvella.LNK"));
  EXPECT_EQ(RegistryValue("SOFTWARE\\Vantor Software\\Orvella\\1.0", ""), kDestination);
}

}  // namespace
}  // namespace vtsetup::testing

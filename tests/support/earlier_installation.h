#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_machine.h"

namespace vtsetup::testing {

// Where the tests' earlier installation of the game lies.
inline constexpr char kInstalledGameFolder[] = "C:\\Gry\\Orvella";
inline constexpr char kInstalledGameExecutable[] = "C:\\Gry\\Orvella\\orv.exe";

// The program key that an earlier installation leaves, naming its folder; with a null folder the key
// holds another value but not the folder.
inline void RecordInstalledFolder(TestMachine& machine, const char* folder) {
  platform::KeyOpen software =
      machine.System().LocalMachine().Open("SOFTWARE", platform::RegistryAccess::Write);
  ASSERT_NE(software.key, nullptr);
  platform::KeyOpen program = software.key->Create("Vantor Software\\Orvella\\1.0");
  ASSERT_NE(program.key, nullptr);
  if (folder != nullptr) {
    ASSERT_EQ(program.key->SetString(nullptr, folder), platform::ERR_NONE);
  } else {
    ASSERT_EQ(program.key->SetString("Path", kInstalledGameFolder), platform::ERR_NONE);
  }
}

// The game's executable in the installed folder.
inline void PlaceInstalledGame(TestMachine& machine) {
  std::filesystem::create_directories(machine.Host(kInstalledGameFolder));
  std::ofstream(machine.Host(kInstalledGameExecutable)) << "game";
}

}  // namespace vtsetup::testing

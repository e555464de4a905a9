#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host/ui/host_user_interface.h"
#include "resources/resource_types.h"
#include "setupdb/setup_info.h"
#include "tests/support/test_machine.h"
#include "wizard/page_result.h"
#include "wizard/page_services.h"
#include "wizard/setup_choices.h"

namespace vtsetup::wizard {

// A host machine with a transcript, whose user interface answers the pages from an answers text, and
// the state that the main sequence lends the pages: the database of "Orvella" by "Vantor Software"
// and a medium in C:\Setup.
class PageTestMachine : public ::testing::Test {
 protected:
  PageTestMachine();

  // A fresh machine from a machine.ini text ("" for the default one); before anything is written.
  void UseMachine(const std::string& machine_ini);
  // A user interface that takes its answers from `answers` (the answers file's lines), with the
  // program's own string table unless the test gives one.
  void Answer(const std::string& answers,
              std::span<const resources::StringEntry> strings = resources::StringTable());
  PageServices Services();

  // Shows `template_id` with `page` as its procedure and the database as its parameter, as the main
  // sequence does, and pumps until the page has a result (or a bound is reached, so a broken page
  // cannot hang the test). `inspect` sees the page before it is destroyed. Gives the result.
  std::uint16_t Visit(std::uint16_t template_id, platform::DialogEvents& page,
                      const std::function<void(platform::Window)>& inspect = {});

  // Writes a file of the machine, making its folders.
  void WriteFile(const std::string& windows_path, const std::string& bytes);
  // What an earlier installation leaves: the program key naming C:\Gry\Orvella, and the game there.
  void InstallGame();

  // The transcript's lines that report pages shown and what was done on them.
  std::vector<std::string> PageLines() const;

  std::unique_ptr<testing::TestMachine> machine_;
  std::ostringstream errors_;
  std::unique_ptr<platform::host::HostUserInterface> ui_;
  SetupInfo info_;
  SetupChoices choices_;
  PageResult result_;
};

}  // namespace vtsetup::wizard

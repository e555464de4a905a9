#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource_types.h"
#include "tests/wizard/page_test_machine.h"
#include "wizard/drive_table.h"

namespace vtsetup::wizard {

// Page 3 on a host machine, answered from an answers file as the main sequence shows it. The medium
// lies in C:\Medium with its texts in C:\Medium\bitmaps\pl; the game goes to ...\Vantor\Orvella.
class TypePageTest : public PageTestMachine {
 protected:
  TypePageTest();

  // The machine (a machine.ini text), the user's answers, and the drive table as start-up scans it.
  // The program's own string table unless the test gives one.
  void Start(const std::string& machine_ini, const std::string& answers,
             std::span<const resources::StringEntry> strings = resources::StringTable());
  // "desc.dat" on the medium.
  void WriteDescriptions(const std::string& text);
  // A type whose every size is `size` except where `entries` says otherwise.
  void AddType(std::uint32_t size, std::initializer_list<std::pair<std::size_t, std::uint32_t>> entries = {});

  // One showing of the page until it has a result; the result.
  std::uint16_t Visit();
  // The transcript, and its lines that show page 3 ("page 3 shown: ...").
  std::vector<std::string> Transcript() const { return machine_->TranscriptLines(); }
  std::vector<std::string> PageLines() const;
  // The part of a page line that shows one control, from its head ("list 1001") to the next "; ".
  static std::string Control(const std::string& page_line, const std::string& head);

  DriveTable table_;
};

}  // namespace vtsetup::wizard

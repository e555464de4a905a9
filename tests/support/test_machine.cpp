#include "tests/support/test_machine.h"

#include <fstream>
#include <stdexcept>

namespace vtsetup::testing {

TestMachine::TestMachine(const std::string& machine_ini, bool transcript) {
  const std::string root = dir_.File("machine");
  if (!machine_ini.empty()) {
    std::filesystem::create_directories(root);
    std::ofstream(root + "/machine.ini") << machine_ini;
  }
  platform::host::MachineOpen open =
      platform::host::Machine::Open(root, platform::host::Transcript(transcript ? TranscriptFile() : ""));
  if (!open.machine) {
    throw std::runtime_error(open.error);
  }
  machine_ = std::move(open.machine);
  system_ = std::make_unique<platform::host::HostSystem>(*machine_);
}

std::vector<std::string> TestMachine::TranscriptLines() const {
  std::vector<std::string> lines;
  std::ifstream in(TranscriptFile());
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

}  // namespace vtsetup::testing

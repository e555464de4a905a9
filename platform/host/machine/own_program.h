#pragma once

#include <string>
#include <vector>

namespace vtsetup::platform::host {

// The running program's file on the host, as the system names it, also once the file was removed
// (when the system adds " (deleted)" to the name); empty when the system cannot tell.
std::string OwnProgramHostPath();

// The arguments the program was started with, its own name first, as the system keeps them; empty
// when the system cannot tell.
std::vector<std::string> OwnArguments();

}  // namespace vtsetup::platform::host

#pragma once

#include <string>
#include <vector>

namespace vtsetup::platform::host {

enum class SpawnOutcome {
  kRunning,      // the program was executed
  kNotAProgram,  // the host cannot execute that file (ENOEXEC)
  kFailed,       // `error_number` says why
};

struct Spawn {
  SpawnOutcome outcome = SpawnOutcome::kFailed;
  int error_number = 0;
};

// Runs `arguments[0]` with `arguments` and `environment` ("NAME=value") in a process of its own that
// nobody waits for: a double fork hands it to the system, so it never lingers as a zombie of ours,
// and it gets a session of its own and no share in our standard input. Only the descriptors 0 to 2
// reach it. Returns once the program has replaced the child, or the attempt failed.
Spawn SpawnDetached(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);

}  // namespace vtsetup::platform::host

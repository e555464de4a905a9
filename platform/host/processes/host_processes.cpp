#include "platform/host/processes/host_processes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/host/machine/host_errors.h"
#include "platform/host/machine/own_program.h"
#include "platform/host/machine/whole_file.h"
#include "platform/host/processes/command_line.h"
#include "platform/host/processes/detached_process.h"

namespace vtsetup::platform::host {
namespace {

namespace fs = std::filesystem;

// Any number above 31 means "started" to a caller of WinExec.
constexpr std::uint32_t kStarted = 33;
constexpr std::string_view kShowVariable = "VTSETUP_SHOW=";

struct ProgramLookup {
  std::string host_path;  // empty when not found
  std::string rest;       // the arguments' text
  SystemError error = ERR_NONE;
};

// The first existing program of the readings Windows tries. When none exists, the error is that of
// the whole line, the last reading, which has come furthest into existing folders: the line
// "C:\Program Files\Gone\a.exe" names a missing folder (3), not a missing "C:\Program.exe" (2).
ProgramLookup FindProgram(const Machine& machine, std::string_view command_line) {
  const std::vector<ProgramReading> readings = ProgramReadings(command_line);
  if (readings.empty()) {
    return {"", "", ERR_BAD_FORMAT};
  }
  std::string host;
  for (const ProgramReading& reading : readings) {
    host = machine.HostPathFor(WithDefaultExtension(reading.program, ".exe").c_str());
    std::error_code error;
    if (!host.empty() && fs::is_regular_file(host, error)) {
      return {host, reading.rest, ERR_NONE};
    }
  }
  return {"", "", host.empty() ? ERR_PATH_NOT_FOUND : ErrorFromErrno(ENOENT, host)};
}

// Our environment with the show command added, for a host program that wants to honour it.
std::vector<std::string> EnvironmentWithShow(std::uint32_t show) {
  std::vector<std::string> environment;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    if (std::string_view(*entry).substr(0, kShowVariable.size()) != kShowVariable) {
      environment.emplace_back(*entry);
    }
  }
  environment.push_back(std::string(kShowVariable) + std::to_string(show));
  return environment;
}

// Whether the file is a program of this host: an ELF image, or a script that names its interpreter.
// The content decides, as on Windows, because a file copied by an installation has lost its mode bits.
bool IsHostProgram(const std::string& host_path) {
  const UniqueDescriptor file(::open(host_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  char head[4] = {};
  if (file.Get() < 0 || ::read(file.Get(), head, sizeof head) < 2) {
    return false;
  }
  return std::string_view(head, 2) == "#!" || std::string_view(head, sizeof head) ==
                                                  "\x7f"
                                                  "ELF";
}

// Windows runs any program it may read; the host needs the execute bits, given here to whoever may
// read the file. errno tells why when they cannot be given (a read-only medium, another owner).
bool MakeRunnable(const std::string& host_path) {
  if (::access(host_path.c_str(), X_OK) == 0) {
    return true;
  }
  struct stat status {};
  if (::stat(host_path.c_str(), &status) != 0) {
    return false;
  }
  const mode_t readers = status.st_mode & (S_IRUSR | S_IRGRP | S_IROTH);
  return ::chmod(host_path.c_str(), (status.st_mode & 07777) | (readers >> 2)) == 0 &&
         ::access(host_path.c_str(), X_OK) == 0;
}

// A Windows program from the medium cannot run here; it is taken as started, as Windows would start it.
std::uint32_t Run(const ProgramLookup& program, std::uint32_t show) {
  if (!IsHostProgram(program.host_path)) {
    return kStarted;
  }
  if (!MakeRunnable(program.host_path)) {
    return ErrorFromErrno(errno, program.host_path);
  }
  std::vector<std::string> arguments = SplitArguments(program.rest);
  arguments.insert(arguments.begin(), program.host_path);
  const Spawn spawn = SpawnDetached(arguments, EnvironmentWithShow(show));
  switch (spawn.outcome) {
    case SpawnOutcome::kRunning:
    case SpawnOutcome::kNotAProgram:
      return kStarted;
    case SpawnOutcome::kFailed:
      break;
  }
  // WinExec's 0 is "out of memory or resources"; a refused exec has a number of its own.
  return spawn.error_number == EAGAIN || spawn.error_number == ENOMEM
             ? 0
             : ErrorFromErrno(spawn.error_number, program.host_path);
}

}  // namespace

std::uint32_t HostProcesses::Start(const char* command_line, std::uint32_t show) {
  const std::string line = command_line != nullptr ? command_line : "";
  const ProgramLookup program = FindProgram(machine_, line);
  const std::uint32_t result = program.error == ERR_NONE ? Run(program, show) : program.error;
  const std::string event = result > 31 ? std::string("program started")
                                        : "program not started (error " + std::to_string(result) + ")";
  machine_.Record().Record(event + ": show " + std::to_string(show) + ": " + line);
  return result;
}

bool HostProcesses::RequestRestart(std::uint32_t flags) {
  const bool accepted = machine_.Config().accept_restart;
  machine_.Record().Record("restart requested: flags " + std::to_string(flags) + ": " +
                           (accepted ? "accepted" : "refused"));
  return accepted;
}

std::uint32_t HostProcesses::TickCount() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  const std::uint64_t milliseconds =
      static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

void HostProcesses::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void HostProcesses::ReportExit(std::uint32_t exit_code) {
  machine_.Record().Record("exit code " + std::to_string(exit_code));
}

TextString HostProcesses::CommandLine() {
  std::vector<std::string> arguments = OwnArguments();
  if (!arguments.empty()) {
    arguments.erase(arguments.begin());
  }
  const TextString program = files_.ModulePath();
  const std::string line = JoinCommandLine(std::string_view(program.Data(), program.Length()), arguments);
  return TextString(line.data(), static_cast<std::uint32_t>(line.size()));
}

SystemError HostProcesses::RemoveOwnProgramFile() {
  const TextString program = files_.ModulePath();
  const SystemError error = program.IsEmpty() ? ERR_FILE_NOT_FOUND : files_.Delete(program.Data());
  machine_.Record().Record(
      std::string("own program file ") +
      (error == ERR_NONE ? "removed" : "not removed (error " + std::to_string(error) + ")") + ": " +
      program.Data());
  return error;
}

}  // namespace vtsetup::platform::host

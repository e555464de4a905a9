#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "compiler/compile_script.h"
#include "compiler/database_json.h"
#include "compiler/setupc_options.h"
#include "platform/system.h"
#include "setupdb/setup_file.h"

namespace vtsetup {
namespace {

// The compiler and the reader report on the standard output in their own words; what the front end
// adds goes to the standard error, so that their output and a dump stay clean for a pipe. Their
// output goes out first, so the two streams keep their order on a shared terminal.
void Report(const char* format, const char* text, int number = 0) {
  std::fflush(stdout);
  std::fprintf(stderr, format, text, number);
}

// The exit status is the result's documented number, so that a build script can tell the failures
// apart.
int ExitStatus(CompileResult result) {
  return static_cast<int>(result);
}
int ExitStatus(SetupFileResult result) {
  return static_cast<int>(result);
}

int Compile(platform::System& system, const SetupcOptions& options) {
  std::unique_ptr<SetupInfo> info;
  const CompileResult compiled =
      CompileScript(system.Files(), system.Profiles(), options.Input.c_str(), info);
  if (compiled != COMPILE_OK) {
    Report("setupc: compiling %s failed with code %d\n", options.Input.c_str(), ExitStatus(compiled));
    return ExitStatus(compiled);
  }
  const SetupFileResult written = WriteSetupFile(system.Files(), *info, options.Output.c_str());
  if (written != SETUP_FILE_OK) {
    Report("setupc: cannot write %s\n", options.Output.c_str());
    return ExitStatus(written);
  }
  Report("setupc: wrote %s\n", options.Output.c_str());
  return 0;
}

int Dump(platform::System& system, const SetupcOptions& options) {
  std::unique_ptr<SetupInfo> info;
  const SetupFileResult read = ReadSetupFile(system.Files(), options.Input.c_str(), info);
  if (read != SETUP_FILE_OK) {
    Report("setupc: reading %s failed with code %d\n", options.Input.c_str(), ExitStatus(read));
    return ExitStatus(read);
  }
  const std::string json = DatabaseJson(*info);
  std::fwrite(json.data(), 1, json.size(), stdout);
  return 0;
}

// A run on the machine closes the machine's record of it with its exit status.
int Ended(platform::System& system, int status) {
  system.Programs().ReportExit(static_cast<std::uint32_t>(status));
  return status;
}

int Run(int argc, const char* const* argv) {
  SetupcOptions options;
  std::string error;
  if (!ParseSetupcArguments(argc, argv, options, error)) {
    std::fprintf(stderr, "setupc: %s\n%s", error.c_str(), SetupcSynopsis());
    return SETUPC_USAGE_ERROR;
  }
  switch (options.Action) {
    case SetupcAction::Help:
      std::fputs(SetupcHelp().c_str(), stdout);
      return 0;
    case SetupcAction::Version:
      std::fputs("setupc " VTSETUP_VERSION "\n", stdout);
      return 0;
    case SetupcAction::Dump:
      return Ended(platform::TheSystem(), Dump(platform::TheSystem(), options));
    case SetupcAction::Compile:
      break;
  }
  return Ended(platform::TheSystem(), Compile(platform::TheSystem(), options));
}

}  // namespace
}  // namespace vtsetup

int main(int argc, char** argv) {
  return vtsetup::Run(argc, argv);
}

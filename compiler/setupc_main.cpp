#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "base/console.h"
#include "compiler/compile_script.h"
#include "compiler/database_json.h"
#include "compiler/setupc_options.h"
#include "platform/system.h"
#include "setupdb/setup_file.h"

namespace vtsetup {
namespace {

// The compiler and the reader report on the standard output in their own words; what the front end
// adds goes to the standard error (ConsoleError), so that their output and a dump stay clean for a
// pipe.

// The exit status is the result's documented number, so that a build script can tell the failures
// apart.
int ExitStatus(CompileResult result) {
  return static_cast<int>(result);
}
int ExitStatus(SetupFileResult result) {
  return static_cast<int>(result);
}

// The database must never be written over what it is made from, whatever name reaches that file. The
// script is known before compiling; its files only after.
bool IsTheScript(platform::FileSystem& files, const SetupcOptions& options,
                 const platform::FileIdentity& output) {
  platform::FileIdentity script;
  if (files.Identify(options.Input.c_str(), script) != platform::ERR_NONE || script != output) {
    return false;
  }
  ConsoleError("setupc: %s is the script %s itself; name the database file with -o\n", options.Output.c_str(),
               options.Input.c_str());
  return true;
}

bool IsASourceFile(const CompileReport& report, const SetupcOptions& options,
                   const platform::FileIdentity& output) {
  for (const MeasuredFile& source : report.sources) {
    if (source.identity == output) {
      ConsoleError(
          "setupc: %s is %s, a file that the script %s takes into the database; name the database "
          "file with -o\n",
          options.Output.c_str(), source.path.Data(), options.Input.c_str());
      return true;
    }
  }
  return false;
}

int Compile(platform::System& system, const SetupcOptions& options) {
  platform::FileSystem& files = system.Files();
  platform::FileIdentity output;
  const bool output_exists = files.Identify(options.Output.c_str(), output) == platform::ERR_NONE;
  if (output_exists && IsTheScript(files, options, output)) {
    return SETUPC_USAGE_ERROR;
  }
  std::unique_ptr<SetupInfo> info;
  CompileReport report;
  const CompileResult compiled = CompileScript(files, system.Profiles(), options.Input.c_str(), info, report);
  if (compiled != COMPILE_OK) {
    ConsoleError("setupc: compiling %s failed with code %d\n", options.Input.c_str(), ExitStatus(compiled));
    return ExitStatus(compiled);
  }
  if (output_exists && IsASourceFile(report, options, output)) {
    return SETUPC_USAGE_ERROR;
  }
  if (options.Strict && report.notes.Warnings() > 0) {
    ConsoleError("setupc: %u warning(s) with --strict; %s is not written\n",
                 static_cast<unsigned>(report.notes.Warnings()), options.Output.c_str());
    return ExitStatus(COMPILE_BAD_ENTRY);
  }
  platform::SystemError reason = platform::ERR_NONE;
  const SetupFileResult written = ReplaceSetupFile(files, *info, options.Output.c_str(), reason);
  if (written != SETUP_FILE_OK) {
    if (reason != platform::ERR_NONE) {
      ConsoleError("setupc: cannot write %s: %s\n", options.Output.c_str(), files.ErrorText(reason).Data());
    } else {
      ConsoleError("setupc: cannot write %s\n", options.Output.c_str());
    }
    return ExitStatus(written);
  }
  ConsoleError("setupc: wrote %s\n", options.Output.c_str());
  return 0;
}

int Dump(platform::System& system, const SetupcOptions& options) {
  std::unique_ptr<SetupInfo> info;
  const SetupFileResult read = ReadSetupFile(system.Files(), options.Input.c_str(), info);
  if (read != SETUP_FILE_OK) {
    ConsoleError("setupc: reading %s failed with code %d\n", options.Input.c_str(), ExitStatus(read));
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
  ShowConsoleOnTerminals(platform::IsTerminal(platform::StandardStream::Output),
                         platform::IsTerminal(platform::StandardStream::Error));
  SetupcOptions options;
  std::string error;
  if (!ParseSetupcArguments(argc, argv, options, error)) {
    ConsoleError("setupc: %s\n%s", error.c_str(), SetupcSynopsis());
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
  // Nothing of ours throws; what the standard library may (memory running out) ends the run with a
  // message and the software-fault status of the BSD exit codes, never with an abort.
  try {
    return vtsetup::Run(argc, argv);
  } catch (const std::exception& fault) {
    std::fflush(stdout);
    std::fprintf(stderr, "setupc: stopped by a fault: %s\n", fault.what());
    return 70;
  }
}

#pragma once

#include <string>

namespace vtsetup {

// The exit status for a command line that makes no sense, as the BSD exit codes number it; the
// compiler's and the reader's results stay below it.
inline constexpr int SETUPC_USAGE_ERROR = 64;

enum class SetupcAction { Compile, Dump, Help, Version };

struct SetupcOptions {
  SetupcAction Action = SetupcAction::Compile;
  std::string Input;  // the script, or the database to dump
  std::string Output = "SETUP.INF";
  bool Strict = false;  // every warning fails the compilation
};

// Reads the command line, program name first. On a command line that makes no sense returns false
// with the reason for the user in `error`. "--help" and "--version" win over whatever follows them.
bool ParseSetupcArguments(int argc, const char* const* argv, SetupcOptions& options, std::string& error);

// The text of "--help". It opens with the synopsis, which also follows the reason of a usage error.
std::string SetupcHelp();
const char* SetupcSynopsis();

}  // namespace vtsetup

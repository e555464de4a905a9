#include "compiler/setupc_options.h"

#include <string>
#include <string_view>
#include <vector>

namespace vtsetup {
namespace {

constexpr char kSynopsis[] =
    "usage: setupc [--strict] SCRIPT [-o FILE]\n"
    "       setupc --dump FILE\n"
    "       setupc --help | --version\n";

constexpr char kHelpBody[] =
    "\n"
    "Compiles the setup script SCRIPT into the setup database, by default SETUP.INF in the\n"
    "current folder. Relative source folders of the script are taken from the current folder.\n"
    "The database is written beside FILE and replaces it only when whole; FILE must not be the\n"
    "script or one of its files. Warnings (values read otherwise than they are written, a\n"
    "DefaultPack past the packs, a listed Dir that is missing) go to the standard error.\n"
    "\n"
    "  -o FILE      write the database to FILE\n"
    "  --strict     fail on any warning (exit status 4) and write nothing\n"
    "  --dump FILE  print the database FILE as JSON, texts converted to UTF-8\n"
    "  --help       print this help\n"
    "  --version    print the version\n"
    "\n"
    "Exit status: the compiler's result (0 done, 1 section missing, 2 a file or folder cannot be\n"
    "read or is too large for the database, 3 key missing, 4 bad entry, a value longer than 255\n"
    "characters, or a warning with --strict) or 6 when the database cannot be written; with --dump\n"
    "the reader's result (0 done, 2 cannot be opened, 7 read error, 8 not a valid database);\n"
    "64 for a wrong command line or a FILE that is the script or one of its files.\n";

// Built piece by piece: GCC 12 at -O3 misreads `"'" + std::string(text) + "'"` as an overlapping copy.
std::string Quote(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '\'';
  quoted.append(text);
  quoted += '\'';
  return quoted;
}

}  // namespace

bool ParseSetupcArguments(int argc, const char* const* argv, SetupcOptions& options, std::string& error) {
  bool dump = false;
  bool output_given = false;
  std::vector<std::string_view> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help") {
      options.Action = SetupcAction::Help;
      return true;
    }
    if (argument == "--version") {
      options.Action = SetupcAction::Version;
      return true;
    }
    if (argument == "--dump") {
      dump = true;
    } else if (argument == "--strict") {
      options.Strict = true;
    } else if (argument == "-o") {
      if (i + 1 == argc) {
        error = "-o needs a file name";
        return false;
      }
      options.Output = argv[++i];
      output_given = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      // A lone "-" is left to be a file name.
      error = "unknown option " + Quote(argument);
      return false;
    } else {
      inputs.push_back(argument);
    }
  }

  const char* const what = dump ? "database" : "script";
  if (inputs.empty()) {
    error = dump ? "--dump needs a database file" : "no setup script given";
    return false;
  }
  if (inputs.size() > 1) {
    error = std::string("more than one ") + what + " given: " + Quote(inputs[0]) + " and " + Quote(inputs[1]);
    return false;
  }
  if (dump && output_given) {
    error = "-o does not go with --dump";
    return false;
  }
  if (dump && options.Strict) {
    error = "--strict does not go with --dump";
    return false;
  }
  options.Action = dump ? SetupcAction::Dump : SetupcAction::Compile;
  options.Input = inputs[0];
  return true;
}

std::string SetupcHelp() {
  return std::string(kSynopsis) + kHelpBody;
}

const char* SetupcSynopsis() {
  return kSynopsis;
}

}  // namespace vtsetup

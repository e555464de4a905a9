#pragma once

namespace vtsetup {

// Results of compiling a setup script, returned unchanged by every step of the compiler. A type of its
// own, so that a result of the database file or of the path variables cannot pass for one unseen; the
// values are setupc's exit status.
enum class CompileResult {
  COMPILE_OK = 0,
  COMPILE_MISSING_SECTION = 1,  // Proginfo, Options, Bitmaps or Sources missing or empty
  COMPILE_CANNOT_OPEN = 2,      // the script, a source file or a temporary file
  COMPILE_MISSING_KEY = 3,
  COMPILE_BAD_ENTRY = 4,  // a malformed list entry
};
using enum CompileResult;

}  // namespace vtsetup

#pragma once

#include <memory>
#include <vector>

#include "compiler/compile_notes.h"
#include "compiler/compile_result.h"
#include "compiler/file_measurer.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// What a compilation leaves beside its database tree.
struct CompileReport {
  CompileNotes notes;
  // Every source and temporary file that was measured, so that a front end can keep from writing the
  // database over one of them.
  std::vector<MeasuredFile> sources;
};

// Compiles the script into a database tree. The tree is handed out as soon as the script could be
// opened, also when a later step fails; then it is incomplete and must not be written. Progress and
// every error are reported in German on the standard output; warnings and the reasons the report has
// no words for go to the standard error (CompileNotes). Relative source paths are taken from the
// current folder.
CompileResult CompileScript(platform::FileSystem& files, platform::Profile& profile, const char* script_path,
                            std::unique_ptr<SetupInfo>& info, CompileReport& report);
// The same for a caller that needs nothing but the tree.
CompileResult CompileScript(platform::FileSystem& files, platform::Profile& profile, const char* script_path,
                            std::unique_ptr<SetupInfo>& info);

}  // namespace vtsetup

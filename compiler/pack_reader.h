#pragma once

#include <vector>

#include "compiler/compile_result.h"
#include "compiler/file_measurer.h"
#include "compiler/script_values.h"
#include "compiler/source_list.h"
#include "setupdb/path_variables.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// Compiles the sections "Pack1", "Pack2", ... up to the first one that is missing or empty. Packs are
// filled one after another; the first failure ends the list with the failing pack partly filled.
// Results are those of CompileScript.
CompileResult ReadPacks(const ScriptValues& script, const SourceList& sources, const PathVariables& variables,
                        FileMeasurer& measurer, std::vector<PackInfo>& packs);

}  // namespace vtsetup

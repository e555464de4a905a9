#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vtsetup::bench {

// A folder of this run's own below the temporary folder, so that two runs never share one and the
// removal at the end never takes anything the run did not make.
std::filesystem::path FreshFolder(const std::string& prefix);

// Files of random bytes in `folders` folders PART0, PART1, ... below `root`, `files_per_folder` each
// (file0.dat, file1.dat, ...), `total_bytes` in all. Sizes vary around the mean so that small and
// large reads both occur; the last file takes the rest. The same seed gives the same tree.
std::vector<std::filesystem::path> WriteRandomTree(const std::filesystem::path& root, int folders,
                                                   int files_per_folder, std::uint64_t total_bytes);

}  // namespace vtsetup::bench

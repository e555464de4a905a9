#include "bench/random_tree.h"

#include <algorithm>
#include <fstream>
#include <random>

namespace vtsetup::bench {

std::filesystem::path FreshFolder(const std::string& prefix) {
  std::random_device entropy;
  for (;;) {
    auto folder = std::filesystem::temp_directory_path() / (prefix + std::to_string(entropy()));
    if (std::filesystem::create_directory(folder)) {
      return folder;
    }
  }
}

std::vector<std::filesystem::path> WriteRandomTree(const std::filesystem::path& root, int folders,
                                                   int files_per_folder, std::uint64_t total_bytes) {
  std::mt19937_64 random(7);
  const std::uint64_t mean = total_bytes / static_cast<std::uint64_t>(folders * files_per_folder);
  std::vector<char> block(4 * mean);
  for (char& c : block) {
    c = static_cast<char>(random());
  }
  std::vector<std::filesystem::path> files;
  std::uint64_t left = total_bytes;
  for (int f = 0; f < folders; ++f) {
    const auto folder = root / ("PART" + std::to_string(f));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files_per_folder; ++i) {
      const bool last = f == folders - 1 && i == files_per_folder - 1;
      const std::uint64_t size = last ? left : std::min<std::uint64_t>(left, mean / 2 + random() % mean);
      const auto path = folder / ("file" + std::to_string(i) + ".dat");
      std::ofstream(path, std::ios::binary)
          .write(block.data() + random() % mean, static_cast<std::streamsize>(size));
      files.push_back(path);
      left -= size;
    }
  }
  return files;
}

}  // namespace vtsetup::bench

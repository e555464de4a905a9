// Feeds arbitrary files to the database reader. Random bytes almost never carry the right checksum,
// so an input whose first byte is odd is taken as a body: it gets a valid header and a correct
// checksum, and the fuzzer reaches the records. Whatever loads must store and load again unchanged.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/system.h"
#include "setupdb/file_checksum.h"
#include "setupdb/setup_file.h"

namespace {

using vtsetup::SetupInfo;

// One folder per process for the files of one input, removed when the fuzzer exits.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() / ("setup-file-fuzz-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void Store(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "setup_file_fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  vtsetup::platform::FileSystem& files = vtsetup::platform::TheSystem().Files();
  static const ScratchFolder scratch;
  const std::string path = scratch.File("SETUP.INF");
  std::vector<unsigned char> bytes;
  const bool as_body = (data[0] & 1) != 0;
  if (as_body) {
    bytes = {'V', 'T', 'S', 'I', 6, 0, 0, 0, 0, 0, 0, 0};
  }
  bytes.insert(bytes.end(), data + 1, data + size);
  Store(path, bytes);
  if (as_body) {
    const std::uint32_t checksum =
        vtsetup::FileChecksum(files, path.c_str(), vtsetup::SETUP_FILE_BODY_OFFSET);
    for (int i = 0; i < 4; ++i) {
      bytes[8 + i] = static_cast<unsigned char>(checksum >> (8 * i));
    }
    Store(path, bytes);
  }

  std::unique_ptr<SetupInfo> info;
  const auto result = vtsetup::ReadSetupFile(files, path.c_str(), info);
  Check(result == vtsetup::SETUP_FILE_OK || result == vtsetup::SETUP_FILE_READ_FAILED ||
            result == vtsetup::SETUP_FILE_INVALID,
        "unexpected result");
  Check((result == vtsetup::SETUP_FILE_OK) == (info != nullptr), "tree and result disagree");
  if (info == nullptr) {
    return 0;
  }
  const std::string first = scratch.File("first.inf");
  const std::string second = scratch.File("second.inf");
  Check(vtsetup::WriteSetupFile(files, *info, first.c_str()) == vtsetup::SETUP_FILE_OK, "cannot store");
  std::unique_ptr<SetupInfo> again;
  Check(vtsetup::ReadSetupFile(files, first.c_str(), again) == vtsetup::SETUP_FILE_OK,
        "stored file unreadable");
  Check(vtsetup::WriteSetupFile(files, *again, second.c_str()) == vtsetup::SETUP_FILE_OK,
        "cannot store again");
  Check(Load(first) == Load(second), "round trip changed the database");
  return 0;
}

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vtsetup::testing {

// Passes every call to a real file system and fails the chosen one, the way a failing disk would. It
// also records each read and write (which open handle, at which offset) and each folder listing so
// that a test can run once, learn the calls, and then fail each of them in turn. A file can be changed
// behind its reader's back right after its size was taken.
class FaultyFileSystem final : public platform::FileSystem {
 public:
  struct Call {
    int handle;  // 1 for the first file opened, 2 for the second, ...
    std::uint64_t offset;
    std::uint32_t size;
  };

  explicit FaultyFileSystem(platform::FileSystem& real) : real_(real) {}

  // 1-based numbers of the call to fail; 0 fails none.
  int fail_open = 0;
  int fail_read = 0;
  int fail_write = 0;
  int fail_find = 0;  // the listing fails as for a folder that is there and cannot be read
  // The failing write first writes half of its bytes and then reports success: a short write.
  bool short_write = false;
  platform::SystemError error = platform::ERR_GEN_FAILURE;
  // Each read passes on at most this many bytes, as a read from a pipe or over a network may; 0 for
  // no limit.
  std::uint32_t read_limit = 0;

  std::vector<Call> reads;
  std::vector<Call> writes;
  std::vector<std::string> finds;  // the patterns listed, in order
  // Called after each size query, with the handle whose size was taken.
  std::function<void(int handle)> after_size;

  platform::OpenResult Open(const char* path, platform::FileAccess access, std::uint32_t share,
                            platform::FileCreation creation) override;
  platform::SystemError Delete(const char* path) override { return real_.Delete(path); }
  platform::SystemError MoveReplacing(const char* from, const char* to) override {
    return real_.MoveReplacing(from, to);
  }
  platform::SystemError Identify(const char* path, platform::FileIdentity& identity) override {
    return real_.Identify(path, identity);
  }
  platform::SystemError CreateFolder(const char* path) override { return real_.CreateFolder(path); }
  platform::SystemError RemoveFolder(const char* path) override { return real_.RemoveFolder(path); }
  platform::SystemError FindFiles(const char* pattern, std::vector<platform::FoundFile>& found) override;
  TextString FullPath(const char* path) override { return real_.FullPath(path); }
  TextString CurrentFolder() override { return real_.CurrentFolder(); }
  platform::SystemError SetCurrentFolder(const char* path) override { return real_.SetCurrentFolder(path); }
  TextString ModulePath() override { return real_.ModulePath(); }
  TextString TempFolder() override { return real_.TempFolder(); }
  TextString ErrorText(platform::SystemError error_number) override { return real_.ErrorText(error_number); }

 private:
  class FaultyFile;
  platform::FileSystem& real_;
  int opens_ = 0;
};

}  // namespace vtsetup::testing

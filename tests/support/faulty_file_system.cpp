#include "tests/support/faulty_file_system.h"

namespace vtsetup::testing {

class FaultyFileSystem::FaultyFile final : public platform::File {
 public:
  FaultyFile(FaultyFileSystem& owner, std::unique_ptr<platform::File> real, int handle)
      : owner_(owner), real_(std::move(real)), handle_(handle) {}

  platform::SystemError Read(void* buffer, std::uint32_t size, std::uint32_t& transferred) override {
    owner_.reads.push_back({handle_, Position(), size});
    if (static_cast<int>(owner_.reads.size()) == owner_.fail_read) {
      transferred = 0;
      return owner_.error;
    }
    return real_->Read(buffer, owner_.read_limit != 0 && size > owner_.read_limit ? owner_.read_limit : size,
                       transferred);
  }

  platform::SystemError Write(const void* buffer, std::uint32_t size, std::uint32_t& transferred) override {
    owner_.writes.push_back({handle_, Position(), size});
    if (static_cast<int>(owner_.writes.size()) == owner_.fail_write) {
      if (owner_.short_write) {
        return real_->Write(buffer, size / 2, transferred);
      }
      transferred = 0;
      return owner_.error;
    }
    return real_->Write(buffer, size, transferred);
  }

  platform::SystemError Seek(std::int64_t offset, platform::SeekOrigin origin,
                             std::uint64_t* position) override {
    return real_->Seek(offset, origin, position);
  }

  platform::SystemError Size(std::uint64_t& size) override {
    const platform::SystemError error = real_->Size(size);
    if (owner_.after_size) {
      owner_.after_size(handle_);
    }
    return error;
  }

 private:
  std::uint64_t Position() {
    std::uint64_t position = 0;
    real_->Seek(0, platform::SeekOrigin::Current, &position);
    return position;
  }

  FaultyFileSystem& owner_;
  std::unique_ptr<platform::File> real_;
  int handle_;
};

platform::OpenResult FaultyFileSystem::Open(const char* path, platform::FileAccess access,
                                            std::uint32_t share, platform::FileCreation creation) {
  if (++opens_ == fail_open) {
    return {nullptr, error};
  }
  platform::OpenResult opened = real_.Open(path, access, share, creation);
  if (opened.file != nullptr) {
    opened.file = std::make_unique<FaultyFile>(*this, std::move(opened.file), opens_);
  }
  return opened;
}

platform::SystemError FaultyFileSystem::FindFiles(const char* pattern,
                                                  std::vector<platform::FoundFile>& found) {
  finds.emplace_back(pattern);
  if (static_cast<int>(finds.size()) == fail_find) {
    found.clear();
    return error;
  }
  return real_.FindFiles(pattern, found);
}

}  // namespace vtsetup::testing

#include "platform/host/profile/profile_cache.h"

#include <sys/stat.h>

#include <utility>

namespace vtsetup::platform::host {
namespace {

// Profiles are a few kilobytes; a file far beyond that is no profile and reads as empty, as a file
// that cannot be read does.
constexpr std::size_t kProfileSizeLimit = std::size_t{64} << 20;

}  // namespace

std::shared_ptr<const ParsedProfile> ProfileCache::Read(const std::string& host_path) {
  const std::lock_guard lock(mutex_);
  struct stat info {};
  const bool kept = parsed_ != nullptr && !host_path.empty() && host_path == path_ &&
                    ::stat(host_path.c_str(), &info) == 0 && StampOf(info) == stamp_;
  if (kept) {
    return parsed_;
  }
  WholeFile whole = host_path.empty() ? WholeFile{} : ReadWholeFile(host_path, kProfileSizeLimit);
  if (whole.outcome != WholeFileRead::Read) {
    return std::make_shared<const ParsedProfile>(std::string());
  }
  // The stamp is the opened file's, so a change made while it was read shows at the next look.
  path_ = host_path;
  stamp_ = whole.stamp;
  parsed_ = std::make_shared<const ParsedProfile>(std::move(whole.text));
  return parsed_;
}

void ProfileCache::Forget(const std::string& host_path) {
  const std::lock_guard lock(mutex_);
  if (host_path == path_) {
    parsed_.reset();
    path_.clear();
  }
}

}  // namespace vtsetup::platform::host

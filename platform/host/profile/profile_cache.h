#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/host/machine/whole_file.h"
#include "platform/host/profile/parsed_profile.h"

namespace vtsetup::platform::host {

// The parsed text of the profile file read last, kept while the file stays as it was. The compiler
// reads a script key by key; reading and parsing the whole file for each key made a script of 20,000
// keys take as many whole reads. Each call still looks at the file (one stat: device, inode, size,
// modification and change times to the nanosecond), so a file replaced or rewritten since is read
// afresh; our own writes forget the file outright, since a file replaced twice can get its old inode
// back. Calls may come from several threads: the kept file is guarded, and a parsed text handed out
// stays whole while its holder uses it.
class ProfileCache {
 public:
  // The file's parsed text; an empty one when it cannot be read, as the reader treats such a file.
  std::shared_ptr<const ParsedProfile> Read(const std::string& host_path);
  void Forget(const std::string& host_path);

 private:
  std::mutex mutex_;
  std::string path_;
  FileStamp stamp_;
  std::shared_ptr<const ParsedProfile> parsed_;
};

}  // namespace vtsetup::platform::host

#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/errors.h"
#include "platform/host/registry/registry_text.h"

namespace vtsetup::platform::host {

struct RegistryLoad {
  RegistryText text;
  SystemError error = ERR_NONE;
};

// The file that holds the registry, read and changed as a whole.
//
// Reads take the file as it stands: writers replace it by renaming, so a reader sees the old text or
// the new one and never a mix. A change happens under an exclusive flock on "FILE.lock" beside it: it
// reads the file afresh, applies itself, writes the whole text beside it and renames that over
// the file, so that two processes never lose each other's writes and a write that fails (with the
// error of the failing call) leaves the old file as it was.
//
// A missing file is an empty registry. A file above 8 MiB is refused with ERR_NOT_ENOUGH_MEMORY instead
// of being read, which bounds what a damaged file can make us allocate; the machine's registry holds a
// few keys per installed program.
class RegistryFile {
 public:
  explicit RegistryFile(std::string path) : path_(std::move(path)) {}

  RegistryLoad Read() const;
  // `change` reports whether it changed the text; an unchanged text is not written.
  SystemError Change(const std::function<bool(RegistryText&)>& change) const;

 private:
  std::string path_;
};

}  // namespace vtsetup::platform::host

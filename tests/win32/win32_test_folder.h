#pragma once

#include <windows.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace vtsetup::testing {

// A fresh folder below the system's temporary folder, by Windows paths; the standard library makes
// and removes it, so that what the adapter does in it is checked by other means than the adapter.
class Win32TestFolder {
 public:
  std::string Path() const { return dir_.Path().string(); }
  std::string File(const std::string& name) const { return Path() + "\\" + name; }

 private:
  TempDir dir_;
};

inline bool Exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace vtsetup::testing

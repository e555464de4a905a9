#pragma once

// The system's other headers need this one first.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include <optional>

#include "base/text_string.h"

namespace vtsetup::platform::win32 {

// An item list that the shell made, given back to the shell's own allocator when it goes: that is the
// allocator documented for these lists on every system, the oldest included, where it need not be the
// task allocator.
class ShellItemList {
 public:
  ShellItemList() = default;
  explicit ShellItemList(LPITEMIDLIST list) : list_(list) {}
  ShellItemList(const ShellItemList&) = delete;
  ShellItemList& operator=(const ShellItemList&) = delete;
  ~ShellItemList() {
    IMalloc* allocator = nullptr;
    if (list_ != nullptr && SUCCEEDED(::SHGetMalloc(&allocator))) {
      allocator->Free(list_);
      allocator->Release();
    }
  }

  LPITEMIDLIST Get() const { return list_; }
  // Where a shell call puts a new list; only for a holder that has none yet.
  LPITEMIDLIST* Receiver() { return &list_; }

 private:
  LPITEMIDLIST list_ = nullptr;
};

// The file-system folder that an item names; nothing for an item that is no folder on a disk (a printer,
// the control panel) or for none.
inline std::optional<TextString> FolderOfItem(const ShellItemList& item) {
  char path[MAX_PATH] = "";
  if (item.Get() == nullptr || !::SHGetPathFromIDListA(item.Get(), path)) {
    return std::nullopt;
  }
  return TextString(path);
}

}  // namespace vtsetup::platform::win32

#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

namespace vtsetup::platform::host {

// Finds a name in a host folder as Windows finds it, without regard to ASCII case.
class NameLookup {
 public:
  virtual ~NameLookup() = default;

  // The entry of `folder` that is `name`: the name as spelt when it is there, else the one that equals
  // it without regard to case, the first in the folder's listing order where several do. Empty when
  // none does; nothing when the folder cannot be read. `folder_info` is what stat() said of the folder
  // just before; it names the folder that is meant.
  virtual std::optional<std::string> FindName(const std::string& folder, const struct stat& folder_info,
                                              const std::string& name) = 0;
  // Whether FindName answers for `folder` from what it keeps, so that asking it costs less than a look
  // at the name itself.
  virtual bool Keeps(const std::string& folder) = 0;
};

// The entry that a name finds among a folder's entries offered in listing order: the name as spelt,
// else the first that equals it without regard to case; empty when none does.
class NameMatch {
 public:
  explicit NameMatch(std::string_view name) : name_(name) {}
  // True once the name as spelt was offered: no later entry can do better.
  bool Offer(std::string_view entry);
  const std::string& Found() const { return found_; }

 private:
  std::string_view name_;
  std::string found_;
};

// Reads the folder.
std::optional<std::string> ListedName(const std::string& folder, const std::string& name);

// Reads the folder on every question.
class ListingLookup final : public NameLookup {
 public:
  std::optional<std::string> FindName(const std::string& folder, const struct stat&,
                                      const std::string& name) override {
    return ListedName(folder, name);
  }
  bool Keeps(const std::string&) override { return false; }
};

}  // namespace vtsetup::platform::host

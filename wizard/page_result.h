#pragma once

#include <cstdint>

#include "wizard/page_ids.h"

namespace vtsetup::wizard {

// The decision of the page now shown. Pages write it from their dialog procedures and never close
// themselves, so it stays readable until the main sequence closes the page.
class PageResult {
 public:
  std::uint16_t Value() const { return value_; }
  void Reset() { value_ = PAGE_UNDECIDED; }
  void Store(std::uint16_t id) { value_ = id; }

  // The rule every page follows for its commands: next, cancel, start and back become the result, a
  // later one replacing an earlier; every other id is left to the page. True when `id` was stored.
  bool StoreCommand(std::uint16_t id) {
    if (id == PAGE_NEXT || id == PAGE_CANCEL || id == PAGE_START || id == PAGE_BACK) {
      value_ = id;
      return true;
    }
    return false;
  }

 private:
  std::uint16_t value_ = PAGE_UNDECIDED;
};

}  // namespace vtsetup::wizard

#include "setupdb/checksum_flag.h"

#include <atomic>

namespace vtsetup {
namespace {

std::atomic<bool> checksum_verification{true};

}  // namespace

void SetChecksumVerification(bool enabled) {
  checksum_verification.store(enabled, std::memory_order_release);
}

bool ChecksumVerification() {
  return checksum_verification.load(std::memory_order_acquire);
}

}  // namespace vtsetup

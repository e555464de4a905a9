#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtsetup::testing {

// One record of "dinstall.log" as the uninstaller walks to it.
struct WalkedRecord {
  std::uint8_t type = 0;
  std::uint32_t flags = 0;
  std::vector<std::string> texts;  // one, or the group and the shortcut name of a shortcut record
};

struct WalkedLog {
  bool well_formed = false;
  std::string why;  // what broke the walk, when it broke
  std::string program_name;
  std::uint32_t stated_size = 0;
  std::vector<WalkedRecord> records;
};

// Walks the log as the uninstaller does, from the header's first record along the next-record fields,
// reading each field from its place in the layout rather than trusting any writer of ours.
inline WalkedLog WalkInstallLog(const std::vector<unsigned char>& bytes) {
  WalkedLog log;
  const auto u32 = [&](std::size_t at) -> std::uint32_t {
    return at + 4 <= bytes.size() ? static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 |
                                                               bytes[at + 2] << 16 | bytes[at + 3] << 24)
                                  : 0xFFFFFFFFu;
  };
  const auto text = [&](std::size_t at, std::size_t with_zero) {
    return at + with_zero <= bytes.size() && with_zero > 0
               ? std::string(bytes.begin() + static_cast<long>(at),
                             bytes.begin() + static_cast<long>(at + with_zero - 1))
               : std::string();
  };
  if (bytes.size() < 32 || std::string(bytes.begin(), bytes.begin() + 4) != "ILOG" || u32(4) != 28 ||
      u32(8) != 10) {
    log.why = "no header";
    return log;
  }
  log.stated_size = u32(16);
  log.program_name = text(32, u32(28));
  std::uint32_t at = u32(24);
  if (at != 33 + log.program_name.size()) {
    log.why = "first record not behind the program name";
    return log;
  }
  for (int guard = 0; at != 0 && guard < 100000; ++guard) {
    if (at + 18 > bytes.size() || u32(at) != 18 || u32(at + 4) != 15) {
      log.why = "bad record header at " + std::to_string(at);
      return log;
    }
    WalkedRecord record;
    record.type = bytes[at + 8];
    const std::uint32_t body = bytes[at + 9];
    record.flags = u32(at + 10);
    const std::uint32_t next = u32(at + 14);
    const std::size_t body_at = at + 18;
    const std::uint32_t body_header = u32(body_at);
    if (record.type == 5) {
      const std::uint32_t group = u32(body_at + 8);
      const std::uint32_t name = u32(body_at + 12);
      record.texts = {text(body_at + 16, group), text(body_at + 16 + group, name)};
    } else {
      record.texts = {text(body_at + body_header, u32(body_at + body_header - 4))};
    }
    log.records.push_back(record);
    if (next != 0 && next != at + 18 + body) {
      log.why = "next record not behind the body at " + std::to_string(at);
      return log;
    }
    at = next;
  }
  log.well_formed = log.stated_size == bytes.size();
  if (!log.well_formed) {
    log.why = "stated size " + std::to_string(log.stated_size) + " of " + std::to_string(bytes.size());
  }
  return log;
}

}  // namespace vtsetup::testing

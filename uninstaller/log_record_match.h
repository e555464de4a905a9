#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "uninstaller/install_log_reader.h"

namespace vtsetup::uninstaller {

// How the bytes at one offset of a log compare with a record as the setup writes it.
enum class RecordFit {
  Whole,     // a complete record with every field as the writer makes it
  CutShort,  // every byte up to the end of the file agrees with such a record, but the file ends first
  Broken,    // a byte disagrees
};

struct RecordMatch {
  RecordFit fit = RecordFit::Broken;
  LogRecord record{};        // Whole only
  std::uint32_t length = 0;  // Whole only: the record header and the body
  std::uint32_t next = 0;    // Whole only: the next-record field, 0 or the record's own end
  // How many bytes from the offset agree with some record that the writer could have begun there:
  // all that are left for CutShort, fewer than the record needs for Broken.
  std::uint32_t agreeing_bytes = 0;
  std::string fault;  // Broken only: which field disagrees, and at which offset
};

// `offset` lies inside `bytes`, which hold the whole file.
RecordMatch MatchRecord(std::span<const std::uint8_t> bytes, std::uint32_t offset);

}  // namespace vtsetup::uninstaller

#include <algorithm>
#include <utility>

#include "integration/install_log_format.h"
#include "setupdb/byte_order.h"
#include "uninstaller/install_log_reader.h"
#include "uninstaller/log_record_match.h"

namespace vtsetup::uninstaller {
namespace {

using namespace install_log_format;

struct HeaderWord {
  std::uint32_t offset;
  std::uint32_t value;
};
// The header's own size, its version and the two words that are always 0.
constexpr HeaderWord kFixedHeaderWords[] = {{4, kHeaderSize}, {8, kHeaderVersion}, {12, 0}, {20, 0}};

std::string At(std::uint32_t offset) {
  return " at offset " + std::to_string(offset);
}

// Checks the header and the program name; on success gives the first record's offset.
bool ReadHeader(std::span<const std::uint8_t> bytes, InstallLogContents& log, std::uint32_t& first_record) {
  if (bytes.size() < kNameStart) {
    log.problem = std::to_string(bytes.size()) + " bytes, too few for the header";
    return false;
  }
  if (!std::equal(kMagic, kMagic + sizeof kMagic, bytes.begin())) {
    log.problem = "no \"ILOG\"" + At(0);
    return false;
  }
  for (const HeaderWord& word : kFixedHeaderWords) {
    const std::uint32_t value = GetU32(bytes.data() + word.offset);
    if (value != word.value) {
      log.problem =
          "header word " + std::to_string(value) + At(word.offset) + ", not " + std::to_string(word.value);
      return false;
    }
  }
  // With its zero byte.
  const std::uint32_t name_size = GetU32(bytes.data() + kNameSizeField);
  if (name_size == 0 || name_size > bytes.size() - kNameStart) {
    log.problem =
        "program name length " + std::to_string(name_size) + At(kNameSizeField) + " does not fit the file";
    return false;
  }
  const std::uint8_t* name = bytes.data() + kNameStart;
  const std::uint8_t* zero = std::find(name, name + name_size, 0);
  if (zero != name + name_size - 1) {
    log.problem = "the program name's zero byte is not" + At(kNameStart + name_size - 1);
    return false;
  }
  first_record = GetU32(bytes.data() + kFirstRecordField);
  if (first_record != kNameStart + name_size) {
    log.problem = "first record offset " + std::to_string(first_record) + At(kFirstRecordField) +
                  " is not behind the program name";
    return false;
  }
  log.program_name = TextString(reinterpret_cast<const char*>(name), name_size - 1);
  return true;
}

// A record cut short by a full disk can be followed by more records: the writer carries on where its
// last byte landed, and a later write succeeds once there is room again, as when the setup deletes its
// temporary files before it logs the log itself. So a record whose first bytes agree with a record and
// at one of whose bytes a whole record begins is taken as cut there; the nearest such byte wins. 0 when
// there is none.
std::uint32_t ResumptionAfterCut(std::span<const std::uint8_t> bytes, std::uint32_t offset,
                                 std::uint32_t agreeing_bytes) {
  for (std::uint32_t cut = 1; cut <= agreeing_bytes && offset + cut < bytes.size(); ++cut) {
    if (MatchRecord(bytes, offset + cut).fit == RecordFit::Whole) {
      return offset + cut;
    }
  }
  return 0;
}

std::string CutNote(std::uint32_t offset, std::uint32_t written) {
  return "record at " + std::to_string(offset) + " cut short after " + std::to_string(written) + " bytes";
}

// How the walk along the next-record fields ended.
enum class ChainEnd {
  Zero,       // at a record whose next-record field is 0 and which ends the file
  EndOfFile,  // at a next-record field (or a first record offset) that points at the end of the file
  CutShort,   // at a record that the end of the file cuts short
  Fault,      // at a record that is neither
};

struct Chain {
  ChainEnd end = ChainEnd::Fault;
  std::string fault;  // for Fault
  std::string cuts;   // every record cut short, also those that later records follow
};

Chain WalkRecords(std::span<const std::uint8_t> bytes, std::uint32_t offset,
                  std::vector<LogRecord>& records) {
  Chain chain;
  const auto note_cut = [&](std::string cut) { chain.cuts += (chain.cuts.empty() ? "" : "; ") + cut; };
  // Every step moves forward: a record's next-record field is 0 or its own end, and a resumption lies
  // inside the record that was cut, which starts behind every record resumed at before.
  while (offset != bytes.size()) {
    RecordMatch match = MatchRecord(bytes, offset);
    if (match.fit == RecordFit::Whole) {
      records.push_back(std::move(match.record));
      if (match.next == 0) {
        if (offset + match.length == bytes.size()) {
          chain.end = ChainEnd::Zero;
        } else {
          chain.fault = std::to_string(bytes.size() - offset - match.length) +
                        " bytes after the last record" + At(offset + match.length);
        }
        return chain;
      }
      offset = match.next;
      continue;
    }
    if (match.fit == RecordFit::CutShort) {
      note_cut(CutNote(offset, match.agreeing_bytes));
      chain.end = ChainEnd::CutShort;
      return chain;
    }
    std::uint32_t cut_record = offset;
    std::uint32_t resumed = ResumptionAfterCut(bytes, offset, match.agreeing_bytes);
    // A record cut two bytes short of its end reads as whole when a record follows it: that one's first
    // byte passes for the last character of the text, and its second, a zero, ends the text. The fault
    // only shows where the walk takes that record's third byte for the start of the next one, so the
    // record before the fault is the one to look into.
    if (resumed == 0 && !records.empty()) {
      cut_record = records.back().offset;
      resumed = ResumptionAfterCut(bytes, cut_record, offset - cut_record - 1);
      if (resumed != 0) {
        records.pop_back();
      }
    }
    if (resumed == 0) {
      chain.fault = "record at " + std::to_string(offset) + ": " + match.fault;
      return chain;
    }
    note_cut(CutNote(cut_record, resumed - cut_record) + ", the log goes on" + At(resumed));
    offset = resumed;
  }
  chain.end = ChainEnd::EndOfFile;
  return chain;
}

}  // namespace

InstallLogContents ParseInstallLog(std::span<const std::uint8_t> bytes) {
  InstallLogContents log;
  if (bytes.size() > kMaxInstallLogBytes) {
    log.problem = std::to_string(bytes.size()) + " bytes, more than any log of ours";
    return log;
  }
  std::uint32_t first_record = 0;
  if (!ReadHeader(bytes, log, first_record)) {
    return log;
  }
  const auto file_size = static_cast<std::uint32_t>(bytes.size());
  const std::uint32_t stated_size = GetU32(bytes.data() + kSizeField);
  const Chain chain = WalkRecords(bytes, first_record, log.records);

  const auto damaged = [&](std::string problem) {
    log.state = LogState::Damaged;
    log.problem = std::move(problem);
    return log;
  };
  if (chain.end == ChainEnd::Fault) {
    return damaged(chain.fault);
  }
  if (stated_size != 0 && stated_size != file_size) {
    return damaged("header size " + std::to_string(stated_size) + At(kSizeField) + " for a file of " +
                   std::to_string(file_size) + " bytes");
  }
  // Closing after a full disk may have stored the size, and may have ended the chain in the cut
  // record, or neither: the writer stops at its first failed write, which can be either.
  if (!chain.cuts.empty()) {
    log.state = LogState::PartialRecord;
    log.problem = chain.cuts;
    return log;
  }
  const bool size_stored = stated_size == file_size;
  if (chain.end == ChainEnd::Zero) {
    if (!size_stored) {
      return damaged("the chain ends at the record" + At(log.records.back().offset) +
                     " but the header holds no size");
    }
    log.state = LogState::Closed;
    return log;
  }
  // A log without records has no chain to end: closing it only stores the size.
  if (size_stored && !log.records.empty()) {
    return damaged("the header holds the size but the last record" + At(log.records.back().offset) +
                   " does not end the chain");
  }
  log.state = size_stored ? LogState::Closed : LogState::Unclosed;
  return log;
}

}  // namespace vtsetup::uninstaller

#include "uninstaller/log_record_match.h"

#include <algorithm>
#include <initializer_list>

#include "integration/install_log_format.h"

namespace vtsetup::uninstaller {
namespace {

using namespace install_log_format;

// Texts are never empty: an empty relative path would name the destination folder itself, which no
// record of the writer does, and an empty key, group or shortcut names nothing.
constexpr std::uint32_t kMinTextSize = 2;

struct ValueRange {
  std::uint32_t low;
  std::uint32_t high;
};

// Whether some value in the ranges has `known` as its lowest `count` bytes. A field cut after `count`
// bytes may still be one that the writer wrote in full.
bool Agrees(std::uint32_t known, std::uint32_t count, std::initializer_list<ValueRange> ranges) {
  const std::uint64_t modulus = std::uint64_t{1} << (8 * count);
  return std::any_of(ranges.begin(), ranges.end(), [&](const ValueRange& range) {
    std::uint64_t candidate = range.low / modulus * modulus + known;
    if (candidate < range.low) {
      candidate += modulus;
    }
    return candidate <= range.high;
  });
}

ValueRange Exactly(std::uint32_t value) {
  return {value, value};
}

// Walks the fields of one record in the order in which the writer puts them, and stops for good at
// the first that disagrees or at the end of the file; later calls then read nothing.
class RecordCursor {
 public:
  RecordCursor(std::span<const std::uint8_t> bytes, std::uint32_t offset)
      : bytes_(bytes), start_(offset), at_(offset) {}

  bool Stopped() const { return stopped_; }

  // A little-endian field of `width` bytes whose value lies in one of `ranges`.
  std::uint32_t Field(const char* name, std::uint32_t width, std::initializer_list<ValueRange> ranges) {
    if (stopped_) {
      return 0;
    }
    const auto present = static_cast<std::uint32_t>(std::min<std::uint64_t>(width, bytes_.size() - at_));
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < present; ++i) {
      value |= static_cast<std::uint32_t>(bytes_[at_ + i]) << (8 * i);
    }
    if (present == width && Agrees(value, width, ranges)) {
      at_ += width;
      return value;
    }
    std::uint32_t agreeing = present;
    while (agreeing > 0 &&
           !Agrees(static_cast<std::uint32_t>(value & ((std::uint64_t{1} << (8 * agreeing)) - 1)), agreeing,
                   ranges)) {
      --agreeing;
    }
    if (agreeing == present) {
      Stop(RecordFit::CutShort, present, {});
    } else {
      // Appended piece by piece: a literal added to a temporary string trips a false warning of GCC 12
      // at -O3.
      std::string fault = "unexpected ";
      fault += name;
      if (present == width) {
        fault += ' ';
        fault += std::to_string(value);
      }
      fault += " at offset ";
      fault += std::to_string(at_);
      Stop(RecordFit::Broken, agreeing, fault);
    }
    return 0;
  }

  // A text of `size` bytes: its characters, none of them zero, and then its zero byte.
  TextString Text(const char* name, std::uint32_t size) {
    if (stopped_) {
      return {};
    }
    for (std::uint32_t i = 0; i < size; ++i) {
      if (at_ + i >= bytes_.size()) {
        Stop(RecordFit::CutShort, i, {});
        return {};
      }
      const bool last = i + 1 == size;
      if ((bytes_[at_ + i] == 0) != last) {
        Stop(RecordFit::Broken, i,
             std::string(last ? "no zero byte ending the " : "zero byte inside the ") + name + " at offset " +
                 std::to_string(at_ + i));
        return {};
      }
    }
    TextString text(reinterpret_cast<const char*>(bytes_.data() + at_), size - 1);
    at_ += size;
    return text;
  }

  // Whole when nothing stopped the walk; the caller fills in the record.
  RecordMatch Result() const {
    RecordMatch match;
    match.fit = stopped_ ? fit_ : RecordFit::Whole;
    match.agreeing_bytes = at_ - start_;
    match.length = stopped_ ? 0 : at_ - start_;
    match.fault = fault_;
    return match;
  }

 private:
  void Stop(RecordFit fit, std::uint32_t agreeing_in_field, std::string fault) {
    stopped_ = true;
    fit_ = fit;
    at_ += agreeing_in_field;
    fault_ = std::move(fault);
  }

  std::span<const std::uint8_t> bytes_;
  std::uint32_t start_;
  std::uint32_t at_;
  bool stopped_ = false;
  RecordFit fit_ = RecordFit::Whole;
  std::string fault_;
};

// The smallest body of a record type: its body header and texts of one character each.
std::uint32_t SmallestBody(LogRecordType type) {
  switch (type) {
    case LogRecordType::Directory:
    case LogRecordType::Group:
      return kShortBodyHeader + kMinTextSize;
    case LogRecordType::File:
    case LogRecordType::Key:
      return kLongBodyHeader + kMinTextSize;
    case LogRecordType::Shortcut:
      break;
  }
  return kLongBodyHeader + 2 * kMinTextSize;
}

}  // namespace

RecordMatch MatchRecord(std::span<const std::uint8_t> bytes, std::uint32_t offset) {
  RecordCursor cursor(bytes, offset);
  cursor.Field("record header size", 4, {Exactly(kRecordHeaderSize)});
  cursor.Field("record marker", 4, {Exactly(kRecordMarker)});
  const auto type =
      static_cast<LogRecordType>(cursor.Field("record type", 1, {{kTypeDirectory, kTypeGroup}}));
  if (cursor.Stopped()) {
    return cursor.Result();
  }
  const std::uint32_t body = cursor.Field("body length", 1, {{SmallestBody(type), kMaxBodyLength}});
  std::uint32_t flags = 0;
  switch (type) {
    case LogRecordType::Directory:
      flags = cursor.Field("flags", 4, {Exactly(LOG_RELATIVE)});
      break;
    case LogRecordType::File:
      flags = cursor.Field("flags", 4, {Exactly(LOG_RELATIVE), Exactly(LOG_ABSOLUTE)});
      break;
    default:
      flags = cursor.Field("flags", 4, {Exactly(LOG_ABSOLUTE)});
      break;
  }
  const std::uint32_t end = offset + kRecordHeaderSize + body;
  const std::uint32_t next = cursor.Field("next-record field", 4, {Exactly(0), Exactly(end)});

  LogRecord record{type, flags == LOG_ABSOLUTE, {}, {}, offset};
  if (type == LogRecordType::Directory || type == LogRecordType::Group) {
    cursor.Field("body header size", 4, {Exactly(kShortBodyHeader)});
    cursor.Field("text count", 4, {Exactly(1)});
    const std::uint32_t size = cursor.Field("text length", 4, {Exactly(body - kShortBodyHeader)});
    record.text = cursor.Text("text", size);
  } else if (type == LogRecordType::Shortcut) {
    cursor.Field("body header size", 4, {Exactly(kLongBodyHeader)});
    cursor.Field("text count", 4, {Exactly(3)});
    const std::uint32_t texts = body - kLongBodyHeader;
    const std::uint32_t group_size =
        cursor.Field("group name length", 4, {{kMinTextSize, texts - kMinTextSize}});
    const std::uint32_t name_size = cursor.Field("shortcut name length", 4, {Exactly(texts - group_size)});
    record.text = cursor.Text("group name", group_size);
    record.shortcut = cursor.Text("shortcut name", name_size);
  } else {
    cursor.Field("body header size", 4, {Exactly(kLongBodyHeader)});
    cursor.Field("text count", 4, {Exactly(1)});
    cursor.Field("reserved word", 4, {Exactly(0)});
    const std::uint32_t size = cursor.Field("text length", 4, {Exactly(body - kLongBodyHeader)});
    record.text = cursor.Text("text", size);
  }

  RecordMatch match = cursor.Result();
  if (match.fit == RecordFit::Whole) {
    match.record = std::move(record);
    match.next = next;
  }
  return match;
}

}  // namespace vtsetup::uninstaller

#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace vtsetup::testing {

// Puts a little-endian word into laid-out bytes, as the writer's closing does.
inline void PutWord(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
  }
}

// An expected "dinstall.log", laid out field by field from the format the uninstaller reads.
struct LogLayout {
  std::vector<unsigned char> bytes;
  // Where the last record's next-record field lies; 0 before any record.
  std::size_t last_next_field = 0;

  LogLayout& Words(std::initializer_list<std::uint32_t> words) {
    for (std::uint32_t word : words) {
      for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<unsigned char>(word >> shift));
      }
    }
    return *this;
  }
  LogLayout& Byte(unsigned char value) {
    bytes.push_back(value);
    return *this;
  }
  LogLayout& Text(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return *this;
  }
  LogLayout& Ascii(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }

  // One record pointing at the end of itself, where the next one will start: the 18-byte record
  // header (its size, the marker 15, the type, the body's length, the flags, the next record's
  // offset), then the body's words and texts.
  LogLayout& Record(unsigned char type, std::uint32_t flags, std::initializer_list<std::uint32_t> body_words,
                    std::initializer_list<std::string> texts) {
    std::size_t body = 4 * body_words.size();
    for (const std::string& text : texts) {
      body += text.size() + 1;
    }
    Words({18, 15}).Byte(type).Byte(static_cast<unsigned char>(body)).Words({flags});
    last_next_field = bytes.size();
    Words({static_cast<std::uint32_t>(bytes.size() + 4 + body)}).Words(body_words);
    for (const std::string& text : texts) {
      Text(text);
    }
    return *this;
  }
  LogLayout& Directory(const std::string& directory) {
    return Record(2, 0x200, {12, 1, static_cast<std::uint32_t>(directory.size() + 1)}, {directory});
  }
  LogLayout& RelativeFile(const std::string& path) {
    return Record(3, 0x200, {16, 1, 0, static_cast<std::uint32_t>(path.size() + 1)}, {path});
  }
  LogLayout& Group(const std::string& group) {
    return Record(6, 0x100, {12, 1, static_cast<std::uint32_t>(group.size() + 1)}, {group});
  }
  LogLayout& Shortcut(const std::string& name, const std::string& group) {
    return Record(
        5, 0x100,
        {16, 3, static_cast<std::uint32_t>(group.size() + 1), static_cast<std::uint32_t>(name.size() + 1)},
        {group, name});
  }
  LogLayout& AbsoluteFile(const std::string& path) {
    return Record(3, 0x100, {16, 1, 0, static_cast<std::uint32_t>(path.size() + 1)}, {path});
  }
  LogLayout& Key(const std::string& key) {
    return Record(4, 0x100, {16, 1, 0, static_cast<std::uint32_t>(key.size() + 1)}, {key});
  }

  // A closed log: the chain ends at the last record and the header holds the file's size.
  std::vector<unsigned char> Closed() const {
    std::vector<unsigned char> closed = bytes;
    if (last_next_field != 0) {
      PutWord(closed, last_next_field, 0);
    }
    PutWord(closed, 16, static_cast<std::uint32_t>(closed.size()));
    return closed;
  }
};

// The header and the program's name; the size field is left 0 until the log is closed.
inline LogLayout LogHeader(const std::string& program, std::uint32_t size = 0) {
  const auto name_size = static_cast<std::uint32_t>(program.size() + 1);
  LogLayout log;
  log.Ascii("ILOG").Words({28, 10, 0, size, 0, 28 + 4 + name_size, name_size}).Text(program);
  return log;
}

}  // namespace vtsetup::testing

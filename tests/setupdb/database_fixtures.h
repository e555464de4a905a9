#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setupdb/setup_info.h"

namespace vtsetup::testing {

// Little-endian bytes put together by hand, with named places to find them again.
class ByteBuilder {
 public:
  ByteBuilder& U8(std::uint8_t value);
  ByteBuilder& U16(std::uint16_t value);
  ByteBuilder& U32(std::uint32_t value);
  ByteBuilder& Str(const std::string& text);  // the bytes and a zero
  ByteBuilder& Mark(const std::string& name);

  std::size_t At(const std::string& name) const { return marks_.at(name); }
  bool StartsString(std::size_t offset) const { return string_starts_.count(offset) != 0; }
  std::vector<unsigned char>& Bytes() { return bytes_; }
  const std::vector<unsigned char>& Bytes() const { return bytes_; }

 private:
  std::vector<unsigned char> bytes_;
  std::map<std::string, std::size_t> marks_;
  std::set<std::size_t> string_starts_;
};

// Puts the database checksum into bytes 8 to 11: the register over the body and twelve 0xCD bytes,
// computed here without the product's checksum code.
void SealDatabase(std::vector<unsigned char>& bytes);

// A small tree with two packs, shortcuts of every kind, temporary files and texts above 127.
SetupInfo SampleTree();

// The sample tree as the file must hold it, written out by hand from the file layout, with the places
// of the counts marked.
ByteBuilder SampleTreeBytes();

// What the writer stores for a tree. The writer's bytes are checked against SampleTreeBytes, so two
// trees that store the same bytes agree in every stored field.
std::vector<unsigned char> StoredBytes(const SetupInfo& info);

}  // namespace vtsetup::testing

#include "platform/host/shell/shell_link_file.h"

#include <algorithm>
#include <string_view>

#include "base/code_page.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// 00021401-0000-0000-C000-000000000046 in the GUID's byte order.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kIsUnicode = 0x80;

constexpr std::uint32_t kShowNormal = 1;

// Without the optional Unicode offsets: the paths are ANSI, as the header size of 0x1C says.
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr std::uint32_t kVolumeIdHeaderSize = 0x10;
constexpr std::uint32_t kNetworkLinkHeaderSize = 0x14;

class ByteWriter {
 public:
  void U16(std::uint16_t value) { Little(value, 2); }
  void U32(std::uint32_t value) { Little(value, 4); }
  void U64(std::uint64_t value) { Little(value, 8); }
  void Bytes(const unsigned char* data, std::size_t size) { bytes_.insert(bytes_.end(), data, data + size); }
  void Bytes(const std::vector<unsigned char>& data) { Bytes(data.data(), data.size()); }
  // An ANSI text with its terminating zero.
  void ZeroTerminated(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
  }
  // A StringData entry: its count of UTF-16 units, then the units without a terminator.
  void CountedUnicode(std::string_view text) {
    const std::size_t count = std::min<std::size_t>(text.size(), 0xFFFF);
    U16(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
      U16(Cp1250Character(static_cast<unsigned char>(text[i])));
    }
  }

  std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes_.size()); }
  std::vector<unsigned char> Take() { return std::move(bytes_); }

 private:
  void Little(std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
      bytes_.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
  }

  std::vector<unsigned char> bytes_;
};

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsUnc(std::string_view path) {
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

// "\\server\share" and the rest of the path after its separator.
std::pair<std::string_view, std::string_view> SplitShare(std::string_view path) {
  std::size_t at = 2;
  for (int separators = 0; at < path.size(); ++at) {
    if (IsSeparator(path[at]) && ++separators == 2) {
      return {path.substr(0, at), path.substr(at + 1)};
    }
  }
  return {path, {}};
}

std::vector<unsigned char> LocalLinkInfo(const ShellLinkFields& fields) {
  ByteWriter volume;
  volume.U32(kVolumeIdHeaderSize + 1);
  volume.U32(static_cast<std::uint32_t>(fields.drive_type));
  volume.U32(0);  // serial number: the host's volumes have none
  volume.U32(kVolumeIdHeaderSize);
  volume.ZeroTerminated("");  // label

  const std::uint32_t volume_offset = kLinkInfoHeaderSize;
  const std::uint32_t base_path_offset = volume_offset + volume.Size();
  const std::uint32_t suffix_offset = base_path_offset + static_cast<std::uint32_t>(fields.target.size()) + 1;
  ByteWriter info;
  info.U32(suffix_offset + 1);
  info.U32(kLinkInfoHeaderSize);
  info.U32(kVolumeIdAndLocalBasePath);
  info.U32(volume_offset);
  info.U32(base_path_offset);
  info.U32(0);  // no network link
  info.U32(suffix_offset);
  info.Bytes(volume.Take());
  info.ZeroTerminated(fields.target);
  info.ZeroTerminated("");
  return info.Take();
}

std::vector<unsigned char> NetworkLinkInfo(const ShellLinkFields& fields) {
  const auto [share, rest] = SplitShare(fields.target);
  ByteWriter network;
  network.U32(kNetworkLinkHeaderSize + static_cast<std::uint32_t>(share.size()) + 1);
  network.U32(0);  // neither a device name nor a provider type follows
  network.U32(kNetworkLinkHeaderSize);
  network.U32(0);
  network.U32(0);
  network.ZeroTerminated(share);

  const std::uint32_t network_offset = kLinkInfoHeaderSize;
  const std::uint32_t suffix_offset = network_offset + network.Size();
  ByteWriter info;
  info.U32(suffix_offset + static_cast<std::uint32_t>(rest.size()) + 1);
  info.U32(kLinkInfoHeaderSize);
  info.U32(kCommonNetworkRelativeLinkAndPathSuffix);
  info.U32(0);
  info.U32(0);
  info.U32(network_offset);
  info.U32(suffix_offset);
  info.Bytes(network.Take());
  info.ZeroTerminated(rest);
  return info.Take();
}

}  // namespace

std::vector<unsigned char> ShellLinkFileBytes(const ShellLinkFields& fields) {
  std::uint32_t flags = kIsUnicode;
  flags |= fields.target.empty() ? 0 : kHasLinkInfo;
  flags |= fields.description.empty() ? 0 : kHasName;
  flags |= fields.working_folder.empty() ? 0 : kHasWorkingDir;

  ByteWriter file;
  file.U32(kHeaderSize);
  file.Bytes(kLinkClsid, sizeof kLinkClsid);
  file.U32(flags);
  file.U32(fields.file_attributes);
  file.U64(fields.creation_time);
  file.U64(fields.access_time);
  file.U64(fields.write_time);
  file.U32(fields.file_size);
  file.U32(0);  // icon index
  file.U32(kShowNormal);
  file.U16(0);  // no hot key
  file.U16(0);
  file.U32(0);
  file.U32(0);
  if ((flags & kHasLinkInfo) != 0) {
    file.Bytes(IsUnc(fields.target) ? NetworkLinkInfo(fields) : LocalLinkInfo(fields));
  }
  if ((flags & kHasName) != 0) {
    file.CountedUnicode(fields.description);
  }
  if ((flags & kHasWorkingDir) != 0) {
    file.CountedUnicode(fields.working_folder);
  }
  file.U32(0);  // the terminal block
  return file.Take();
}

}  // namespace vtsetup::platform::host

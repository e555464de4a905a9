#include "base/text_string.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

namespace vtsetup {
namespace {

std::uint32_t TextLength(const char* text) {
  return static_cast<std::uint32_t>(std::strlen(text));
}

bool Overlaps(const char* text, const char* buffer, std::uint32_t length) {
  // std::less gives a total order even for pointers into different objects.
  return !std::less<const char*>()(text, buffer) && std::less<const char*>()(text, buffer + length + 1);
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

char* TextString::EmptyText() {
  // Shared by every empty string and never written: a string writes only into a buffer it allocated.
  static char empty[1] = {'\0'};
  return empty;
}

TextString::TextString(const char* text) {
  if (text != nullptr) {
    Assign(text);
  }
}

TextString::TextString(const char* text, std::uint32_t count) {
  Assign(text, count);
}

TextString::TextString(const TextString& other) {
  Assign(other);
}

TextString::TextString(TextString&& other) noexcept
    : length_(other.length_), capacity_(other.capacity_), data_(other.data_) {
  other.length_ = 0;
  other.capacity_ = 0;
  other.data_ = EmptyText();
}

TextString& TextString::operator=(const TextString& other) {
  Assign(other);
  return *this;
}

TextString& TextString::operator=(TextString&& other) noexcept {
  if (this != &other) {
    Release();
    length_ = other.length_;
    capacity_ = other.capacity_;
    data_ = other.data_;
    other.length_ = 0;
    other.capacity_ = 0;
    other.data_ = EmptyText();
  }
  return *this;
}

TextString& TextString::operator=(const char* text) {
  Assign(text);
  return *this;
}

TextString::~TextString() {
  Release();
}

void TextString::Release() {
  if (OwnsBuffer()) {
    delete[] data_;
  }
  length_ = 0;
  capacity_ = 0;
  data_ = EmptyText();
}

void TextString::Reserve(std::uint32_t needed, bool keep) {
  if (needed <= capacity_) {
    return;
  }
  char* buffer = new char[static_cast<std::size_t>(needed) + 1];
  if (keep) {
    std::memcpy(buffer, data_, static_cast<std::size_t>(length_) + 1);
  } else {
    buffer[0] = '\0';
    length_ = 0;
  }
  if (OwnsBuffer()) {
    delete[] data_;
  }
  data_ = buffer;
  capacity_ = needed;
}

void TextString::Assign(const TextString& other) {
  if (&other != this) {
    Assign(other.data_, other.length_);
  }
}

void TextString::Assign(const char* text) {
  if (text != nullptr) {
    Assign(text, TextLength(text));
  }
}

void TextString::Assign(const char* text, std::uint32_t count) {
  if (text == nullptr || text == data_) {
    return;
  }
  if (count == 0 && !OwnsBuffer()) {
    return;  // already the shared empty text
  }
  if (Overlaps(text, data_, length_)) {
    // A piece of our own text: take a copy before the buffer may go.
    const TextString copy(text, count);
    Assign(copy);
    return;
  }
  Reserve(count, false);
  std::memcpy(data_, text, count);
  data_[count] = '\0';
  length_ = count;
}

void TextString::Append(const char* text) {
  if (text != nullptr) {
    Append(text, TextLength(text));
  }
}

void TextString::Append(const TextString& other) {
  Append(other.data_, other.length_);
}

void TextString::Append(char c) {
  if (c != '\0') {
    Append(&c, 1);
  }
}

void TextString::Append(const char* text, std::uint32_t count) {
  if (text == nullptr || count == 0) {
    return;
  }
  if (Overlaps(text, data_, length_)) {
    const TextString copy(text, count);
    Append(copy);
    return;
  }
  Reserve(length_ + count, true);
  std::memcpy(data_ + length_, text, count);
  length_ += count;
  data_[length_] = '\0';
}

void TextString::AppendNumber(std::int32_t number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%d", static_cast<int>(number));
  Append(digits);
}

void TextString::Format(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  FormatList(format, args);
  va_end(args);
}

void TextString::FormatList(const char* format, std::va_list args) {
  std::va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (needed < 0) {
    return;  // an encoding error leaves the text as it was
  }
  std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  Assign(buffer.data(), static_cast<std::uint32_t>(needed));
}

void TextString::EnsureTrailing(char c) {
  if (length_ == 0 || data_[length_ - 1] != c) {
    Append(c);
  }
}

void TextString::RemoveTrailing(char c) {
  if (length_ == 0) {
    Release();
  } else if (data_[length_ - 1] == c) {
    data_[--length_] = '\0';
  }
}

void TextString::EnsureTrailingBackslash() {
  if (length_ == 0 || (data_[length_ - 1] != '\\' && data_[length_ - 1] != '/')) {
    Append('\\');
  }
}

TextString TextString::Left(std::uint32_t count) const {
  return TextString(data_, count < length_ ? count : length_);
}

TextString TextString::Mid(std::uint32_t from) const {
  return from >= length_ ? TextString() : TextString(data_ + from, length_ - from);
}

TextString TextString::Mid(std::uint32_t from, std::uint32_t count) const {
  if (from >= length_) {
    return TextString();
  }
  const std::uint32_t available = length_ - from;
  return TextString(data_ + from, count < available ? count : available);
}

std::int32_t TextString::Find(const char* text) const {
  if (text == nullptr) {
    return -1;
  }
  const std::size_t at = std::string_view(data_, length_).find(text);
  return at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

std::int32_t TextString::FindLast(char c) const {
  for (std::uint32_t i = length_; i > 0; --i) {
    if (data_[i - 1] == c) {
      return static_cast<std::int32_t>(i - 1);
    }
  }
  return -1;
}

void TextString::ToUpper() {
  for (std::uint32_t i = 0; i < length_; ++i) {
    data_[i] = AsciiUpper(data_[i]);
  }
}

void TextString::ToLower() {
  for (std::uint32_t i = 0; i < length_; ++i) {
    data_[i] = AsciiLower(data_[i]);
  }
}

void TextString::SplitPath(TextString* drive, TextString* directory, TextString* name,
                           TextString* extension) const {
  const std::string_view path(data_, length_);
  std::size_t start = 0;
  if (path.size() >= 2 && path[1] == ':') {
    start = 2;
  }
  const std::size_t last_separator = path.find_last_of("\\/");
  const std::size_t name_start =
      (last_separator == std::string_view::npos || last_separator < start) ? start : last_separator + 1;
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < name_start) {
    dot = path.size();
  }
  // Cut the pieces before any output is touched: this string may be one of the outputs.
  const TextString drive_part(data_, static_cast<std::uint32_t>(start));
  const TextString directory_part(data_ + start, static_cast<std::uint32_t>(name_start - start));
  const TextString name_part(data_ + name_start, static_cast<std::uint32_t>(dot - name_start));
  const TextString extension_part(data_ + dot, static_cast<std::uint32_t>(path.size() - dot));
  if (drive == this) {
    drive->Release();
  }
  if (drive != nullptr) {
    drive->Append(drive_part);
  }
  if (directory != nullptr) {
    directory->Append(directory_part);
  }
  if (name != nullptr) {
    name->Append(name_part);
  }
  if (extension != nullptr) {
    extension->Append(extension_part);
  }
}

bool operator==(const TextString& a, const TextString& b) {
  return std::string_view(a.data_, a.length_) == std::string_view(b.data_, b.length_);
}

bool operator==(const TextString& a, const char* b) {
  return b != nullptr && std::string_view(a.data_, a.length_) == std::string_view(b);
}

TextString operator+(const TextString& a, const TextString& b) {
  TextString result(a);
  result.Append(b);
  return result;
}

TextString operator+(const TextString& a, const char* b) {
  TextString result(a);
  result.Append(b);
  return result;
}

TextString operator+(const char* a, const TextString& b) {
  TextString result(a);
  result.Append(b);
  return result;
}

TextString operator+(const TextString& a, char b) {
  TextString result(a);
  result.Append(b);
  return result;
}

int CompareNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const unsigned char ca = static_cast<unsigned char>(AsciiLower(*a));
    const unsigned char cb = static_cast<unsigned char>(AsciiLower(*b));
    if (ca != cb || ca == '\0') {
      return ca - cb;
    }
  }
}

}  // namespace vtsetup

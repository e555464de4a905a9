#pragma once

#include <cstdarg>
#include <cstdint>

#include "base/printf_format.h"

namespace vtsetup {

// The one owned string of the system: 8-bit text in the ANSI code page, zero-terminated, with its length.
// Positions are zero-based and a failed search gives -1. An empty string that never held characters
// points at a shared read-only empty text, so empty strings cost no allocation. Buffers are allocated
// with exactly the needed size; callers build short paths and messages, so no growth reserve is kept.
class TextString {
 public:
  TextString() = default;
  TextString(const char* text);  // NOLINT: converting on purpose, texts and strings mix freely
  TextString(const char* text, std::uint32_t count);
  TextString(const TextString& other);
  TextString(TextString&& other) noexcept;
  TextString& operator=(const TextString& other);
  TextString& operator=(TextString&& other) noexcept;
  TextString& operator=(const char* text);
  ~TextString();

  // A null text or the string's own buffer leaves the string unchanged. A buffer large enough is reused.
  void Assign(const TextString& other);
  void Assign(const char* text);
  void Assign(const char* text, std::uint32_t count);

  std::uint32_t Length() const { return length_; }
  std::uint32_t Capacity() const { return capacity_; }
  bool IsEmpty() const { return length_ == 0; }
  const char* Data() const { return data_; }
  // The zero character for any position at or past the end.
  char At(std::uint32_t index) const { return index < length_ ? data_[index] : '\0'; }

  void Append(const char* text);
  void Append(const TextString& other);
  void Append(char c);
  void Append(const char* text, std::uint32_t count);
  void AppendNumber(std::int32_t number);

  // printf rules; the result is sized to fit, whatever the arguments' lengths.
  void Format(const char* format, ...) VT_PRINTF_FORMAT(2, 3);
  void FormatList(const char* format, std::va_list args);

  void EnsureTrailing(char c);
  void RemoveTrailing(char c);
  // Path joining: a backslash unless the text already ends in "\" or "/".
  void EnsureTrailingBackslash();
  // Back to the shared empty text, giving the buffer up.
  void Release();

  TextString Left(std::uint32_t count) const;
  TextString Mid(std::uint32_t from) const;
  TextString Mid(std::uint32_t from, std::uint32_t count) const;
  std::int32_t Find(const char* text) const;
  std::int32_t FindLast(char c) const;
  void ToUpper();
  void ToLower();

  // Splits as the Windows C library splits a file path (drive letter and colon; folder up to the last
  // "\" or "/"; name up to the last dot; extension from it). Each given output gets its part appended.
  // When this string itself is the drive output it is emptied first, which is how a program's full path
  // is cut down to its drive and folder.
  void SplitPath(TextString* drive, TextString* directory, TextString* name, TextString* extension) const;

  friend bool operator==(const TextString& a, const TextString& b);
  friend bool operator==(const TextString& a, const char* b);

 private:
  // Makes room for `needed` characters; keeps the contents only when `keep` is set.
  void Reserve(std::uint32_t needed, bool keep);
  bool OwnsBuffer() const { return capacity_ != 0; }

  std::uint32_t length_ = 0;
  std::uint32_t capacity_ = 0;
  char* data_ = EmptyText();

  static char* EmptyText();
};

TextString operator+(const TextString& a, const TextString& b);
TextString operator+(const TextString& a, const char* b);
TextString operator+(const char* a, const TextString& b);
TextString operator+(const TextString& a, char b);

// The C library's case-insensitive comparison of zero-terminated texts (ASCII letters folded).
int CompareNoCase(const char* a, const char* b);

}  // namespace vtsetup

#include "app/messages.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace vtsetup::app {

namespace {

// A message text formatted into a buffer of a fixed size: a long insertion is cut at the buffer's end
// instead of running past it.
template <typename... Arguments>
std::vector<char> FormatInto(std::uint32_t buffer_size, const TextString& format, Arguments... arguments) {
  std::vector<char> text(buffer_size == 0 ? 1 : buffer_size, '\0');
  std::snprintf(text.data(), text.size(), format.Data(), arguments...);
  return text;
}

}  // namespace

TextString Messages::Entry(std::uint16_t id, std::uint32_t buffer_size) {
  std::optional<TextString> entry = ui_.LoadStringResource(id, buffer_size);
  return entry ? *entry : TextString();
}

std::int32_t Messages::Show(const char* text, std::uint32_t style) {
  return ui_.ShowMessageBox(Owner(), text, title_.Data(), style);
}

std::int32_t Messages::ShowStringMessage(std::uint16_t id, std::uint32_t style) {
  const std::optional<TextString> entry = ui_.LoadStringResource(id, kMessageBufferSize);
  if (!entry) {
    Show(kMissingEntryText, style);
    return MESSAGE_MISSING_ENTRY;
  }
  return Show(entry->Data(), style);
}

std::int32_t Messages::ShowMessage(std::uint16_t id, const char* insertion, std::uint32_t style,
                                   std::uint32_t buffer_size) {
  const TextString entry = Entry(id, buffer_size);
  if (insertion == nullptr) {
    return Show(entry.Data(), style);
  }
  return Show(FormatInto(buffer_size, entry, insertion).data(), style);
}

std::int32_t Messages::ShowMessage(std::uint16_t id, const char* first, const char* second,
                                   std::uint32_t style) {
  return Show(FormatInto(kMessageBufferSize, Entry(id, kMessageBufferSize), first, second).data(), style);
}

std::int32_t Messages::ShowNumberMessage(std::uint16_t id, float number, std::uint32_t style) {
  return Show(
      FormatInto(kMessageBufferSize, Entry(id, kMessageBufferSize), static_cast<double>(number)).data(),
      style);
}

}  // namespace vtsetup::app

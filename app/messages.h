#pragma once

#include <atomic>
#include <cstdint>

#include "platform/user_interface.h"

namespace vtsetup::app {

// The title of every box the setup shows, byte for byte.
inline constexpr char kMessageTitle[] = "Vantor Setup";
// What the user sees when the program asks for a text its string table lacks.
inline constexpr char kMissingEntryText[] = "Interner Fehler - Resource nicht vorhanden";
// The answer of `ShowStringMessage` for a missing entry, whatever the user pressed, so that the caller
// never mistakes it for a real decision.
inline constexpr std::int32_t MESSAGE_MISSING_ENTRY = 9;
// Entries and the texts made from them live in buffers of this size, so at most one byte less of
// either reaches the user.
inline constexpr std::uint32_t kMessageBufferSize = 500;

// The string-table texts that a program shows as message boxes, all titled alike (the setup's title
// unless the program has its own) and owned by the background window once it exists. The copy worker
// shows boxes too, so the owner is read atomically; it is set on the main thread before the workers
// start.
class Messages {
 public:
  explicit Messages(platform::UserInterface& ui, const char* title = kMessageTitle)
      : ui_(ui), title_(title) {}

  // Null until the background window exists: the boxes of start-up then have no owner.
  void SetOwner(platform::Window owner) { owner_.store(owner); }
  platform::Window Owner() const { return owner_.load(); }

  // The entry as it stands; a missing entry shows the internal-error text and answers
  // MESSAGE_MISSING_ENTRY.
  std::int32_t ShowStringMessage(std::uint16_t id, std::uint32_t style);
  // The entry used as a format for `insertion`; without insertion (null) the entry as it stands, so a
  // "%s" in it is shown literally. A missing entry shows an empty box. The copy worker's question about
  // an existing directory uses a smaller buffer than the others.
  std::int32_t ShowMessage(std::uint16_t id, const char* insertion, std::uint32_t style,
                           std::uint32_t buffer_size = kMessageBufferSize);
  // The entry used as a format for two texts, in their order; a missing entry shows an empty box.
  std::int32_t ShowMessage(std::uint16_t id, const char* first, const char* second, std::uint32_t style);
  // The entry always used as a format for the number, widened as printf widens it.
  std::int32_t ShowNumberMessage(std::uint16_t id, float number, std::uint32_t style);

 private:
  // The entry cut to the buffer, or empty when the table has none.
  TextString Entry(std::uint16_t id, std::uint32_t buffer_size);
  std::int32_t Show(const char* text, std::uint32_t style);

  platform::UserInterface& ui_;
  const TextString title_;
  std::atomic<platform::Window> owner_ = nullptr;
};

}  // namespace vtsetup::app

#pragma once

#include <cstdint>
#include <vector>

namespace vtsetup {

// An ordered list of item pointers, kept as a doubly linked list inside one array of slots with 16-bit
// links. The list does not own its items. Slots are added eight at a time, so the list holds at most
// 65528 entries; an append beyond that is refused rather than wrapping the 16-bit indices.
template <typename Item>
class SlotList {
 public:
  static constexpr std::uint16_t kNoSlot = 0xFFFF;
  static constexpr std::uint16_t kGrowth = 8;
  static constexpr std::uint16_t kMaxCapacity = 0xFFFF - 0xFFFF % kGrowth;

  // Returns false when the list is full.
  bool AddLast(Item* item) {
    if (count_ == slots_.size()) {
      if (slots_.size() + kGrowth > kMaxCapacity) {
        return false;
      }
      slots_.resize(slots_.size() + kGrowth);
    }
    const std::uint16_t slot = LowestFreeSlot();
    if (count_ != 0) {
      slots_[last_].next = slot;
      slots_[slot].previous = last_;
    } else {
      slots_[slot].previous = kNoSlot;
    }
    slots_[slot].next = kNoSlot;
    slots_[slot].in_use = true;
    slots_[slot].item = item;
    last_ = slot;
    ++count_;
    return true;
  }

  Item* First(std::uint16_t& position) const {
    if (count_ == 0) {
      position = kNoSlot;
      return nullptr;
    }
    position = first_;
    return slots_[first_].item;
  }

  // The position may reach kNoSlot; a step that lands on a free slot gives no item.
  Item* Next(std::uint16_t& position) const {
    position = position < slots_.size() ? slots_[position].next : kNoSlot;
    return position < slots_.size() ? slots_[position].item : nullptr;
  }

  std::uint16_t Count() const { return count_; }
  std::uint16_t Capacity() const { return static_cast<std::uint16_t>(slots_.size()); }

 private:
  struct Slot {
    bool in_use = false;
    std::uint16_t next = kNoSlot;
    std::uint16_t previous = kNoSlot;
    Item* item = nullptr;
  };

  // Entries are never removed, so the slots in use are exactly the first count_ ones.
  std::uint16_t LowestFreeSlot() const { return count_; }

  std::uint16_t count_ = 0;
  std::uint16_t last_ = 0;
  // An empty list has every slot free, so the first entry always lands in slot 0, where first_ points.
  std::uint16_t first_ = 0;
  std::vector<Slot> slots_;
};

}  // namespace vtsetup

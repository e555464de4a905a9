#pragma once

#include <windows.h>

#include <utility>

namespace vtsetup::platform::win32 {

// One owned system resource, given back by the destructor on every way out. `Traits` names the
// resource's type, the value that stands for none, and how it is given back.
template <typename Traits>
class UniqueResource {
 public:
  using Value = typename Traits::Value;

  UniqueResource() = default;
  explicit UniqueResource(Value value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(std::exchange(other.value_, Traits::None())) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) {
      Reset(std::exchange(other.value_, Traits::None()));
    }
    return *this;
  }
  ~UniqueResource() { Reset(Traits::None()); }

  Value Get() const { return value_; }
  bool Valid() const { return value_ != Traits::None(); }
  // For the calls that hand a new resource out through a pointer; the one held before is given back.
  Value* Receive() {
    Reset(Traits::None());
    return &value_;
  }

 private:
  void Reset(Value value) {
    if (value_ != Traits::None()) {
      Traits::Close(value_);
    }
    value_ = value;
  }

  Value value_ = Traits::None();
};

// CreateFileA and the device it opens say "none" with INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value None() { return INVALID_HANDLE_VALUE; }
  static void Close(Value handle) { ::CloseHandle(handle); }
};
using UniqueFileHandle = UniqueResource<FileHandleTraits>;

// Threads, tokens and the other kernel objects say "none" with a null handle.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value None() { return nullptr; }
  static void Close(Value handle) { ::CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueResource<KernelHandleTraits>;

}  // namespace vtsetup::platform::win32

#pragma once

#include <objbase.h>

#include <utility>

namespace vtsetup::platform::win32 {

// One reference to a component object, released when it goes.
template <typename Interface>
class ComObject {
 public:
  ComObject() = default;
  explicit ComObject(Interface* object) : object_(object) {}
  ComObject(ComObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComObject& operator=(ComObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  ~ComObject() { Reset(); }

  Interface* operator->() const { return object_; }
  Interface* Get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Where a creating call puts the new reference; any earlier one is released first.
  void** Receiver() {
    Reset();
    return reinterpret_cast<void**>(&object_);
  }

 private:
  void Reset() {
    if (object_ != nullptr) {
      object_->Release();
      object_ = nullptr;
    }
  }

  Interface* object_ = nullptr;
};

// The component object model, initialised for the thread that makes this object for as long as it lives.
// A thread that had it already counts one more use, which the end gives back; a thread in the other
// threading model keeps it and gives nothing back.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialised_) {
      ::CoUninitialize();
    }
  }

 private:
  bool initialised_;
};

}  // namespace vtsetup::platform::win32

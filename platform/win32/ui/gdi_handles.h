#pragma once

#include <windows.h>

#include <utility>

namespace vtsetup::platform::win32 {

// A drawing object (bitmap, palette) that this program made and deletes when it goes. It must be out
// of every device context by then, which the selections below see to.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject& operator=(GdiObject&&) = delete;
  ~GdiObject() {
    if (handle_ != nullptr) {
      ::DeleteObject(handle_);
    }
  }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

// The screen's device context, borrowed for as long as this lives.
class ScreenContext {
 public:
  ScreenContext() : context_(::GetDC(nullptr)) {}
  ScreenContext(const ScreenContext&) = delete;
  ScreenContext& operator=(const ScreenContext&) = delete;
  ~ScreenContext() {
    if (context_ != nullptr) {
      ::ReleaseDC(nullptr, context_);
    }
  }

  HDC Get() const { return context_; }

 private:
  HDC context_;
};

// A memory device context like the screen's, deleted when it goes.
class MemoryContext {
 public:
  MemoryContext() : context_(::CreateCompatibleDC(nullptr)) {}
  MemoryContext(const MemoryContext&) = delete;
  MemoryContext& operator=(const MemoryContext&) = delete;
  ~MemoryContext() {
    if (context_ != nullptr) {
      ::DeleteDC(context_);
    }
  }

  HDC Get() const { return context_; }

 private:
  HDC context_;
};

// An object selected into a context for as long as this lives; the context's previous one comes back.
class SelectedObject {
 public:
  SelectedObject(HDC context, HGDIOBJ object)
      : context_(context), previous_(::SelectObject(context, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) {
      ::SelectObject(context_, previous_);
    }
  }

  bool Selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC context_;
  HGDIOBJ previous_;
};

// A palette selected into a context in the foreground and realised, for as long as this lives; the
// context's previous palette comes back. A null palette selects nothing.
class RealisedPalette {
 public:
  RealisedPalette(HDC context, HPALETTE palette)
      : context_(context),
        previous_(palette != nullptr ? ::SelectPalette(context, palette, FALSE) : nullptr) {
    if (previous_ != nullptr) {
      ::RealizePalette(context_);
    }
  }
  RealisedPalette(const RealisedPalette&) = delete;
  RealisedPalette& operator=(const RealisedPalette&) = delete;
  ~RealisedPalette() {
    if (previous_ != nullptr) {
      ::SelectPalette(context_, previous_, FALSE);
    }
  }

 private:
  HDC context_;
  HPALETTE previous_;
};

}  // namespace vtsetup::platform::win32

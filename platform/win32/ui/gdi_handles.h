#pragma once

#include <windows.h>

#include "platform/win32/unique_resource.h"

namespace vtsetup::platform::win32 {

// A drawing object (bitmap, palette) that this program made and deletes when it goes. It must be out
// of every device context by then, which the selections below see to.
template <typename Handle>
struct GdiObjectTraits {
  using Value = Handle;
  static Value None() { return nullptr; }
  static void Close(Value handle) { ::DeleteObject(handle); }
};
template <typename Handle>
using GdiObject = UniqueResource<GdiObjectTraits<Handle>>;

// The screen's device context (`GetDC(nullptr)`), borrowed for as long as this lives.
struct ScreenContextTraits {
  using Value = HDC;
  static Value None() { return nullptr; }
  static void Close(Value context) { ::ReleaseDC(nullptr, context); }
};
using ScreenContext = UniqueResource<ScreenContextTraits>;

// A memory device context (`CreateCompatibleDC`), deleted when it goes.
struct MemoryContextTraits {
  using Value = HDC;
  static Value None() { return nullptr; }
  static void Close(Value context) { ::DeleteDC(context); }
};
using MemoryContext = UniqueResource<MemoryContextTraits>;

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

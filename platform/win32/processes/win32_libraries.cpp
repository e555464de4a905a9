#include "platform/win32/processes/win32_libraries.h"

#include <windows.h>

#include "platform/win32/last_error.h"
#include "platform/win32/unique_resource.h"

namespace vtsetup::platform::win32 {
namespace {

struct LibraryTraits {
  using Value = HMODULE;
  static Value None() { return nullptr; }
  static void Close(Value module) { ::FreeLibrary(module); }
};

class Win32Library final : public Library {
 public:
  explicit Win32Library(UniqueResource<LibraryTraits> module) : module_(std::move(module)) {}

  LibraryFunction Find(const char* name) override {
    // The system hands every export out as one function type; the caller knows the real one and
    // casts again, so this cast between function pointer types only carries the address.
    return reinterpret_cast<LibraryFunction>(::GetProcAddress(module_.Get(), name));
  }

 private:
  UniqueResource<LibraryTraits> module_;
};

}  // namespace

LibraryLoad Win32Libraries::Load(const char* path) {
  UniqueResource<LibraryTraits> module(::LoadLibraryA(path));
  if (!module.Valid()) {
    return {nullptr, LastErrorOr(ERR_FILE_NOT_FOUND)};
  }
  return {std::make_unique<Win32Library>(std::move(module)), ERR_NONE};
}

}  // namespace vtsetup::platform::win32

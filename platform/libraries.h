#pragma once

#include <memory>

#include "platform/errors.h"

// The calling convention of functions that Windows libraries export; the identity elsewhere.
#if defined(_WIN32) && defined(__i386__)
#define VT_WINAPI __attribute__((stdcall))
#else
#define VT_WINAPI
#endif

namespace vtsetup::platform {

// Any exported function; the caller casts it to the type it knows the function has.
using LibraryFunction = void (*)();

// A loaded library, released by the destructor.
class Library {
 public:
  virtual ~Library() = default;
  // Null when the library exports no function of that name.
  virtual LibraryFunction Find(const char* name) = 0;
};

struct LibraryLoad {
  std::unique_ptr<Library> library;  // null on failure
  SystemError error = ERR_NONE;
};

class Libraries {
 public:
  virtual ~Libraries() = default;
  // A Windows path, or a bare name that the system looks for in its own places.
  virtual LibraryLoad Load(const char* path) = 0;
};

}  // namespace vtsetup::platform

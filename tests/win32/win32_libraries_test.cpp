#include "platform/win32/processes/win32_libraries.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using vtsetup::platform::ERR_NONE;
using vtsetup::platform::LibraryFunction;
using vtsetup::platform::LibraryLoad;
using vtsetup::platform::win32::Win32Libraries;

TEST(Win32LibrariesTest, FindsAFunctionOfALoadedLibraryAndCallsIt) {
  Win32Libraries libraries;
  const LibraryLoad kernel = libraries.Load("kernel32.dll");
  ASSERT_EQ(kernel.error, ERR_NONE);
  ASSERT_NE(kernel.library, nullptr);
  const LibraryFunction found = kernel.library->Find("GetTickCount");
  ASSERT_NE(found, nullptr);
  using TickCount = DWORD(WINAPI*)();
  const DWORD before = ::GetTickCount();
  const DWORD through_library = reinterpret_cast<TickCount>(found)();
  EXPECT_LE(through_library - before, 1000u);
  EXPECT_EQ(kernel.library->Find("NoSuchFunctionAnywhere"), nullptr);
}

TEST(Win32LibrariesTest, AMissingLibraryFailsWithTheSystemsError) {
  const LibraryLoad missing = Win32Libraries().Load("no_such_library_of_ours.dll");
  EXPECT_EQ(missing.library, nullptr);
  EXPECT_EQ(missing.error, static_cast<vtsetup::platform::SystemError>(ERROR_MOD_NOT_FOUND));
}

TEST(Win32LibrariesTest, ALibraryGoesWithItsObject) {
  // A library nothing else of this program uses, so that its count of users is ours alone.
  ASSERT_EQ(::GetModuleHandleA("msimg32.dll"), nullptr);
  {
    const LibraryLoad loaded = Win32Libraries().Load("msimg32.dll");
    ASSERT_NE(loaded.library, nullptr);
    EXPECT_NE(::GetModuleHandleA("msimg32.dll"), nullptr);
  }
  EXPECT_EQ(::GetModuleHandleA("msimg32.dll"), nullptr);
}

}  // namespace

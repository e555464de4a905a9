#include "platform/win32/processes/win32_processes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/processes/shutdown_privilege.h"
#include "tests/win32/win32_child_modes.h"
#include "tests/win32/win32_test_folder.h"

namespace {

using vtsetup::TextString;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::SHOW_HIDE;
using vtsetup::platform::win32::EnableShutdownPrivilege;
using vtsetup::platform::win32::Win32Processes;
using vtsetup::testing::Exists;
using vtsetup::testing::kExitAtOnce;
using vtsetup::testing::kRemoveOwnProgramFile;
using vtsetup::testing::Win32TestFolder;
using vtsetup::testing::WriteText;

std::string OwnProgram() {
  char path[MAX_PATH * 4] = {};
  ::GetModuleFileNameA(nullptr, path, sizeof(path));
  return path;
}

TEST(Win32ProcessesTest, StartsAProgramOrTellsWhyNot) {
  Win32TestFolder folder;
  Win32Processes processes;
  EXPECT_EQ(processes.Start(("\"" + folder.File("missing.exe") + "\"").c_str(), SHOW_HIDE), 2u);
  // Windows itself names a missing folder with 3, Wine with 2; both are the system's answer.
  const std::uint32_t no_folder =
      processes.Start(("\"" + folder.File("missing\\game.exe") + "\"").c_str(), SHOW_HIDE);
  EXPECT_TRUE(no_folder == 3u || no_folder == 2u) << no_folder;
  WriteText(folder.File("readme.exe"), "This is no program, only its name says so.");
  EXPECT_EQ(processes.Start(("\"" + folder.File("readme.exe") + "\"").c_str(), SHOW_HIDE), 11u);
  EXPECT_GT(processes.Start(("\"" + OwnProgram() + "\" " + kExitAtOnce).c_str(), SHOW_HIDE), 31u);
}

TEST(Win32ProcessesTest, TheTickCountAdvancesAcrossASleep) {
  Win32Processes processes;
  const std::uint32_t before = processes.TickCount();
  processes.Sleep(100);
  // Unsigned, as the count wraps; the system's tick is coarser than a millisecond.
  EXPECT_GE(processes.TickCount() - before, 80u);
}

TEST(Win32ProcessesTest, TheCommandLineNamesTheProgramAndItsArguments) {
  const TextString line = Win32Processes().CommandLine();
  EXPECT_NE(line.Find("win32_seam_tests"), -1) << line.Data();
  EXPECT_EQ(line, ::GetCommandLineA());
}

std::optional<bool> ShutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return std::nullopt;
  }
  LUID shutdown{};
  DWORD size = 0;
  ::GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  std::optional<bool> enabled;
  if (::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown) &&
      ::GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
      if (entry.Luid.LowPart == shutdown.LowPart && entry.Luid.HighPart == shutdown.HighPart) {
        enabled = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
      }
    }
  }
  ::CloseHandle(token);
  return enabled;
}

void DisableShutdownPrivilege() {
  HANDLE token = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  ASSERT_TRUE(::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid));
  privileges.Privileges[0].Attributes = 0;
  EXPECT_TRUE(::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
  ::CloseHandle(token);
}

TEST(Win32ProcessesTest, TheShutdownPrivilegeIsTurnedOnBeforeARestart) {
  // The restart request itself would end every program of the session, this test's too.
  DisableShutdownPrivilege();
  ASSERT_EQ(ShutdownPrivilegeEnabled(), std::optional<bool>(false));
  EXPECT_TRUE(EnableShutdownPrivilege());
  EXPECT_EQ(ShutdownPrivilegeEnabled(), std::optional<bool>(true));
}

// The deletions the NT family carries out at its next start, as the system keeps them: pairs of a
// source and a target, where an empty target means deletion.
class PendingDeletions {
 public:
  static constexpr char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  static constexpr char kValue[] = "PendingFileRenameOperations";

  PendingDeletions() { before_ = Read(); }
  PendingDeletions(const PendingDeletions&) = delete;
  PendingDeletions& operator=(const PendingDeletions&) = delete;
  // What a test arranged must not happen to anything at the next start of the system.
  ~PendingDeletions() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
      return;
    }
    if (before_) {
      ::RegSetValueExA(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before_->data()),
                       static_cast<DWORD>(before_->size()));
    } else {
      ::RegDeleteValueA(key, kValue);
    }
    ::RegCloseKey(key);
  }

  // The strings added since the object was made.
  std::vector<std::string> Added() const {
    const std::vector<std::string> all = Strings(Read().value_or(""));
    const std::size_t earlier = Strings(before_.value_or("")).size();
    return earlier <= all.size() ? std::vector<std::string>(all.begin() + earlier, all.end()) : all;
  }

 private:
  static std::optional<std::string> Read() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    DWORD size = 0;
    std::optional<std::string> data;
    if (::RegQueryValueExA(key, kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      std::string bytes(size, '\0');
      if (::RegQueryValueExA(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(bytes.data()), &size) ==
          ERROR_SUCCESS) {
        bytes.resize(size);
        data = bytes;
      }
    }
    ::RegCloseKey(key);
    return data;
  }
  // Each string of the list, an empty one included, up to the list's closing zero.
  static std::vector<std::string> Strings(const std::string& list) {
    std::vector<std::string> strings;
    std::size_t at = 0;
    while (at < list.size()) {
      const std::size_t end = list.find('\0', at);
      const std::size_t stop = end == std::string::npos ? list.size() : end;
      strings.push_back(list.substr(at, stop - at));
      at = stop + 1;
    }
    while (!strings.empty() && strings.back().empty() && strings.size() % 2 == 1) {
      strings.pop_back();
    }
    return strings;
  }

  std::optional<std::string> before_;
};

DWORD RunToEnd(const std::string& command_line) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::string line = command_line;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return 0xFFFFFFFFu;
  }
  DWORD exit_code = 0xFFFFFFFEu;
  if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    ::GetExitCodeProcess(process.hProcess, &exit_code);
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return exit_code;
}

TEST(Win32ProcessesTest, TheOwnProgramFileGoesAtTheNextStartAndItsFolderAfterIt) {
  Win32TestFolder folder;
  const std::string game = folder.File("Gra");
  const std::string program = game + "\\dinstall.exe";
  ASSERT_TRUE(::CreateDirectoryA(game.c_str(), nullptr));
  ASSERT_TRUE(::CopyFileA(OwnProgram().c_str(), program.c_str(), TRUE));
  const PendingDeletions pending;
  ASSERT_EQ(RunToEnd("\"" + program + "\" " + kRemoveOwnProgramFile), ERR_NONE);
  // Arranged, not done: the file is still there while the system runs.
  EXPECT_TRUE(Exists(program));
  const std::vector<std::string> expected{"\\??\\" + program, "", "\\??\\" + game, ""};
  const std::vector<std::string> added = pending.Added();
  ASSERT_EQ(added.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(vtsetup::CompareNoCase(added[i].c_str(), expected[i].c_str()), 0) << added[i];
  }
}

}  // namespace

#include "platform/win32/files/win32_file_system.h"

#include <windows.h>

#include <memory>

#include "platform/win32/files/win32_file.h"
#include "platform/win32/filled_text.h"
#include "platform/win32/last_error.h"
#include "platform/win32/unique_resource.h"

namespace vtsetup::platform::win32 {
namespace {

// The sharing and creation numbers are the system's own and go to CreateFileA unchanged.
static_assert(SHARE_READ == FILE_SHARE_READ && SHARE_WRITE == FILE_SHARE_WRITE &&
              SHARE_DELETE == FILE_SHARE_DELETE);
static_assert(static_cast<DWORD>(FileCreation::CreateNew) == CREATE_NEW &&
              static_cast<DWORD>(FileCreation::CreateAlways) == CREATE_ALWAYS &&
              static_cast<DWORD>(FileCreation::OpenExisting) == OPEN_EXISTING &&
              static_cast<DWORD>(FileCreation::OpenAlways) == OPEN_ALWAYS &&
              static_cast<DWORD>(FileCreation::TruncateExisting) == TRUNCATE_EXISTING);

struct FindHandleTraits {
  using Value = HANDLE;
  static Value None() { return INVALID_HANDLE_VALUE; }
  static void Close(Value handle) { ::FindClose(handle); }
};

struct LocalMemoryTraits {
  using Value = char*;
  static Value None() { return nullptr; }
  static void Close(Value memory) { ::LocalFree(memory); }
};

SystemError Outcome(BOOL succeeded) {
  return succeeded ? ERR_NONE : LastErrorOr(ERR_GEN_FAILURE);
}

constexpr std::uint32_t kLongestMessageLine = 199;

// The largest path the ANSI calls take through the "\\?\" form; nothing longer can be a module's.
constexpr DWORD kLongestPath = 32768;

}  // namespace

OpenResult Win32FileSystem::Open(const char* path, FileAccess access, std::uint32_t share,
                                 FileCreation creation) {
  UniqueFileHandle handle(::CreateFileA(path, CreateFileAccess(access), share, nullptr,
                                        static_cast<DWORD>(creation), FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.Valid()) {
    return {nullptr, LastErrorOr(ERR_GEN_FAILURE)};
  }
  return {std::make_unique<Win32File>(std::move(handle)), ERR_NONE};
}

SystemError Win32FileSystem::Delete(const char* path) {
  return Outcome(::DeleteFileA(path));
}

SystemError Win32FileSystem::MoveReplacing(const char* from, const char* to) {
  // Without MOVEFILE_COPY_ALLOWED a move to another drive is refused (ERR_NOT_SAME_DEVICE) instead of
  // becoming a copy that a reader could see half made.
  return Outcome(::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING));
}

SystemError Win32FileSystem::Identify(const char* path, FileIdentity& identity) {
  // Asking for no access opens what even a file held unshared lets us look at; a folder opens only
  // with backup semantics.
  UniqueFileHandle handle(::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.Valid()) {
    return LastErrorOr(ERR_GEN_FAILURE);
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle.Get(), &information)) {
    return LastErrorOr(ERR_GEN_FAILURE);
  }
  identity.volume = information.dwVolumeSerialNumber;
  identity.index = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  return ERR_NONE;
}

SystemError Win32FileSystem::CreateFolder(const char* path) {
  return Outcome(::CreateDirectoryA(path, nullptr));
}

SystemError Win32FileSystem::RemoveFolder(const char* path) {
  return Outcome(::RemoveDirectoryA(path));
}

SystemError Win32FileSystem::FindFiles(const char* pattern, std::vector<FoundFile>& found) {
  found.clear();
  WIN32_FIND_DATAA entry{};
  UniqueResource<FindHandleTraits> search(::FindFirstFileA(pattern, &entry));
  if (!search.Valid()) {
    const SystemError error = LastErrorOr(ERR_GEN_FAILURE);
    // Nothing matched, but the folder is there and could be read: an empty listing.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? ERR_NONE : error;
  }
  do {
    found.push_back({TextString(entry.cFileName), (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileA(search.Get(), &entry));
  const DWORD error = ::GetLastError();
  return error == ERROR_NO_MORE_FILES ? ERR_NONE : error;
}

TextString Win32FileSystem::FullPath(const char* path) {
  return TextOfNeededSize(
      [path](char* buffer, DWORD size) { return ::GetFullPathNameA(path, size, buffer, nullptr); });
}

TextString Win32FileSystem::CurrentFolder() {
  return TextOfNeededSize([](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
}

SystemError Win32FileSystem::SetCurrentFolder(const char* path) {
  return Outcome(::SetCurrentDirectoryA(path));
}

TextString Win32FileSystem::ModulePath() {
  return OwnModulePath();
}

TextString Win32FileSystem::TempFolder() {
  TextString folder = TextOfNeededSize([](char* buffer, DWORD size) { return ::GetTempPathA(size, buffer); });
  if (!folder.IsEmpty()) {
    folder.EnsureTrailing('\\');
  }
  return folder;
}

TextString Win32FileSystem::ErrorText(SystemError error) {
  // The system sizes the text itself: a message longer than a buffer of ours would otherwise be
  // refused whole instead of cut.
  UniqueResource<LocalMemoryTraits> message;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<char*>(message.Receive()), 0, nullptr);
  TextString text = length != 0 && message.Valid() ? OneMessageLine(message.Get()) : TextString();
  if (text.IsEmpty()) {
    text.Format("Unknown error %u.", static_cast<unsigned>(error));
  }
  return text;
}

TextString OneMessageLine(const char* message) {
  TextString line;
  bool broken = false;
  for (const char* c = message; *c != '\0'; ++c) {
    if (*c == '\r' || *c == '\n') {
      broken = true;
      continue;
    }
    if (broken && !line.IsEmpty()) {
      line.Append(' ');
    }
    broken = false;
    line.Append(*c);
  }
  // The callers' buffers hold 200 bytes; a cut may leave a blank at the end, which goes too.
  TextString cut = line.Left(kLongestMessageLine);
  while (cut.At(cut.Length() - 1) == ' ') {
    cut.RemoveTrailing(' ');
  }
  return cut;
}

std::uint32_t CreateFileAccess(FileAccess access) {
  switch (access) {
    case FileAccess::Read:
      return GENERIC_READ;
    case FileAccess::Write:
      return GENERIC_WRITE;
    case FileAccess::ReadWrite:
      return GENERIC_READ | GENERIC_WRITE;
  }
  return 0;
}

TextString OwnModulePath() {
  // A cut path answers the buffer's whole size, with or without its zero as the system's age has it.
  return TextOfGrowingBuffer(
      [](char* buffer, DWORD size) { return ::GetModuleFileNameA(nullptr, buffer, size); },
      [](DWORD size) { return size; }, MAX_PATH + 1, kLongestPath);
}

}  // namespace vtsetup::platform::win32

#include "platform/win32/files/win32_drives.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "platform/win32/last_error.h"
#include "platform/win32/os_version.h"
#include "platform/win32/unique_resource.h"

namespace vtsetup::platform::win32 {
namespace {

#if !defined(_WIN64)
// The register block of the device's DOS call, in the order the device takes it.
struct DosRegisters {
  DWORD ebx;
  DWORD edx;
  DWORD ecx;
  DWORD eax;
  DWORD edi;
  DWORD esi;
  DWORD flags;
};
static_assert(sizeof(DosRegisters) == 28);

constexpr DWORD kDosDriveInformation = 6;
constexpr DWORD kGetExtendedFreeSpace = 0x7303;
constexpr DWORD kCarry = 1;
constexpr std::size_t kExtendedFreeSpaceSize = 44;

DWORD Address(const void* pointer) {
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(pointer));
}

std::uint32_t NumberAt(const unsigned char* bytes, std::size_t offset) {
  std::uint32_t number = 0;
  std::memcpy(&number, bytes + offset, sizeof(number));
  return number;
}
#endif

}  // namespace

DriveType Win32Drives::TypeOf(const char* root) {
  return static_cast<DriveType>(::GetDriveTypeA(root));
}

SystemError Win32Drives::FreeSpace(const char* root, DiskSpace& space) {
  DWORD sectors_per_cluster = 0;
  DWORD bytes_per_sector = 0;
  DWORD free_clusters = 0;
  DWORD total_clusters = 0;
  if (!::GetDiskFreeSpaceA(root, &sectors_per_cluster, &bytes_per_sector, &free_clusters, &total_clusters)) {
    return LastErrorOr(ERR_GEN_FAILURE);
  }
  space = {sectors_per_cluster, bytes_per_sector, free_clusters, total_clusters};
  return ERR_NONE;
}

#if defined(_WIN64)
bool Win32Drives::ExtendedFreeSpace(const char*, DiskSpace&) {
  // The device's register block holds 32-bit addresses, and the device itself lives only in the
  // 32-bit systems of the 9x family, so a 64-bit program has no such call to make.
  return false;
}
#else
bool Win32Drives::ExtendedFreeSpace(const char* root, DiskSpace& space) {
  // The systems of the NT family have no such device and refuse the open.
  UniqueFileHandle device(
      ::CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!device.Valid()) {
    return false;
  }
  // The structure's version field must be 0 on the way in.
  unsigned char result[kExtendedFreeSpaceSize] = {};
  DosRegisters registers{};
  registers.edx = Address(root);
  registers.ecx = sizeof(result);
  registers.eax = kGetExtendedFreeSpace;
  registers.edi = Address(result);
  // The call clears the carry when it succeeds; a system that ignores the call leaves it set.
  registers.flags = kCarry;
  DWORD returned = 0;
  if (!::DeviceIoControl(device.Get(), kDosDriveInformation, &registers, sizeof(registers), &registers,
                         sizeof(registers), &returned, nullptr) ||
      (registers.flags & kCarry) != 0) {
    return false;
  }
  space = {NumberAt(result, 4), NumberAt(result, 8), NumberAt(result, 12), NumberAt(result, 16)};
  return true;
}
#endif

SystemVersion Win32Drives::Version() {
  const OSVERSIONINFOA record = SystemVersionRecord();
  return {record.dwMajorVersion, record.dwMinorVersion, record.dwBuildNumber};
}

}  // namespace vtsetup::platform::win32

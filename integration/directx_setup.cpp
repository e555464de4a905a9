#include "integration/directx_setup.h"

#include "base/text_string.h"
#include "integration/joined_path.h"
#include "integration/registration_result.h"

namespace vtsetup {
namespace {

// "Brak pliku %s. ...": the library that is missing.
constexpr std::uint16_t kLibraryMissingMessage = 5012;
constexpr char kLibraryName[] = "DSETUP.DLL";
constexpr char kFunctionName[] = "DirectXSetupA";

using DirectXSetup = std::int32_t(VT_WINAPI*)(platform::Window owner, const char* root, std::uint32_t flags);

}  // namespace

std::int32_t RunDirectXSetup(platform::Libraries& libraries, app::Messages& messages, platform::Window owner,
                             const char* setup_folder, const char* directx_folder) {
  const TextString root = JoinedPath(setup_folder, directx_folder);
  const TextString library_path = JoinedPath(root.Data(), kLibraryName);
  const platform::LibraryLoad load = libraries.Load(library_path.Data());
  const auto setup =
      load.library == nullptr ? nullptr : reinterpret_cast<DirectXSetup>(load.library->Find(kFunctionName));
  if (setup == nullptr) {
    messages.ShowMessage(kLibraryMissingMessage, library_path.Data(),
                         platform::BOX_OK | platform::BOX_ICON_STOP);
    return REGISTER_DIRECTX_MISSING;
  }
  switch (setup(owner, root.Data(), kDirectXSetupFlags)) {
    case DIRECTX_SETUP_OK:
      return REGISTER_DONE;
    case DIRECTX_SETUP_RESTART:
      return REGISTER_DONE_RESTART;
    case DIRECTX_SETUP_CANCELLED:
      return REGISTER_DIRECTX_CANCELLED;
    default:
      return REGISTER_DIRECTX_FAILED;
  }
}

}  // namespace vtsetup

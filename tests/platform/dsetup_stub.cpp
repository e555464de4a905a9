// The DirectX setup library as the tests see it: a shared object named "DSETUP.DLL" that exports
// DirectXSetupA. It appends what it was given to the file that VTSETUP_DSETUP_RECORD names and
// answers with the number in VTSETUP_DSETUP_RESULT (0 without it), so that a test can check the call
// and choose the outcome.

#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int DirectXSetupA(void* window, const char* root,
                                                                    unsigned flags) {
  if (const char* record = std::getenv("VTSETUP_DSETUP_RECORD"); record != nullptr) {
    if (std::FILE* file = std::fopen(record, "a"); file != nullptr) {
      std::fprintf(file, "window=%s root=%s flags=0x%X\n", window != nullptr ? "set" : "none",
                   root != nullptr ? root : "(null)", flags);
      std::fclose(file);
    }
  }
  const char* result = std::getenv("VTSETUP_DSETUP_RESULT");
  return result != nullptr ? std::atoi(result) : 0;
}

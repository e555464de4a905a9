// A "DSETUP.DLL" that loads but exports no DirectXSetupA, as a damaged or foreign medium may hold.

extern "C" __attribute__((visibility("default"))) int DirectXSetupW(void*, const void*, unsigned) {
  return 0;
}

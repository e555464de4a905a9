#pragma once

namespace vtsetup {

// Whether copied files are checked against their stored checksums, and whether the compiler computes
// them. Program-wide: set when a database is loaded or a script's options are read, read by the copy
// worker on its own thread.
void SetChecksumVerification(bool enabled);
bool ChecksumVerification();

}  // namespace vtsetup

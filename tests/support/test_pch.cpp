// Carries the test framework's precompiled header, which every test program reuses.

#pragma once
// Picks the hardware (AES-NI, SHA-NI) or the portable table-driven code paths.
// Both give the same bytes; PELLUX_PORTABLE_CRYPTO=1 in the environment forces
// the portable paths, and tests flip the switch below to run both.

// True when the CPU has AES-NI (with SSE4.1) and the portable path is not forced.
bool UseAesNi();
// True when the CPU has the SHA extensions (with SSSE3, SSE4.1) and the
// portable path is not forced.
bool UseShaNi();

// What the CPU offers, whatever the switch says (for tests and benchmarks).
bool CpuHasAesNi();
bool CpuHasShaNi();

// Forces (true) or releases (false) the portable paths for the whole process,
// overriding the environment (tests run both paths whatever it says); objects
// already keyed keep the path they chose.
void SetPortableCryptoForced(bool forced);

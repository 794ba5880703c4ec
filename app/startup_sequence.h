// The start-up sequence of a new instance: first-run keys, version change, system-value
// snapshots, the 2015 migration and the rotating clean-up of the Detected store.
#pragma once

namespace app {

// The program key's sub-keys made at the first run.
inline constexpr const char* kFirstRunSubKeys[] = {"Nuts", "Run", "Tasks", "Cookies",
                                                   "IEHelpers", "ActiveX", "Options",
                                                   "HostFile"};

// The initial-values step ("GetInitalValues").
void InitialValues();

// Advances the clean-up counter nCount (0..6) and returns the Detected-store category it
// cleans this time, or nullptr for the seventh start, which cleans nothing.
const char* AdvanceCleanupCounter();

// Sets the 64-bit flag from the process: true for a 64-bit build and under WOW64.
void Determine64BitFlag();

}  // namespace app

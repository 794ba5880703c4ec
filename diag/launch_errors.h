// Texts for the shell's launch codes, written to the trace file.
#pragma once

namespace diag {

// kind 0: the fixed text of a shell launch code ("%d  %s"), other codes as kind 1;
// kind 1: the last system error; kind 2: "DefWindPos Error" and the system text; any other
// kind: "Default Error" and the system text.
void LogLaunchError(int code, const char* label, int kind);
// The fixed text of a shell launch code, nullptr for a code without one.
const char* LaunchErrorText(int code);

}  // namespace diag

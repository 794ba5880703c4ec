// The header block the trace file gets at start when tracing is switched on.
#pragma once

namespace diag {
void InitializeTestLog();
}

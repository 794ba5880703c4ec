// Every piece of process-wide state of the program, put back to that of a freshly started
// process (tests start each case from here).
#pragma once

namespace app {
void ResetProcessState();
}

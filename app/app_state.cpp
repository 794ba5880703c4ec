#include "app/app_state.h"

namespace app {

namespace {
AppState g_state;
}

AppState& State() { return g_state; }
void ResetAppState() { g_state = AppState{}; }

}  // namespace app

#include "app/process_state.h"

#include "app/app_state.h"
#include "diag/testlog.h"
#include "platform/registry_access.h"
#include "settings/language.h"
#include "settings/options.h"

namespace app {

void ResetProcessState() {
  ResetAppState();
  reg::ResetRegistryState();
  diag::ResetTraceState();
  settings::ResetOptions();
  settings::SetLanguageId(0);
}

}  // namespace app

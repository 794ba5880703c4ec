#include "app/about_page.h"

#include "app/app_state.h"
#include "app/commands.h"
#include "diag/testlog.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/version_info.h"
#include "settings/language.h"

namespace app {

namespace {

constexpr int kSearchLabelString = 770;
constexpr int kSearchButtonString = 769;
constexpr int kRepairToolsString = 1418;

const TooltipDef kAboutTooltips[] = {
    {kCheckVersionId, 2122},
    {kSearchButtonId, 2123},
    {kRepairToolsId, 2133},
};

// The maintenance dialog (resource 227) with its repair and reset tools; true when it ran.
bool RunMaintenanceDialog(ui::PageHost&) {
  // Its tools are not part of the program yet, so there is nothing to show.
  return false;
}

}  // namespace

std::string AboutVersionLine() {
  char module[paths::kMaxPath + 1] = {};
  DWORD n = plat::Sys().GetModuleFileNameA(module, sizeof module);
  std::string versionText = kVersionText;
  if (n > 0 && n < sizeof module) {
    version::VersionInfo record;
    if (version::GetVersionInfoEx(record, module) && record.productVersion()[0] != '\0')
      versionText = record.productVersion();
  }
  return "Tallowick v " + versionText;
}

bool RestartMonitor() {
  std::string folder = paths::GetProgramFolder();
  if (folder.empty()) return false;
  std::string file = folder + "\\" + kMonitorProgram;
  diag::TestLog(file.c_str(), "LaunchRestartParam");
  return plat::Launcher().ShellExecuteA("open", file.c_str(), "-RESTART", folder.c_str(),
                                        SW_SHOWNORMAL) > 32;
}

AboutPage::AboutPage() : TabPageView(CMD_ABOUT) {}

void AboutPage::InitTexts(ui::PageHost& host) {
  host.SetControlText(kVersionLineId, AboutVersionLine());
  host.SetControlText(kSearchLabelId, settings::LangString(kSearchLabelString));
  host.SetControlText(kSearchButtonId, settings::LangString(kSearchButtonString));
  host.SetControlText(kRepairToolsId, settings::LangString(kRepairToolsString));
}

std::vector<TooltipDef> AboutPage::Tooltips() const {
  return {std::begin(kAboutTooltips), std::end(kAboutTooltips)};
}

void AboutPage::PageCommand(ui::PageHost& host, int id) {
  switch (id) {
    case kRepairToolsId:
      // The tools may have changed what the page shows and what the monitor reads.
      if (RunMaintenanceDialog(host)) {
        InitTexts(host);
        RestartMonitor();
      }
      return;
    // The version check (1123) and the program-name search (1076) ask the product's web
    // server; they act once the online look-ups are part of the program.
    default:
      return;
  }
}

}  // namespace app

// The "PLUS" page (command 6027, dialog 103): the program's version line, the version check,
// the program-name search on the product's database and the repair and reset tools.
#pragma once
#include <string>

#include "app/page_protocol.h"

namespace app {

inline constexpr int kVersionLineId = 1041;
inline constexpr int kCheckVersionId = 1123;
inline constexpr int kSearchLabelId = 1074;
inline constexpr int kSearchTextId = 1075;
inline constexpr int kSearchButtonId = 1076;
inline constexpr int kRepairToolsId = 1094;

// "Tallowick v " and this program's product version (kVersionText when its version record
// cannot be read).
std::string AboutVersionLine();

// Starts the monitor again after the repair tools changed what it reads: Tallowick.exe in the
// program folder with -RESTART. True when it was started.
bool RestartMonitor();

class AboutPage : public TabPageView {
 public:
  AboutPage();

 protected:
  void InitTexts(ui::PageHost& host) override;
  std::vector<TooltipDef> Tooltips() const override;
  void PageCommand(ui::PageHost& host, int id) override;
};

}  // namespace app

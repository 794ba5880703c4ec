// The Options page (command 6032). It follows the page protocol with its title and furniture;
// its "View History..." button opens the History window. The settings it holds are bound to
// their controls with the options view.
#pragma once
#include "app/page_protocol.h"

namespace ui {

inline constexpr int kViewHistoryButton = 1104;

class OptionsView : public app::TabPageView {
 public:
  OptionsView() : app::TabPageView(6032) {}

 protected:
  void PageCommand(PageHost& host, int id) override;
};

}  // namespace ui

#include "app/about_page.h"
#include "app/commands.h"
#include "app/page_protocol.h"

#include "startup/delayed_view.h"
#include "startup/startup_view.h"
#include "ui/options_view.h"

namespace app {

std::unique_ptr<ui::Page> CreateTabPage(int command) {
  if (command == 6026) return std::make_unique<startup::StartupView>();
  if (command == 6055) return std::make_unique<startup::DelayedView>();
  if (command == CMD_ABOUT) return std::make_unique<AboutPage>();
  if (command == 6032) return std::make_unique<ui::OptionsView>();
  // Pages whose views are not built yet follow the protocol with their title and furniture.
  return std::make_unique<TabPageView>(command);
}

}  // namespace app

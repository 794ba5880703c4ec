#include "ui/help_pages.h"

#include <cstring>

#include "platform/paths.h"
#include "platform/platform.h"
#include "settings/language.h"

namespace ui {

namespace {
struct HelpPage {
  int command;
  const char* page;
};
const HelpPage kHelpPages[] = {
    {6026, "startup.html"},   {6028, "cookies.html"},   {6029, "tasks.html"},
    {6032, "options.html"},   {6034, "reset.html"},     {6038, "services.html"},
    {6039, "scheduler.html"}, {6040, "bho.html"},       {6042, "filetype.html"},
    {6051, "helpme.html"},    {6052, "hidden.html"},    {6055, "delay.html"},
    {6056, "activex.html"},   {6060, "recent.html"},    {6061, "reglock.html"},
    {6062, "defaultpage.html#start"}, {6063, "defaultpage.html#search"},
    {6064, "defaultpage.html#desktop"}, {6066, "abort.html"}, {6067, "alert.html"},
};
constexpr int kLanguageCodeString = 634;
}  // namespace

const char* HelpPageName(int command) {
  for (const auto& p : kHelpPages)
    if (p.command == command) return p.page;
  return "features.html";
}

std::string HelpPageTarget(int command) {
  std::string code = settings::LangString(kLanguageCodeString, 8);
  std::string name = (code == "us" || code.empty() ? std::string() : code + "_") + HelpPageName(command);
  // A file on disk is opened without the "#part" of the page name (the shell opens files by
  // name, not by address); the web site keeps it.
  std::string file = paths::GetProgramFolder() + "\\" + name.substr(0, name.find('#'));
  if (plat::Files().GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) return file;
  return kHelpSite + name;
}

bool OpenHelpPage(int command) {
  std::string target = HelpPageTarget(command);
  return plat::Launcher().ShellExecuteA("open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL) >= 32;
}

}  // namespace ui

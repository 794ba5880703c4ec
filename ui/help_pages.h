// The help pages: one page per command number, in the language of the string table, from
// the program folder when it is there, otherwise from the product's web site.
#pragma once
#include <string>

namespace ui {

inline constexpr const char* kHelpSite = "https://www.orvendel.example/tallowick/help/";

// The page of a command number ("startup.html" ...; "features.html" for any other).
const char* HelpPageName(int command);
// What OpenHelpPage opens: <program folder>\<prefix><page> when that file exists (without
// a "#part"), else the same name under the web site; the prefix is "<code>_" unless the language code is "us".
std::string HelpPageTarget(int command);
// Opens the help page of a command with the shell's "open"; true when it was started.
bool OpenHelpPage(int command);

}  // namespace ui

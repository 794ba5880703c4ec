#include "startup/default_warning.h"

#include "platform/text.h"
#include "platform/version_info.h"
#include "settings/language.h"

namespace startup {

namespace {

constexpr int kCaption = 972, kWarning = 907, kMicrosoftFile = 909, kConfirm = 906;

}  // namespace

DefaultWarningDialog::DefaultWarningDialog(const std::string& title, const std::string& command)
    : ui::Page(kDefaultWarningDialog), title_(title), command_(command) {}

void DefaultWarningDialog::OnInit(ui::PageHost& host) {
  host.SetWindowCaption(settings::LangString(kCaption));
  host.SetControlText(IDC_WARNING_FILE, command_);
  host.SetControlText(IDC_WARNING_TEXT, settings::LangString(kWarning));
  version::VersionInfo info;
  version::GetVersionInfoEx(info, command_);
  std::string line = title_;
  if (text::ContainsNoCase(info.legalNotice(), "Microsoft")) {
    // The string holds one %s; the title is put in its place without being read as a format.
    std::string format = settings::LangString(kMicrosoftFile);
    size_t at = format.find("%s");
    line = at == std::string::npos ? format : format.substr(0, at) + title_ + format.substr(at + 2);
  }
  host.SetControlText(IDC_WARNING_TITLE, line);
  host.SetControlText(IDC_WARNING_CONFIRM, settings::LangString(kConfirm));
  host.SetChecked(IDC_WARNING_CONFIRM, false);
}

void DefaultWarningDialog::OnCommand(ui::PageHost& host, int id) {
  if (id == ui::kIdOk)
    host.EndDialog(host.IsChecked(IDC_WARNING_CONFIRM) ? ui::kIdYes : ui::kIdNo);
  else if (id == ui::kIdCancel)
    host.EndDialog(ui::kIdNo);
}

}  // namespace startup

#include "startup/startup_view.h"

#include <cstdio>

#include "app/app_state.h"
#include "platform/command_path.h"
#include "platform/launching.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "platform/version_info.h"
#include "records/detected.h"
#include "settings/language.h"
#include "settings/options.h"
#include "startup/delayed.h"
#include "startup/disable.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/restart_commands.h"
#include "startup/run_list.h"
#include "startup/run_ops.h"
#include "sysobjects/active_tasks.h"
#include "ui/list_columns.h"
#include "ui/list_view.h"

namespace startup {

namespace {

constexpr int kTab = 6026;
// Column captions: Title, Command, Status, Company, Type, First Detected.
constexpr int kColumnStrings[6] = {627, 628, 648, 699, 714, 912};
constexpr int kRunningString = 655, kNoFileString = 730, kDisabledString = 626;
constexpr int kLocationPrefixString = 646, kRemoveString = 302, kResetString = 677;
constexpr int kRemoveQuestion = 15, kNoSelectionMessage = 57;
constexpr int kAddTitleString = 902, kAddFilterString = 903;
constexpr int kHelpCaptionString = 31, kDeleteOnRebootQuestion = 800;

struct ButtonText {
  int control;
  int string;
};
const ButtonText kButtonTexts[] = {
    {IDC_INFO, 301},    {IDC_ADD, 311},          {IDC_REMOVE, 302},
    {IDC_ENABLE, 632},  {IDC_DISABLE, 633},      {IDC_CLOSE, 304},
    {IDC_SHOW_ALL_STARTUP, 929}, {IDC_NOTIFY_MISSING_RUN, 1357}, {IDC_STARTUP_TEXT, 211},
};

std::string FileNamePart(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool OnWindows8() {
  plat::OsVersion v;
  return plat::Sys().GetVersionExA(v, false) && v.major == 6 && (v.minor == 2 || v.minor == 3);
}

}  // namespace

std::string CommandCell(const std::string& path, int aux, int code) {
  // aux 1 marks a command run through RUNDLL32 only for the registry's Run-type keys; for a
  // Startup-folder item it names the user's folder.
  bool rundll = aux == 1 && code < WININI_LOAD;
  return (rundll ? "RunDLL32.exe " : "") + FileNamePart(path);
}

StartupRow MakeStartupRow(int index) {
  StartupRow row;
  std::string path = RunPath(index);
  std::string file = paths::GetFileFromCommand(path);
  bool exists = !file.empty() && paths::FileExists(file);
  bool running = GetRunRunning(index) != 0;
  row.disabled = IsRunItemDisabled(index) != 0;

  row.cells[0] = RunTitle(index);
  row.cells[1] = CommandCell(path, GetRunAux(index), GetRunLocation(index));
  row.cells[2] = running ? settings::LangString(kRunningString)
                         : exists ? std::string() : settings::LangString(kNoFileString);
  if (exists) {
    version::VersionInfo info;
    version::GetVersionInfoEx(info, file);
    row.cells[3] = info.company();
  } else {
    row.cells[3] = settings::LangString(kNoFileString);
  }
  int code = GetRunLocation(index);
  row.cells[4] = row.disabled ? settings::LangString(kDisabledString) : LocationListName(code);
  std::string date = records::FirstDetected(file, code);
  if (date.empty()) {
    records::RecordFirstDetected(file, records::DetectedCategory(code));
    date = records::FirstDetected(file, code);
  }
  row.cells[5] = date;

  row.keys[0] = row.cells[0];
  row.keys[1] = FileNamePart(path);
  row.keys[2] = running ? "0" : "1";
  row.keys[3] = row.cells[3];
  row.keys[4] = std::to_string(code);
  row.keys[5] = records::DateSortKey(date);
  return row;
}

StartupView::StartupView() : app::TabPageView(kTab) {}

void StartupView::InitTexts(ui::PageHost& host) {
  for (const auto& b : kButtonTexts)
    if (host.HasControl(b.control)) host.SetControlText(b.control, settings::LangString(b.string));
}

std::vector<int> StartupView::ColumnStrings() const {
  return std::vector<int>(std::begin(kColumnStrings), std::end(kColumnStrings));
}

std::vector<app::TooltipDef> StartupView::Tooltips() const {
  return {{1000, 2200},
          {IDC_INFO, 2001},
          {IDC_CLOSE, 2000},
          {IDC_ADD, 2002},
          {IDC_REMOVE, 2003},
          {IDC_DISABLE, 2004},
          {IDC_ENABLE, 2005},
          {IDC_SHOW_ALL_STARTUP, 2006},
          {IDC_NOTIFY_MISSING_RUN, 2007}};
}

int StartupView::FillStartupView(ui::PageHost& host) {
  host.SetWaitCursor(true);
  EnumerateStartups(1);
  host.ListDropImageList();
  host.ListDeleteAllRows();
  ui::CreateRowImageList(host);
  rows_.clear();
  int count = RunCount();
  for (int i = 0; i < count; ++i) {
    rows_.push_back(MakeStartupRow(i));
    int image = ui::AddProgramIcon(host, RunPath(i), 0, kTab);
    int row = host.ListAppendRow(i, image);
    if (row < 0) continue;
    for (int c = 0; c < 6; ++c) host.ListSetCell(row, c, rows_.back().cells[c]);
  }
  ui::ApplySavedSort(host, kTab, [this](LPARAM a, LPARAM b, int column) { return CompareRows(a, b, column); });
  host.SetWaitCursor(false);
  return count;
}

int StartupView::CompareRows(LPARAM a, LPARAM b, int column) const {
  auto row = [&](LPARAM index) -> const StartupRow* {
    if (index < 0 || index >= static_cast<LPARAM>(rows_.size()) || column < 0 || column > 5)
      return nullptr;
    return &rows_[static_cast<size_t>(index)];
  };
  const StartupRow* ra = row(a);
  const StartupRow* rb = row(b);
  if (!ra || !rb) return 0;
  // Disabled items come after the enabled ones in both directions. (A "zzz"/"aaa" prefix on
  // their keys does this for keys that begin with a letter, but an empty title, a digit or a
  // blank sorts below "aaa" and would land after the disabled items when descending.)
  if (column != 2 && column != 5 && ra->disabled != rb->disabled) return ra->disabled ? 1 : -1;
  return ui::CompareCells(ra->keys[column], rb->keys[column], column);
}

void StartupView::Activated(ui::PageHost& host) {
  host.EnableControl(IDC_SHOW_ALL_STARTUP, true);
  if (host.ListRowCount() > 0) ui::SelectOnlyRow(host, 0);
  OnSelectionChanged(host);
  host.SetChecked(IDC_SHOW_ALL_STARTUP, settings::Get(settings::Opt::ShowAllStartup) > 0);
  host.SetChecked(IDC_NOTIFY_MISSING_RUN, settings::Get(settings::Opt::RealtimeMissingRun) > 0);
}

void StartupView::Release(ui::PageHost& host) {
  host.ListDropImageList();
  rows_.clear();
  app::TabPageView::Release(host);
}

void StartupView::OnSelectionChanged(ui::PageHost& host) {
  LPARAM data = ui::GetSelectedItemData(host);
  if (data < 0) {
    host.ShowControl(IDC_ENABLE, false);
    host.ShowControl(IDC_DISABLE, false);
    return;
  }
  int index = static_cast<int>(data);
  bool disabled = IsRunItemDisabled(index) != 0;
  host.EnableControl(IDC_REMOVE, true);
  host.SetControlText(IDC_REMOVE, settings::LangString(kRemoveString));
  host.ShowControl(IDC_ENABLE, disabled);
  host.EnableControl(IDC_ENABLE, disabled);
  host.ShowControl(IDC_DISABLE, !disabled);
  host.EnableControl(IDC_DISABLE, !disabled);
  host.SetStatusText(settings::LangString(kLocationPrefixString) + RunLocationText(index));
  int code = GetRunLocation(index);
  if (code == LOGON_USERINIT || code == LOGON_SHELL) {
    host.SetControlText(IDC_REMOVE, settings::LangString(kResetString));
    host.EnableControl(IDC_ENABLE, false);
    host.EnableControl(IDC_DISABLE, false);
  } else if (code >= DELAYLOAD && code <= APPINIT_DLL) {
    host.EnableControl(IDC_ENABLE, false);
    host.EnableControl(IDC_DISABLE, false);
  } else if (code == NOTIFY) {
    host.EnableControl(IDC_REMOVE, false);
  }
}

void StartupView::OnColumnClick(ui::PageHost& host, int column) {
  if (column < 0 || column > 5) return;
  ui::SortByColumn(host, kTab, column, [this](LPARAM a, LPARAM b, int c) { return CompareRows(a, b, c); });
}

void StartupView::OnDoubleClick(ui::PageHost&) {
  // The online information lookup of the selected program joins with the online lookups.
}

void StartupView::OnRightClick(ui::PageHost& host) {
  if (int command = ui::ShowRowMenu(host, kTab)) OnCommand(host, command);
}

void StartupView::OnReturn(ui::PageHost& host) { OnCommand(host, IDC_INFO); }

std::vector<int> StartupView::SelectedItems(ui::PageHost& host) {
  // Each row carries its run-list index, which names its item exactly even when two
  // locations hold programs of the same title.
  std::vector<int> items;
  for (int row : host.ListSelectedRows()) {
    LPARAM data = host.ListRowData(row);
    if (data >= 0 && data < RunCount()) items.push_back(static_cast<int>(data));
  }
  return items;
}

void StartupView::AfterChange(ui::PageHost& host, bool anySelected) {
  if (!anySelected) {
    ui::ShowMessageBox(host, kNoSelectionMessage);
    return;
  }
  InitMissingRunPrograms(1);
  FillStartupView(host);
  OnSelectionChanged(host);
}

void StartupView::Disable(ui::PageHost& host) {
  std::vector<int> items = SelectedItems(host);
  for (int i : items) {
    // A running program is ended first; with one row the user is asked.
    sysobjects::KillStartupTask(RunTitle(i), RunPath(i), items.size() == 1, &host);
    if (!IsRunItemDisabled(i)) ToggleRunItem(RunTitle(i), RunPath(i), RunSource(i), GetRunLocation(i));
  }
  AfterChange(host, !items.empty());
}

void StartupView::Enable(ui::PageHost& host) {
  std::vector<int> items = SelectedItems(host);
  for (int i : items) {
    if (!IsRunItemDisabled(i)) continue;
    ToggleRunItem(RunTitle(i), RunPath(i), RunSource(i), GetRunLocation(i));
    EnableStartupApproved(RunTitle(i), HKEY_LOCAL_MACHINE);
  }
  AfterChange(host, !items.empty());
}

void StartupView::Remove(ui::PageHost& host) {
  std::vector<int> items = SelectedItems(host);
  // The run list is rebuilt by the removals; each item's facts are taken first.
  struct Entry {
    int code;
    std::string title, path, source;
  };
  std::vector<Entry> entries;
  for (int i : items) entries.push_back({GetRunLocation(i), RunTitle(i), RunPath(i), RunSource(i)});
  for (const Entry& e : entries) {
    if (e.code > 249) {
      RemoveHiddenRunItem(&host, e.path, e.title, e.source, e.code);
      continue;
    }
    sysobjects::KillStartupTask(e.title, e.path, false, &host);
    if (entries.size() == 1) {
      char question[2048];
      std::snprintf(question, sizeof question, settings::LangString(kRemoveQuestion, 1024).c_str(),
                    e.path.c_str());
      if (host.ShowMessageBox(question, settings::LangString(kHelpCaptionString),
                              ui::kMbYesNo | ui::kMbIconQuestion) != ui::kIdYes)
        continue;
    }
    DeleteRunProgram(e.code, e.title, e.path, e.source, &host);
  }
  AfterChange(host, !items.empty());
}

void StartupView::DeleteOnReboot(ui::PageHost& host) {
  LPARAM data = ui::GetSelectedItemData(host);
  if (data < 0) {
    ui::ShowMessageBox(host, kNoSelectionMessage);
    return;
  }
  if (host.ShowMessageBox(settings::LangString(kDeleteOnRebootQuestion, 1024), settings::LangString(kHelpCaptionString),
                          ui::kMbYesNo | ui::kMbIconExclamation | ui::kMbTopmost) != ui::kIdYes)
    return;
  DeleteFileOnRestart(paths::GetFileFromCommand(RunPath(static_cast<int>(data))));
  // The report to the online item report joins with the online lookups.
}

void StartupView::AddStartupProgram(ui::PageHost& host) {
  std::string file = host.ChooseOpenFile(
      {settings::LangString(kAddTitleString), settings::LangString(kAddFilterString), "C:\\Program Files"});
  if (file.empty()) return;
  version::VersionInfo info;
  version::GetVersionInfoEx(info, file);
  std::string title = info.description();
  if (title.empty()) title = info.productName();
  if (title.empty()) {
    title = FileNamePart(file);
    size_t dot = title.rfind('.');
    if (dot != std::string::npos && dot > 0) title.resize(dot);
  }
  std::string runKey = std::string(kCurrentVersionKey) + "\\Run";
  reg::SetRegStringValue(runKey.c_str(), HKEY_CURRENT_USER, title.c_str(), file.c_str());
  reg::SetRegStringValue(kSnapshotRunKey, HKEY_CURRENT_USER, file.c_str(), "1");
  if (OnWindows8()) EnableStartupApproved(title, HKEY_CURRENT_USER);
  FillStartupView(host);
  OnSelectionChanged(host);
}

void StartupView::PageCommand(ui::PageHost& host, int id) {
  switch (id) {
    case IDC_DISABLE:
      Disable(host);
      break;
    case IDC_ENABLE:
      Enable(host);
      break;
    case IDC_REMOVE:
      Remove(host);
      break;
    case IDC_ADD:
      AddStartupProgram(host);
      break;
    case IDC_INFO:
    case ui::kIdOk:
      // The program information dialog joins with the Info dialog; without a selection the
      // user is told how to choose one.
      if (ui::GetSelectedItemData(host) < 0) ui::ShowMessageBox(host, kNoSelectionMessage);
      break;
    case IDC_SHOW_ALL_STARTUP:
      settings::SetOption(settings::Opt::ShowAllStartup, host.IsChecked(IDC_SHOW_ALL_STARTUP) ? 1 : 0);
      InitMissingRunPrograms(1);
      FillStartupView(host);
      OnSelectionChanged(host);
      break;
    case IDC_NOTIFY_MISSING_RUN:
      settings::SetOption(settings::Opt::RealtimeMissingRun, host.IsChecked(IDC_NOTIFY_MISSING_RUN) ? 1 : 0);
      InitMissingRunPrograms(settings::Get(settings::Opt::RealtimeMissingRun));
      FillStartupView(host);
      OnSelectionChanged(host);
      break;
    case IDC_CLOSE:
      host.CloseSheet();
      break;
    case CMD_DELETE_ON_REBOOT:
      DeleteOnReboot(host);
      break;
    case CMD_MOVE_TO_DELAYED: {
      std::vector<int> items = SelectedItems(host);
      for (int i : items) DelayRunItem(host, i);
      AfterChange(host, !items.empty());
      break;
    }
    case CMD_EXPLORE_FOLDER:
    case CMD_PROGRAM_PROPERTIES: {
      LPARAM data = ui::GetSelectedItemData(host);
      if (data < 0) {
        ui::ShowMessageBox(host, kNoSelectionMessage);
        break;
      }
      std::string path = RunPath(static_cast<int>(data));
      if (id == CMD_EXPLORE_FOLDER)
        launching::ExploreFolderOf(path);
      else
        launching::ShowPropertiesOf(path);
      break;
    }
    default:
      break;
  }
}

}  // namespace startup

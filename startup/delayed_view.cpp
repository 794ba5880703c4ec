#include "startup/delayed_view.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/command_path.h"
#include "platform/launching.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "records/detected.h"
#include "settings/language.h"
#include "startup/enumerate.h"
#include "startup/location_codes.h"
#include "startup/run_list.h"
#include "ui/list_columns.h"
#include "ui/list_view.h"

namespace startup {

namespace {

constexpr int kColumnStrings[] = {627, 628, 648, 1119, 912};
constexpr int kColumnCount = 5;
constexpr int kIntroString = 1100, kHintString = 1133;
constexpr int kNoSelectionString = 57;
constexpr int kRemoveQuestionString = 1134;
constexpr int kHelpCaptionString = 31;
constexpr int kRunningString = 655, kMissingString = 730;
constexpr int kAddTitleString = 902, kAddFilterString = 903;
constexpr int kOptionsTitleString = 1112, kRunAsAdminString = 1361;
constexpr int kTypeTitleString = 1129, kTypeQuestionString = 1126, kAllUsersString = 1127,
              kCurrentUserString = 1128;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr int kOpenAsStrings[] = {1138, 1139, 1140};

// The program file of a delayed row (the record's value name as listed).
std::string FileCell(int index) { return paths::GetFileName(RunPath(index)); }

std::string StatusOf(int index) {
  if (GetRunRunning(index)) return settings::LangString(kRunningString);
  std::string file = paths::GetFileFromCommand(RunPath(index));
  return !file.empty() && paths::FileExists(file) ? std::string() : settings::LangString(kMissingString);
}

int Seconds(int index) { return std::abs(GetRunAux(index)); }

std::string FirstDetectedOf(int index) {
  std::string file = paths::GetFileFromCommand(RunPath(index));
  int code = GetRunLocation(index);
  std::string date = records::FirstDetected(file, code);
  if (date.empty()) {
    records::RecordFirstDetected(RunPath(index), records::DetectedCategory(code));
    date = records::FirstDetected(file, code);
  }
  return date;
}

std::string CommandCell(int index) {
  DelayRecord rec;
  std::string name = FileCell(index);
  if (GetRunAux(index) < 0 && ReadDelayRecord(RunPath(index), GetRunLocation(index), &rec) &&
      !rec.applet.empty())
    return rec.applet + " " + name;
  return name;
}

}  // namespace

std::vector<std::string> DelayMinuteChoices() {
  std::vector<std::string> v;
  for (int i = 0; i <= 60; ++i) v.push_back(std::to_string(i));
  return v;
}

std::vector<std::string> DelaySecondChoices() {
  std::vector<std::string> v;
  for (int i = 0; i <= 50; i += 10) v.push_back(std::to_string(i));
  return v;
}

std::vector<std::string> OpenAsChoices() {
  std::vector<std::string> v;
  for (int s : kOpenAsStrings) v.push_back(settings::LangString(s));
  return v;
}

// --- the tab ---

void DelayedView::InitTexts(ui::PageHost& host) {
  if (host.HasControl(kDelayedPageText1)) host.SetControlText(kDelayedPageText1, settings::LangString(kIntroString));
  if (host.HasControl(kDelayedPageText2)) host.SetControlText(kDelayedPageText2, settings::LangString(kHintString));
  const std::pair<int, int> captions[] = {{CMD_DELAYED_INFO, 301},    {CMD_DELAYED_ADD, 311},
                                          {CMD_DELAYED_OPTIONS, 1132}, {CMD_DELAYED_REMOVE, 302},
                                          {CMD_DELAYED_CLOSE, 304}};
  for (const auto& [id, string] : captions)
    if (host.HasControl(id)) host.SetControlText(id, settings::LangString(string));
}

std::vector<int> DelayedView::ColumnStrings() const {
  return std::vector<int>(kColumnStrings, kColumnStrings + kColumnCount);
}

std::vector<app::TooltipDef> DelayedView::Tooltips() const {
  return {{CMD_DELAYED_INFO, 2001}, {CMD_DELAYED_CLOSE, 2000}};
}

int DelayedView::FillDelayedView(ui::PageHost& host) {
  host.SetWaitCursor(true);
  int n = EnumerateDelayed();
  MarkRunningItems();
  host.ListDropImageList();
  host.ListDeleteAllRows();
  ui::CreateRowImageList(host);
  for (int i = 0; i < n; ++i) {
    int image = ui::AddProgramIcon(host, RunPath(i), 0, kDelayedTab);
    int row = host.ListAppendRow(i, image);
    if (row < 0) continue;
    host.ListSetCell(row, 0, RunTitle(i));
    host.ListSetCell(row, 1, CommandCell(i));
    host.ListSetCell(row, 2, StatusOf(i));
    host.ListSetCell(row, 3, DelayTimeText(Seconds(i)));
    host.ListSetCell(row, 4, FirstDetectedOf(i));
  }
  ui::ApplySavedSort(host, kDelayedTab, [this](LPARAM a, LPARAM b, int c) { return Compare(a, b, c); });
  host.SetWaitCursor(false);
  return n;
}

void DelayedView::Activated(ui::PageHost& host) {
  if (host.ListRowCount() > 0) ui::SelectOnlyRow(host, 0);
}

void DelayedView::Release(ui::PageHost& host) {
  host.ListDropImageList();
  app::TabPageView::Release(host);
}

int DelayedView::Compare(LPARAM a, LPARAM b, int column) {
  auto key = [column](int i) -> std::string {
    switch (column) {
      case 0: return RunTitle(i);
      case 1: return FileCell(i);
      case 2: return GetRunRunning(i) ? "0" : "1";
      case 3: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d", Seconds(i));
        return buf;
      }
      case 4: return records::DateSortKey(records::FirstDetected(paths::GetFileFromCommand(RunPath(i)), GetRunLocation(i)));
      default: return {};
    }
  };
  return ui::CompareCells(key(static_cast<int>(a)), key(static_cast<int>(b)), column);
}

void DelayedView::OnColumnClick(ui::PageHost& host, int column) {
  if (column < 0 || column >= kColumnCount) return;
  ui::SortByColumn(host, kDelayedTab, column, [this](LPARAM a, LPARAM b, int c) { return Compare(a, b, c); });
}

void DelayedView::OnDoubleClick(ui::PageHost& host) {
  // The online lookup of the program joins here with the online services.
  if (ui::GetSelectedItemData(host) < 0) ui::ShowMessageBox(host, kNoSelectionString);
}

void DelayedView::OnRightClick(ui::PageHost& host) {
  if (int command = ui::ShowRowMenu(host, kDelayedTab)) OnCommand(host, command);
}

std::vector<int> DelayedView::SelectedItems(ui::PageHost& host) {
  std::vector<int> items;
  for (int row : host.ListSelectedRows()) items.push_back(static_cast<int>(host.ListRowData(row)));
  return items;
}

void DelayedView::PageCommand(ui::PageHost& host, int id) {
  switch (id) {
    case CMD_DELAYED_REMOVE:
      Remove(host);
      return;
    case CMD_DELAYED_RESTORE: {
      std::vector<int> items = SelectedItems(host);
      if (items.empty()) {
        ui::ShowMessageBox(host, kNoSelectionString);
        return;
      }
      for (int index : items) RestoreDelayedItem(index);
      FillDelayedView(host);
      return;
    }
    case CMD_DELAYED_ADD:
      Add(host);
      return;
    case CMD_DELAYED_LAUNCH: {
      std::vector<int> items = SelectedItems(host);
      if (items.empty()) ui::ShowMessageBox(host, kNoSelectionString);
      for (int index : items) LaunchDelayedItem(index);
      return;
    }
    case CMD_DELAYED_OPTIONS:
      Options(host);
      return;
    case CMD_DELAYED_INFO:
      // The program information dialog joins here with the Info dialog.
      if (SelectedItems(host).empty()) ui::ShowMessageBox(host, kNoSelectionString);
      return;
    case CMD_DELAYED_EXPLORE:
    case CMD_DELAYED_PROPERTIES: {
      LPARAM data = ui::GetSelectedItemData(host);
      if (data < 0) {
        ui::ShowMessageBox(host, kNoSelectionString);
        return;
      }
      std::string path = RunPath(static_cast<int>(data));
      if (id == CMD_DELAYED_EXPLORE)
        launching::ExploreFolderOf(path);
      else
        launching::ShowPropertiesOf(path);
      return;
    }
    case CMD_DELAYED_CLOSE:
      host.ListDropImageList();
      host.CloseSheet();
      return;
    default:
      return;
  }
}

void DelayedView::Remove(ui::PageHost& host) {
  std::vector<int> items = SelectedItems(host);
  if (items.empty()) {
    ui::ShowMessageBox(host, kNoSelectionString);
    return;
  }
  for (int index : items) {
    int answer = host.ShowMessageBox(settings::LangString(kRemoveQuestionString, 1024),
                                     settings::LangString(kHelpCaptionString),
                                     kMbYesNoCancel | ui::kMbIconQuestion);
    if (answer == ui::kIdCancel) break;
    if (answer == ui::kIdYes) {
      // A program that cannot be put back keeps its record rather than being lost.
      RestoreDelayedItem(index);
    } else if (answer == ui::kIdNo) {
      DelayRecord rec;
      if (ReadDelayRecord(RunPath(index), GetRunLocation(index), &rec)) {
        // A shortcut kept for a Startup-folder item goes with its record; a program file kept
        // there stays where it is.
        if (rec.code == STARTUP_FOLDER && text::ContainsNoCase(rec.entry, ".lnk")) paths::fileRemoveFile(rec.entry);
        DeleteDelayRecord(RunPath(index), rec.place);
      }
    }
  }
  FillDelayedView(host);
}

void DelayedView::Add(ui::PageHost& host) {
  ui::OpenFileRequest request;
  request.title = settings::LangString(kAddTitleString);
  request.filter = settings::LangString(kAddFilterString);
  request.initialFolder = "C:\\Program Files";
  std::string file = host.ChooseOpenFile(request);
  if (file.empty()) return;
  StartupTypeView type;
  int choice = host.RunDialog(kStartupTypeDialog, type);
  if (choice != 1 && choice != 2) return;
  AddDelayedProgram(file, choice == 1);
  FillDelayedView(host);
}

void DelayedView::Options(ui::PageHost& host) {
  std::vector<int> items = SelectedItems(host);
  if (items.empty()) {
    ui::ShowMessageBox(host, kNoSelectionString);
    return;
  }
  DelayOptionsView options(RunPath(items.front()), GetRunLocation(items.front()));
  host.RunDialog(kDelayOptionsDialog, options);
  FillDelayedView(host);
}

// --- the delay options dialog ---
// Its three lists are drop-down lists; the host shows each one's choice as the control's text.

void DelayOptionsView::OnInit(ui::PageHost& host) {
  host.SetWindowCaption(settings::LangString(kOptionsTitleString));
  DelayRecord rec;
  ReadDelayRecord(file_, code_, &rec);
  int seconds = rec.seconds < 0 ? 0 : rec.seconds;
  int minutes = std::min(seconds / 60, 60);
  int tens = std::min(seconds % 60 / 10, 5);
  host.SetControlText(kDelayMinutesId, DelayMinuteChoices()[minutes]);
  host.SetControlText(kDelaySecondsId, DelaySecondChoices()[tens]);
  std::vector<std::string> openAs = OpenAsChoices();
  host.SetControlText(kOpenAsId, openAs[rec.openAs >= 0 && rec.openAs < 3 ? rec.openAs : 0]);
  host.SetControlText(kParametersId, rec.parameters);
  host.SetControlText(kDelayTitleId, rec.title);
  host.SetControlText(kRunAsAdminId, settings::LangString(kRunAsAdminString));
  const std::pair<int, int> labels[] = {{kDelayLabelId, 1119}, {kMinutesLabelId, 1121}, {kSecondsLabelId, 1122}};
  for (const auto& [id, string] : labels)
    if (host.HasControl(id)) host.SetControlText(id, settings::LangString(string));
  host.SetChecked(kRunAsAdminId, rec.runAsAdmin);
}

void DelayOptionsView::OnCommand(ui::PageHost& host, int id) {
  if (id == ui::kIdCancel) {
    host.EndDialog(ui::kIdCancel);
    return;
  }
  if (id != ui::kIdOk) return;
  DelayOptions o;
  int minutes = std::clamp(std::atoi(host.ControlText(kDelayMinutesId).c_str()), 0, 60);
  int tens = std::clamp(std::atoi(host.ControlText(kDelaySecondsId).c_str()) / 10, 0, 5);
  o.seconds = minutes * 60 + tens * 10;
  std::vector<std::string> openAs = OpenAsChoices();
  std::string chosen = host.ControlText(kOpenAsId);
  for (int i = 0; i < static_cast<int>(openAs.size()); ++i)
    if (text::CompareNoCase(chosen, openAs[i]) == 0) o.openAs = i;
  o.parameters = host.ControlText(kParametersId);
  o.title = host.ControlText(kDelayTitleId);
  o.runAsAdmin = host.IsChecked(kRunAsAdminId);
  WriteDelayOptions(file_, code_, o);
  host.EndDialog(ui::kIdOk);
}

// --- the Startup Program Type dialog ---

void StartupTypeView::OnInit(ui::PageHost& host) {
  host.SetWindowCaption(settings::LangString(kTypeTitleString));
  host.SetControlText(kStartupTypeTextId, settings::LangString(kTypeQuestionString));
  host.SetControlText(kAllUsersId, settings::LangString(kAllUsersString));
  host.SetControlText(kCurrentUserId, settings::LangString(kCurrentUserString));
  host.SetChecked(kAllUsersId, false);
  host.SetChecked(kCurrentUserId, true);
}

void StartupTypeView::OnCommand(ui::PageHost& host, int id) {
  if (id == ui::kIdOk) {
    if (host.IsChecked(kAllUsersId)) host.EndDialog(1);
    else if (host.IsChecked(kCurrentUserId)) host.EndDialog(2);
  } else if (id == ui::kIdCancel) {
    host.EndDialog(0);
  }
}

}  // namespace startup

#include "records/history.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "diag/testlog.h"
#include "platform/file_facts.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "records/history_lines.h"
#include "settings/options.h"
#include "startup/run_list.h"

namespace records {

namespace {

// In this order: a lookup by code takes the first row, so code 23 reads REMOVE_TaskScheduler.
const HistoryActionRow kActions[kHistoryActionRows] = {
    {0, "*START_Remove", true},
    {1, "START_Disable", false},
    {2, "START_Enable", false},
    {3, "IEHELPER_Remove", false},
    {4, "TASK_Remove", false},
    {5, "TASK_Kill", false},
    {6, "START_Alert", false},
    {7, "TASK_Alert", false},
    {8, "IEHELPER_Alert", false},
    {9, "SERVICE_Stop", false},
    {10, "SERVICE_Automatic", false},
    {11, "SERVICE_Manual", false},
    {12, "SERVICE_Disabled", false},
    {34, "START_Restore", false},
    {13, "TASK_Restore", false},
    {14, "IEHELPER_Restore", false},
    {15, "ScheduledTask_Remove", false},
    {17, "SERVICE_from_Automatic", false},
    {18, "SERVICE_from_Manual", false},
    {19, "SERVICE_from_Disabled", false},
    {20, "SERVICE__from_AutomaticDelayed", false},
    {21, "RESET_USERINIT", false},
    {22, "RESET_SHELL", false},
    {23, "REMOVE_TaskScheduler", false},
    {24, "REMOVE_DELAYLOAD", false},
    {23, "REMOVE_TASKSCHEDULER", false},
    {25, "REMOVE_SHELLEXECUTEHOOK", false},
    {26, "REMOVE_APPINIT", false},
    {28, "HIDDEN_Alert", false},
    {29, "*HIDDEN_DeleteFile", true},
    {30, "REMOVE_WinLogonNotify", false},
    {31, "LOG_ALERT_ACTIVEX", false},
    {32, "LOG_ALERT_FILETYPE", false},
    {33, "LOG_UNKNOWN", false},
};

const HistoryTypeRow kTypes[kHistoryTypeRows] = {
    {1, "MACHINE_RUN"},
    {2, "MACHINE_RUNONCE"},
    {3, "MACHINE_RUNONCEEX"},
    {4, "MACHINE_RUNSERVICES"},
    {5, "MACHINE_RUNSERVICESONCE"},
    {11, "CURRENT_RUN"},
    {12, "CURRENT_RUNONCE"},
    {13, "CURRENT_RUNONCEEX"},
    {14, "CURRENT_RUNSERVICES"},
    {15, "CURRENT_RUNSERVICESONCE"},
    {21, "WOW64_RUN"},
    {22, "WOW64_RUNONCE"},
    {23, "WOW64_RUNONCEEX"},
    {24, "WOW64_RUNSERVICES"},
    {25, "WOW64_RUNSERVICESONCE"},
    {31, "TALLOWICK_RUN"},
    {32, "TALLOWICK_RUNONCE"},
    {33, "TALLOWICK_RUNONCEEX"},
    {34, "TALLOWICK_RUNSERVICES"},
    {35, "TALLOWICK_RUNSERVICESONCE"},
    {100, "WIN_LOAD"},
    {101, "WIN_RUN"},
    {200, "GROUP_STARTUP"},
    {250, "WINLOGON_Userinit"},
    {251, "WINLOGON_Shell"},
    {252, "REG_Delayload"},
    {253, "REG_TaskScheduler"},
    {254, "REG_ShellExecuteHook"},
    {255, "REG_AppInitDLLs"},
    {500, "INFO_COOKIE"},
    {501, "INFO_NETCOOKIE"},
    {502, "INFO_SAVECOOKIE"},
    {503, "INFO_NUTS"},
    {600, "INFO_TASK"},
    {700, "SERVICE_EXE"},
    {701, "SERVICE_SVCHOST"},
    {800, "TASK_SCHEDULED"},
    {900, "TYPE_BHO"},
    {300, "RESTART_DELETE"},
    {301, "RESTART_RENAME"},
    {901, "TYPE_TOOLBAR"},
    {902, "TYPE_EXTENSION"},
    {350, "TYPE_MONITOR"},
    {360, "TYPE_BLACKLIST"},
    {450, "TYPE_PROSEARCH"},
    {400, "TYPE_FILETYPE"},
    {370, "TYPE_HIDDEN"},
    {256, "RUN_WINLOGONNOTIFY"},
    {6, "MACHINE_RUNONCESETUP"},
    {7, "MACHINE_RUNPOLICY"},
    {1200, "TYPE_ACTIVEX"},
    {3000, "TYPE_UNKNOWN"},
};

constexpr size_t kActionNameLimit = 47;
// The reader's field limits: characters past 260 are dropped, and a field that is still too
// long for its place in the run item is left empty.
constexpr size_t kFieldLimit = 260;
constexpr size_t kDateLimit = 32;

// The lines behind the run items of the last ReadHistory, index for index.
std::vector<HistoryLine> g_lines;

// One field as it goes into the file: cut at a zero (the file is read as text), and every
// TAB, CR or LF a blank so that the line keeps its six fields.
std::string FieldText(const std::string& s) {
  std::string out = s.substr(0, s.find('\0'));
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

std::string FieldAt(const std::vector<std::string_view>& fields, size_t i, size_t tooLong) {
  if (i >= fields.size()) return {};
  std::string_view f = fields[i].substr(0, kFieldLimit);
  return f.size() >= tooLong ? std::string() : std::string(f);
}

}  // namespace

const HistoryActionRow& HistoryActionAt(int row) { return kActions[row]; }
const HistoryTypeRow& HistoryTypeAt(int row) { return kTypes[row]; }

const char* HistoryActionName(int code) {
  for (const auto& a : kActions)
    if (a.code == code) return a.name;
  return nullptr;
}

int HistoryActionCode(const std::string& name) {
  for (const auto& a : kActions)
    if (text::CompareNoCase(name, a.name) == 0) return a.code;
  return -1;
}

const char* HistoryTypeName(int code) {
  for (const auto& t : kTypes)
    if (t.code == code) return t.name;
  return "TYPE_UNKNOWN";
}

int HistoryTypeCode(const std::string& name) {
  for (const auto& t : kTypes)
    if (text::CompareNoCase(name, t.name) == 0) return t.code;
  return kHistoryTypeUnknown;
}

std::string HistoryDateText(const plat::SystemTime& t) {
  unsigned hour = t.hour % 12 == 0 ? 12u : t.hour % 12u;
  char out[64];
  std::snprintf(out, sizeof out, "%02u/%02u/%04u  %u:%02u %s", static_cast<unsigned>(t.month),
                static_cast<unsigned>(t.day), static_cast<unsigned>(t.year), hour,
                static_cast<unsigned>(t.minute), t.hour < 12 ? "AM" : "PM");
  return out;
}

std::string HistoryFilePath() { return paths::GetDataFolder() + "\\" + kHistoryFileName; }

void WriteHistory(int action, int type, const std::string& title, const std::string& command,
                  const std::string& source) {
  if (settings::Get(settings::Opt::History) <= 0) return;
  // A code without a row is written as the table's own name for it, so the field is never
  // empty.
  const char* actionName = HistoryActionName(action);
  std::string name = std::string(actionName ? actionName : "LOG_UNKNOWN").substr(0, kActionNameLimit);
  std::string line = HistoryDateText(plat::Sys().GetLocalTime());
  for (const std::string& f : {name, std::string(HistoryTypeName(type)), FieldText(title),
                               FieldText(command), FieldText(source)}) {
    line += '\t';
    line += f;
  }
  // The cut keeps the line end: a line without its CR LF would run into the next event.
  if (line.size() > kHistoryLineLimit - 2) line.resize(kHistoryLineLimit - 2);
  line += "\r\n";
  std::string path = HistoryFilePath();
  if (!plat::Files().AppendFileBytes(path.c_str(), line)) diag::LogLastError("WriteLog CreateFile");
}

int ReadHistory() {
  startup::ClearRunList();
  g_lines.clear();
  // The newest events: the file only grows (the monitor appends to it too), so its end is
  // read. One byte more than the limit tells whether the read began inside a line, which is
  // then left out.
  std::string bytes;
  if (!plat::Files().ReadFileTail(HistoryFilePath().c_str(), &bytes, kHistoryReadLimit + 1)) return 0;
  std::string_view rest(bytes);
  if (bytes.size() > kHistoryReadLimit) {
    size_t lf = rest.find('\n');
    rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
  }
  std::vector<HistoryLine> lines;
  while (!rest.empty()) {
    size_t lf = rest.find('\n');
    std::string_view line = rest.substr(0, lf);
    rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
      size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
    HistoryLine h;
    h.date = FieldAt(fields, 0, kDateLimit);
    int action = HistoryActionCode(FieldAt(fields, 1, kFieldLimit + 1));
    // An action this table does not know is no removal: it must never offer a restore.
    h.action = action >= 0 ? action : LOG_UNKNOWN;
    h.type = HistoryTypeCode(FieldAt(fields, 2, kFieldLimit + 1));
    h.title = FieldAt(fields, 3, startup::kTitleSize);
    h.command = FieldAt(fields, 4, startup::kPathSize);
    h.source = FieldAt(fields, 5, startup::kSourceSize);
    // The run list refuses an item without a command.
    if (!h.command.empty()) lines.push_back(std::move(h));
  }
  // The list holds the newest lines its limit allows.
  size_t first = lines.size() > static_cast<size_t>(startup::kMaxRunItems)
                     ? lines.size() - static_cast<size_t>(startup::kMaxRunItems)
                     : 0;
  for (size_t i = first; i < lines.size(); ++i) {
    HistoryLine& h = lines[i];
    if (startup::AddRunStruct(h.title, h.command, h.source, h.date, h.type, h.action))
      g_lines.push_back(std::move(h));
  }
  return startup::RunCount();
}

const HistoryLine* HistoryLineAt(int index) {
  if (index < 0 || static_cast<size_t>(index) >= g_lines.size()) return nullptr;
  if (startup::RunCount() != static_cast<int>(g_lines.size())) return nullptr;
  const HistoryLine& h = g_lines[static_cast<size_t>(index)];
  // The run list may have been refilled by another list since.
  if (startup::GetRunAux(index) != h.action || startup::GetRunLocation(index) != h.type) return nullptr;
  return &h;
}

int IsHistoryRestorable(int index) {
  if (!startup::GetRunItem(index)) return 0;
  int action = startup::GetRunAux(index);
  return action == START_Remove || action == HIDDEN_DeleteFile;
}

bool ClearHistoryFile() { return paths::fileRemoveFile(HistoryFilePath()); }

int fileAppendHistory(const std::string& destination, const std::string& source) {
  std::string bytes;
  if (!plat::Files().ReadFileBytes(source.c_str(), &bytes, 0xFFFFFFFFu)) {
    diag::TestLog(source.c_str(), "fileAppendHistory() hFile FAIL");
    return 0;
  }
  // One open of the destination takes the whole copy, so no other writer's line can land
  // inside it.
  if (!plat::Files().AppendFileBytes(destination.c_str(), bytes)) {
    diag::TestLog(destination.c_str(), "fileAppendHistory() hAppend FAIL");
    return 0;
  }
  diag::TestLog(destination.c_str(), "fileAppendHistory() SUCCESS");
  return 1;
}

}  // namespace records

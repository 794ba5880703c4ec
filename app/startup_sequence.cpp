#include "app/startup_sequence.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "diag/testlog.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "records/detected.h"
#include "records/detected_date.h"
#include "settings/language.h"
#include "settings/options.h"
#include "startup/delayed.h"
#include "startup/enumerate.h"
#include "startup/run_ops.h"

namespace app {

namespace {

using settings::kProgramKey;

constexpr const char* kSysfilesKey = "Software\\Orvendel Studios\\Tallowick\\Sysfiles";
constexpr const char* kAutoUpdateKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
constexpr const char* kPolicySystemKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kExplorerMenuKey = "exefile\\shell\\Tallowick PLUS";
constexpr const char* kUacValues[] = {"ConsentPromptBehaviorAdmin", "EnableLUA",
                                      "PromptOnSecureDesktop"};

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool HasValue(HKEY root, const char* path, const char* name) {
  HKEY key = reg::OpenForRead(root, path);
  return key && reg::GetRegValueType(key, name) != 0;
}

DWORD ReadDword(HKEY root, const char* path, const char* name) {
  return reg::GetRegDWORDValue(reg::OpenForRead(root, path), name);
}

// The monitor's list of enabled startup programs, kept while it watches for removals.
void RecheckMissingRunPrograms() {
  startup::InitMissingRunPrograms(settings::GetOption("RealtimeMissingRun", 1));
}

// G7: keep the Windows Update setting the user had before the product touched it.
void SnapshotAutoUpdate() {
  reg::View64 view;
  if (ReadDword(HKEY_CURRENT_USER, kProgramKey, "AUOptions") != 0) return;
  DWORD windows = ReadDword(HKEY_LOCAL_MACHINE, kAutoUpdateKey, "AUOptions");
  if (windows != 0) reg::SetRegDWORDValue(HKEY_CURRENT_USER, kProgramKey, "AUOptions", windows);
}

// G8: the UAC settings, once, on Vista and later.
void SnapshotUacValues() {
  plat::OsVersion v;
  if (!plat::Sys().GetVersionExA(v, true) && !plat::Sys().GetVersionExA(v, false)) return;
  if (v.major <= 5) return;
  for (const char* name : kUacValues) {
    if (HasValue(HKEY_CURRENT_USER, kProgramKey, name)) continue;
    LONG value = reg::GetRegDWORDValueOr(reg::OpenForRead(HKEY_LOCAL_MACHINE, kPolicySystemKey),
                                         name);
    reg::SetRegDWORDValue(HKEY_CURRENT_USER, kProgramKey, name, static_cast<DWORD>(value));
  }
}

// G9: the system files baseline is made once.
void SnapshotSystemFiles() {
  char text[64];
  if (reg::GetRegStringValue(kSysfilesKey, "", text, 63, HKEY_LOCAL_MACHINE) > 0) return;
  diag::TestLog("", "Create REGTALLOWICKSYSFILES Keys");
  reg::CreateRegKey(HKEY_LOCAL_MACHINE, kSysfilesKey);
  // The HOSTS file's state is recorded here once the HOSTS records exist.
  reg::SetRegStringValue(kSysfilesKey, HKEY_LOCAL_MACHINE, "", records::TodayText().c_str());
}

// G10: a new install or an update of the program.
void CheckNewInstall() {
  char stored[33] = {};
  int n = reg::GetRegStringValue(kProgramKey, "NewVersion", stored, 32, HKEY_CURRENT_USER);
  if (n <= 0) {
    diag::TestLog(kVersionText, "New Install ");
    reg::SetRegStringValue(kProgramKey, HKEY_CURRENT_USER, "NewVersion", kVersionText);
  } else if (!std::strstr(stored, kVersionText)) {
    diag::TestLog(kVersionText, "Update Install");
    reg::SetRegStringValue(kProgramKey, HKEY_CURRENT_USER, "NewVersion", kVersionText);
    RecheckMissingRunPrograms();
    {
      reg::View64 view;
      DWORD windows = ReadDword(HKEY_LOCAL_MACHINE, kAutoUpdateKey, "AUOptions");
      if (windows != 0)
        reg::SetRegDWORDValue(HKEY_CURRENT_USER, kProgramKey, "AUOptions", windows);
    }
  } else if (settings::GetOption("Cleanup", 0) != 0) {
    diag::TestLog("", "Registry Garbage Collection");
    settings::SetOption("Cleanup", 0);
  }
  reg::SetNativeMasks();
}

// G12: the data that older versions kept in the program folder moves to the data folder.
void Migrate2015() {
  if (settings::GetOption("Quillmere", 0) != 0) return;
  std::string oldFolder = reg::GetRegString(HKEY_CURRENT_USER, kProgramKey, "PATH", 260);
  if (!oldFolder.empty()) {
    std::string data = paths::GetDataFolder();
    auto& files = plat::Files();
    std::string oldHistory = oldFolder + "\\history.txt";
    if (files.GetFileAttributesA(oldHistory.c_str()) != INVALID_FILE_ATTRIBUTES)
      files.MoveFileExA(oldHistory.c_str(), (data + "\\history.txt").c_str(),
                        MOVEFILE_COPY_ALLOWED);
    std::string oldDisabled = oldFolder + "\\disabled", newDisabled = data + "\\disabled";
    if (!EqualNoCase(oldDisabled, newDisabled) &&
        !files.MoveFileExA(oldDisabled.c_str(), newDisabled.c_str(), MOVEFILE_COPY_ALLOWED)) {
      // A folder never moves to another drive: its files move one by one. A file that does
      // not move stays where it was, and so does the folder then.
      files.CreateDirectoryA(newDisabled.c_str());
      std::vector<std::string> names;
      files.ForEachEntry(oldDisabled.c_str(), "*", [&](const char* name, DWORD attrs) {
        if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(name);
      });
      for (const auto& n : names)
        files.MoveFileExA((oldDisabled + "\\" + n).c_str(), (newDisabled + "\\" + n).c_str(),
                          MOVEFILE_COPY_ALLOWED);
    }
    if (!EqualNoCase(oldDisabled, newDisabled)) paths::fileRemoveFolder(oldDisabled);
  }
  startup::InitRegStartups();
  RecheckMissingRunPrograms();
  settings::SetOption("Quillmere", 1);
  settings::SetOption("Installed2015", 1);
}

}  // namespace

void Determine64BitFlag() {
  auto& sys = plat::Sys();
  reg::Set64BitFlag(sys.Is64BitProcess() || sys.IsWow64Process());
}

void InitialValues() {
  // G1
  reg::SetNativeMasks();
  State().startTick = plat::Sys().GetTickCount();
  // G2
  char code[9] = {};
  settings::LoadLanguageString(634, 8, code);
  settings::SetLanguageId(settings::LanguageIdFromCode(code));
  // G3
  Determine64BitFlag();
  diag::TestLog(reg::Is64BitFlag() ? "(x64)" : "(x86)", "GetInitalValues");
  // G4
  char first[64];
  if (reg::GetRegStringValue(kProgramKey, "", first, 63, HKEY_CURRENT_USER) <= 0) {
    diag::TestLog("", "FIRSTTIME");
    reg::CreateRegKey(HKEY_CURRENT_USER, "Software\\Orvendel Studios");
    reg::CreateRegKey(HKEY_CURRENT_USER, kProgramKey);
    for (const char* sub : kFirstRunSubKeys)
      reg::CreateRegKey(HKEY_CURRENT_USER, (std::string(kProgramKey) + "\\" + sub).c_str());
    std::string today = records::TodayText();
    reg::SetRegStringValue(kProgramKey, HKEY_CURRENT_USER, "", today.c_str());
    diag::TestLog(today.c_str(), "GetInitalValues LocalTime");
  }
  // G5
  if (!HasValue(HKEY_CURRENT_USER, kProgramKey, "PATH")) {
    std::string folder = paths::GetProgramFolder();
    reg::SetRegStringValue(kProgramKey, HKEY_CURRENT_USER, "PATH", folder.c_str());
    diag::TestLog(folder.c_str(), "GetInitValues GetMyFolder New");
  }
  // G6: the Detected store; the monitor's service, hidden-file and ActiveX copies join here
  // as those records are built.
  diag::TestLog("", "Initialize PLUS files");
  records::InitDetected();
  // G7, G8, G9
  diag::TestLog("", "AutoUpdate");
  SnapshotAutoUpdate();
  diag::TestLog("", "UAC Values");
  SnapshotUacValues();
  SnapshotSystemFiles();
  // G10
  diag::TestLog("", "Check if New Installs");
  CheckNewInstall();
  // G11
  settings::LoadOptions();
  // G12
  Migrate2015();
  // G13
  if (!HasValue(HKEY_CURRENT_USER, kProgramKey, "Init"))
    reg::SetRegStringValue(kProgramKey, HKEY_CURRENT_USER, "Init", records::TodayText().c_str());
  // G14
  if (settings::GetOption("Installed2015", 0) == 0) {
    diag::TestLog("", "New 2015 Cleanup");
    startup::InitRegStartups();
    settings::SetOption("Installed2015", 1);
  }
  // G15
  diag::TestLog("", "Explorer Integration");
  if (settings::Get(settings::Opt::ExplorerMenu) == 1) {
    char menu[261];
    if (reg::GetRegStringValue(kExplorerMenuKey, "", menu, 260, HKEY_CLASSES_ROOT) <= 0) {
      std::string command = "\"" + paths::GetProgramFolder() + "\\tallowick.exe\" %1";
      reg::SetRegStringValue(kExplorerMenuKey, HKEY_CLASSES_ROOT, "",
                             settings::LangString(1183).c_str());
      reg::SetRegStringValue((std::string(kExplorerMenuKey) + "\\command").c_str(),
                             HKEY_CLASSES_ROOT, "", command.c_str());
    }
  } else if (HKEY key = reg::OpenForRead(HKEY_CLASSES_ROOT, kExplorerMenuKey)) {
    plat::Reg().RegCloseKey(key);
    reg::DeleteRegKeyTreeCopy(kExplorerMenuKey, HKEY_CLASSES_ROOT);
  }
  // G16 (the monitor's startup entry) joins here with the startup records.
  // G17
  diag::TestLog("", "Init Delayed Launch");
  startup::InitDelayedLaunch();
}

const char* AdvanceCleanupCounter() {
  static const char* const kCategories[] = {"Tasks",    "ActiveTasks", "Services",
                                            "Hidden",   "IEHelper",    "Startup"};
  int n = settings::GetOption("nCount", 0) + 1;
  if (n > 6) n = 0;
  settings::SetOption("nCount", n);
  return n >= 0 && n < 6 ? kCategories[n] : nullptr;
}

}  // namespace app

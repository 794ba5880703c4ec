#include "platform/class_lookup.h"

#include "platform/command_path.h"
#include "platform/paths.h"
#include "platform/registry_access.h"
#include "platform/version_info.h"

namespace lookup {

namespace {
std::string Braced(const std::string& clsid) {
  return !clsid.empty() && clsid[0] == '{' ? clsid : "{" + clsid + "}";
}

// The class's name and its server as registered under `key`; false when the key has no name.
bool ReadClass(const std::string& key, std::string* name, std::string* server) {
  std::string className = reg::GetRegString(HKEY_CLASSES_ROOT, key.c_str(), "", 260);
  if (className.empty()) return false;
  *name = className;
  *server = reg::GetRegString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "", 260);
  return true;
}
}  // namespace

int GetInprocServerPath(std::string* dll, const std::string& clsid, std::string* name) {
  dll->clear();
  name->clear();
  std::string key = "CLSID\\" + Braced(clsid);
  std::string server;
  if (ReadClass(key, name, &server)) {
    if (server.empty()) return 0;
    *dll = paths::GetLongPath(server);
    return 1;
  }
  if (!reg::Is64BitFlag()) return 0;
  reg::View64 view;
  if (ReadClass(key, name, &server) && !server.empty()) {
    *dll = server;
    return 1;
  }
  if (ReadClass("Wow6432Node\\" + key, name, &server) && !server.empty()) {
    *dll = server;
    return 1;
  }
  name->clear();
  return 0;
}

int GetAppPath(std::string* path, const std::string& exe, std::string* version) {
  path->clear();
  version->clear();
  if (exe.size() >= 260) return 0;
  struct Registration {
    HKEY root;
    std::string key;
    const char* value;
  } registrations[] = {
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe, ""},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\IntelliPoint\\AppSpecific\\" + exe, "Path"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\IntelliType Pro\\AppSpecific\\" + exe, "Path"},
  };
  for (const auto& r : registrations) {
    std::string file = reg::GetRegString(r.root, r.key.c_str(), r.value, 260);
    if (file.empty()) continue;
    file = paths::GetFileFromCommand(file);
    if (!paths::FileExists(file)) return 0;
    version::VersionInfo info;
    version::GetVersionInfoEx(info, file);
    *path = reg::GetRegString(HKEY_LOCAL_MACHINE, r.key.c_str(), "Path", 260);
    *version = info.productVersion();
    return 1;
  }
  return 0;
}

void GetProductVersionText(int mode, std::string* out) {
  if (mode != 0 && mode != 2 && mode != 3) return;
  std::string folder = paths::GetProgramFolder();
  auto versionOf = [&](const char* name) {
    version::VersionInfo info;
    version::GetVersionInfoEx(info, folder + "\\" + name);
    return std::string(info.productVersion());
  };
  std::string monitor = versionOf("Tallowick.exe"), explorer = versionOf("TallowickEx.exe");
  switch (mode) {
    case 2:
      *out = explorer;
      break;
    case 0:
      if (!monitor.empty() && !explorer.empty())
        *out = monitor + ":" + explorer;
      else if (!monitor.empty() || !explorer.empty())
        *out = monitor.empty() ? explorer : monitor;
      break;
    case 3:
      if (!monitor.empty())
        *out = "Tallowick v" + monitor +
               (explorer.empty() ? std::string() : " - Tallowick Explorer v" + explorer);
      else if (!explorer.empty())
        *out = "Tallowick Explorer v" + explorer;
      break;
  }
}

}  // namespace lookup

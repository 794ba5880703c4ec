#include "platform/class_lookup.h"

#include "platform/command_path.h"
#include "platform/registry_access.h"

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

}  // namespace lookup

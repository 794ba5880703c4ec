#include "platform/registry_access.h"

#include <cstring>
#include <vector>

#include "diag/testlog.h"
#include "platform/platform.h"

namespace reg {

namespace {
REGSAM g_read = KEY_READ;
REGSAM g_write = KEY_WRITE;
bool g_64bit = false;

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}
}  // namespace

REGSAM ReadMask() { return g_read; }
REGSAM WriteMask() { return g_write; }
void SetMasks(REGSAM read, REGSAM write) {
  g_read = read;
  g_write = write;
}
void SetLoadMasks() { SetMasks(KEY_READ, KEY_WRITE); }
void SetNativeMasks() { SetMasks(KEY_READ, KEY_ALL_ACCESS); }
bool Is64BitFlag() { return g_64bit; }
void Set64BitFlag(bool on) { g_64bit = on; }

void ResetRegistryState() {
  SetLoadMasks();
  g_64bit = false;
}

View64::View64() : read_(g_read), write_(g_write) {
  if (g_64bit) SetMasks(KEY_READ | KEY_WOW64_64KEY, KEY_WRITE | KEY_WOW64_64KEY);
}

View64::~View64() { SetMasks(read_, write_); }

int GetRegStringValue(const char* path, const char* valueName, char* out, int limit,
                      HKEY root) {
  if (out) out[0] = '\0';
  plat::RegKey key(plat::Reg());
  if (key.Open(root, path, g_read) != ERROR_SUCCESS) return 0;
  // One byte more than the buffer so a text of exactly the buffer's size still ends in zero.
  std::vector<BYTE> data(kValueBuffer + 1, 0);
  DWORD type = 0, size = kValueBuffer;
  if (plat::Reg().RegQueryValueExA(key.get(), valueName, &type, data.data(), &size) !=
      ERROR_SUCCESS)
    return 0;
  std::string text;
  if (type == REG_DWORD) {
    text.clear();
  } else if (type == REG_EXPAND_SZ) {
    char expanded[kValueBuffer] = {};
    DWORD n = plat::Sys().ExpandEnvironmentStringsA(reinterpret_cast<const char*>(data.data()),
                                                    expanded, kValueBuffer - 1);
    if (n > 0 && n <= kValueBuffer - 1) text = expanded;
  } else {
    text = reinterpret_cast<const char*>(data.data());
  }
  key.Close();
  if (limit < 0 || text.size() > static_cast<size_t>(limit)) return 0;
  if (out) std::memcpy(out, text.c_str(), text.size() + 1);
  return static_cast<int>(text.size());
}

std::string GetRegString(HKEY root, const char* path, const char* valueName, int limit) {
  std::vector<char> buf(static_cast<size_t>(limit) + 1, '\0');
  int n = GetRegStringValue(path, valueName, buf.data(), limit, root);
  return std::string(buf.data(), static_cast<size_t>(n));
}

namespace {
// Opens the key for writing, creating it when the open fails.
bool OpenForWrite(plat::RegKey& key, HKEY root, const char* path, const char* logLabel) {
  LONG rc = key.Open(root, path, g_write);
  if (rc == ERROR_SUCCESS) return true;
  if (logLabel) diag::LogError(static_cast<DWORD>(rc), logLabel);
  return key.Create(root, path, g_write) == ERROR_SUCCESS;
}
}  // namespace

int SetRegStringValue(const char* path, HKEY root, const char* valueName, const char* text) {
  plat::RegKey key(plat::Reg());
  if (!OpenForWrite(key, root, path, nullptr)) return 0;
  const char* t = text ? text : "";
  return plat::Reg().RegSetValueExA(key.get(), valueName, REG_SZ,
                                    reinterpret_cast<const BYTE*>(t),
                                    static_cast<DWORD>(std::strlen(t) + 1)) == ERROR_SUCCESS;
}

int SetRegDWORDValue(HKEY root, const char* path, const char* valueName, DWORD value) {
  plat::RegKey key(plat::Reg());
  if (!OpenForWrite(key, root, path, "MyError:  SetRegDWORDValue RegOpenKeyEx")) return 0;
  return plat::Reg().RegSetValueExA(key.get(), valueName, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&value),
                                    sizeof value) == ERROR_SUCCESS;
}

HKEY OpenForRead(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (plat::Reg().RegOpenKeyExA(root, path, 0, g_read, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

namespace {
// Queries a 4-byte value of an open key and closes the key.
bool QueryDword(HKEY key, const char* valueName, DWORD* value) {
  if (!key) return false;
  DWORD size = sizeof(DWORD), type = 0;
  LONG rc = plat::Reg().RegQueryValueExA(key, valueName, &type, reinterpret_cast<BYTE*>(value),
                                         &size);
  plat::Reg().RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}
}  // namespace

DWORD GetRegDWORDValue(HKEY key, const char* valueName) {
  DWORD v = 0;
  return QueryDword(key, valueName, &v) ? v : 0;
}

LONG GetRegDWORDValueOr(HKEY key, const char* valueName) {
  DWORD v = 0;
  return QueryDword(key, valueName, &v) ? static_cast<LONG>(v) : -1;
}

DWORD GetRegValueType(HKEY key, const char* valueName) {
  if (!key) return 0;
  std::vector<BYTE> data(kValueBuffer);
  DWORD size = kValueBuffer, type = 0;
  LONG rc = plat::Reg().RegQueryValueExA(key, valueName, &type, data.data(), &size);
  plat::Reg().RegCloseKey(key);
  return rc == ERROR_SUCCESS ? type : 0;
}

int CreateRegKey(HKEY root, const char* path) {
  plat::RegKey key(plat::Reg());
  return key.Create(root, path, g_write) == ERROR_SUCCESS;
}

int DeleteRegValue(const char* valueName, HKEY root, const char* path) {
  if (!valueName || !*valueName) {
    diag::TestLog("NULL", "RegDeleteValue FALSE");
    return 0;
  }
  plat::RegKey key(plat::Reg());
  if (g_64bit) {
    if (key.Open(root, path, KEY_ALL_ACCESS | KEY_WOW64_32KEY) == ERROR_SUCCESS &&
        plat::Reg().RegDeleteValueA(key.get(), valueName) == ERROR_SUCCESS) {
      diag::TestLog(valueName, "RegDeleteValue KEY_WOW64_32KEY TRUE");
      return 1;
    }
    if (key.Open(root, path, KEY_ALL_ACCESS | KEY_WOW64_64KEY) == ERROR_SUCCESS &&
        plat::Reg().RegDeleteValueA(key.get(), valueName) == ERROR_SUCCESS) {
      diag::TestLog(valueName, "RegDeleteValue KEY_WOW64_64KEY TRUE");
      return 1;
    }
  } else if (key.Open(root, path, g_write | KEY_SET_VALUE) == ERROR_SUCCESS &&
             plat::Reg().RegDeleteValueA(key.get(), valueName) == ERROR_SUCCESS) {
    diag::TestLog(valueName, "RegDeleteValue KEY_SET_VALUE TRUE");
    return 1;
  }
  diag::TestLog(valueName, "RegDeleteValue FALSE");
  return 0;
}

int DeleteRegKeyTree(HKEY root, std::string& path) {
  auto& r = plat::Reg();
  if (g_64bit && r.HasRegDeleteKeyExA()) {
    if (r.RegDeleteKeyExA(root, path.c_str(), KEY_WOW64_64KEY) == ERROR_SUCCESS) return 1;
    if (r.RegDeleteKeyExA(root, path.c_str(), KEY_WOW64_32KEY) == ERROR_SUCCESS) return 1;
  } else if (!g_64bit && r.RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS) {
    return 1;
  }

  plat::RegKey key(r);
  LONG rc = key.Open(root, path.c_str(), g_read);
  if (rc != ERROR_SUCCESS) return rc == ERROR_FILE_NOT_FOUND ? 1 : 0;

  size_t cut = path.size();
  if (path.empty() || path.back() != '\\') path += '\\';
  size_t base = path.size();
  for (;;) {
    char name[261];
    DWORD cch = sizeof name;
    if (r.RegEnumKeyExA(key.get(), 0, name, &cch) != ERROR_SUCCESS) break;
    path.resize(base);
    path += name;
    if (!DeleteRegKeyTree(root, path)) break;
  }
  path.resize(cut);
  key.Close();
  if (g_64bit && r.HasRegDeleteKeyExA())
    return r.RegDeleteKeyExA(root, path.c_str(), KEY_WOW64_64KEY) == ERROR_SUCCESS;
  return r.RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS;
}

int DeleteRegKeyTreeCopy(const char* path, HKEY root) {
  if (!path || std::strlen(path) > kMaxKeyPath) return 0;
  std::string copy = path;
  return DeleteRegKeyTree(root, copy);
}

LONG DeleteRegKeyView(HKEY root, const char* path, REGSAM view) {
  auto& r = plat::Reg();
  if (!r.HasRegDeleteKeyExA()) return 0;
  return r.RegDeleteKeyExA(root, path, view);
}

namespace {
constexpr DWORD kProfileListRead = 512;
constexpr size_t kProfileListLimit = 1024;

std::string ReadProfileList(const char* keyName) {
  char buf[kProfileListRead + 1] = {};
  plat::Profile().GetProfileStringA("windows", keyName, "", buf, kProfileListRead);
  return buf;
}

void WriteProfileList(const char* keyName, const std::string& value) {
  char folder[MAX_PATH] = {};
  UINT n = plat::Sys().GetWindowsDirectoryA(folder, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    std::string winIni = std::string(folder) + "\\win.ini";
    DWORD attrs = plat::Files().GetFileAttributesA(winIni.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
      plat::Files().SetFileAttributesA(winIni.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
  }
  plat::Profile().WriteProfileStringA("windows", keyName, value.c_str());
}

// An empty text counts as a single blank when compared.
std::string CompareForm(const std::string& s) { return s.empty() ? " " : Upper(s); }
}  // namespace

void RemoveProfileListEntry(const char* keyName, const char* entry) {
  std::string list = ReadProfileList(keyName);
  std::string wanted = CompareForm(entry ? entry : "");
  std::string result;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string piece = list.substr(start, end - start);
    if (!piece.empty() && CompareForm(piece) != wanted) result += piece + ";";
    start = end + 1;
  }
  WriteProfileList(keyName, result);
}

void AddProfileListEntry(const char* keyName, const char* entry) {
  std::string list = ReadProfileList(keyName);
  std::string e = entry ? entry : "";
  if (list.size() + 1 + e.size() < kProfileListLimit) list += ";" + e;
  WriteProfileList(keyName, list);
}

}  // namespace reg

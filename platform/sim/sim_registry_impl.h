// Internals of the simulated registry, shared by the key/value calls (sim_registry.cpp) and the
// .reg file reader and writer (sim_regfile.cpp). Not part of the simulated machine's interface.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"

#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif
#ifndef ERROR_NOACCESS
#define ERROR_NOACCESS 998L
#endif

namespace sim {
namespace regimpl {

// Windows limits: a key name component holds at most 255 characters, a value name 16383.
inline constexpr size_t kMaxKeyNameLen = 255;
inline constexpr size_t kMaxValueNameLen = 16383;

// ASCII case folding, the way the registry compares names here. Windows sorts sub-keys by the
// upper-cased name, so the upper-cased form is also the sort key.
std::string Upper(const std::string& s);
bool NameEquals(const std::string& a, const std::string& b);

// String types are stored by Windows as UTF-16, which is what RegQueryInfoKeyA reports as the
// longest data length even to an ANSI caller.
inline bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

struct Value {
  std::string name;  // as first written; "" is the default value
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

enum class Hive { LocalMachine, CurrentUser, Users, CurrentConfig };

struct Key {
  std::string name;       // as created
  Key* parent = nullptr;  // null for a hive root and for a deleted key
  Hive hive = Hive::LocalMachine;
  bool deleted = false;
  // Sub-keys by upper-cased name: the map order is the enumeration order.
  std::map<std::string, std::shared_ptr<Key>> subkeys;
  std::vector<Value> values;  // in creation order, as Windows enumerates them
  // High-water marks as Windows keeps them in the key node: they grow with every new name or
  // longer data and fall back to zero only when the last sub-key (value) is gone.
  DWORD maxSubKeyLen = 0;
  DWORD maxValueNameLen = 0;
  DWORD maxValueLen = 0;

  Value* FindValue(const std::string& valueName);
  Key* FindSubKey(const std::string& keyName) const;
};

}  // namespace regimpl

struct SimRegistry::Impl {
  bool windows64 = true;
  bool process64 = true;

  std::shared_ptr<regimpl::Key> hklm, hkcu, hku, hkcc;
  std::shared_ptr<regimpl::Key> classes;  // HKLM\Software\Classes, seen as HKEY_CLASSES_ROOT

  struct Handle {
    std::shared_ptr<regimpl::Key> key;
    REGSAM access = 0;
    bool view32 = false;  // the view the handle was opened in (decides later relative opens)
  };
  std::map<uintptr_t, Handle> handles;
  uintptr_t nextHandle = 0x1000;

  struct Failure {
    LONG error = ERROR_SUCCESS;
    int skip = 0;
    int count = 0;  // negative: every call from then on
  };
  std::map<std::string, Failure> failures;

  Impl();

  // The hive root of a predefined handle, or null for any other value.
  std::shared_ptr<regimpl::Key> RootKey(HKEY root) const;
  std::shared_ptr<regimpl::Key> HiveRoot(regimpl::Hive hive) const;

  // Keys addressed by a root and a path given as components, exactly as named (no view
  // redirection): what .reg files and the tree writer use.
  regimpl::Key* FindPath(HKEY root, const std::vector<std::string>& path) const;
  regimpl::Key* CreatePath(HKEY root, const std::vector<std::string>& path);
  // Removes a key and everything below it; open handles to them then see ERROR_KEY_DELETED.
  void DeleteTree(regimpl::Key* key);
  // Keys the machine cannot work without (hive roots, Software, Classes, Wow6432Node).
  bool IsProtected(const regimpl::Key* key) const;

  static void SetValue(regimpl::Key* key, const std::string& name, DWORD type,
                       std::vector<BYTE> data);
  static bool DeleteValue(regimpl::Key* key, const std::string& name);

  // Counts a call against FailCall's plan; returns the error to fail it with, or
  // ERROR_SUCCESS to let it run.
  LONG CheckFailure(const char* call);
};

// The .reg text of the registry's own single-byte form: parsing and writing.
namespace regfile {

struct Change {
  enum Kind { CreateKey, DeleteTree, SetValue, DeleteValue } kind = CreateKey;
  int line = 0;
  HKEY root = nullptr;
  std::vector<std::string> path;
  std::string valueName;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// Parses a whole .reg file (raw file bytes: ANSI, UTF-8 or UTF-16LE with its byte order mark).
// On success fills `changes` in file order; on failure sets *error to
// "<fileName>:<line>: <what is wrong>" and returns false.
bool Parse(const std::string& bytes, const std::string& fileName, std::vector<Change>* changes,
           std::string* error);

// Long root name as .reg files write it ("HKEY_LOCAL_MACHINE"), null for an unknown handle.
const char* RootLongName(HKEY root);

}  // namespace regfile
}  // namespace sim

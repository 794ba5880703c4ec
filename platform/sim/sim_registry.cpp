// The simulated registry: a tree of keys per hive with typed values, the advapi32 key and
// value calls on top of it, the 32-bit view of HKLM\Software on a 64-bit Windows, and planned
// call failures for tests.
#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/sim/sim_registry_impl.h"

namespace sim {

using regimpl::Hive;
using regimpl::Key;
using regimpl::Value;

namespace regimpl {

std::string Upper(const std::string& s) {
  std::string r = s;
  for (char& c : r) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return r;
}

bool NameEquals(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

Value* Key::FindValue(const std::string& valueName) {
  for (Value& v : values) {
    if (NameEquals(v.name, valueName)) return &v;
  }
  return nullptr;
}

Key* Key::FindSubKey(const std::string& keyName) const {
  auto it = subkeys.find(Upper(keyName));
  return it == subkeys.end() ? nullptr : it->second.get();
}

}  // namespace regimpl

namespace {

constexpr REGSAM kViewMask = KEY_WOW64_32KEY | KEY_WOW64_64KEY;

// Generic rights as the registry maps them to key rights.
constexpr REGSAM kGenericRead = 0x80000000u;
constexpr REGSAM kGenericWrite = 0x40000000u;
constexpr REGSAM kGenericExecute = 0x20000000u;
constexpr REGSAM kGenericAll = 0x10000000u;
constexpr REGSAM kMaximumAllowed = 0x02000000u;

REGSAM GrantedAccess(REGSAM sam) {
  REGSAM granted = sam & ~(kViewMask | kGenericRead | kGenericWrite | kGenericExecute |
                           kGenericAll | kMaximumAllowed);
  if (sam & kGenericRead) granted |= KEY_READ;
  if (sam & kGenericWrite) granted |= KEY_WRITE;
  if (sam & kGenericExecute) granted |= KEY_EXECUTE;
  if (sam & (kGenericAll | kMaximumAllowed)) granted |= KEY_ALL_ACCESS;
  return granted;
}

bool IsPredefined(HKEY key) {
  return key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT ||
         key == HKEY_USERS || key == HKEY_CURRENT_CONFIG;
}

// Splits a sub-key argument into its names. Runs of backslashes between names and at the end
// count as one; a leading backslash is refused as Windows refuses it (ERROR_BAD_PATHNAME),
// except directly under HKEY_CLASSES_ROOT, whose merged view skips it.
LONG SplitSubKey(const char* subKey, bool classesRoot, std::vector<std::string>* out) {
  out->clear();
  if (!subKey) return ERROR_SUCCESS;
  const char* p = subKey;
  if (*p == '\\') {
    if (!classesRoot) return ERROR_BAD_PATHNAME;
    while (*p == '\\') ++p;
  }
  std::string name;
  for (;; ++p) {
    if (*p == '\\' || *p == '\0') {
      if (!name.empty()) {
        if (name.size() > regimpl::kMaxKeyNameLen) return ERROR_INVALID_PARAMETER;
        out->push_back(name);
        name.clear();
      }
      if (*p == '\0') break;
    } else {
      name += *p;
    }
  }
  return ERROR_SUCCESS;
}

// The names from the hive root down to `key`.
std::vector<std::string> PathOf(const Key* key) {
  std::vector<std::string> path;
  for (const Key* k = key; k && k->parent; k = k->parent) path.push_back(k->name);
  std::reverse(path.begin(), path.end());
  return path;
}

// The 32-bit view of a 64-bit Windows: HKLM\Software and everything under it lives below
// HKLM\Software\Wow6432Node, except the shared Classes tree and Wow6432Node itself.
void RedirectTo32(Hive hive, std::vector<std::string>* path) {
  if (hive != Hive::LocalMachine || path->empty()) return;
  if (!regimpl::NameEquals((*path)[0], "Software")) return;
  if (path->size() >= 2 && (regimpl::NameEquals((*path)[1], "Classes") ||
                            regimpl::NameEquals((*path)[1], "Wow6432Node")))
    return;
  path->insert(path->begin() + 1, "Wow6432Node");
}

// Keys that a 64-bit Windows keeps once for both views: HKLM\Software\Wow6432Node\<key>
// names the same key as HKLM\Software\<key> (Wine shares the policy keys the same way).
const char* const kSharedKeys[][4] = {{"Microsoft", "Windows", "CurrentVersion", "Policies"}};

void ShareKeys(Hive hive, std::vector<std::string>* path) {
  if (hive != Hive::LocalMachine || path->size() < 2 + 4) return;
  if (!regimpl::NameEquals((*path)[0], "Software") || !regimpl::NameEquals((*path)[1], "Wow6432Node"))
    return;
  for (const auto& shared : kSharedKeys) {
    bool match = true;
    for (size_t i = 0; i < 4 && match; ++i) match = regimpl::NameEquals((*path)[2 + i], shared[i]);
    if (match) {
      path->erase(path->begin() + 1);
      return;
    }
  }
}

std::shared_ptr<Key> NewKey(const std::string& name, Key* parent, Hive hive) {
  auto k = std::make_shared<Key>();
  k->name = name;
  k->parent = parent;
  k->hive = hive;
  return k;
}

// Adds a sub-key (or finds the existing one) and keeps the parent's high-water mark.
std::shared_ptr<Key> AddSubKey(Key* parent, const std::string& name, bool* created) {
  std::string folded = regimpl::Upper(name);
  auto it = parent->subkeys.find(folded);
  if (it != parent->subkeys.end()) return it->second;
  auto k = NewKey(name, parent, parent->hive);
  parent->subkeys.emplace(folded, k);
  parent->maxSubKeyLen = std::max<DWORD>(parent->maxSubKeyLen, static_cast<DWORD>(name.size()));
  if (created) *created = true;
  return k;
}

void MarkDeleted(Key* key) {
  key->deleted = true;
  for (auto& [folded, child] : key->subkeys) MarkDeleted(child.get());
  key->subkeys.clear();
  key->parent = nullptr;
}

// Takes a key out of its parent and marks it and everything below it deleted. Open handles
// keep the key object alive.
void Unlink(Key* key) {
  std::shared_ptr<Key> keepAlive;
  if (Key* parent = key->parent) {
    auto it = parent->subkeys.find(regimpl::Upper(key->name));
    if (it != parent->subkeys.end()) {
      keepAlive = it->second;
      parent->subkeys.erase(it);
    }
    if (parent->subkeys.empty()) parent->maxSubKeyLen = 0;
  }
  MarkDeleted(key);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Impl

SimRegistry::Impl::Impl() {
  hklm = NewKey("HKEY_LOCAL_MACHINE", nullptr, Hive::LocalMachine);
  hkcu = NewKey("HKEY_CURRENT_USER", nullptr, Hive::CurrentUser);
  hku = NewKey("HKEY_USERS", nullptr, Hive::Users);
  hkcc = NewKey("HKEY_CURRENT_CONFIG", nullptr, Hive::CurrentConfig);
  std::shared_ptr<Key> software = AddSubKey(hklm.get(), "Software", nullptr);
  classes = AddSubKey(software.get(), "Classes", nullptr);
  AddSubKey(software.get(), "Wow6432Node", nullptr);
  AddSubKey(hkcu.get(), "Software", nullptr);
}

std::shared_ptr<Key> SimRegistry::Impl::RootKey(HKEY root) const {
  if (root == HKEY_LOCAL_MACHINE) return hklm;
  if (root == HKEY_CURRENT_USER) return hkcu;
  if (root == HKEY_CLASSES_ROOT) return classes;
  if (root == HKEY_USERS) return hku;
  if (root == HKEY_CURRENT_CONFIG) return hkcc;
  return nullptr;
}

std::shared_ptr<Key> SimRegistry::Impl::HiveRoot(Hive hive) const {
  switch (hive) {
    case Hive::LocalMachine:
      return hklm;
    case Hive::CurrentUser:
      return hkcu;
    case Hive::Users:
      return hku;
    case Hive::CurrentConfig:
      return hkcc;
  }
  return nullptr;
}

Key* SimRegistry::Impl::FindPath(HKEY root, const std::vector<std::string>& pathIn) const {
  std::vector<std::string> path = pathIn;
  if (windows64 && root == HKEY_LOCAL_MACHINE) ShareKeys(Hive::LocalMachine, &path);
  std::shared_ptr<Key> start = RootKey(root);
  Key* k = start.get();
  for (const std::string& name : path) {
    if (!k) break;
    k = k->FindSubKey(name);
  }
  return k;
}

Key* SimRegistry::Impl::CreatePath(HKEY root, const std::vector<std::string>& pathIn) {
  std::vector<std::string> path = pathIn;
  if (windows64 && root == HKEY_LOCAL_MACHINE) ShareKeys(Hive::LocalMachine, &path);
  std::shared_ptr<Key> k = RootKey(root);
  for (const std::string& name : path) {
    if (!k) break;
    k = AddSubKey(k.get(), name, nullptr);
  }
  return k.get();
}

void SimRegistry::Impl::DeleteTree(Key* key) { Unlink(key); }

bool SimRegistry::Impl::IsProtected(const Key* key) const {
  if (!key->parent) return true;  // a hive root
  const Key* software = hklm->FindSubKey("Software");
  if (key == software || key == classes.get()) return true;
  return windows64 && key->parent == software && regimpl::NameEquals(key->name, "Wow6432Node");
}

void SimRegistry::Impl::SetValue(Key* key, const std::string& name, DWORD type,
                                 std::vector<BYTE> data) {
  const DWORD size = static_cast<DWORD>(data.size());
  if (Value* v = key->FindValue(name)) {
    // Overwriting keeps the value's place and the case of its first name.
    v->type = type;
    v->data = std::move(data);
  } else {
    key->values.push_back(Value{name, type, std::move(data)});
  }
  key->maxValueNameLen = std::max<DWORD>(key->maxValueNameLen, static_cast<DWORD>(name.size()));
  const DWORD stored = regimpl::IsStringType(type) ? size * 2 : size;
  key->maxValueLen = std::max(key->maxValueLen, stored);
}

bool SimRegistry::Impl::DeleteValue(Key* key, const std::string& name) {
  auto it = std::find_if(key->values.begin(), key->values.end(),
                         [&](const Value& v) { return regimpl::NameEquals(v.name, name); });
  if (it == key->values.end()) return false;
  key->values.erase(it);
  if (key->values.empty()) {
    key->maxValueNameLen = 0;
    key->maxValueLen = 0;
  }
  return true;
}

LONG SimRegistry::Impl::CheckFailure(const char* call) {
  auto it = failures.find(call);
  if (it == failures.end()) return ERROR_SUCCESS;
  Failure& f = it->second;
  if (f.skip > 0) {
    --f.skip;
    return ERROR_SUCCESS;
  }
  const LONG error = f.error;
  if (f.count > 0 && --f.count == 0) failures.erase(it);
  return error;
}

// ---------------------------------------------------------------------------------------------
// SimRegistry

namespace {

// What a handle argument stands for.
struct Target {
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  bool view32 = false;
  bool predefined = false;
};

// Resolution of a handle and of a path below it, shared by the calls.
struct SimRegistryOps {
  static LONG Resolve(const SimRegistry::Impl& impl, HKEY handle, Target* t) {
    if (IsPredefined(handle)) {
      t->key = impl.RootKey(handle);
      t->access = KEY_ALL_ACCESS;
      t->view32 = impl.windows64 && !impl.process64;
      t->predefined = true;
      return ERROR_SUCCESS;
    }
    auto it = impl.handles.find(reinterpret_cast<uintptr_t>(handle));
    if (it == impl.handles.end()) return ERROR_INVALID_HANDLE;
    t->key = it->second.key;
    t->access = it->second.access;
    t->view32 = it->second.view32;
    if (t->key->deleted) return ERROR_KEY_DELETED;
    return ERROR_SUCCESS;
  }

  // The view a call works in: the flag it passes, or else the handle's own view.
  static bool View32(const SimRegistry::Impl& impl, REGSAM sam, const Target& t) {
    if (!impl.windows64) return false;
    if (sam & KEY_WOW64_32KEY) return true;
    if (sam & KEY_WOW64_64KEY) return false;
    return t.view32;
  }

  // Walks from the hive root along the handle's path plus `sub`, redirected as a whole in the
  // 32-bit view; creates missing keys when asked.
  static LONG Walk(const SimRegistry::Impl& impl, const Target& t,
                   const std::vector<std::string>& sub, bool view32, bool create,
                   std::shared_ptr<Key>* out, bool* created) {
    std::vector<std::string> path = PathOf(t.key.get());
    path.insert(path.end(), sub.begin(), sub.end());
    if (view32) RedirectTo32(t.key->hive, &path);
    if (impl.windows64) ShareKeys(t.key->hive, &path);
    std::shared_ptr<Key> k = impl.HiveRoot(t.key->hive);
    for (const std::string& name : path) {
      auto it = k->subkeys.find(regimpl::Upper(name));
      if (it != k->subkeys.end()) {
        k = it->second;
      } else if (create) {
        k = AddSubKey(k.get(), name, created);
      } else {
        return ERROR_FILE_NOT_FOUND;
      }
    }
    *out = k;
    return ERROR_SUCCESS;
  }

  static HKEY NewHandle(SimRegistry::Impl& impl, std::shared_ptr<Key> key, REGSAM sam,
                        bool view32) {
    const uintptr_t value = impl.nextHandle;
    impl.nextHandle += 4;
    impl.handles[value] = SimRegistry::Impl::Handle{std::move(key), GrantedAccess(sam), view32};
    return reinterpret_cast<HKEY>(value);
  }

  static LONG DeleteKey(SimRegistry::Impl& impl, HKEY handle, const char* subKey, REGSAM view) {
    if (!subKey) return ERROR_INVALID_PARAMETER;
    Target t;
    if (LONG r = Resolve(impl, handle, &t)) return r;
    std::vector<std::string> sub;
    if (LONG r = SplitSubKey(subKey, handle == HKEY_CLASSES_ROOT, &sub)) return r;
    std::shared_ptr<Key> k;
    if (LONG r = Walk(impl, t, sub, View32(impl, view, t), false, &k, nullptr)) return r;
    // Windows deletes only leaf keys; the tree is the caller's to empty first.
    if (impl.IsProtected(k.get()) || !k->subkeys.empty()) return ERROR_ACCESS_DENIED;
    Unlink(k.get());
    return ERROR_SUCCESS;
  }
};

}  // namespace

SimRegistry::SimRegistry() : impl_(std::make_unique<Impl>()) {}
SimRegistry::~SimRegistry() = default;

void SimRegistry::SetWindows64(bool windows64, bool process64) {
  impl_->windows64 = windows64;
  impl_->process64 = windows64 && process64;
  Key* software = impl_->hklm->FindSubKey("Software");
  Key* wow = software->FindSubKey("Wow6432Node");
  if (windows64 && !wow) {
    AddSubKey(software, "Wow6432Node", nullptr);
  } else if (!windows64 && wow && wow->subkeys.empty() && wow->values.empty()) {
    // A 32-bit Windows has no second view; drop the empty node the machine started with.
    Unlink(wow);
  }
}

// A negative count fails every call from then on; zero removes the plan for that call.
void SimRegistry::FailCall(const std::string& call, LONG error, int skip, int count) {
  if (count == 0) {
    impl_->failures.erase(call);
    return;
  }
  impl_->failures[call] = Impl::Failure{error, skip, count};
}

void SimRegistry::ClearFailures() { impl_->failures.clear(); }

bool SimRegistry::FailurePending(const std::string& call) const {
  return impl_->failures.count(call) > 0;
}

size_t SimRegistry::OpenKeyCount() const { return impl_->handles.size(); }

LONG SimRegistry::RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam,
                                HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  if (LONG f = impl_->CheckFailure("RegOpenKeyExA")) return f;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, root, &t)) return r;
  std::vector<std::string> sub;
  if (LONG r = SplitSubKey(subKey, root == HKEY_CLASSES_ROOT, &sub)) return r;
  // Opening a predefined key itself gives back the predefined handle, as Windows does.
  if (sub.empty() && t.predefined) {
    *result = root;
    return ERROR_SUCCESS;
  }
  const bool view32 = SimRegistryOps::View32(*impl_, sam, t);
  std::shared_ptr<Key> k;
  if (LONG r = SimRegistryOps::Walk(*impl_, t, sub, view32, false, &k, nullptr)) return r;
  *result = SimRegistryOps::NewHandle(*impl_, std::move(k), sam, view32);
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegCreateKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM sam,
                                  HKEY* result, DWORD* disposition) {
  if (!result) return ERROR_BADKEY;
  *result = nullptr;
  if (LONG f = impl_->CheckFailure("RegCreateKeyExA")) return f;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, root, &t)) return r;
  // Windows checks no right on the parent handle here: the new key's own security decides.
  std::vector<std::string> sub;
  if (LONG r = SplitSubKey(subKey, root == HKEY_CLASSES_ROOT, &sub)) return r;
  const bool view32 = SimRegistryOps::View32(*impl_, sam, t);
  std::shared_ptr<Key> k;
  bool created = false;
  if (LONG r = SimRegistryOps::Walk(*impl_, t, sub, view32, true, &k, &created)) return r;
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = SimRegistryOps::NewHandle(*impl_, std::move(k), sam, view32);
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data,
                                   DWORD* cbData) {
  if (data && !cbData) return ERROR_INVALID_PARAMETER;
  if (LONG f = impl_->CheckFailure("RegQueryValueExA")) return f;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, key, &t)) return r;
  if (!(t.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  const DWORD room = cbData ? *cbData : 0;
  if (type) *type = REG_NONE;
  if (!data && cbData) *cbData = 0;
  const std::string name = valueName ? valueName : "";
  Value* v = name.size() > regimpl::kMaxValueNameLen ? nullptr : t.key->FindValue(name);
  if (!v) return ERROR_FILE_NOT_FOUND;
  const DWORD size = static_cast<DWORD>(v->data.size());
  LONG result = ERROR_SUCCESS;
  if (data) {
    if (size > room) {
      // The buffer is left untouched; *cbData tells the size needed.
      result = ERROR_MORE_DATA;
    } else if (size) {
      std::memcpy(data, v->data.data(), size);
      // A string stored without its terminating zero gets one when the buffer has room.
      if (regimpl::IsStringType(v->type) && size < room && data[size - 1] != 0) data[size] = 0;
    }
  }
  if (type) *type = v->type;
  if (cbData) *cbData = size;
  return result;
}

LONG SimRegistry::RegSetValueExA(HKEY key, const char* valueName, DWORD type, const BYTE* data,
                                 DWORD cbData) {
  if (LONG f = impl_->CheckFailure("RegSetValueExA")) return f;
  if (!data && cbData) return ERROR_NOACCESS;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, key, &t)) return r;
  if (!(t.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  const std::string name = valueName ? valueName : "";
  if (name.size() > regimpl::kMaxValueNameLen) return ERROR_INVALID_PARAMETER;
  // Exactly the bytes given: Windows peeks one byte past cbData to add a forgotten string
  // terminator, which the simulation never does (it would read outside the caller's buffer).
  std::vector<BYTE> bytes(data, data + cbData);
  Impl::SetValue(t.key.get(), name, type, std::move(bytes));
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* cchName) {
  if (!name || !cchName) return ERROR_INVALID_PARAMETER;
  if (LONG f = impl_->CheckFailure("RegEnumKeyExA")) return f;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, key, &t)) return r;
  if (!(t.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  if (index >= t.key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  auto it = t.key->subkeys.begin();
  std::advance(it, index);
  const std::string& n = it->second->name;
  // Too small a buffer: nothing is written and *cchName keeps its value.
  if (n.size() >= *cchName) return ERROR_MORE_DATA;
  std::memcpy(name, n.data(), n.size());
  name[n.size()] = '\0';
  *cchName = static_cast<DWORD>(n.size());
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* cchName, DWORD* type,
                                BYTE* data, DWORD* cbData) {
  if ((data && !cbData) || !name || !cchName) return ERROR_INVALID_PARAMETER;
  if (LONG f = impl_->CheckFailure("RegEnumValueA")) return f;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, key, &t)) return r;
  if (!(t.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (index >= t.key->values.size()) return ERROR_NO_MORE_ITEMS;
  const Value& v = t.key->values[index];
  const DWORD size = static_cast<DWORD>(v.data.size());
  LONG result = ERROR_SUCCESS;
  // The data first, as advapi32 does: when it does not fit, the name is not written either.
  if (data && size) {
    if (size > *cbData) {
      result = ERROR_MORE_DATA;
    } else {
      std::memcpy(data, v.data.data(), size);
      if (regimpl::IsStringType(v.type) && size < *cbData && data[size - 1] != 0) data[size] = 0;
    }
  }
  if (result == ERROR_SUCCESS) {
    if (v.name.size() >= *cchName) {
      result = ERROR_MORE_DATA;
      if (*cchName) {
        std::memcpy(name, v.name.data(), *cchName - 1);
        name[*cchName - 1] = '\0';
      }
    } else {
      std::memcpy(name, v.name.data(), v.name.size());
      name[v.name.size()] = '\0';
      *cchName = static_cast<DWORD>(v.name.size());
    }
  }
  if (type) *type = v.type;
  if (cbData) *cbData = size;
  return result;
}

LONG SimRegistry::RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                                   DWORD* maxValueNameLen, DWORD* maxValueLen) {
  if (LONG f = impl_->CheckFailure("RegQueryInfoKeyA")) return f;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, key, &t)) return r;
  if (!(t.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  const Key& k = *t.key;
  if (subKeys) *subKeys = static_cast<DWORD>(k.subkeys.size());
  if (maxSubKeyLen) *maxSubKeyLen = k.maxSubKeyLen;
  if (values) *values = static_cast<DWORD>(k.values.size());
  if (maxValueNameLen) *maxValueNameLen = k.maxValueNameLen;
  if (maxValueLen) *maxValueLen = k.maxValueLen;
  return ERROR_SUCCESS;
}

LONG SimRegistry::RegDeleteValueA(HKEY key, const char* valueName) {
  if (LONG f = impl_->CheckFailure("RegDeleteValueA")) return f;
  Target t;
  if (LONG r = SimRegistryOps::Resolve(*impl_, key, &t)) return r;
  if (!(t.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  const std::string name = valueName ? valueName : "";
  return Impl::DeleteValue(t.key.get(), name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG SimRegistry::RegDeleteKeyA(HKEY key, const char* subKey) {
  if (LONG f = impl_->CheckFailure("RegDeleteKeyA")) return f;
  return SimRegistryOps::DeleteKey(*impl_, key, subKey, 0);
}

bool SimRegistry::HasRegDeleteKeyExA() { return impl_->windows64; }

LONG SimRegistry::RegDeleteKeyExA(HKEY key, const char* subKey, REGSAM view) {
  if (LONG f = impl_->CheckFailure("RegDeleteKeyExA")) return f;
  // Older (32-bit) systems have no such export: a caller that did not check gets nothing done.
  if (!impl_->windows64) return ERROR_CALL_NOT_IMPLEMENTED;
  return SimRegistryOps::DeleteKey(*impl_, key, subKey, view & kViewMask);
}

LONG SimRegistry::RegCloseKey(HKEY key) {
  if (LONG f = impl_->CheckFailure("RegCloseKey")) return f;
  if (IsPredefined(key)) return ERROR_SUCCESS;
  return impl_->handles.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS
                                                                : ERROR_INVALID_HANDLE;
}

}  // namespace sim

#include "platform/sim/sim_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/sim/sim_files_meta.h"
#include "platform/sim/sim_files_names.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_text.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

constexpr DWORD kErrorBadPathname = 161;
constexpr DWORD kErrorDirectory = 267;

// The attribute bits SetFileAttributesA keeps (the folder bit is the file system's).
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      0x0100 /*TEMPORARY*/ | 0x1000 /*OFFLINE*/ |
                                      0x2000 /*NOT_CONTENT_INDEXED*/;

constexpr uint64_t kTicksPerSecond = 10000000ull;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600ll;

constexpr const char* kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingValue = "PendingFileRenameOperations";

uint64_t ToFileTime(const timespec& ts) {
  return static_cast<uint64_t>(ts.tv_sec + kSecondsFrom1601To1970) * kTicksPerSecond +
         static_cast<uint64_t>(ts.tv_nsec) / 100;
}

timespec FromFileTime(uint64_t ft) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(static_cast<int64_t>(ft / kTicksPerSecond) -
                                  kSecondsFrom1601To1970);
  ts.tv_nsec = static_cast<long>((ft % kTicksPerSecond) * 100);
  return ts;
}

uint64_t Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return ToFileTime(ts);
}

struct HostStat {
  bool ok = false;
  uint64_t access = 0, write = 0, size = 0;
};

HostStat StatHost(const std::string& host) {
  HostStat s;
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) return s;
  s.ok = true;
  s.access = ToFileTime(st.st_atim);
  s.write = ToFileTime(st.st_mtim);
  s.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  return s;
}

bool SetHostTimes(const std::string& host, const uint64_t* access, const uint64_t* write) {
  timespec ts[2];
  ts[0].tv_sec = ts[1].tv_sec = 0;
  ts[0].tv_nsec = ts[1].tv_nsec = UTIME_OMIT;
  if (access) ts[0] = FromFileTime(*access);
  if (write) ts[1] = FromFileTime(*write);
  return ::utimensat(AT_FDCWD, host.c_str(), ts, 0) == 0;
}

// True when a host path (a symbolic link, or below one) leads to an existing entry inside
// the drive's folder.
bool StaysInside(const fs::path& p, const std::string& canonicalRoot) {
  std::error_code ec;
  fs::path target = fs::canonical(p, ec);
  if (ec) return false;
  std::string t = target.string();
  return t == canonicalRoot ||
         (t.size() > canonicalRoot.size() && t.compare(0, canonicalRoot.size(), canonicalRoot) == 0 &&
          t[canonicalRoot.size()] == '/');
}

std::string JoinRel(const std::string& folderRel, const std::string& name) {
  return folderRel.empty() ? name : folderRel + "/" + name;
}

std::string PrefixText(const filenames::FullPath& full, size_t count) {
  filenames::FullPath p = full;
  p.names.resize(count);
  return p.Text();
}

// Windows writes "\??\C:\old" then "" for a deletion: an empty string inside the list. A
// REG_MULTI_SZ read back ends at the first empty string only when two zeros follow each
// other at the end, so the pairs are read from the raw bytes.
std::vector<std::string> SplitPairs(const std::string& data) {
  std::vector<std::string> items;
  std::string d = data;
  // The list ends in one extra zero.
  if (d.size() >= 2 && d[d.size() - 1] == '\0' && d[d.size() - 2] == '\0') d.pop_back();
  std::string cur;
  for (char c : d) {
    if (c == '\0') {
      items.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) items.push_back(cur);
  return items;
}

}  // namespace

// One host entry of a folder that Windows can see.
struct SimFileSystem::HostEntry {
  std::string name;
  bool isDir = false;
};

// How a path resolved. Components are looked up one after another; `found` says how many
// exist.
struct SimFileSystem::Resolved {
  enum class How { Long, Short, Redirected };
  DWORD parseError = 0;
  filenames::FullPath full;
  std::string driveRoot;      // host folder of the drive; empty when the drive is unknown
  std::string canonicalRoot;  // the same with every link resolved
  std::vector<std::string> hostNames;  // the host names of the components found
  std::vector<How> how;
  bool refused = false;        // a link leads out of the drive
  bool notFolder = false;      // a file stands where a folder is needed
  bool fileWithSeparator = false;
  bool exists = false, isDir = false;
  std::string host;  // the host path (existing part, then the rest as looked up)
  std::string rel;   // the host path below the drive, '/'-joined (when it exists)

  bool ok() const { return parseError == 0 && !driveRoot.empty() && !refused; }
  DWORD MissingError() const {
    if (parseError) return parseError;
    if (driveRoot.empty()) return ERROR_PATH_NOT_FOUND;
    if (refused) return ERROR_ACCESS_DENIED;
    if (fileWithSeparator) return ERROR_INVALID_NAME;
    if (notFolder) return ERROR_PATH_NOT_FOUND;
    return hostNames.size() + 1 == full.names.size() ? ERROR_FILE_NOT_FOUND
                                                     : ERROR_PATH_NOT_FOUND;
  }
  bool isRoot() const { return full.names.empty(); }
};

SimFileSystem::SimFileSystem(SimSystem& system, const std::string& hostRoot)
    : system_(system), hostRoot_(hostRoot) {}

SimFileSystem::~SimFileSystem() = default;

bool SimFileSystem::Fail(DWORD error) {
  system_.SetLastError(error);
  return false;
}

void SimFileSystem::FailCall(const std::string& call, DWORD error, int skip, int count) {
  if (count == 0) {
    failures_.erase(call);
    return;
  }
  failures_[call] = Failure{error, skip, count};
}

void SimFileSystem::ClearFailures() { failures_.clear(); }

bool SimFileSystem::Failing(const char* call) {
  auto it = failures_.find(call);
  if (it == failures_.end()) return false;
  Failure& f = it->second;
  if (f.skip > 0) {
    --f.skip;
    return false;
  }
  system_.SetLastError(f.error);
  if (f.count > 0 && --f.count == 0) failures_.erase(it);
  return true;
}

// ---------------------------------------------------------------------------------------
// Set-up

void SimFileSystem::SetWindows64(bool windows64, bool process64) {
  windows64_ = windows64;
  process64_ = process64;
}

void SimFileSystem::SetRegistry(plat::IRegistry* registry) { registry_ = registry; }

bool SimFileSystem::AddDrive(char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return false;
  std::error_code ec;
  fs::path p = fs::path(hostRoot_) / std::string(1, letter);
  fs::create_directories(p, ec);
  return fs::is_directory(p, ec);
}

void SimFileSystem::SetSpecialFolder(int csidl, const std::string& windowsPath) {
  specialFolders_[csidl] = windowsPath;
}

void SimFileSystem::SetCurrentFolder(const std::string& windowsPath) {
  currentFolder_ = windowsPath;
}

std::string SimFileSystem::CurrentFolder() const {
  if (!currentFolder_.empty()) return currentFolder_;
  const std::string& module = system_.moduleFileName;
  size_t slash = module.rfind('\\');
  return slash == std::string::npos || slash < 2 ? std::string("C:\\") : module.substr(0, slash);
}

std::string SimFileSystem::SpecialFolder(int csidl) const {
  if (auto it = specialFolders_.find(csidl); it != specialFolders_.end()) return it->second;
  char buf[MAX_PATH] = {};
  std::string profile = system_.GetEnvironmentVariableA("USERPROFILE", buf, sizeof buf) > 0
                            ? std::string(buf)
                            : std::string("C:\\Users\\User");
  std::string programData = "C:\\ProgramData";
  std::string roaming = profile + "\\AppData\\Roaming", local = profile + "\\AppData\\Local";
  const char* startMenu = "\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
  // A 32-bit program on a 64-bit Windows is shown the 32-bit program folder.
  bool wow = windows64_ && !process64_;
  switch (csidl) {
    case plat::kCsidlStartup: return roaming + startMenu;
    case plat::kCsidlCommonStartup: return programData + startMenu;
    case plat::kCsidlAppData: return roaming;
    case plat::kCsidlLocalAppData: return local;
    case plat::kCsidlInternetCache: return local + "\\Microsoft\\Windows\\Temporary Internet Files";
    case plat::kCsidlCookies: return roaming + "\\Microsoft\\Windows\\Cookies";
    case plat::kCsidlCommonAppData: return programData;
    case plat::kCsidlWindows: return system_.windowsFolder;
    case plat::kCsidlSystem: return system_.systemFolder;
    case plat::kCsidlSystemX86:
      return windows64_ ? system_.windowsFolder + "\\SysWOW64" : system_.systemFolder;
    case plat::kCsidlProgramFiles: return wow ? "C:\\Program Files (x86)" : "C:\\Program Files";
    case plat::kCsidlProgramFilesX86:
      return windows64_ ? "C:\\Program Files (x86)" : "C:\\Program Files";
    case plat::kCsidlProfile: return profile;
    default: return {};
  }
}

void SimFileSystem::CreateSpecialFolders() {
  bool saved = redirectionOff_;
  redirectionOff_ = true;
  for (int csidl : {plat::kCsidlStartup, plat::kCsidlCommonStartup, plat::kCsidlAppData,
                    plat::kCsidlLocalAppData, plat::kCsidlInternetCache, plat::kCsidlCookies,
                    plat::kCsidlCommonAppData, plat::kCsidlWindows, plat::kCsidlSystem,
                    plat::kCsidlSystemX86, plat::kCsidlProgramFiles, plat::kCsidlProgramFilesX86,
                    plat::kCsidlProfile}) {
    filenames::FullPath full;
    if (filenames::ParseFullPath(SpecialFolder(csidl), CurrentFolder(), &full) != 0) continue;
    for (size_t n = 1; n <= full.names.size(); ++n) CreateDirectoryA(PrefixText(full, n).c_str());
  }
  redirectionOff_ = saved;
}

// ---------------------------------------------------------------------------------------
// Resolution

DriveMetaStore& SimFileSystem::Store(char drive) const {
  auto& slot = stores_[drive];
  if (!slot) {
    std::string letter(1, drive);
    slot = std::make_unique<DriveMetaStore>((fs::path(hostRoot_) / (letter + ".meta")).string(),
                                            (fs::path(hostRoot_) / letter).string());
  }
  return *slot;
}

std::vector<SimFileSystem::HostEntry> SimFileSystem::ListHost(
    const std::string& hostFolder, const std::string& canonicalRoot) const {
  std::vector<HostEntry> entries;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(hostFolder, ec)) {
    std::string name = entry.path().filename().string();
    if (!filenames::IsValidName(name) || name.size() > filenames::kMaxComponent) continue;
    std::error_code e2;
    if (entry.is_symlink(e2) && !StaysInside(entry.path(), canonicalRoot)) continue;
    entries.push_back({name, fs::is_directory(entry.path(), e2)});
  }
  std::sort(entries.begin(), entries.end(),
            [](const HostEntry& a, const HostEntry& b) { return a.name < b.name; });
  return entries;
}

std::string SimFileSystem::ShortNameOf(char drive, const std::string& rel,
                                       const std::string& name) const {
  if (filenames::IsShortName(name)) return name;
  EntryMeta* meta = Store(drive).Find(rel);
  return meta ? meta->shortName : std::string();
}

void SimFileSystem::EnsureShortNames(char drive, const std::string& hostFolder,
                                     const std::string& folderRel,
                                     const std::string& canonicalRoot) const {
  DriveMetaStore& store = Store(drive);
  std::vector<HostEntry> entries = ListHost(hostFolder, canonicalRoot);
  std::set<std::string> taken;
  struct Pending {
    uint64_t creation;
    std::string name;
    bool isDir;
  };
  std::vector<Pending> pending;
  for (const HostEntry& e : entries) {
    if (filenames::IsShortName(e.name)) {
      taken.insert(Upper(e.name));
      continue;
    }
    EntryMeta* meta = store.Find(JoinRel(folderRel, e.name));
    if (meta && !meta->shortName.empty()) {
      taken.insert(Upper(meta->shortName));
      continue;
    }
    uint64_t creation = meta && meta->creation ? meta->creation
                                                : StatHost(hostFolder + "/" + e.name).write;
    pending.push_back({creation, e.name, e.isDir});
  }
  if (pending.empty()) return;
  // In the order the entries were made, so that the first of two look-alike names is ~1.
  std::sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
    return a.creation != b.creation ? a.creation < b.creation : a.name < b.name;
  });
  for (const Pending& p : pending) {
    std::string base, ext;
    filenames::ShortNameParts(p.name, &base, &ext);
    std::string candidate;
    for (int n = 1; n < 1000000; ++n) {
      candidate = filenames::ShortNameCandidate(base, ext, n);
      if (!taken.count(Upper(candidate))) break;
    }
    taken.insert(Upper(candidate));
    EntryMeta initial;
    initial.attributes = p.isDir ? 0 : FILE_ATTRIBUTE_ARCHIVE;
    initial.creation = p.creation;
    store.At(JoinRel(folderRel, p.name), initial).shortName = candidate;
  }
  store.Save();
}

SimFileSystem::Resolved SimFileSystem::Resolve(
    const std::string& windowsPath, bool onDisk,
    const std::vector<std::string>* redirectContext) const {
  Resolved r;
  r.parseError = filenames::ParseFullPath(windowsPath, CurrentFolder(), &r.full);
  if (r.parseError) return r;
  const auto& names = r.full.names;
  std::error_code ec;
  fs::path root = fs::path(hostRoot_) / std::string(1, r.full.drive);
  if (!fs::is_directory(root, ec)) return r;
  r.driveRoot = root.string();
  r.canonicalRoot = fs::canonical(root, ec).string();
  if (ec) {
    r.driveRoot.clear();
    return r;
  }

  // WOW64 redirection: a 32-bit program on a 64-bit Windows that names <Windows>\System32
  // reaches <Windows>\SysWOW64, except for the folders Windows keeps shared (catroot,
  // catroot2, drivers\etc, logfiles, spool); <Windows>\Sysnative reaches the real System32.
  size_t redirectAt = std::string::npos;
  const char* redirectTo = nullptr;
  if (windows64_ && !process64_ && !redirectionOff_ && !onDisk) {
    filenames::FullPath win;
    const std::vector<std::string>& context = redirectContext ? *redirectContext : names;
    if (filenames::ParseFullPath(system_.windowsFolder, "C:\\", &win) == 0 &&
        win.drive == r.full.drive && names.size() > win.names.size()) {
      size_t at = win.names.size();
      bool under = true;
      for (size_t i = 0; i < at; ++i) under = under && EqualNoCase(names[i], win.names[i]);
      auto next = [&](size_t i) { return i < context.size() ? context[i] : std::string(); };
      if (under && EqualNoCase(names[at], "system32")) {
        std::string n1 = next(at + 1), n2 = next(at + 2);
        bool shared = EqualNoCase(n1, "catroot") || EqualNoCase(n1, "catroot2") ||
                      EqualNoCase(n1, "logfiles") || EqualNoCase(n1, "spool") ||
                      (EqualNoCase(n1, "drivers") && EqualNoCase(n2, "etc"));
        if (!shared) {
          redirectAt = at;
          redirectTo = "SysWOW64";
        }
      } else if (under && EqualNoCase(names[at], "sysnative")) {
        redirectAt = at;
        redirectTo = "System32";
      }
    }
  }

  std::string host = r.driveRoot, rel;
  size_t i = 0;
  for (; i < names.size(); ++i) {
    if (i > 0 && !fs::is_directory(host, ec)) {
      r.notFolder = true;
      break;
    }
    std::string lookup = i == redirectAt ? redirectTo : names[i];
    Resolved::How how = i == redirectAt ? Resolved::How::Redirected : Resolved::How::Long;
    // Every host entry takes part here, links that lead out of the drive too, so that such
    // a name is refused rather than made anew through the link.
    std::string found;
    for (const auto& entry : fs::directory_iterator(host, ec)) {
      std::string name = entry.path().filename().string();
      if (!EqualNoCase(name, lookup)) continue;
      if (found.empty() || name == lookup) found = name;
    }
    if (found.empty() && how == Resolved::How::Long && filenames::IsShortName(lookup)) {
      EnsureShortNames(r.full.drive, host, rel, r.canonicalRoot);
      for (const HostEntry& e : ListHost(host, r.canonicalRoot)) {
        if (filenames::IsShortName(e.name)) continue;
        std::string s = ShortNameOf(r.full.drive, JoinRel(rel, e.name), e.name);
        if (!s.empty() && EqualNoCase(s, lookup)) {
          found = e.name;
          how = Resolved::How::Short;
          break;
        }
      }
    }
    if (found.empty()) break;
    fs::path candidate = fs::path(host) / found;
    if (fs::is_symlink(candidate, ec) && !StaysInside(candidate, r.canonicalRoot)) {
      r.refused = true;
      break;
    }
    host = candidate.string();
    rel = JoinRel(rel, found);
    r.hostNames.push_back(found);
    r.how.push_back(how);
  }
  // The names that were not found, as they would be made.
  for (size_t j = r.hostNames.size(); j < names.size(); ++j)
    host = (fs::path(host) / (j == redirectAt ? std::string(redirectTo) : names[j])).string();
  r.host = host;
  if (!r.refused && !r.notFolder && r.hostNames.size() == names.size()) {
    r.isDir = fs::is_directory(host, ec);
    if (r.full.trailingSeparator && !r.isDir) {
      r.fileWithSeparator = true;
    } else {
      r.exists = true;
      r.rel = rel;
    }
  }
  return r;
}

std::string SimFileSystem::HostPath(const std::string& windowsPath) const {
  Resolved r = Resolve(windowsPath, true);
  return r.ok() ? r.host : std::string();
}

std::string SimFileSystem::ProgramHostPath(const std::string& windowsPath) const {
  Resolved r = Resolve(windowsPath);
  return r.ok() ? r.host : std::string();
}

DWORD SimFileSystem::AttributesOf(const Resolved& r) const {
  if (r.isRoot()) return FILE_ATTRIBUTE_DIRECTORY;
  EntryMeta* meta = Store(r.full.drive).Find(r.rel);
  DWORD attrs = meta ? meta->attributes : (r.isDir ? 0 : FILE_ATTRIBUTE_ARCHIVE);
  if (r.isDir) attrs |= FILE_ATTRIBUTE_DIRECTORY;
  return attrs ? attrs : FILE_ATTRIBUTE_NORMAL;
}

plat::FileFacts SimFileSystem::FactsOf(const Resolved& r) const {
  plat::FileFacts facts;
  facts.attributes = AttributesOf(r);
  HostStat s = StatHost(r.host);
  facts.lastAccess = s.access;
  facts.lastWrite = s.write;
  facts.size = r.isDir ? 0 : s.size;
  EntryMeta* meta = r.isRoot() ? nullptr : Store(r.full.drive).Find(r.rel);
  facts.creation = meta && meta->creation ? meta->creation : s.write;
  return facts;
}

void SimFileSystem::NoteCreated(const std::string& windowsPath, bool folder) {
  Resolved r = Resolve(windowsPath);
  if (!r.exists || r.isRoot()) return;
  DriveMetaStore& store = Store(r.full.drive);
  store.Erase(r.rel);
  EntryMeta meta;
  meta.attributes = folder ? 0 : FILE_ATTRIBUTE_ARCHIVE;
  meta.creation = Now();
  store.At(r.rel, meta);
  std::string parentHost = fs::path(r.host).parent_path().string();
  size_t slash = r.rel.rfind('/');
  std::string parentRel = slash == std::string::npos ? std::string() : r.rel.substr(0, slash);
  EnsureShortNames(r.full.drive, parentHost, parentRel, r.canonicalRoot);
  store.Save();
}

void SimFileSystem::NoteWritten(const Resolved& r) {
  DriveMetaStore& store = Store(r.full.drive);
  EntryMeta initial;
  initial.attributes = FILE_ATTRIBUTE_ARCHIVE;
  initial.creation = FactsOf(r).creation;
  EntryMeta& meta = store.At(r.rel, initial);
  if (!(meta.attributes & FILE_ATTRIBUTE_ARCHIVE)) {
    meta.attributes |= FILE_ATTRIBUTE_ARCHIVE;
    store.Save();
  }
}

// ---------------------------------------------------------------------------------------
// Fixture helpers

bool SimFileSystem::WriteFileText(const std::string& windowsPath, const std::string& text) {
  bool saved = redirectionOff_;
  redirectionOff_ = true;
  Resolved r = Resolve(windowsPath);
  bool ok = r.ok() && !r.isRoot();
  if (ok) {
    for (size_t n = 1; n < r.full.names.size(); ++n)
      CreateDirectoryA(PrefixText(r.full, n).c_str());
    ok = WriteHost(windowsPath, text, false, false);
  }
  redirectionOff_ = saved;
  return ok;
}

std::string SimFileSystem::ReadFileText(const std::string& windowsPath) const {
  Resolved r = Resolve(windowsPath, true);
  if (!r.exists || r.isDir) return {};
  std::ifstream in(r.host, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool SimFileSystem::Exists(const std::string& windowsPath) const {
  return Resolve(windowsPath, true).exists;
}

// ---------------------------------------------------------------------------------------
// Attributes, folders, deletion

DWORD SimFileSystem::GetFileAttributesA(const char* path) {
  if (Failing("GetFileAttributesA")) return INVALID_FILE_ATTRIBUTES;
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) {
    Fail(r.fileWithSeparator ? ERROR_PATH_NOT_FOUND : r.MissingError());
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(r);
}

BOOL SimFileSystem::SetFileAttributesA(const char* path, DWORD attributes) {
  if (Failing("SetFileAttributesA")) return FALSE;
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) return Fail(r.MissingError());
  if (r.isRoot()) return TRUE;
  DriveMetaStore& store = Store(r.full.drive);
  EntryMeta initial;
  initial.creation = FactsOf(r).creation;
  store.At(r.rel, initial).attributes = attributes & kSettableAttributes;
  store.Save();
  return TRUE;
}

BOOL SimFileSystem::CreateDirectoryA(const char* path) {
  if (Failing("CreateDirectoryA")) return FALSE;
  Resolved r = Resolve(path ? path : "");
  if (!r.ok()) return Fail(r.MissingError());
  // The *A function leaves room for an 8.3 name below the folder.
  if (r.full.Text().size() > filenames::kMaxFolderPathText)
    return Fail(ERROR_FILENAME_EXCED_RANGE);
  if (r.exists || r.fileWithSeparator) return Fail(ERROR_ALREADY_EXISTS);
  if (r.notFolder || r.hostNames.size() + 1 != r.full.names.size())
    return Fail(ERROR_PATH_NOT_FOUND);
  std::error_code ec;
  if (!fs::create_directory(r.host, ec)) return Fail(ERROR_ACCESS_DENIED);
  NoteCreated(path, true);
  return TRUE;
}

BOOL SimFileSystem::RemoveDirectoryA(const char* path) {
  if (Failing("RemoveDirectoryA")) return FALSE;
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) return Fail(r.MissingError());
  if (!r.isDir) return Fail(kErrorDirectory);
  if (r.isRoot()) return Fail(ERROR_ACCESS_DENIED);
  if (AttributesOf(r) & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  std::error_code ec;
  // A link to a folder is removed as the link, never as what it leads to.
  if (fs::is_symlink(r.host, ec)) {
    fs::remove(r.host, ec);
  } else {
    if (!fs::is_empty(r.host, ec)) return Fail(ERROR_DIR_NOT_EMPTY);
    fs::remove(r.host, ec);
  }
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  Store(r.full.drive).Erase(r.rel);
  Store(r.full.drive).Save();
  return TRUE;
}

BOOL SimFileSystem::DeleteFileA(const char* path) {
  if (Failing("DeleteFileA")) return FALSE;
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) return Fail(r.MissingError());
  if (r.isDir) return Fail(ERROR_ACCESS_DENIED);
  if (AttributesOf(r) & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  std::error_code ec;
  fs::remove(r.host, ec);
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  Store(r.full.drive).Erase(r.rel);
  Store(r.full.drive).Save();
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Moving and copying

std::vector<std::pair<std::string, std::string>> SimFileSystem::PendingFileOperations() const {
  std::vector<std::string> items;
  if (registry_) {
    plat::RegKey key(*registry_);
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE) == ERROR_SUCCESS) {
      DWORD type = 0, size = 0;
      if (registry_->RegQueryValueExA(key.get(), kPendingValue, &type, nullptr, &size) ==
              ERROR_SUCCESS &&
          type == REG_MULTI_SZ && size > 0) {
        std::string data(size, '\0');
        if (registry_->RegQueryValueExA(key.get(), kPendingValue, &type,
                                        reinterpret_cast<BYTE*>(data.data()),
                                        &size) == ERROR_SUCCESS) {
          data.resize(size);
          items = SplitPairs(data);
        }
      }
    }
  } else {
    return pending_;
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (size_t i = 0; i + 1 < items.size(); i += 2) pairs.emplace_back(items[i], items[i + 1]);
  return pairs;
}

bool SimFileSystem::RecordPending(const std::string& from, const std::string& to) {
  if (!registry_) {
    pending_.emplace_back(from, to);
    return true;
  }
  std::vector<std::string> items;
  for (const auto& [a, b] : PendingFileOperations()) {
    items.push_back(a);
    items.push_back(b);
  }
  items.push_back(from);
  items.push_back(to);
  std::string data;
  for (const std::string& s : items) {
    data += s;
    data += '\0';
  }
  data += '\0';
  plat::RegKey key(*registry_);
  if (key.Create(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE | KEY_SET_VALUE) !=
      ERROR_SUCCESS)
    return false;
  return registry_->RegSetValueExA(key.get(), kPendingValue, REG_MULTI_SZ,
                                   reinterpret_cast<const BYTE*>(data.data()),
                                   static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

BOOL SimFileSystem::MoveFileExA(const char* from, const char* to, DWORD flags) {
  if (Failing("MoveFileExA")) return FALSE;
  if (flags & MOVEFILE_DELAY_UNTIL_REBOOT) {
    // Only recorded: the source need not exist now. Windows refuses the two flags together.
    if (flags & MOVEFILE_COPY_ALLOWED) return Fail(ERROR_INVALID_PARAMETER);
    filenames::FullPath src, dst;
    if (DWORD e = filenames::ParseFullPath(from ? from : "", CurrentFolder(), &src)) return Fail(e);
    std::string target;
    if (to && *to) {
      if (DWORD e = filenames::ParseFullPath(to, CurrentFolder(), &dst)) return Fail(e);
      target = std::string((flags & MOVEFILE_REPLACE_EXISTING) ? "!" : "") + "\\??\\" + dst.Text();
    }
    if (!RecordPending("\\??\\" + src.Text(), target)) return Fail(ERROR_ACCESS_DENIED);
    return TRUE;
  }
  Resolved s = Resolve(from ? from : "");
  if (!s.exists) return Fail(s.MissingError());
  if (!to) return Fail(ERROR_INVALID_PARAMETER);
  Resolved d = Resolve(to);
  if (!d.ok() || d.fileWithSeparator) return Fail(d.MissingError());
  if (s.isRoot() || d.isRoot()) return Fail(ERROR_ACCESS_DENIED);
  bool parentExists = !d.notFolder && d.hostNames.size() + 1 >= d.full.names.size();
  if (!parentExists) return Fail(ERROR_PATH_NOT_FOUND);
  std::error_code ec;
  DriveMetaStore& srcStore = Store(s.full.drive);

  if (d.exists && d.host == s.host) {
    // The same entry: a change of case alone renames it, as Windows shows it.
    const std::string& wanted = d.full.names.back();
    if (wanted == s.hostNames.back() || !EqualNoCase(wanted, s.hostNames.back())) return TRUE;
    fs::path renamed = fs::path(s.host).parent_path() / wanted;
    fs::rename(s.host, renamed, ec);
    if (ec) return Fail(ERROR_ACCESS_DENIED);
    size_t slash = s.rel.rfind('/');
    std::string newRel = (slash == std::string::npos ? std::string() : s.rel.substr(0, slash + 1)) + wanted;
    srcStore.Rename(s.rel, newRel);
    srcStore.Save();
    return TRUE;
  }
  if (d.exists) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
    // Nothing replaces a folder, and a folder replaces nothing.
    if (d.isDir || s.isDir) return Fail(ERROR_ACCESS_DENIED);
    if (AttributesOf(d) & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  }

  if (d.full.drive != s.full.drive) {
    // Another drive: a file is copied and the original deleted when the caller allows it;
    // a folder never moves between drives (Windows answers the copy of a folder with
    // ERROR_ACCESS_DENIED).
    if (!(flags & MOVEFILE_COPY_ALLOWED)) return Fail(ERROR_NOT_SAME_DEVICE);
    if (s.isDir) return Fail(ERROR_ACCESS_DENIED);
    plat::FileFacts facts = FactsOf(s);
    DWORD attrs = AttributesOf(s) & kSettableAttributes;
    if (d.exists) fs::remove(d.host, ec);
    fs::copy_file(s.host, d.host, fs::copy_options::overwrite_existing, ec);
    if (ec) return Fail(ERROR_ACCESS_DENIED);
    SetHostTimes(d.host, nullptr, &facts.lastWrite);
    NoteCreated(to, false);
    Resolved moved = Resolve(to);
    if (moved.exists) {
      DriveMetaStore& dstStore = Store(moved.full.drive);
      EntryMeta& meta = dstStore.At(moved.rel, EntryMeta{});
      meta.attributes = attrs;
      meta.creation = facts.creation;
      dstStore.Save();
    }
    fs::remove(s.host, ec);
    srcStore.Erase(s.rel);
    srcStore.Save();
    return TRUE;
  }

  if (s.isDir && d.host.size() > s.host.size() && d.host.compare(0, s.host.size(), s.host) == 0 &&
      d.host[s.host.size()] == '/')
    return Fail(ERROR_INVALID_PARAMETER);  // into itself
  if (d.exists) {
    fs::remove(d.host, ec);
    srcStore.Erase(d.rel);
  }
  fs::rename(s.host, d.host, ec);
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  // The entry keeps its attributes and creation time; a new name gets a new short name.
  std::string parentRel;
  for (size_t i = 0; i + 1 < d.full.names.size(); ++i) parentRel = JoinRel(parentRel, d.hostNames[i]);
  std::string newRel = JoinRel(parentRel, fs::path(d.host).filename().string());
  srcStore.Rename(s.rel, newRel);
  if (EntryMeta* meta = srcStore.Find(newRel)) meta->shortName.clear();
  EnsureShortNames(d.full.drive, fs::path(d.host).parent_path().string(), parentRel,
                   d.canonicalRoot);
  srcStore.Save();
  return TRUE;
}

BOOL SimFileSystem::CopyFileA(const char* from, const char* to, BOOL failIfExists) {
  if (Failing("CopyFileA")) return FALSE;
  Resolved s = Resolve(from ? from : "");
  if (!s.exists) return Fail(s.MissingError());
  if (s.isDir) return Fail(ERROR_ACCESS_DENIED);
  Resolved d = Resolve(to ? to : "");
  if (!d.ok() || d.fileWithSeparator) return Fail(d.MissingError());
  if (d.isRoot()) return Fail(ERROR_ACCESS_DENIED);
  if (d.notFolder || d.hostNames.size() + 1 < d.full.names.size())
    return Fail(ERROR_PATH_NOT_FOUND);
  DWORD srcAttrs = AttributesOf(s);
  if (d.exists) {
    if (failIfExists) return Fail(ERROR_FILE_EXISTS);
    if (d.host == s.host) return Fail(ERROR_SHARING_VIOLATION);
    if (d.isDir) return Fail(ERROR_ACCESS_DENIED);
    DWORD dstAttrs = AttributesOf(d);
    if (dstAttrs & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
    // The copy is made with the source's attributes over the old file, which Windows
    // refuses for a hidden or system file the source is not.
    DWORD guarded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((dstAttrs & guarded) & ~srcAttrs) return Fail(ERROR_ACCESS_DENIED);
  }
  plat::FileFacts facts = FactsOf(s);
  bool existed = d.exists;
  std::error_code ec;
  fs::copy_file(s.host, d.host, fs::copy_options::overwrite_existing, ec);
  if (ec) return Fail(ERROR_ACCESS_DENIED);
  // The copy keeps the last write time; it is a new file, made now.
  SetHostTimes(d.host, nullptr, &facts.lastWrite);
  if (!existed) NoteCreated(to, false);
  Resolved copy = Resolve(to);
  if (copy.exists) {
    DriveMetaStore& store = Store(copy.full.drive);
    EntryMeta initial;
    initial.creation = Now();
    store.At(copy.rel, initial).attributes =
        (srcAttrs & kSettableAttributes) | FILE_ATTRIBUTE_ARCHIVE;
    store.Save();
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Opening, reading, writing

bool SimFileSystem::OpenForRead(const char* path) {
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) return Fail(r.MissingError());
  if (r.isDir) return Fail(ERROR_ACCESS_DENIED);
  std::ifstream in(r.host, std::ios::binary);
  if (!in) return Fail(ERROR_ACCESS_DENIED);
  return true;
}

bool SimFileSystem::OpenFileExists(const char* path) {
  // OpenFile keeps the path in OFSTRUCT.szPathName (128 characters with the zero).
  constexpr size_t kOfsMaxPathName = 128;
  std::string given = path ? path : "";
  std::vector<std::string> candidates;
  if (!given.empty() && given.find_first_of("\\/:") == std::string::npos) {
    // A bare name is searched for: the program's folder, the current folder, the System
    // folder, the 16-bit system folder, the Windows folder, then the PATH.
    const std::string& module = system_.moduleFileName;
    size_t slash = module.rfind('\\');
    if (slash != std::string::npos) candidates.push_back(module.substr(0, slash) + "\\" + given);
    candidates.push_back(CurrentFolder() + "\\" + given);
    candidates.push_back(system_.systemFolder + "\\" + given);
    candidates.push_back(system_.windowsFolder + "\\system\\" + given);
    candidates.push_back(system_.windowsFolder + "\\" + given);
    char buf[4096] = {};
    if (system_.GetEnvironmentVariableA("PATH", buf, sizeof buf) > 0) {
      std::istringstream in{std::string(buf)};
      std::string folder;
      while (std::getline(in, folder, ';'))
        if (!folder.empty()) candidates.push_back(folder + "\\" + given);
    }
  } else {
    candidates.push_back(given);
  }
  DWORD error = ERROR_FILE_NOT_FOUND;
  for (const std::string& c : candidates) {
    Resolved r = Resolve(c);
    if (r.parseError == ERROR_FILENAME_EXCED_RANGE ||
        (r.parseError == 0 && r.full.Text().size() >= kOfsMaxPathName)) {
      if (candidates.size() == 1) return Fail(ERROR_INVALID_DATA);
      continue;
    }
    // OpenFile searches for the name: whatever is not found answers "not found", a name
    // Windows refuses too.
    if (!r.exists) continue;
    if (r.isDir) {
      error = ERROR_ACCESS_DENIED;
      if (candidates.size() == 1) break;
      continue;
    }
    return true;
  }
  return Fail(error);
}

bool SimFileSystem::ReadFileBytes(const char* path, std::string* bytes, DWORD limit) {
  if (Failing("ReadFileBytes")) return false;
  return ReadHostBytes(path, bytes, limit, false);
}

bool SimFileSystem::ReadFileTail(const char* path, std::string* bytes, DWORD limit) {
  if (Failing("ReadFileTail")) return false;
  return ReadHostBytes(path, bytes, limit, true);
}

bool SimFileSystem::ReadHostBytes(const char* path, std::string* bytes, DWORD limit, bool tail) {
  if (!bytes) return Fail(ERROR_INVALID_PARAMETER);
  bytes->clear();
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) return Fail(r.MissingError());
  if (r.isDir) return Fail(ERROR_ACCESS_DENIED);
  std::ifstream in(r.host, std::ios::binary);
  if (!in) return Fail(ERROR_ACCESS_DENIED);
  uint64_t size = StatHost(r.host).size;
  uint64_t want = std::min<uint64_t>(limit, size);
  if (tail) in.seekg(static_cast<std::streamoff>(size - want));
  bytes->resize(static_cast<size_t>(want));
  in.read(bytes->data(), static_cast<std::streamsize>(want));
  bytes->resize(static_cast<size_t>(in.gcount()));
  return true;
}

bool SimFileSystem::WriteHost(const std::string& windowsPath, const std::string& bytes,
                              bool append, bool checkAttributes) {
  Resolved r = Resolve(windowsPath);
  if (!r.ok()) return Fail(r.MissingError());
  if (r.fileWithSeparator) return Fail(ERROR_INVALID_NAME);
  if (r.isRoot()) return Fail(ERROR_ACCESS_DENIED);
  if (r.exists) {
    if (r.isDir) return Fail(ERROR_ACCESS_DENIED);
    if (checkAttributes) {
      DWORD attrs = AttributesOf(r);
      if (attrs & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
      // CREATE_ALWAYS with FILE_ATTRIBUTE_NORMAL refuses a hidden or system file.
      if (!append && (attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        return Fail(ERROR_ACCESS_DENIED);
    }
  } else if (r.notFolder || r.hostNames.size() + 1 != r.full.names.size()) {
    return Fail(ERROR_PATH_NOT_FOUND);
  }
  bool existed = r.exists;
  {
    std::ofstream out(r.host, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (!out) return Fail(ERROR_ACCESS_DENIED);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) return Fail(ERROR_ACCESS_DENIED);
  }
  if (!existed) {
    NoteCreated(windowsPath, false);
  } else {
    NoteWritten(r);
  }
  return true;
}

bool SimFileSystem::WriteFileBytes(const char* path, const std::string& bytes) {
  if (Failing("WriteFileBytes")) return false;
  return WriteHost(path ? path : "", bytes, false, true);
}

bool SimFileSystem::AppendFileBytes(const char* path, const std::string& bytes) {
  if (Failing("AppendFileBytes")) return false;
  return WriteHost(path ? path : "", bytes, true, true);
}

// ---------------------------------------------------------------------------------------
// Short and long names

DWORD SimFileSystem::ConvertPath(const char* in, char* out, DWORD size, bool toShort) {
  if (!in) {
    Fail(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string path = in;
  if (path.empty()) {
    Fail(kErrorBadPathname);
    return 0;
  }
  Resolved whole = Resolve(path);
  if (!whole.ok()) {
    Fail(whole.MissingError());
    return 0;
  }
  // Each name is converted where it stands; separators, "." and ".." stay as given.
  auto isSep = [](char c) { return c == '\\' || c == '/'; };
  std::string result, sofar;
  size_t i = 0;
  if (path.size() >= 2 && path[1] == ':') {
    result = sofar = path.substr(0, 2);
    i = 2;
  }
  bool anyName = false;
  while (i < path.size()) {
    if (isSep(path[i])) {
      result += path[i];
      sofar += path[i];
      ++i;
      continue;
    }
    size_t end = i;
    while (end < path.size() && !isSep(path[end])) ++end;
    std::string token = path.substr(i, end - i);
    sofar += token;
    i = end;
    if (token == "." || token == "..") {
      result += token;
      continue;
    }
    anyName = true;
    Resolved r = Resolve(sofar, false, &whole.full.names);
    if (!r.exists) {
      Fail(r.parseError ? r.parseError : ERROR_FILE_NOT_FOUND);
      return 0;
    }
    if (r.isRoot()) {  // a name such as "..." that normalises away
      result += token;
      continue;
    }
    const std::string& hostName = r.hostNames.back();
    if (r.how.back() == Resolved::How::Redirected) {
      result += token;
    } else if (toShort) {
      std::string s = ShortNameOf(r.full.drive, r.rel, hostName);
      if (s.empty()) {
        size_t slash = r.rel.rfind('/');
        EnsureShortNames(r.full.drive, fs::path(r.host).parent_path().string(),
                         slash == std::string::npos ? std::string() : r.rel.substr(0, slash),
                         r.canonicalRoot);
        s = ShortNameOf(r.full.drive, r.rel, hostName);
      }
      result += s.empty() ? hostName : s;
    } else {
      // A name that looks like a short name is looked up; a long one stays as given.
      result += filenames::IsShortName(token) ? hostName : token;
    }
  }
  if (!anyName && !whole.exists) {
    Fail(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (!out || size <= result.size()) return static_cast<DWORD>(result.size() + 1);
  std::copy(result.begin(), result.end(), out);
  out[result.size()] = '\0';
  return static_cast<DWORD>(result.size());
}

DWORD SimFileSystem::GetShortPathNameA(const char* longPath, char* out, DWORD size) {
  return ConvertPath(longPath, out, size, true);
}

DWORD SimFileSystem::GetLongPathNameA(const char* shortPath, char* out, DWORD size) {
  return ConvertPath(shortPath, out, size, false);
}

// ---------------------------------------------------------------------------------------
// Facts and times

bool SimFileSystem::GetFileFacts(const char* path, plat::FileFacts* out) {
  if (!out) return Fail(ERROR_INVALID_PARAMETER);
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) return Fail(r.fileWithSeparator ? ERROR_PATH_NOT_FOUND : r.MissingError());
  *out = FactsOf(r);
  return true;
}

bool SimFileSystem::SetFileTimes(const char* path, const uint64_t* creation,
                                 const uint64_t* lastAccess, const uint64_t* lastWrite) {
  Resolved r = Resolve(path ? path : "");
  if (!r.exists) return Fail(r.MissingError());
  for (const uint64_t* t : {creation, lastAccess, lastWrite})
    if (t && *t >= 0x8000000000000000ull) return Fail(ERROR_INVALID_PARAMETER);
  if ((lastAccess || lastWrite) && !SetHostTimes(r.host, lastAccess, lastWrite))
    return Fail(ERROR_ACCESS_DENIED);
  if (creation && !r.isRoot()) {
    DriveMetaStore& store = Store(r.full.drive);
    EntryMeta initial;
    initial.attributes = AttributesOf(r) & kSettableAttributes;
    store.At(r.rel, initial).creation = *creation;
    store.Save();
  }
  return true;
}

bool SimFileSystem::FileTimeToLocalSystemTime(uint64_t fileTime, plat::SystemTime* out) {
  constexpr uint64_t kLimit = 0x8000000000000000ull;
  if (!out || fileTime >= kLimit) return Fail(ERROR_INVALID_PARAMETER);
  int64_t local = static_cast<int64_t>(fileTime) -
                  static_cast<int64_t>(timeZoneBias_) * 60 * static_cast<int64_t>(kTicksPerSecond);
  if (local < 0) return Fail(ERROR_INVALID_PARAMETER);
  uint64_t t = static_cast<uint64_t>(local);
  uint64_t ms = (t / 10000) % 1000;
  uint64_t secs = t / kTicksPerSecond;
  int64_t days = static_cast<int64_t>(secs / 86400);
  uint64_t rem = secs % 86400;
  // 1601-01-01 was a Monday. The calendar date comes from the day count in 400-year eras
  // that start on 1 March, so that leap days fall at the end of each year.
  int dayOfWeek = static_cast<int>((days + 1) % 7);
  int64_t z = days - 134774 + 719468;  // days since 0000-03-01
  int64_t era = z / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  out->year = static_cast<WORD>(y);
  out->month = static_cast<WORD>(m);
  out->day = static_cast<WORD>(d);
  out->dayOfWeek = static_cast<WORD>(dayOfWeek);
  out->hour = static_cast<WORD>(rem / 3600);
  out->minute = static_cast<WORD>(rem / 60 % 60);
  out->second = static_cast<WORD>(rem % 60);
  out->milliseconds = static_cast<WORD>(ms);
  return true;
}

// ---------------------------------------------------------------------------------------
// Special folders, error mode, redirection

bool SimFileSystem::SHGetSpecialFolderPathA(int csidl, char* out) {
  if (!out) return false;
  out[0] = '\0';
  std::string folder = SpecialFolder(csidl);
  if (folder.empty()) return false;
  Resolved r = Resolve(folder);
  if (!r.exists || !r.isDir) return false;
  CopyOut(folder, out, MAX_PATH);
  return true;
}

UINT SimFileSystem::SetErrorMode(UINT mode) {
  UINT old = errorMode_;
  errorMode_ = mode;
  return old;
}

bool SimFileSystem::Wow64DisableWow64FsRedirection(void** oldValue) {
  // Only a 32-bit program on a 64-bit Windows has redirection to switch off; elsewhere the
  // call fails as Windows answers it.
  if (!windows64_ || process64_) return Fail(ERROR_INVALID_FUNCTION);
  if (oldValue) *oldValue = reinterpret_cast<void*>(static_cast<uintptr_t>(redirectionOff_));
  redirectionOff_ = true;
  return true;
}

bool SimFileSystem::Wow64RevertWow64FsRedirection(void* oldValue) {
  if (!windows64_ || process64_) return Fail(ERROR_INVALID_FUNCTION);
  redirectionOff_ = reinterpret_cast<uintptr_t>(oldValue) != 0;
  return true;
}

// ---------------------------------------------------------------------------------------
// Folder walks

bool SimFileSystem::ListFolder(const char* folder, const char* pattern,
                               void (*cb)(void* ctx, const char* name,
                                          const plat::FileFacts& facts),
                               void* ctx) {
  Resolved r = Resolve(folder ? folder : "");
  if (!r.ok()) return Fail(r.MissingError());
  if (!r.exists) return Fail(r.fileWithSeparator ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND);
  if (!r.isDir) return Fail(ERROR_INVALID_NAME);
  std::string p = pattern && *pattern ? pattern : "*";
  EnsureShortNames(r.full.drive, r.host, r.rel, r.canonicalRoot);
  std::vector<HostEntry> entries = ListHost(r.host, r.canonicalRoot);
  // In the order NTFS keeps a folder: by upper-cased name.
  std::stable_sort(entries.begin(), entries.end(), [](const HostEntry& a, const HostEntry& b) {
    return Upper(a.name) < Upper(b.name);
  });
  std::vector<std::pair<std::string, plat::FileFacts>> matched;
  for (const HostEntry& e : entries) {
    std::string rel = JoinRel(r.rel, e.name);
    std::string shortName = ShortNameOf(r.full.drive, rel, e.name);
    if (!filenames::MatchesPattern(e.name, p) &&
        (shortName.empty() || shortName == e.name || !filenames::MatchesPattern(shortName, p)))
      continue;
    Resolved entry = r;
    entry.full.names.push_back(e.name);
    entry.hostNames.push_back(e.name);
    entry.host = (fs::path(r.host) / e.name).string();
    entry.rel = rel;
    entry.isDir = e.isDir;
    entry.exists = true;
    matched.emplace_back(e.name, FactsOf(entry));
  }
  // Called after the walk, so a callback may change the folder.
  for (const auto& [name, facts] : matched) cb(ctx, name.c_str(), facts);
  return true;
}

}  // namespace sim

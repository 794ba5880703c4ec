// The simulated file system: each drive letter is a host folder (<hostRoot>/C, <hostRoot>/D
// ...). Windows paths are normalised as Windows does it and resolve without regard to case,
// by long or by short (8.3) name; nothing resolves outside the host folder of its drive (a
// host symbolic link leading out of it, or dangling, is neither followed nor listed).
// Attributes, creation times and short names are kept beside the drives (see
// sim_files_meta.h); access and write times are the host file's. On a 64-bit Windows a
// 32-bit program sees <Windows>\System32 redirected to SysWOW64, as Windows shows it.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace sim {

class SimSystem;
class DriveMetaStore;

class SimFileSystem : public plat::IFileSystem {
 public:
  SimFileSystem(SimSystem& system, const std::string& hostRoot);
  ~SimFileSystem() override;
  SimFileSystem(const SimFileSystem&) = delete;
  SimFileSystem& operator=(const SimFileSystem&) = delete;

  // --- The machine's set-up.
  // The kind of Windows and program (as sim::MachineConfig has them); a 32-bit program on a
  // 64-bit Windows sees System32 redirected. Off until set.
  void SetWindows64(bool windows64, bool process64);
  // Where MOVEFILE_DELAY_UNTIL_REBOOT records the pending operations (as Windows does, in
  // HKLM\SYSTEM\CurrentControlSet\Control\Session Manager, PendingFileRenameOperations).
  // Without a registry they are kept by the file system itself.
  void SetRegistry(plat::IRegistry* registry);
  // A drive more; true when it exists afterwards.
  bool AddDrive(char letter);
  // Makes every folder SHGetSpecialFolderPathA names (with redirection off).
  void CreateSpecialFolders();
  // Replaces the folder one identifier names.
  void SetSpecialFolder(int csidl, const std::string& windowsPath);
  // The folder relative paths start from; the program's own folder until set.
  void SetCurrentFolder(const std::string& windowsPath);
  // The local time zone for FileTimeToLocalSystemTime: UTC = local time + bias (minutes),
  // as Windows counts it; 0 until set.
  void SetTimeZoneBias(long minutes) { timeZoneBias_ = minutes; }

  // --- Test and fixture helpers. They see the disk as it is, without WOW64 redirection.
  // The host path of a Windows path, resolving each component to an existing entry of any
  // case or by its short name; names that do not exist are appended as given. The empty
  // text for a path Windows refuses, an unknown drive or a way out of the drive.
  std::string HostPath(const std::string& windowsPath) const;
  // The same as the running program sees it: a 32-bit program on a 64-bit Windows has
  // System32 redirected unless it switched redirection off. For the other parts of the
  // simulated machine that open files on the program's behalf.
  std::string ProgramHostPath(const std::string& windowsPath) const;
  // Writes a whole file, creating its folders, whatever its attributes.
  bool WriteFileText(const std::string& windowsPath, const std::string& text);
  // The whole content, or the empty text when the file cannot be read.
  std::string ReadFileText(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;
  // The operations MOVEFILE_DELAY_UNTIL_REBOOT recorded, in order, as Windows keeps them:
  // ("\??\C:\old", "") for a deletion, ("\??\C:\old", "\??\C:\new") for a rename and
  // ("\??\C:\old", "!\??\C:\new") for a rename that replaces.
  std::vector<std::pair<std::string, std::string>> PendingFileOperations() const;
  // Whether redirection is switched off now, and the error mode.
  bool redirectionOff() const { return redirectionOff_; }
  UINT errorMode() const { return errorMode_; }

  // Makes the next `count` calls named `call` fail with `error` (as the last error), after
  // `skip` successful ones; a negative count fails every call from then on. The calls are
  // the file functions that change or read files ("MoveFileExA", "DeleteFileA",
  // "CopyFileA", "CreateDirectoryA", "RemoveDirectoryA", "SetFileAttributesA",
  // "GetFileAttributesA", "ReadFileBytes", "WriteFileBytes", "AppendFileBytes") and the
  // profile write of the machine ("WritePrivateProfileStringA", which WriteProfileStringA
  // goes through). Used to prove that an operation loses nothing when a call fails.
  void FailCall(const std::string& call, DWORD error, int skip = 0, int count = 1);
  void ClearFailures();
  // True while a failure planned for the call has not happened yet.
  bool FailurePending(const std::string& call) const { return failures_.count(call) > 0; }
  // True when the named call is to fail now (the last error is then set); for the other
  // parts of the machine that write files on the program's behalf.
  bool Failing(const char* call);

  // --- plat::IFileSystem
  DWORD GetFileAttributesA(const char* path) override;
  BOOL SetFileAttributesA(const char* path, DWORD attributes) override;
  BOOL CreateDirectoryA(const char* path) override;
  BOOL RemoveDirectoryA(const char* path) override;
  BOOL DeleteFileA(const char* path) override;
  BOOL MoveFileExA(const char* from, const char* to, DWORD flags) override;
  BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) override;
  bool OpenForRead(const char* path) override;
  bool OpenFileExists(const char* path) override;
  bool ReadFileBytes(const char* path, std::string* bytes, DWORD limit) override;
  bool ReadFileTail(const char* path, std::string* bytes, DWORD limit) override;
  bool WriteFileBytes(const char* path, const std::string& bytes) override;
  bool AppendFileBytes(const char* path, const std::string& bytes) override;
  DWORD GetShortPathNameA(const char* longPath, char* out, DWORD size) override;
  DWORD GetLongPathNameA(const char* shortPath, char* out, DWORD size) override;
  bool GetFileFacts(const char* path, plat::FileFacts* out) override;
  bool SetFileTimes(const char* path, const uint64_t* creation, const uint64_t* lastAccess,
                    const uint64_t* lastWrite) override;
  bool FileTimeToLocalSystemTime(uint64_t fileTime, plat::SystemTime* out) override;
  bool SHGetSpecialFolderPathA(int csidl, char* out) override;
  UINT SetErrorMode(UINT mode) override;
  bool Wow64DisableWow64FsRedirection(void** oldValue) override;
  bool Wow64RevertWow64FsRedirection(void* oldValue) override;
  bool ListFolder(const char* folder, const char* pattern,
                  void (*cb)(void* ctx, const char* name, const plat::FileFacts& facts),
                  void* ctx) override;

  struct Resolved;

 private:
  bool ReadHostBytes(const char* path, std::string* bytes, DWORD limit, bool tail);
  struct HostEntry;

  // onDisk: without WOW64 redirection. redirectContext: the whole path when a part of it is
  // resolved, so that the folders Windows keeps shared are told apart.
  Resolved Resolve(const std::string& windowsPath, bool onDisk = false,
                   const std::vector<std::string>* redirectContext = nullptr) const;
  std::vector<HostEntry> ListHost(const std::string& hostFolder,
                                  const std::string& canonicalRoot) const;
  DriveMetaStore& Store(char drive) const;
  void EnsureShortNames(char drive, const std::string& hostFolder, const std::string& folderRel,
                        const std::string& canonicalRoot) const;
  std::string ShortNameOf(char drive, const std::string& rel, const std::string& name) const;
  DWORD AttributesOf(const Resolved& r) const;
  plat::FileFacts FactsOf(const Resolved& r) const;
  // Records a file or folder the machine has just made.
  void NoteCreated(const std::string& windowsPath, bool folder);
  // Marks a file as changed (the archive bit Windows sets on every write).
  void NoteWritten(const Resolved& r);
  bool WriteHost(const std::string& windowsPath, const std::string& bytes, bool append,
                 bool checkAttributes);
  DWORD ConvertPath(const char* in, char* out, DWORD size, bool toShort);
  bool RecordPending(const std::string& from, const std::string& to);
  std::string CurrentFolder() const;
  std::string SpecialFolder(int csidl) const;
  bool Fail(DWORD error);

  SimSystem& system_;
  std::string hostRoot_;
  mutable std::map<char, std::unique_ptr<DriveMetaStore>> stores_;
  plat::IRegistry* registry_ = nullptr;
  std::vector<std::pair<std::string, std::string>> pending_;  // without a registry
  std::map<int, std::string> specialFolders_;                // set by tests
  std::string currentFolder_;
  bool windows64_ = false, process64_ = true;
  bool redirectionOff_ = false;
  UINT errorMode_ = 0;
  long timeZoneBias_ = 0;
  struct Failure {
    DWORD error;
    int skip;
    int count;
  };
  std::map<std::string, Failure> failures_;
};

}  // namespace sim

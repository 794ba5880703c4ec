// Shell links on the simulated machine: real .lnk files on the simulated drives. Loading
// checks the file's layout as the shell reads it (the header, the item list, the location
// block and the texts must all be there) and reads it with liblnk; saving writes a new link
// in the shell's binary format (header, location block with the local path, Unicode texts).
// Resolving never searches: a target that does not exist stays as the link names it.
#pragma once
#include <map>
#include <string>

#include "platform/links.h"

namespace sim {

class SimFileSystem;
class SimSystem;

class SimLinks : public plat::ILinks {
 public:
  SimLinks(SimFileSystem& files, SimSystem& system);

  // --- Test helpers.
  // What Resolve answers for the shortcut at lnkPath from now on (S_OK until set). Windows
  // answers S_FALSE when its search for a moved target runs out of time.
  void SetResolveResult(const std::string& lnkPath, HRESULT result);

  // --- plat::ILinks
  bool Load(const char* lnkPath, plat::ShellLink* out, bool resolve, DWORD timeoutMs) override;
  bool Save(const char* lnkPath, const plat::ShellLink& link) override;

 private:
  bool Fail(DWORD error);

  SimFileSystem& files_;
  SimSystem& system_;
  std::map<std::string, HRESULT> resolveResults_;  // by upper-cased host path
};

}  // namespace sim

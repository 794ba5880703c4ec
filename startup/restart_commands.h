// Files that cannot be removed while Windows runs are deleted at the next restart: through
// the system's pending file operations on the NT family, through a "NUL=" line in the
// [rename] section of wininit.ini elsewhere.
#pragma once
#include <string>

namespace startup {

// 1 when the deletion was scheduled (or the line written), 0 when it could not be.
int DeleteFileOnRestart(const std::string& file);

}  // namespace startup

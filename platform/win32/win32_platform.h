// The real Win32 calls behind the platform interfaces.
#pragma once
#include "platform/platform.h"

namespace win32 {
// The process's one set of real services (created on first use).
const plat::Platform& RealPlatform();
}  // namespace win32

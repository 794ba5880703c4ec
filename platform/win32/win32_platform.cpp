#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_services.h"

namespace win32 {

const plat::Platform& RealPlatform() {
  static const plat::Platform p{&Registry(), &Profile(), &Files(),  &System(),
                                &Launcher(), &Version(), &Links(), &Processes()};
  return p;
}

}  // namespace win32

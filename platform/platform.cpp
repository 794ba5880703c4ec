#include "platform/platform.h"

#include <cstdlib>
#include <cstdio>

namespace plat {

namespace {
Platform g_platform;
bool g_installed = false;
}  // namespace

void Install(const Platform* p) {
  if (p) {
    g_platform = *p;
    g_installed = true;
  } else {
    g_platform = Platform{};
    g_installed = false;
  }
}

const Platform& Current() {
  if (!g_installed) {
    std::fputs("platform services used before they were installed\n", stderr);
    std::abort();
  }
  return g_platform;
}

const char* RootShortName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  if (root == HKEY_USERS) return "HKU";
  if (root == HKEY_CURRENT_CONFIG) return "HKCC";
  return nullptr;
}

}  // namespace plat

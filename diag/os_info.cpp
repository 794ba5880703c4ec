#include "diag/os_info.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/registry_access.h"

namespace diag {

namespace {

constexpr int kSmTabletPc = 86;

bool QueryVersion(plat::OsVersion* v) {
  return plat::Sys().GetVersionExA(*v, true) || plat::Sys().GetVersionExA(*v, false);
}

std::string NtName(const plat::OsVersion& v) {
  // Each rule that applies replaces the name an earlier rule chose.
  std::string name;
  if (v.major == 5 && v.minor == 2) name = "Windows Server 2003 family, ";
  if (v.major == 5 && v.minor == 1) name = "Windows XP ";
  if (v.major <= 4) name = "Windows NT ";
  if (v.major == 5 && v.minor == 0) name = "Windows 2000 ";
  if (v.major == 6) name = "Windows Vista ";
  if (v.major == 6 && v.minor == 1) name = "Windows 7 ";
  if (v.major == 6 && v.minor == 2) name = "Windows 8 ";
  if (v.major == 6 && v.minor == 3) name = "Windows 8.1 ";
  return name;
}

std::string Edition(const plat::OsVersion& v) {
  bool enterprise = v.suiteMask & VER_SUITE_ENTERPRISE;
  bool datacenter = v.suiteMask & VER_SUITE_DATACENTER;
  if (v.productType == VER_NT_WORKSTATION) {
    if (v.major == 4) return "Workstation 4.0 ";
    return (v.suiteMask & VER_SUITE_PERSONAL) ? "Home Edition " : "";
  }
  if (v.productType != VER_NT_SERVER && v.productType != VER_NT_DOMAIN_CONTROLLER) return "";
  if (v.major == 5 && v.minor == 2) {
    if (datacenter) return "Datacenter Edition ";
    if (enterprise) return "Enterprise Edition ";
    if (v.suiteMask & VER_SUITE_BLADE) return "Web Edition ";
    return "Standard Edition ";
  }
  if (v.major == 5 && v.minor == 0) {
    if (datacenter) return "Datacenter Server ";
    if (enterprise) return "Advanced Server ";
    return "Server ";
  }
  return enterprise ? "Server 4.0, Enterprise Edition " : "Server 4.0 ";
}

}  // namespace

std::string WindowsVersionText() {
  plat::OsVersion v;
  if (!QueryVersion(&v)) return {};
  std::string text;
  switch (v.platformId) {
    case VER_PLATFORM_WIN32s:
      return "Microsoft Win32s";
    case VER_PLATFORM_WIN32_WINDOWS: {
      char letter = v.csdVersion[0] ? v.csdVersion[1] : '\0';
      if (v.major == 4 && v.minor == 0)
        return std::string("Microsoft Windows 95 ") + (letter == 'B' || letter == 'C' ? "OSR2 " : "");
      if (v.major == 4 && v.minor == 10)
        return std::string("Microsoft Windows 98 ") + (letter == 'A' ? "SE " : "");
      if (v.major == 4 && v.minor == 90) return "Microsoft Windows Millennium Edition";
      return {};
    }
    case VER_PLATFORM_WIN32_NT:
      break;
    default:
      return {};
  }
  text = NtName(v);
  if (v.extended && v.servicePackMajor >= 1 && v.servicePackMajor <= 3)
    text += "SP" + std::to_string(v.servicePackMajor) + " ";
  else
    text += " ";
  if (plat::Sys().GetSystemMetrics(kSmTabletPc)) text += "Tablet PC Edition ";
  if (v.extended) {
    text += Edition(v);
  } else {
    char productType[257] = {};
    if (reg::GetRegStringValue("SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType",
                               productType, 256, HKEY_LOCAL_MACHINE) <= 0)
      return {};
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%lu.%lu ", static_cast<unsigned long>(v.major),
                  static_cast<unsigned long>(v.minor));
    text += numbers;
  }
  return text;
}

int GetWindowsVersionText(char* out) {
  std::string t = WindowsVersionText();
  if (t.size() > 511) t.resize(511);
  std::memcpy(out, t.c_str(), t.size() + 1);
  return static_cast<int>(t.size());
}

bool IsNTPlatform() {
  plat::OsVersion v;
  return QueryVersion(&v) && v.platformId == VER_PLATFORM_WIN32_NT;
}

bool IsVistaOrLater() {
  plat::OsVersion v;
  return QueryVersion(&v) && v.major > 5;
}

bool IsWow64() { return plat::Sys().IsWow64Process(); }

bool HasNewCommonControls() {
  DWORD major = 0, minor = 0;
  if (!plat::Sys().GetCommonControlsVersion(&major, &minor)) return false;
  return major > 4 || (major == 4 && minor > 70);
}

}  // namespace diag

#include "app/window_geometry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "platform/platform.h"
#include "platform/registry_access.h"
#include "settings/options.h"

namespace app {

namespace {

constexpr int kSmCxScreen = 0;
constexpr int kSmCyScreen = 1;
constexpr int kSmCxBorder = 5;
constexpr int kSmCyBorder = 6;
constexpr int kSmXVirtualScreen = 76;
constexpr int kSmYVirtualScreen = 77;
constexpr int kSmCxVirtualScreen = 78;
constexpr int kSmCyVirtualScreen = 79;

constexpr const char* kStartTab = "StartTab";

// A saved value: atoi of its text, nothing when it is missing or empty.
std::optional<int> ReadValue(const char* name) {
  std::string text = reg::GetRegString(HKEY_CURRENT_USER, settings::kProgramKey, name);
  if (text.empty()) return std::nullopt;
  return std::atoi(text.c_str());
}

void WriteValue(const char* name, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  reg::SetRegStringValue(settings::kProgramKey, HKEY_CURRENT_USER, name, text);
}

const int* Ptr(const std::optional<int>& v) { return v ? &*v : nullptr; }

// A saved size that can be used: present and above 0.
bool UsableSize(const int* v) { return v && *v > 0; }

// A left or top edge that lies outside [origin, origin + extent) is replaced by `fallback`. A
// negative edge is corrected only when it lies left of (or above) every monitor, so a window
// on a monitor left of the primary one stays where it was.
int OnScreen(int edge, int origin, int extent, int fallback) {
  return edge < origin || edge >= origin + extent ? fallback : edge;
}

// Centred horizontally on the primary screen with the top at one third of the free vertical
// space; never left of or above the screen when the window is larger than it.
WindowRect Centred(int width, int height, const ScreenFacts& s) {
  return {std::max(0, (s.screenWidth - width) / 2), std::max(0, (s.screenHeight - height) / 3),
          width, height};
}

}  // namespace

ScreenFacts ReadScreenFacts() {
  plat::ISystem& sys = plat::Sys();
  ScreenFacts s;
  s.screenWidth = sys.GetSystemMetrics(kSmCxScreen);
  s.screenHeight = sys.GetSystemMetrics(kSmCyScreen);
  s.virtualLeft = sys.GetSystemMetrics(kSmXVirtualScreen);
  s.virtualTop = sys.GetSystemMetrics(kSmYVirtualScreen);
  s.virtualWidth = sys.GetSystemMetrics(kSmCxVirtualScreen);
  s.virtualHeight = sys.GetSystemMetrics(kSmCyVirtualScreen);
  s.borderWidth = sys.GetSystemMetrics(kSmCxBorder);
  s.borderHeight = sys.GetSystemMetrics(kSmCyBorder);
  if (s.virtualWidth <= 0 || s.virtualHeight <= 0) {
    // Windows 95 and NT 4.0 know no virtual screen: the primary screen is all there is.
    s.virtualLeft = s.virtualTop = 0;
    s.virtualWidth = s.screenWidth;
    s.virtualHeight = s.screenHeight;
  }
  int left = 0, top = 0, right = 0, bottom = 0;
  if (sys.GetWorkArea(&left, &top, &right, &bottom) && right > left && bottom > top) {
    s.workLeft = left;
    s.workTop = top;
    s.workWidth = right - left;
    s.workHeight = bottom - top;
  } else {
    s.workLeft = s.workTop = 0;
    s.workWidth = s.screenWidth;
    s.workHeight = s.screenHeight;
  }
  return s;
}

Placement PlaceSheet(const int* x, const int* y, const int* dx, const int* dy, int width,
                     int height, bool ntPlatform, const ScreenFacts& s) {
  bool havePosition = x && y;
  if (!ntPlatform) {
    // Only moved, never sized.
    if (!havePosition) return {Centred(width, height, s), false};
    return {{OnScreen(*x, s.virtualLeft, s.virtualWidth, s.virtualLeft),
             OnScreen(*y, s.virtualTop, s.virtualHeight, s.virtualTop), width, height},
            false};
  }
  // The work area's extent reaching from the virtual origin, inside the borders. The work
  // area's own origin is added so that a taskbar along the top or left edge does not cover
  // the caption.
  int fillWidth = std::max(0, s.workWidth - 2 * s.borderWidth - s.virtualLeft);
  int fillHeight = std::max(0, s.workHeight - 2 * s.borderHeight - s.virtualTop);
  if (!UsableSize(dx))
    return {{s.virtualLeft + s.workLeft + 1, s.virtualTop + s.workTop + 1, fillWidth,
             fillHeight}};

  WindowRect r;
  bool tooWide = *dx > s.virtualWidth;
  bool tooTall = !UsableSize(dy) || *dy > s.workHeight;
  // Every monitor side by side, inside the borders.
  r.width = tooWide ? std::max(0, s.virtualWidth - 2 * s.borderWidth) : *dx;
  r.height = tooTall ? fillHeight : *dy;
  if (havePosition) {
    r.left = OnScreen(*x, s.virtualLeft, s.virtualWidth, s.virtualLeft);
    r.top = OnScreen(*y, s.virtualTop, s.virtualHeight, s.virtualTop);
  } else {
    WindowRect c = Centred(r.width, r.height, s);
    r.left = c.left;
    r.top = c.top;
  }
  if (tooWide) r.left = s.virtualLeft;
  if (tooTall) r.top = s.virtualTop + s.workTop;
  return {r};
}

Placement PlaceSecondaryWindow(const int* x, const int* y, const int* dx, const int* dy,
                               int width, int height, const ScreenFacts& s) {
  if (!x || !y) return {Centred(width, height, s), false};
  return {{OnScreen(*x, s.virtualLeft, s.virtualWidth, 0),
           OnScreen(*y, s.virtualTop, s.virtualHeight, 0), UsableSize(dx) ? *dx : width,
           UsableSize(dy) ? *dy : height}};
}

void SaveWindowGeometry(const GeometryNames& names, const WindowRect& window) {
  WriteValue(names.x, window.left);
  WriteValue(names.y, window.top);
  WriteValue(names.dx, window.width);
  WriteValue(names.dy, window.height);
  if (names.sheet) settings::SetOption(kStartTab, State().currentTab);
}

Placement RestoreWindowGeometry(const GeometryNames& names, int width, int height) {
  if (names.sheet) settings::SetOption(kStartTab, State().currentTab);
  std::optional<int> x = ReadValue(names.x), y = ReadValue(names.y), dx = ReadValue(names.dx),
                     dy = ReadValue(names.dy);
  ScreenFacts screen = ReadScreenFacts();
  if (!names.sheet)
    return PlaceSecondaryWindow(Ptr(x), Ptr(y), Ptr(dx), Ptr(dy), width, height, screen);
  plat::OsVersion v;
  bool nt = plat::Sys().GetVersionExA(v, false) && v.platformId == VER_PLATFORM_WIN32_NT;
  return PlaceSheet(Ptr(x), Ptr(y), Ptr(dx), Ptr(dy), width, height, nt, screen);
}

}  // namespace app

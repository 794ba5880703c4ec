// The saved position and size of the tab window (the sheet) and of the secondary windows: four
// REG_SZ decimal values per window in HKCU\Software\Orvendel Studios\Tallowick, and the rules
// that bring a saved rectangle back onto the screens of this machine. The functions only say
// where a window goes; moving it is the window code's business.
#pragma once

namespace app {

// A window rectangle in screen pixels: left, top, width and height.
struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
};

// The names of one window's four values. The sheet's set also keeps StartTab.
struct GeometryNames {
  const char* x;
  const char* y;
  const char* dx;
  const char* dy;
  bool sheet = false;
};

inline constexpr GeometryNames kSheetGeometry{"xPos", "yPos", "dxPos", "dyPos", true};
inline constexpr GeometryNames kInfoGeometry{"xInfo", "yInfo", "dxInfo", "dyInfo"};
inline constexpr GeometryNames kCookieGeometry{"xCookie", "yCookie", "dxCookie", "dyCookie"};
inline constexpr GeometryNames kDefaultWarningGeometry{"xDefaultWarning", "yDefaultWarning",
                                                       "dxDefaultWarning", "dyDefaultWarning"};
inline constexpr GeometryNames kAddFileTypeGeometry{"xPosAddFileType", "yPosAddFileType",
                                                    "dxPosAddFileType", "dyPosAddFileType"};
inline constexpr GeometryNames kHistoryGeometry{"xHistory", "yHistory", "dxHistory", "dyHistory"};

// Where a restored window goes. resize is false when the window is only moved and keeps its
// size (the sheet on the Windows 9x family).
struct Placement {
  WindowRect rect;
  bool resize = true;
};

// The screen facts the rules use, read from the running Windows.
struct ScreenFacts {
  int screenWidth = 0, screenHeight = 0;              // primary screen
  int virtualLeft = 0, virtualTop = 0;                // bounding rectangle of all monitors
  int virtualWidth = 0, virtualHeight = 0;
  int workLeft = 0, workTop = 0, workWidth = 0, workHeight = 0;  // desktop work area
  int borderWidth = 0, borderHeight = 0;
};
// Reads them; a Windows without the virtual-screen metrics (they answer 0) or without a work
// area gets the primary screen for both.
ScreenFacts ReadScreenFacts();

// Writes left, top, width and height as decimal text; the sheet's set also writes StartTab
// with the current tab command (an option write, so Update = "1").
void SaveWindowGeometry(const GeometryNames& names, const WindowRect& window);

// Where the window of the given current size goes. The sheet's set follows the sheet's rules
// (and writes StartTab first, as it does when the first page of the sheet is created); every
// other set follows the secondary windows' rules.
Placement RestoreWindowGeometry(const GeometryNames& names, int width, int height);

// The rules themselves, from saved values and screen facts (a value given as nullptr is
// missing). ntPlatform selects the sheet's move-and-size rules over the move-only ones.
Placement PlaceSheet(const int* x, const int* y, const int* dx, const int* dy, int width,
                     int height, bool ntPlatform, const ScreenFacts& screen);
Placement PlaceSecondaryWindow(const int* x, const int* y, const int* dx, const int* dy,
                               int width, int height, const ScreenFacts& screen);

}  // namespace app

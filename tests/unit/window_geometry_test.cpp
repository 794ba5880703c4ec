// The saved window geometry of the tab window and the secondary windows: the values written,
// StartTab, and where a saved rectangle lands on the screens of the machine.
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/window_geometry.h"
#include "platform/registry_access.h"
#include "tests/unit/sim_fixture.h"

namespace {

const std::string kProgram = "Software\\Orvendel Studios\\Tallowick";
const std::string kOptions = kProgram + "\\Options";

// The monitors of a case: the virtual screen and the work area's top edge (a taskbar along
// the top); the primary screen is always 1280 x 1024 with a 40-pixel taskbar.
struct Screens {
  int left = 0, top = 0, width = 1280, height = 1024;
  int workTop = 0;
};
const Screens kOneScreen;
const Screens kSecondLeft{-1280, 0, 2560, 1024};
const Screens kSecondAbove{0, -1024, 1280, 2048};
const Screens kTaskbarOnTop{0, 0, 1280, 1024, 40};

// Saved values; nullptr is a value that is not there.
struct Saved {
  const char* x;
  const char* y;
  const char* dx;
  const char* dy;
};
const Saved kNothing{nullptr, nullptr, nullptr, nullptr};

std::ostream& operator<<(std::ostream& os, const Saved& s) {
  auto v = [](const char* t) { return t ? std::string(t) : std::string("-"); };
  return os << v(s.x) << "," << v(s.y) << "," << v(s.dx) << "," << v(s.dy);
}

}  // namespace

namespace app {
inline std::ostream& operator<<(std::ostream& os, const WindowRect& r) {
  return os << "{" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << "}";
}
}  // namespace app

namespace {

class WindowGeometry : public testing_support::SimTest {
 protected:
  void UseScreens(const Screens& s) {
    machine_.system().SetScreen(1280, 1024);
    machine_.system().SetVirtualScreen(s.left, s.top, s.width, s.height);
    machine_.system().workTop = s.workTop;
    if (s.workTop) machine_.system().workBottom = 1024;
  }
  bool Missing(const std::string& text) { return text == "<no key>" || text == "<no value>"; }
  void Save(const app::GeometryNames& names, const Saved& s) {
    const char* values[] = {s.x, s.y, s.dx, s.dy};
    const char* keys[] = {names.x, names.y, names.dx, names.dy};
    for (int i = 0; i < 4; ++i) {
      if (values[i])
        reg::SetRegStringValue(kProgram.c_str(), HKEY_CURRENT_USER, keys[i], values[i]);
      else
        reg::DeleteRegValue(keys[i], HKEY_CURRENT_USER, kProgram.c_str());
    }
  }
  void UseWindows9x() { machine_.system().version.platformId = 1; }
};

struct PlaceCase {
  const char* what;
  Screens screens;
  Saved saved;
  app::WindowRect expected;
};

TEST_F(WindowGeometry, SheetOnTheNtFamilyIsMovedAndSizedOntoTheScreens) {
  // Borders are 1 pixel, the work area 1280 x 984 unless the case says otherwise; the sheet's
  // current size (600 x 400) plays no part once a size is saved.
  const PlaceCase cases[] = {
      {"saved on screen: kept", kOneScreen, {"100", "50", "800", "600"}, {100, 50, 800, 600}},
      {"xPos -3000: the left edge", kOneScreen, {"-3000", "50", "800", "600"}, {0, 50, 800, 600}},
      {"x at the screen's width: off it", kOneScreen, {"1280", "50", "800", "600"},
       {0, 50, 800, 600}},
      {"y below the screen", kOneScreen, {"100", "5000", "800", "600"}, {100, 0, 800, 600}},
      {"negative y", kOneScreen, {"100", "-20", "800", "600"}, {100, 0, 800, 600}},
      {"nothing saved: fills the work area", kOneScreen, kNothing, {1, 1, 1278, 982}},
      {"position without a size: fills the work area", kOneScreen,
       {"100", "50", nullptr, nullptr}, {1, 1, 1278, 982}},
      {"a width of 0 counts as none", kOneScreen, {"100", "50", "0", "600"}, {1, 1, 1278, 982}},
      {"over-wide: the whole width inside the borders", kOneScreen, {"100", "50", "3000", "600"},
       {0, 50, 1278, 600}},
      {"over-tall: the work area's height inside the borders", kOneScreen,
       {"100", "50", "800", "1000"}, {100, 0, 800, 982}},
      {"the work area's full height: kept", kOneScreen, {"100", "50", "800", "984"},
       {100, 50, 800, 984}},
      {"size without dyPos: the work area's height", kOneScreen, {"100", "50", "800", nullptr},
       {100, 0, 800, 982}},
      {"size without a position: centred", kOneScreen, {nullptr, "50", "800", "600"},
       {240, 141, 800, 600}},
      {"second monitor left: a place on it is kept", kSecondLeft, {"-500", "50", "800", "600"},
       {-500, 50, 800, 600}},
      {"second monitor left: xPos -3000 to its left edge", kSecondLeft,
       {"-3000", "50", "800", "600"}, {-1280, 50, 800, 600}},
      {"second monitor left: right of both monitors", kSecondLeft, {"2000", "50", "800", "600"},
       {-1280, 50, 800, 600}},
      {"second monitor left: fill reaches over both", kSecondLeft, kNothing,
       {-1279, 1, 2558, 982}},
      {"second monitor left: over-wide", kSecondLeft, {"100", "50", "3000", "600"},
       {-1280, 50, 2558, 600}},
      {"second monitor above: over-tall reaches from its top", kSecondAbove,
       {"100", "50", "800", "1500"}, {100, -1024, 800, 2006}},
      {"taskbar along the top: the fill starts below it", kTaskbarOnTop, kNothing,
       {1, 41, 1278, 982}},
      {"taskbar along the top: over-tall starts below it", kTaskbarOnTop,
       {"100", "50", "800", "1000"}, {100, 40, 800, 982}},
  };
  for (const auto& c : cases) {
    UseScreens(c.screens);
    Save(app::kSheetGeometry, c.saved);
    app::Placement p = app::RestoreWindowGeometry(app::kSheetGeometry, 600, 400);
    EXPECT_EQ(p.rect, c.expected) << c.what << " (saved " << c.saved << ")";
    EXPECT_TRUE(p.resize) << c.what;
  }
}

TEST_F(WindowGeometry, SheetOnWindows9xIsOnlyMoved) {
  UseWindows9x();
  const PlaceCase cases[] = {
      {"nothing saved: centred, a third down", kOneScreen, kNothing, {340, 208, 600, 400}},
      {"no yPos: centred", kOneScreen, {"100", nullptr, "800", "600"}, {340, 208, 600, 400}},
      {"saved place kept, saved size ignored", kOneScreen, {"100", "50", "800", "600"},
       {100, 50, 600, 400}},
      {"xPos -3000: the left edge", kOneScreen, {"-3000", "50", nullptr, nullptr},
       {0, 50, 600, 400}},
      {"y below the screen", kOneScreen, {"100", "2000", nullptr, nullptr}, {100, 0, 600, 400}},
  };
  for (const auto& c : cases) {
    UseScreens(c.screens);
    Save(app::kSheetGeometry, c.saved);
    app::Placement p = app::RestoreWindowGeometry(app::kSheetGeometry, 600, 400);
    EXPECT_EQ(p.rect, c.expected) << c.what << " (saved " << c.saved << ")";
    EXPECT_FALSE(p.resize) << c.what;
  }
}

TEST_F(WindowGeometry, WindowsWithoutVirtualScreenOrWorkAreaUseThePrimaryScreen) {
  // Windows 95 answers 0 for the virtual-screen metrics: a saved place on the screen is kept,
  // not taken for one beyond a screen of width 0.
  UseWindows9x();
  machine_.system().SetVirtualScreen(0, 0, 0, 0);
  Save(app::kSheetGeometry, {"100", "50", nullptr, nullptr});
  EXPECT_EQ(app::RestoreWindowGeometry(app::kSheetGeometry, 600, 400).rect,
            (app::WindowRect{100, 50, 600, 400}));

  // No work area: the fill takes the whole screen.
  machine_.system().version.platformId = VER_PLATFORM_WIN32_NT;
  machine_.system().workAreaAvailable = false;
  Save(app::kSheetGeometry, kNothing);
  EXPECT_EQ(app::RestoreWindowGeometry(app::kSheetGeometry, 600, 400).rect,
            (app::WindowRect{1, 1, 1278, 1022}));

  // A window larger than the screen is centred no further than the screen's corner.
  machine_.system().version.platformId = 1;
  EXPECT_EQ(app::RestoreWindowGeometry(app::kSheetGeometry, 1400, 1100).rect,
            (app::WindowRect{0, 0, 1400, 1100}));
}

TEST_F(WindowGeometry, SecondaryWindowsAreCentredOrBroughtBackToTheOrigin) {
  struct Case {
    const char* what;
    Screens screens;
    Saved saved;
    app::WindowRect expected;
    bool resize;
  };
  // The window's current size is 500 x 300.
  const Case cases[] = {
      {"nothing saved: centred at its size", kOneScreen, kNothing, {390, 241, 500, 300}, false},
      {"no x: centred", kOneScreen, {nullptr, "50", "700", "500"}, {390, 241, 500, 300}, false},
      {"saved: placed and sized", kOneScreen, {"100", "50", "700", "500"}, {100, 50, 700, 500},
       true},
      {"x beyond the screen: 0", kOneScreen, {"1300", "50", "700", "500"}, {0, 50, 700, 500},
       true},
      {"y beyond the screen: 0", kOneScreen, {"100", "1100", "700", "500"}, {100, 0, 700, 500},
       true},
      {"x far left of the screen: 0", kOneScreen, {"-3000", "50", "700", "500"},
       {0, 50, 700, 500}, true},
      {"no size saved: its own size", kOneScreen, {"100", "50", nullptr, nullptr},
       {100, 50, 500, 300}, true},
      {"second monitor left: a place on it is kept", kSecondLeft, {"-500", "50", "700", "500"},
       {-500, 50, 700, 500}, true},
      {"second monitor left: right of both monitors", kSecondLeft, {"2000", "50", "700", "500"},
       {0, 50, 700, 500}, true},
  };
  for (const app::GeometryNames* names :
       {&app::kInfoGeometry, &app::kCookieGeometry, &app::kDefaultWarningGeometry,
        &app::kAddFileTypeGeometry}) {
    for (const auto& c : cases) {
      UseScreens(c.screens);
      Save(*names, c.saved);
      app::Placement p = app::RestoreWindowGeometry(*names, 500, 300);
      EXPECT_EQ(p.rect, c.expected) << names->x << ": " << c.what << " (saved " << c.saved << ")";
      EXPECT_EQ(p.resize, c.resize) << names->x << ": " << c.what;
    }
  }
}

TEST_F(WindowGeometry, SheetGeometryRoundTripsAndKeepsTheStartTab) {
  UseScreens(kSecondLeft);
  app::State().currentTab = 6038;
  app::SaveWindowGeometry(app::kSheetGeometry, {-1000, 20, 900, 700});
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "xPos"), "-1000");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "yPos"), "20");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "dxPos"), "900");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "dyPos"), "700");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "StartTab"), "6038");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "Update"), "1");

  // The next opening: the first page created names itself the current tab, and restoring
  // writes it as StartTab again.
  reg::SetRegStringValue(kOptions.c_str(), HKEY_CURRENT_USER, "Update", "0");
  app::State().currentTab = 6032;
  app::Placement p = app::RestoreWindowGeometry(app::kSheetGeometry, 600, 400);
  EXPECT_EQ(p.rect, (app::WindowRect{-1000, 20, 900, 700}));
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "StartTab"), "6032");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kOptions, "Update"), "1");
}

TEST_F(WindowGeometry, SecondaryGeometryRoundTripsWithoutTouchingTheOptions) {
  app::State().currentTab = 6028;
  app::SaveWindowGeometry(app::kCookieGeometry, {30, 40, 640, 480});
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "xCookie"), "30");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "yCookie"), "40");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "dxCookie"), "640");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgram, "dyCookie"), "480");
  EXPECT_EQ(app::RestoreWindowGeometry(app::kCookieGeometry, 100, 100).rect,
            (app::WindowRect{30, 40, 640, 480}));
  EXPECT_TRUE(Missing(RegText(HKEY_CURRENT_USER, kOptions, "StartTab")));
  EXPECT_TRUE(Missing(RegText(HKEY_CURRENT_USER, kOptions, "Update")));
  // Each window keeps its own values.
  EXPECT_TRUE(Missing(RegText(HKEY_CURRENT_USER, kProgram, "xPos")));
}

}  // namespace

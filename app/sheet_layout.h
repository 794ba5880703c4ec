// The layout that follows the size of the tab window: where the sheet puts its tab strip,
// Close button and current page, and where a page (on message 6049) puts its furniture. Pure
// computations from the sizes of the controls present to their target rectangles, and the
// batched moves with the diagnostics label of each step, which the window code applies one by
// one through a DeferredMover.
#pragma once
#include <optional>
#include <vector>

#include "app/window_geometry.h"

namespace app {

struct ControlSize {
  int cx = 0, cy = 0;
};

// The sheet's window rectangle of width x height and the rows of its tab strip.
struct SheetLayout {
  ControlSize tabStrip;   // the tab control, resized in place
  int closeLeft = 0, closeTop = 0;  // the sheet's Close (Cancel) button, moved and hidden
  ControlSize page;       // the current page, resized in place
};
SheetLayout LayOutSheet(int width, int height, int tabRows);

// Page furniture: the control identifiers every page may hold.
enum class PageControl { Image, Help, Patrol, HeaderText, Check1, Check2, List, Button };
inline constexpr int kHeaderPictureId = 1130;
inline constexpr int kHeaderTextId = 1047;
inline constexpr int kHelpButtonId = 1077;
inline constexpr int kPatrolButtonId = 1112;
inline constexpr int kFirstCheckId = 1014;
inline constexpr int kSecondCheckId = 1016;
inline constexpr int kListId = 1000;

// What a page holds (a control absent is nothing) and the measures of its window.
struct PageMeasures {
  int width = 0, height = 0;  // the page's window rectangle
  int frame = 0;              // F: SM_CYFRAME
  int vscroll = 0;            // V: SM_CXVSCROLL
  int statusBarHeight = 0;    // 0 without a status bar
  std::optional<ControlSize> image, help, patrol, headerText, check1, check2, list;
  std::vector<ControlSize> buttons;  // the bottom row, left to right
};

// One batched move: the control (button: index into the bottom row), its target rectangle
// (its own size where the layout keeps the size) and the label logged when the step fails.
struct LayoutMove {
  PageControl control;
  int index = 0;
  WindowRect rect;
  bool resize = false;
  const char* label;
};

inline constexpr const char* kBeginDeferLabel = "BEGINDeferWindowPos";
inline constexpr const char* kEndDeferLabel = "ENDDeferWindowPos";
// BeginDeferWindowPos is given room for this many windows.
inline constexpr int kDeferRoom = 14;

// The moves of message 6049 in the order they are batched.
std::vector<LayoutMove> LayOutPage(const PageMeasures& page);

// The batch of window moves, as the window code performs it (BeginDeferWindowPos,
// DeferWindowPos, EndDeferWindowPos). A failing call leaves its error as the last error.
class DeferredMover {
 public:
  virtual ~DeferredMover() = default;
  virtual bool Begin(int room) = 0;
  virtual bool Defer(const LayoutMove& move) = 0;
  virtual bool End() = 0;
};

// Performs the moves. At the first failing step the layout stops (a batch whose DeferWindowPos
// failed is not ended, so the controls keep their old places) and the trace gets
// "DefWindPos Error" with the system text under the step's label. Returns true when all went.
bool ApplyPageLayout(const std::vector<LayoutMove>& moves, DeferredMover& mover);

}  // namespace app

#include "app/sheet_layout.h"

#include <algorithm>

#include "diag/launch_errors.h"

namespace app {

namespace {

// A size that a small window would drive below 0 stays 0 (a negative size handed to the
// window manager would be taken as a huge one).
int Size(int value) { return std::max(0, value); }

// The bottom buttons take the first button's size, this one when the page has none.
constexpr ControlSize kDefaultButton{72, 16};

constexpr int kCheckLeft = 7;
constexpr int kCheckGap = 5;
constexpr int kButtonsLeft = 7;
constexpr int kPatrolGap = 2;
constexpr int kHelpMissingOffset = 144;

}  // namespace

SheetLayout LayOutSheet(int width, int height, int tabRows) {
  SheetLayout s;
  s.tabStrip = {Size(width - 28), Size(height - 67)};
  s.closeLeft = width - 92;
  s.closeTop = height - 66;
  // A single row of tabs leaves 10 pixels more for the page.
  s.page = {Size(width - 28), Size(height - 112 + (tabRows <= 1 ? 10 : 0))};
  return s;
}

std::vector<LayoutMove> LayOutPage(const PageMeasures& p) {
  const int W = p.width, H = p.height, F = p.frame, V = p.vscroll;
  std::vector<LayoutMove> moves;
  auto keep = [&](PageControl c, const ControlSize& size, int left, int top, const char* label,
                  int index = 0) {
    moves.push_back({c, index, {left, top, size.cx, size.cy}, false, label});
  };

  int imageHeight = p.image ? p.image->cy : 0;
  if (p.image) keep(PageControl::Image, *p.image, 1, 1, "DeferWindowPos Image");

  int buttonsLeft = W - 2 * F - kHelpMissingOffset;
  int patrolTop = 1;
  if (p.help) {
    buttonsLeft = W - 2 * F - p.help->cx * 3 / 2;
    patrolTop = 1 + p.help->cy + kPatrolGap;
    keep(PageControl::Help, *p.help, buttonsLeft, 1, "DeferWindowPos Help");
  }
  if (p.patrol)
    keep(PageControl::Patrol, *p.patrol, buttonsLeft, patrolTop, "DeferWindowPos Check");

  if (p.headerText)
    keep(PageControl::HeaderText, *p.headerText, 2 * F + 60, 1, "DeferWindowPos Text0");

  int checkTop = imageHeight + 3;
  int secondCheckLeft = kCheckLeft;
  int checkHeight = 0;
  if (p.check1) {
    keep(PageControl::Check1, *p.check1, kCheckLeft, checkTop, "DeferWindowPos Text1");
    secondCheckLeft = kCheckLeft + p.check1->cx + kCheckGap;
    checkHeight = p.check1->cy;
  }
  if (p.check2) {
    keep(PageControl::Check2, *p.check2, secondCheckLeft, checkTop, "DeferWindowPos Text2");
    checkHeight = std::max(checkHeight, p.check2->cy);
  }

  ControlSize button = p.buttons.empty() ? kDefaultButton : p.buttons.front();
  WindowRect list;
  list.left = F / 2;
  list.top = checkTop + checkHeight + 4;
  list.width = Size(W - 4 * F - V);
  list.height = Size(H - (3 * p.statusBarHeight + 4 * button.cy + list.top + F));
  if (p.list) moves.push_back({PageControl::List, 0, list, true, "DeferWindowPos List"});

  // One row, half a button's height below the list.
  int n = static_cast<int>(p.buttons.size());
  int rowTop = list.top + list.height + button.cy / 2;
  if (n == 1) {
    keep(PageControl::Button, p.buttons[0], std::max(0, (W - button.cx) / 2), rowTop,
         "DeferWindowPos button");
  } else if (n > 1) {
    // Buttons that do not fit side by side touch rather than overlap.
    int gap = std::max(0, (list.width - n * button.cx) / (n - 1) - F);
    for (int i = 0; i < n; ++i)
      keep(PageControl::Button, p.buttons[i], kButtonsLeft + i * (button.cx + gap), rowTop,
           "DeferWindowPos button", i);
  }
  return moves;
}

bool ApplyPageLayout(const std::vector<LayoutMove>& moves, DeferredMover& mover) {
  if (!mover.Begin(kDeferRoom)) {
    diag::LogLaunchError(0, kBeginDeferLabel, 2);
    return false;
  }
  for (const LayoutMove& m : moves) {
    if (!mover.Defer(m)) {
      diag::LogLaunchError(0, m.label, 2);
      return false;
    }
  }
  if (!mover.End()) {
    diag::LogLaunchError(0, kEndDeferLabel, 2);
    return false;
  }
  return true;
}

}  // namespace app

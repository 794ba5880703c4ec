// The layout of the tab window and of a page's furniture, and the batched moves that apply it
// with a trace line for the step that fails.
#include <string>
#include <vector>

#include "app/sheet_layout.h"
#include "diag/testlog.h"
#include "tests/contract/contract_support.h"
#include "tests/unit/sim_fixture.h"

namespace app {
inline std::ostream& operator<<(std::ostream& os, const WindowRect& r) {
  return os << "{" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << "}";
}
}  // namespace app

namespace {

using app::PageControl;
using app::WindowRect;

TEST(SheetLayout, TabStripCloseButtonAndPageFollowTheSheet) {
  struct Case {
    int width, height, rows;
    int tabCx, tabCy, closeLeft, closeTop, pageCx, pageCy;
  };
  const Case cases[] = {
      {800, 600, 2, 772, 533, 708, 534, 772, 488},
      // A single row of tabs gives the page 10 pixels more.
      {800, 600, 1, 772, 533, 708, 534, 772, 498},
      {1024, 700, 3, 996, 633, 932, 634, 996, 588},
      // A sheet smaller than its furniture: sizes stop at 0.
      {20, 50, 1, 0, 0, -72, -16, 0, 0},
  };
  for (const auto& c : cases) {
    app::SheetLayout s = app::LayOutSheet(c.width, c.height, c.rows);
    std::string at = std::to_string(c.width) + "x" + std::to_string(c.height) + " rows " +
                     std::to_string(c.rows);
    EXPECT_EQ(s.tabStrip.cx, c.tabCx) << at;
    EXPECT_EQ(s.tabStrip.cy, c.tabCy) << at;
    EXPECT_EQ(s.closeLeft, c.closeLeft) << at;
    EXPECT_EQ(s.closeTop, c.closeTop) << at;
    EXPECT_EQ(s.page.cx, c.pageCx) << at;
    EXPECT_EQ(s.page.cy, c.pageCy) << at;
  }
}

// A page with all its furniture: 600 x 400, F = 4, V = 17, a status bar 20 high.
app::PageMeasures FullPage(int buttons) {
  app::PageMeasures p;
  p.width = 600;
  p.height = 400;
  p.frame = 4;
  p.vscroll = 17;
  p.statusBarHeight = 20;
  p.image = {{400, 40}};
  p.help = {{32, 32}};
  p.patrol = {{30, 30}};
  p.headerText = {{200, 20}};
  p.check1 = {{120, 16}};
  p.check2 = {{100, 18}};
  p.list = {{1, 1}};
  p.buttons.assign(buttons, {80, 24});
  return p;
}

const app::LayoutMove* Find(const std::vector<app::LayoutMove>& moves, PageControl c,
                            int index = 0) {
  for (const auto& m : moves)
    if (m.control == c && m.index == index) return &m;
  return nullptr;
}

TEST(PageLayout, FurnitureTakesItsPlacesInBatchOrder) {
  auto moves = app::LayOutPage(FullPage(2));
  std::vector<std::string> labels;
  for (const auto& m : moves) labels.push_back(m.label);
  EXPECT_EQ(labels, (std::vector<std::string>{
                        "DeferWindowPos Image", "DeferWindowPos Help", "DeferWindowPos Check",
                        "DeferWindowPos Text0", "DeferWindowPos Text1", "DeferWindowPos Text2",
                        "DeferWindowPos List", "DeferWindowPos button",
                        "DeferWindowPos button"}));
  // Moves keep each control's size; only the list is sized.
  struct Expect {
    PageControl control;
    WindowRect rect;
    bool resize;
  };
  const Expect expected[] = {
      {PageControl::Image, {1, 1, 400, 40}, false},
      // W - 2F - 1.5 x 32
      {PageControl::Help, {544, 1, 32, 32}, false},
      // below the help button with a 2-pixel gap
      {PageControl::Patrol, {544, 35, 30, 30}, false},
      {PageControl::HeaderText, {68, 1, 200, 20}, false},
      {PageControl::Check1, {7, 43, 120, 16}, false},
      {PageControl::Check2, {132, 43, 100, 18}, false},
      // below the taller check box + 4; W - 4F - V; H - (3 x 20 + 4 x 24 + 65 + 4)
      {PageControl::List, {2, 65, 567, 175}, true},
  };
  for (const auto& e : expected) {
    const app::LayoutMove* m = Find(moves, e.control);
    ASSERT_NE(m, nullptr) << static_cast<int>(e.control);
    EXPECT_EQ(m->rect, e.rect) << m->label;
    EXPECT_EQ(m->resize, e.resize) << m->label;
  }
}

TEST(PageLayout, BottomButtonsShareOneRowUnderTheList) {
  struct Case {
    const char* what;
    int buttons;
    std::vector<int> lefts;
  };
  // The list is 567 wide; buttons are 80 x 24, the row half a button below the list (65 + 175
  // + 12).
  const Case cases[] = {
      {"one button is centred on the page", 1, {260}},
      {"two: the gap (567 - 160) / 1 - F", 2, {7, 490}},
      {"three: the gap (567 - 240) / 2 - F", 3, {7, 246, 485}},
      {"five: the gap (567 - 400) / 4 - F", 5, {7, 124, 241, 358, 475}},
  };
  for (const auto& c : cases) {
    auto moves = app::LayOutPage(FullPage(c.buttons));
    std::vector<int> lefts;
    for (const auto& m : moves)
      if (m.control == PageControl::Button) {
        lefts.push_back(m.rect.left);
        EXPECT_EQ(m.rect.top, 252) << c.what;
        EXPECT_EQ(m.rect.width, 80) << c.what;
        EXPECT_FALSE(m.resize) << c.what;
      }
    EXPECT_EQ(lefts, c.lefts) << c.what;
  }
}

TEST(PageLayout, MissingFurnitureMovesTheRestAsTheRulesSay) {
  // Without a help button the patrol button goes to W - 2F - 144 at the top.
  app::PageMeasures p = FullPage(3);
  p.help.reset();
  auto moves = app::LayOutPage(p);
  EXPECT_EQ(Find(moves, PageControl::Help), nullptr);
  EXPECT_EQ(Find(moves, PageControl::Patrol)->rect, (WindowRect{448, 1, 30, 30}));

  // Without buttons the list leaves room for the default 72 x 16 button.
  p = FullPage(0);
  moves = app::LayOutPage(p);
  EXPECT_EQ(Find(moves, PageControl::List)->rect, (WindowRect{2, 65, 567, 207}));
  EXPECT_EQ(Find(moves, PageControl::Button), nullptr);

  // Without check boxes and header picture the list starts just below the top.
  p = FullPage(1);
  p.check1.reset();
  p.check2.reset();
  p.image.reset();
  moves = app::LayOutPage(p);
  EXPECT_EQ(Find(moves, PageControl::List)->rect.top, 7);
  // The second check box alone takes the first one's place.
  p = FullPage(1);
  p.check1.reset();
  EXPECT_EQ(app::LayOutPage(p)[4].rect, (WindowRect{7, 43, 100, 18}));
  EXPECT_STREQ(app::LayOutPage(p)[4].label, "DeferWindowPos Text2");

  // A page without a list still places its buttons.
  p = FullPage(1);
  p.list.reset();
  moves = app::LayOutPage(p);
  EXPECT_EQ(Find(moves, PageControl::List), nullptr);
  EXPECT_EQ(Find(moves, PageControl::Button)->rect.top, 252);
}

TEST(PageLayout, TinyPageGivesNoNegativeSizesOrOverlappingButtons) {
  app::PageMeasures p = FullPage(3);
  p.width = 30;
  p.height = 60;
  auto moves = app::LayOutPage(p);
  const app::LayoutMove* list = Find(moves, PageControl::List);
  EXPECT_EQ(list->rect.width, 0);
  EXPECT_EQ(list->rect.height, 0);
  // (0 - 240) / 2 - F is below 0: the buttons touch.
  std::vector<int> lefts;
  for (const auto& m : moves)
    if (m.control == PageControl::Button) lefts.push_back(m.rect.left);
  EXPECT_EQ(lefts, (std::vector<int>{7, 87, 167}));
  // One button wider than the page stays at its left edge.
  p.buttons.assign(1, {80, 24});
  EXPECT_EQ(Find(app::LayOutPage(p), PageControl::Button)->rect.left, 0);
}

// Records the batch and fails at one step with a system error.
class RecordingMover : public app::DeferredMover {
 public:
  explicit RecordingMover(int failAt) : failAt_(failAt) {}
  bool Begin(int room) override {
    calls.push_back("begin " + std::to_string(room));
    return Step();
  }
  bool Defer(const app::LayoutMove& move) override {
    calls.push_back(move.label);
    return Step();
  }
  bool End() override {
    calls.push_back("end");
    return Step();
  }
  std::vector<std::string> calls;

 private:
  bool Step() {
    if (static_cast<int>(calls.size()) - 1 != failAt_) return true;
    plat::Sys().SetLastError(87);
    return false;
  }
  int failAt_;
};

class PageLayoutBatch : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    diag::SetTraceFile(trace_);
    diag::SetTraceCounter(0);
  }
  const std::string trace_ = "C:\\Windows\\Temp\\trace.txt";
};

TEST_F(PageLayoutBatch, FailingStepStopsTheLayoutAndIsLoggedByItsLabel) {
  const std::vector<app::LayoutMove> moves = app::LayOutPage(FullPage(1));
  ASSERT_EQ(moves.size(), 8u);
  struct Case {
    int failAt;  // the call that fails: 0 Begin, 1..8 the moves, 9 End; -1 none
    const char* label;
  };
  const Case cases[] = {
      {0, "BEGINDeferWindowPos"},  {1, "DeferWindowPos Image"}, {3, "DeferWindowPos Check"},
      {7, "DeferWindowPos List"},  {8, "DeferWindowPos button"}, {9, "ENDDeferWindowPos"},
      {-1, nullptr},
  };
  for (const auto& c : cases) {
    machine_.files().DeleteFileA(trace_.c_str());
    RecordingMover mover(c.failAt);
    bool done = app::ApplyPageLayout(moves, mover);
    EXPECT_EQ(done, c.failAt < 0) << c.failAt;
    EXPECT_EQ(mover.calls.front(), "begin 14");
    // Nothing after the failing step: a failed batch is not ended.
    size_t expectedCalls = c.failAt < 0 ? moves.size() + 2 : static_cast<size_t>(c.failAt) + 1;
    EXPECT_EQ(mover.calls.size(), expectedCalls) << c.failAt;
    auto lines = contract::TraceLines(trace_);
    if (!c.label) {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    ASSERT_EQ(lines.size(), 1u) << c.label;
    EXPECT_NE(lines[0].find(std::string(" - ") + c.label +
                            ": DefWindPos Error  The parameter is incorrect."),
              std::string::npos)
        << lines[0];
  }
}

}  // namespace

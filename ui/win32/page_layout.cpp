#include "ui/win32/page_layout.h"

#include <vector>

#include "app/sheet_layout.h"

namespace uiwin {

namespace {

app::ControlSize SizeOf(HWND control) {
  RECT r = {};
  GetWindowRect(control, &r);
  return {r.right - r.left, r.bottom - r.top};
}

std::optional<app::ControlSize> Present(HWND page, int id, HWND* out) {
  *out = GetDlgItem(page, id);
  if (!*out) return std::nullopt;
  return SizeOf(*out);
}

// The bottom row: the page's push buttons, in the order of its dialog.
std::vector<HWND> BottomButtons(HWND page) {
  std::vector<HWND> buttons;
  for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiA(cls, "Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
      buttons.push_back(child);
  }
  return buttons;
}

class DeferMover : public app::DeferredMover {
 public:
  DeferMover(const HWND (&windows)[7], std::vector<HWND> buttons) : buttons_(std::move(buttons)) {
    for (int i = 0; i < 7; ++i) windows_[i] = windows[i];
  }
  bool Begin(int room) override {
    dwp_ = BeginDeferWindowPos(room);
    return dwp_ != nullptr;
  }
  bool Defer(const app::LayoutMove& m) override {
    HWND w = m.control == app::PageControl::Button
                 ? (m.index < static_cast<int>(buttons_.size()) ? buttons_[m.index] : nullptr)
                 : windows_[static_cast<int>(m.control)];
    if (!w) return true;
    HDWP next = DeferWindowPos(dwp_, w, nullptr, m.rect.left, m.rect.top, m.rect.width, m.rect.height,
                               SWP_NOZORDER | SWP_NOACTIVATE | (m.resize ? 0 : SWP_NOSIZE));
    if (!next) return false;  // a failed batch is gone; the controls keep their places
    dwp_ = next;
    return true;
  }
  bool End() override { return EndDeferWindowPos(dwp_) != FALSE; }

 private:
  HWND windows_[7] = {};
  std::vector<HWND> buttons_;
  HDWP dwp_ = nullptr;
};

}  // namespace

void LayOutPageWindow(HWND page) {
  app::PageMeasures m;
  HWND w[7] = {};
  m.list = Present(page, app::kListId, &w[6]);
  // A page without a list keeps its own dialog layout below the header: only the header
  // picture, the header text and the help and patrol pictures follow the page's size.
  const bool hasList = w[6] != nullptr;
  m.image = Present(page, app::kHeaderPictureId, &w[0]);
  m.help = Present(page, app::kHelpButtonId, &w[1]);
  m.patrol = Present(page, app::kPatrolButtonId, &w[2]);
  m.headerText = Present(page, app::kHeaderTextId, &w[3]);
  // Until a page has its header picture, the header text's line is what the list must clear.
  if (!m.image && m.headerText) m.image = app::ControlSize{0, m.headerText->cy + 8};
  std::vector<HWND> buttons;
  if (hasList) {
    m.check1 = Present(page, app::kFirstCheckId, &w[4]);
    m.check2 = Present(page, app::kSecondCheckId, &w[5]);
    buttons = BottomButtons(page);
  }
  for (HWND b : buttons) m.buttons.push_back(SizeOf(b));
  app::ControlSize size = SizeOf(page);
  m.width = size.cx;
  m.height = size.cy;
  m.frame = GetSystemMetrics(SM_CYFRAME);
  m.vscroll = GetSystemMetrics(SM_CXVSCROLL);
  if (HWND status = GetDlgItem(GetParent(page), 6050)) m.statusBarHeight = SizeOf(status).cy;
  DeferMover mover(w, std::move(buttons));
  app::ApplyPageLayout(app::LayOutPage(m), mover);
}

}  // namespace uiwin

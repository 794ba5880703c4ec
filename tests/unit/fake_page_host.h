// A page host without windows for the tests of views and dialogs: it keeps control texts and
// check states, answers message boxes with a set answer and runs a dialog's view through a
// script that stands in for the user.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/page_host.h"

namespace testing_support {

class FakePageHost : public ui::PageHost {
 public:
  // The user in a dialog: gets the dialog's own host and its view after OnInit.
  std::function<void(FakePageHost& dialog, ui::Page& view)> user;
  int messageAnswer = ui::kIdNo;
  std::vector<std::string> messages;
  std::vector<int> dialogsShown;
  std::map<int, std::string> texts;
  std::map<int, bool> checks;
  std::string caption;
  int endResult = 0;

  // A click on a control of this host's view.
  void Click(ui::Page& view, int id) { view.OnCommand(*this, id); }

  bool HasList() override { return false; }
  int ListClientWidth() override { return 0; }
  int VerticalScrollBarWidth() override { return 0; }
  bool ListInsertColumn(int, const std::string&, int) override { return false; }
  int ListColumnCount() override { return 0; }
  int ListColumnWidth(int) override { return 0; }
  void ListSetStyle(bool, bool) override {}
  void ListDeleteAllRows() override {}
  int ListAppendRow(LPARAM, int) override { return -1; }
  void ListSetCell(int, int, const std::string&) override {}
  std::string ListCell(int, int) override { return {}; }
  int ListRowCount() override { return 0; }
  LPARAM ListRowData(int) override { return 0; }
  int ListRowImage(int) override { return 0; }
  std::vector<int> ListSelectedRows() override { return {}; }
  void ListSelectOnly(int) override {}
  void ListSetChecked(int, bool) override {}
  bool ListChecked(int) override { return false; }
  void ListSort(const std::function<int(LPARAM, LPARAM)>&) override {}
  void ListNewImageList() override {}
  void ListDropImageList() override {}
  int ListAddFileIcon(const std::string&, int) override { return -1; }
  int ListAddResourceIcon(int) override { return -1; }

  bool HasControl(int id) override { return texts.count(id) || checks.count(id); }
  void SetControlText(int id, const std::string& text) override { texts[id] = text; }
  std::string ControlText(int id) override { return texts[id]; }
  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  bool IsControlVisible(int) override { return true; }
  bool IsControlEnabled(int) override { return true; }
  void SetChecked(int id, bool checked) override { checks[id] = checked; }
  bool IsChecked(int id) override { return checks[id]; }
  void SetPictureButton(int, int, int, int) override {}
  void ClearPictureButton(int) override {}

  bool AddTooltip(int, const std::string&, bool) override { return true; }
  void DestroyTooltips() override {}
  int TooltipCount() override { return 0; }

  void PrepareSheetButtons(const std::string&) override {}
  void SetStatusText(const std::string&) override {}
  std::string StatusText() override { return {}; }
  void SetWaitCursor(bool) override {}
  void SaveSheetGeometry() override {}
  void LayOutPage() override {}
  void CloseSheet() override {}
  void PostCloseToMain() override {}

  int TrackMenu(const std::vector<ui::MenuItem>&) override { return 0; }
  int ShowMessageBox(const std::string& text, const std::string&, unsigned) override {
    messages.push_back(text);
    return messageAnswer;
  }
  int ShowMessageDialog(const std::string&, const std::string& text) override {
    messages.push_back(text);
    return ui::kIdOk;
  }
  std::string ChooseOpenFile(const ui::OpenFileRequest&) override { return {}; }
  std::string WindowCaption() override { return caption; }
  void SetWindowCaption(const std::string& c) override { caption = c; }

  int RunDialog(int dialog, ui::Page& view) override {
    dialogsShown.push_back(dialog);
    FakePageHost host;
    view.OnInit(host);
    if (user) user(host, view);
    lastDialog = host.texts;
    lastDialogCaption = host.caption;
    return host.endResult;
  }
  void EndDialog(int result) override { endResult = result; }

  // What the last dialog showed.
  std::map<int, std::string> lastDialog;
  std::string lastDialogCaption;
};

}  // namespace testing_support

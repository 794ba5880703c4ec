// The shared list rules: help pages, the right-click menu, column widths and sorting.
#include <string>
#include <vector>

#include "settings/language.h"
#include "ui/help_pages.h"
#include "ui/list_columns.h"
#include "ui/row_menu.h"
#include "tests/unit/sim_fixture.h"

namespace {

class ListToolkit : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    ui::ResetColumnDirections();
  }
};

TEST_F(ListToolkit, HelpPagesByLanguageAndPlace) {
  EXPECT_EQ(ui::HelpPageTarget(6026), std::string(ui::kHelpSite) + "startup.html");
  EXPECT_EQ(ui::HelpPageTarget(9999), std::string(ui::kHelpSite) + "features.html");
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Tallowick\\startup.html", "<html>"));
  EXPECT_EQ(ui::HelpPageTarget(6026), "C:\\Program Files\\Tallowick\\startup.html");
  // A German table opens de_startup.html when the program folder has it.
  machine_.system().stringOverrides[634] = "de";
  EXPECT_EQ(ui::HelpPageTarget(6026), std::string(ui::kHelpSite) + "de_startup.html");
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Tallowick\\de_startup.html", "<html>"));
  EXPECT_EQ(ui::HelpPageTarget(6026), "C:\\Program Files\\Tallowick\\de_startup.html");
  EXPECT_EQ(ui::HelpPageTarget(6063), std::string(ui::kHelpSite) + "de_defaultpage.html#search");
  EXPECT_TRUE(ui::OpenHelpPage(6026));
  EXPECT_EQ(machine_.launcher().launches.back().verb, "open");
}

std::vector<int> Commands(const std::vector<ui::MenuEntry>& m) {
  std::vector<int> c;
  for (const auto& e : m) c.push_back(e.command);
  return c;
}

TEST_F(ListToolkit, RowMenus) {
  ui::RowFacts row;
  row.location = 11;
  EXPECT_EQ(Commands(ui::RowMenuEntries(6026, row)),
            (std::vector<int>{1008, 1201, 1202, 1064, 1195, 0, 1003, 11, 1144, 0, 1067, 9, 1077}));
  row.disabled = true;
  row.noteExists = true;
  row.windowsMinor = 2;
  EXPECT_EQ(Commands(ui::RowMenuEntries(6026, row)),
            (std::vector<int>{1008, 1201, 1202, 1164, 1064, 1195, 0, 1003, 10, 1144, 0, 1359, 1067, 9, 1077}));
  row = {};
  row.location = 252;  // a hidden location: no disable, remove or delay
  EXPECT_EQ(Commands(ui::RowMenuEntries(6026, row)),
            (std::vector<int>{1008, 1201, 1202, 1064, 0, 1067, 9, 1077}));
  EXPECT_EQ(Commands(ui::RowMenuEntries(6028, row)), (std::vector<int>{1008, 1004, 1103, 0, 1067, 1077}));
  row.locked = true;
  auto reg = ui::RowMenuEntries(6061, row);
  ASSERT_EQ(reg.size(), 5u);
  EXPECT_TRUE(reg[0].checked);
  EXPECT_FALSE(reg[1].checked);
  row.location = 370;
  EXPECT_EQ(Commands(ui::RowMenuEntries(6060, row)),
            (std::vector<int>{1201, 1202, 0, 1006, 1184, 1180, 1006, 1144, 0, 1067, 9, 1077}));
}

TEST_F(ListToolkit, ColumnWidthsAndSorting) {
  EXPECT_EQ(ui::ColumnWidth(6042, 0, 1000, 17), 300);
  EXPECT_EQ(ui::ColumnWidth(6028, 0, 1017, 17), 350);  // less the scroll bar
  ui::SaveColumnWidth(6042, 0, 123);
  EXPECT_EQ(ui::ColumnWidth(6042, 0, 1000, 17), 123);
  ui::SaveColumnWidth(6042, 0, 0);  // a width of 0 is not used
  EXPECT_EQ(ui::ColumnWidth(6042, 0, 1000, 17), 300);

  // Three clicks on one column: ascending, descending, ascending.
  std::vector<bool> descending;
  for (int i = 0; i < 3; ++i) {
    descending.push_back(ui::ColumnDescending(2));
    ui::ColumnClicked(6026, 2);
  }
  EXPECT_EQ(descending, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(ui::SavedSortColumn(6026), 2);
  EXPECT_EQ(ui::SavedSortColumn(6029), -1);

  EXPECT_LT(ui::CompareCells("abc", "ABD", 0), 0);
  EXPECT_EQ(ui::CompareCells("", " ", 0), 0);
  ui::SetColumnDescending(0, true);
  EXPECT_GT(ui::CompareCells("abc", "ABD", 0), 0);
  EXPECT_EQ(ui::CompareCells(std::string(1015, 'a'), "b", 0), 0);
}

}  // namespace

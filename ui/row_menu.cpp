#include "ui/row_menu.h"

namespace ui {

namespace {

const MenuEntry kSeparator{};
const MenuEntry kInfo{301, 1008}, kExplore{1135, 1201}, kProperties{1136, 1202};
const MenuEntry kNote{971, 1164}, kAdd{311, 1064}, kRemove{302, 1003}, kRefresh{305, 1006};
const MenuEntry kDeleteOnReboot{801, 1144};

void Info(std::vector<MenuEntry>& m) { m.insert(m.end(), {kInfo, kExplore, kProperties}); }

}  // namespace

std::vector<MenuEntry> RowMenuEntries(int tab, const RowFacts& row) {
  std::vector<MenuEntry> m;
  auto note = [&] {
    if (row.noteExists) m.push_back(kNote);
  };
  switch (tab) {
    case 6026:
      Info(m);
      note();
      m.push_back(kAdd);
      if (row.location < 250) {
        m.push_back({1116, 1195});
        m.push_back(kSeparator);
        m.push_back(kRemove);
        m.push_back(row.disabled ? MenuEntry{632, 10} : MenuEntry{633, 11});
        m.push_back(kDeleteOnReboot);
      }
      break;
    case 6028:
      m.insert(m.end(), {{659, 1008}, {303, 1004}, {708, 1103}});
      break;
    case 6029:
      Info(m);
      note();
      m.insert(m.end(), {kRefresh, {306, 1007}, kDeleteOnReboot});
      break;
    case 6038:
      Info(m);
      m.push_back(kDeleteOnReboot);
      note();
      break;
    case 6039:
    case 6040:
      Info(m);
      note();
      m.insert(m.end(), {kRemove, kDeleteOnReboot});
      break;
    case 6041:
      m.insert(m.end(), {{717, 1104}, {711, 1106}, {304, 1}});
      break;
    case 6042:
      m.push_back(kInfo);
      note();
      m.insert(m.end(), {kAdd, kRemove});
      break;
    case 6052:
      Info(m);
      note();
      m.insert(m.end(), {kRefresh, {925, 1184}, kDeleteOnReboot, {913, 1180}});
      break;
    case 6055:
      Info(m);
      m.insert(m.end(), {kAdd, {1117, 1065}, {1118, 1197}, kSeparator, kRemove, {1124, 1198}});
      note();
      break;
    case 6060:
      m.insert(m.end(), {kExplore, kProperties});
      note();
      m.push_back(kSeparator);
      if (row.location == 1) m.insert(m.end(), {kSeparator, kRemove});
      if (row.location == 900) m.push_back(kRemove);
      if (row.location == 370) m.insert(m.end(), {kRefresh, {925, 1184}, {913, 1180}});
      if (row.location == 600) m.insert(m.end(), {kRefresh, {306, 1007}});
      m.insert(m.end(), {kRefresh, kDeleteOnReboot});
      break;
    case 6061:
      // The registry watch list has its own entries and no tail.
      return {{1331, 1333, row.locked}, {1332, 1334, !row.locked}, kAdd, {1327, 1065}, kRemove};
    default:
      break;
  }
  m.push_back(kSeparator);
  bool eightOrLater = row.windowsMajor > 6 || (row.windowsMajor == 6 && row.windowsMinor >= 2);
  if (eightOrLater) m.push_back({1359, 1359});
  m.push_back({641, 1067});
  if (tab != 6028) m.push_back({310, 9});
  m.push_back({31, 1077});
  return m;
}

}  // namespace ui

#include "tests/wine/remote_window.h"

#include <commctrl.h>

#include <cstring>
#include <utility>

namespace winetest {

RemoteMemory::RemoteMemory(HWND window, size_t size) : size_(size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process_) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
  if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t n) {
  SIZE_T done = 0;
  return offset + n <= size_ && WriteProcessMemory(process_, at(offset), data, n, &done) && done == n;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t n) {
  SIZE_T done = 0;
  return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, &done) && done == n;
}

std::string RemoteMemory::ReadString(size_t offset, size_t n) {
  std::string text(n, '\0');
  if (!Read(offset, text.data(), n)) return "<unreadable>";
  text.resize(strnlen(text.data(), n));
  return text;
}

ListContents ReadList(HWND list) {
  ListContents contents;
  RemoteMemory remote(list, kTextOffset + kTextSize);
  if (!remote.ok()) return contents;
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int c = 0; c < columns; ++c) {
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = remote.at(kTextOffset);
    item.cchTextMax = kTextSize;
    remote.Write(0, &item, sizeof item);
    SendMessageA(header, HDM_GETITEMA, c, reinterpret_cast<LPARAM>(remote.at(0)));
    contents.headers.push_back(remote.ReadString(kTextOffset, kTextSize));
  }
  int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    std::vector<std::string> cells;
    for (int c = 0; c < columns; ++c) {
      LVITEMA item = {};
      item.iSubItem = c;
      item.pszText = remote.at(kTextOffset);
      item.cchTextMax = kTextSize;
      remote.Write(0, &item, sizeof item);
      LRESULT n = SendMessageA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(remote.at(0)));
      cells.push_back(n > 0 ? remote.ReadString(kTextOffset, kTextSize) : std::string());
    }
    contents.rows.push_back(std::move(cells));
  }
  return contents;
}

std::string TabText(HWND sheet, int index) {
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  RemoteMemory remote(sheet, kTextOffset + kTextSize);
  if (!tab || !remote.ok()) return "<no tab>";
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = remote.at(kTextOffset);
  item.cchTextMax = kTextSize;
  remote.Write(0, &item, sizeof item);
  if (!SendMessageA(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(remote.at(0)))) return "<no tab>";
  return remote.ReadString(kTextOffset, kTextSize);
}

std::string ControlText(HWND window, int id) {
  char text[1024] = {};
  SendMessageA(GetDlgItem(window, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

}  // namespace winetest

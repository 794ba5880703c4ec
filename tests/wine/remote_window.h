// Reading and driving the program's windows from the test process: memory in the program's
// process for the messages whose answers travel through pointers, the cells of its list
// views, the texts of its tabs and controls, and bounded waits.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace winetest {

// Memory in the program's process for the messages whose answers travel through pointers
// (list view items, tab items, tool information). Both processes are 64-bit, so the
// structures have the same layout on both sides.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, size_t size);
  ~RemoteMemory();
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return memory_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(memory_) + offset; }
  bool Write(size_t offset, const void* data, size_t n);
  bool Read(size_t offset, void* data, size_t n);
  std::string ReadString(size_t offset, size_t n);

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
  size_t size_;
};

// Where the helpers put the text buffer in their remote memory, and its size.
constexpr size_t kTextOffset = 512;
constexpr size_t kTextSize = 2048;

struct ListContents {
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> rows;
};

// Every column title and cell of a report list view of the program.
ListContents ReadList(HWND list);

// The text of a tab of the sheet's tab strip.
std::string TabText(HWND sheet, int index);

std::string ControlText(HWND window, int id);

HWND CurrentPage(HWND sheet);

// Waits (bounded) until `ready` holds.
template <typename F>
bool WaitUntil(F ready, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!ready()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

}  // namespace winetest

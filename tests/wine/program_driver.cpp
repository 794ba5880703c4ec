#include "tests/wine/program_driver.h"

#include <cstdio>
#include <vector>

namespace winetest {

const char* ProgramPath() {
  static const std::string path = HostToWinePath(TW_PROGRAM_EXE);
  return path.c_str();
}

HANDLE StartProgram(const char* args) {
  std::string cmd = std::string("\"") + ProgramPath() + "\"";
  if (args && *args) cmd += std::string(" ") + args;
  std::vector<char> buf(cmd.begin(), cmd.end());
  buf.push_back('\0');
  // The program starts in its own folder, as it does from a shortcut.
  std::string folder = ProgramPath();
  folder.erase(folder.find_last_of('\\'));
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* code) {
  if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD c = 0;
  if (!GetExitCodeProcess(process, &c)) return false;
  if (code) *code = c;
  return true;
}

DWORD RunProgram(const char* args, DWORD timeoutMs) {
  ScopedProgram p(args);
  DWORD code = kNoExitCode;
  if (!p.started() || !p.Wait(timeoutMs, &code)) return kNoExitCode;
  return code;
}

ScopedProgram::~ScopedProgram() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

HWND WaitForWindowClass(const char* cls, DWORD timeoutMs, const char* title) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND w = FindWindowA(cls, title)) return w;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(50);
  }
}

bool DeleteTree(HKEY root, const char* path) {
  // With a sub-key name RegDeleteTreeA removes the key itself too, not only its contents.
  LONG rc = RegDeleteTreeA(root, path);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

namespace {

bool WriteBitmapFile(const std::string& path, HDC dc, HBITMAP bmp, int width, int height) {
  BITMAPINFOHEADER bih = {};
  bih.biSize = sizeof bih;
  bih.biWidth = width;
  bih.biHeight = height;  // bottom-up, as BMP files store it
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  bih.biCompression = BI_RGB;
  const DWORD stride = ((DWORD(width) * 3 + 3) / 4) * 4;
  bih.biSizeImage = stride * DWORD(height);
  std::vector<BYTE> pixels(bih.biSizeImage);
  BITMAPINFO bi = {};
  bi.bmiHeader = bih;
  if (!GetDIBits(dc, bmp, 0, UINT(height), pixels.data(), &bi, DIB_RGB_COLORS)) return false;
  BITMAPFILEHEADER bfh = {};
  bfh.bfType = 0x4D42;  // "BM"
  bfh.bfOffBits = sizeof bfh + sizeof bih;
  bfh.bfSize = bfh.bfOffBits + bih.biSizeImage;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(&bfh, sizeof bfh, 1, f) == 1 && std::fwrite(&bih, sizeof bih, 1, f) == 1 &&
            std::fwrite(pixels.data(), pixels.size(), 1, f) == 1;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

bool SaveScreenshot(const char* name, HWND window) {
  RECT r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window && !GetWindowRect(window, &r)) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  const std::string folder = HostToWinePath(TW_SCREENSHOT_DIR);
  CreateDirectoryA(folder.c_str(), nullptr);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(mem, bmp);
  bool ok = BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != 0;
  SelectObject(mem, old);
  ok = ok && WriteBitmapFile(folder + "\\" + name + ".bmp", mem, bmp, width, height);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace winetest

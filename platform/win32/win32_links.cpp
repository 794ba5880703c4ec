#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

// Owns one reference to a COM object.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  // For the calls that hand out a new reference.
  void** Out() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T* p_ = nullptr;
};

// The last error a failed shell call stands for: its own for a Win32 failure (a missing
// file, a folder, a denied write), ERROR_INVALID_DATA for a file the shell cannot read as
// a link (E_FAIL).
bool Fail(HRESULT hr) {
  DWORD error = ERROR_INVALID_DATA;
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32 && HRESULT_CODE(hr) != 0)
    error = HRESULT_CODE(hr);
  else if (hr == E_OUTOFMEMORY)
    error = ERROR_OUTOFMEMORY;
  SetLastError(error);
  return false;
}

std::wstring Wide(const char* ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n) - 1);
  return wide;
}

HRESULT NewLink(ComRef<IShellLinkA>* link, ComRef<IPersistFile>* file) {
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link->Out());
  if (FAILED(hr)) return hr;
  return (*link)->QueryInterface(IID_IPersistFile, file->Out());
}

// One text read into a buffer of `size` characters; empty when the call fails.
template <class Get>
std::string Text(DWORD size, Get&& get) {
  char buffer[plat::kLinkTextBuffer] = {};
  if (size > sizeof buffer) size = sizeof buffer;
  if (FAILED(get(buffer, static_cast<int>(size)))) return std::string();
  buffer[size - 1] = '\0';
  return buffer;
}

// The wide path of a shortcut and a new shell link object for it.
HRESULT Prepare(const char* lnkPath, std::wstring* path, ComRef<IShellLinkA>* link,
                ComRef<IPersistFile>* file) {
  if (!lnkPath || !*lnkPath) return E_INVALIDARG;
  *path = Wide(lnkPath);
  if (path->empty()) return E_INVALIDARG;
  return NewLink(link, file);
}

class Win32Links : public plat::ILinks {
 public:
  bool Load(const char* lnkPath, plat::ShellLink* out, bool resolve, DWORD timeoutMs) override {
    if (!out) return Fail(E_INVALIDARG);
    *out = plat::ShellLink{};
    std::wstring path;
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    HRESULT hr = Prepare(lnkPath, &path, &link, &file);
    if (FAILED(hr)) return Fail(hr);
    hr = file->Load(path.c_str(), STGM_READ);
    if (FAILED(hr)) return Fail(hr);

    plat::ShellLink result;
    if (resolve) {
      DWORD timeout = timeoutMs > 0xFFFF ? 0xFFFF : timeoutMs;
      result.resolveResult = link->Resolve(nullptr, SLR_NO_UI | (timeout << 16));
    }
    // S_FALSE: the link names no file.
    char target[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK) {
      target[MAX_PATH - 1] = '\0';
      result.target = target;
    }
    result.arguments =
        Text(plat::kLinkTextBuffer, [&](char* b, int n) { return link->GetArguments(b, n); });
    result.description =
        Text(plat::kLinkTextBuffer, [&](char* b, int n) { return link->GetDescription(b, n); });
    result.workingFolder =
        Text(MAX_PATH, [&](char* b, int n) { return link->GetWorkingDirectory(b, n); });
    int iconIndex = 0;
    result.iconPath =
        Text(MAX_PATH, [&](char* b, int n) { return link->GetIconLocation(b, n, &iconIndex); });
    result.iconIndex = iconIndex;
    int show = SW_SHOWNORMAL;
    if (SUCCEEDED(link->GetShowCmd(&show))) result.showCommand = show;
    *out = std::move(result);
    return true;
  }

  bool Save(const char* lnkPath, const plat::ShellLink& l) override {
    std::wstring path;
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    HRESULT hr = Prepare(lnkPath, &path, &link, &file);
    if (FAILED(hr)) return Fail(hr);
    // S_FALSE from SetPath: the target does not exist (the link is written all the same).
    if (FAILED(hr = link->SetPath(l.target.c_str()))) return Fail(hr);
    if (!l.arguments.empty() && FAILED(hr = link->SetArguments(l.arguments.c_str())))
      return Fail(hr);
    if (!l.description.empty() && FAILED(hr = link->SetDescription(l.description.c_str())))
      return Fail(hr);
    if (!l.workingFolder.empty() && FAILED(hr = link->SetWorkingDirectory(l.workingFolder.c_str())))
      return Fail(hr);
    if (!l.iconPath.empty() && FAILED(hr = link->SetIconLocation(l.iconPath.c_str(), l.iconIndex)))
      return Fail(hr);
    if (FAILED(hr = link->SetShowCmd(l.showCommand))) return Fail(hr);
    if (FAILED(hr = file->Save(path.c_str(), TRUE))) return Fail(hr);
    return true;
  }
};

}  // namespace

plat::ILinks& Links() {
  static Win32Links instance;
  return instance;
}

}  // namespace win32

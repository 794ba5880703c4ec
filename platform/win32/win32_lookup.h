// Functions that older Windows versions lack are looked up at run time.
#pragma once
#include <windows.h>

namespace win32 {

// The function `name` of a loaded module as the pointer type Fn; nullptr when it is missing.
template <class Fn>
Fn LookUp(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                : nullptr;
}

template <class Fn>
Fn LookUp(const char* module, const char* name) {
  return LookUp<Fn>(::GetModuleHandleA(module), name);
}

}  // namespace win32

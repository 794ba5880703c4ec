#include "ui/win32/dialog_text.h"

#include "settings/language.h"

namespace uiwin {

int SetDialogTextFromString(int number, HWND window, int control) {
  char text[513] = {};
  if (settings::LoadLanguageString(number, 512, text) <= 0) return 0;
  return SetDlgItemTextA(window, control, text) ? 1 : 0;
}

}  // namespace uiwin

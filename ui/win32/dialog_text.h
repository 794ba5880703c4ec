// Dialog texts from the language strings.
#pragma once
#include "platform/wintypes.h"

namespace uiwin {
// Sets the control's text to language string `number` when the string exists (512
// characters at most); returns 1 when it was set.
int SetDialogTextFromString(int number, HWND window, int control);
}  // namespace uiwin

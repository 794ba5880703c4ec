// The language-string loader: every user-visible text is fetched by number. A translation
// stored in the registry as LString<n> overrides the built-in string table whenever the
// table in use is not the English one.
#pragma once
#include <string>

#include "platform/wintypes.h"

namespace settings {

// Texts are at most this long.
inline constexpr int kMaxLanguageString = 772;
// The language id of the English table.
inline constexpr WORD kLangEnglish = 9;

// Loads string `number` into out (size bytes). Returns the length, 0 when there is none.
int LoadLanguageString(int number, int size, char* out);
std::string LangString(int number, int size = kMaxLanguageString);

// The primary language id of the string table in use; 0 until the start-up sequence sets it.
WORD LanguageId();
void SetLanguageId(WORD id);
// The language id the code of string 634 stands for.
WORD LanguageIdFromCode(const char* code);

}  // namespace settings

// Resource identifiers of TallowickEx.exe: icons, tab page dialogs and their controls.
// Shared by the resource script and the code; plain #defines so windres can read them.
#pragma once

// Icons
#define IDI_TALLOWICK 101
#define IDI_PROGRAM 115
#define IDI_TAB_PLUS 167
#define IDI_TAB_STARTUP 170
#define IDI_TAB_ACTIVEX 171
#define IDI_TAB_SERVICES 173
#define IDI_TAB_RECENT 175
#define IDI_TAB_ACTIVE_TASKS 176
#define IDI_TAB_FILE_TYPES 179
#define IDI_TAB_IE_HELPERS 180
#define IDI_TAB_OPTIONS 181
#define IDI_TAB_SCHEDULED_TASKS 182
#define IDI_TAB_COOKIES 183
#define IDI_TAB_DELAYED_START 184
#define IDI_TAB_HIDDEN_FILES 185
#define IDI_TAB_REGISTRY 186

// Tab page dialogs
#define IDD_STARTUP 102
#define IDD_ABOUT 103
#define IDD_COOKIES 108
#define IDD_ACTIVE_TASKS 110
#define IDD_OPTIONS 114
#define IDD_SERVICES 132
#define IDD_SCHEDULED_TASKS 137
#define IDD_IE_HELPERS 139
#define IDD_FILE_TYPES 142
#define IDD_HIDDEN_FILES 195
#define IDD_DELAYED_START 197
#define IDD_ACTIVEX 201
#define IDD_RECENT 214
#define IDD_REGISTRY 215

// Controls shared by the pages
#define IDC_LIST 1000
#define IDC_HEADER_TEXT 1047

// About page
#define IDC_VERSION_LINE 1041
#define IDC_SEARCH_LABEL 1074
#define IDC_SEARCH_TEXT 1075
#define IDC_SEARCH 1076
#define IDC_REPAIR_TOOLS 1094
#define IDC_CHECK_VERSION 1123

// Default-entry warning (dialog 194)
#define IDD_DEFAULT_WARNING 194
#define IDC_WARNING_FILE 1190
#define IDC_WARNING_TEXT 1191
#define IDC_WARNING_TITLE 1192
#define IDC_WARNING_CONFIRM 1193

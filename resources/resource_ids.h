// Resource identifiers of TallowickEx.exe: icons, bitmaps, the sound, the tab page dialogs,
// the program's own dialogs and their controls. Shared by the resource script and the code;
// plain #defines so windres can read them.
#pragma once

// Icons
#define IDI_TALLOWICK 101
#define IDI_DEFAULT_PROGRAM 107  // image 0 of every list's row icons
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

// Bitmaps: the picture buttons and the header pictures
#define IDB_HELP 133          // help picture, normal
#define IDB_HELP_HOVER 134    // help picture, mouse over it
#define IDB_HELP_PRESSED 135  // help picture, held down
#define IDB_PATROL_OFF 154    // patrol-status picture: the category is not patrolled
#define IDB_PATROL_ON 155     // patrol-status picture: patrolled every few minutes
#define IDB_PATROL_HOVER 156  // patrol-status picture, mouse over it or held down
#define IDB_HEADER_PAGES 158  // header picture of the list pages
#define IDB_HEADER_PLUS 159   // header picture of the PLUS (About) page
#define IDB_HEADER_OPTIONS 160  // header picture of the Options page
#define IDB_REALTIME 193      // patrol-status picture: watched in real time

// Sound played when the tab window opens (resource type WAVE)
#define IDR_OPEN_SOUND 170

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

// The program's own dialogs
#define IDD_HISTORY 141          // history of events, with restore
#define IDD_MESSAGE 184          // message dialog: a text and OK / Cancel
// (194, the default-entry warning, is at the end)
#define IDD_DELAY_OPTIONS 198    // delay options of a delayed-start program
#define IDD_STARTUP_TYPE 199     // all users or the current user

// Furniture shared by the pages
#define IDC_LIST 1000
#define IDC_FIRST_CHECK 1014
#define IDC_SECOND_CHECK 1016
#define IDC_HEADER_TEXT 1047      // the page's title line (the tab title)
#define IDC_HELP_PICTURE 1077     // help picture button
#define IDC_PATROL_PICTURE 1112   // patrol-status (window-mode) picture button
#define IDC_HEADER_PICTURE 1130
#define IDC_PAGE_TEXT1 1249       // first explanatory text under the title line
#define IDC_PAGE_TEXT2 1250       // second explanatory text

// Bottom buttons shared by the list pages (the same identifiers as the menu commands)
#define IDC_ENABLE 10
#define IDC_DISABLE 11
#define IDC_REMOVE 1003
#define IDC_CLOSE 1004
#define IDC_REFRESH 1006
#define IDC_KILL_TASK 1007
#define IDC_INFO 1008
#define IDC_ADD 1064

// Startup Programs page
#define IDC_STARTUP_TEXT 1211     // explanatory text 211 above the list
#define IDC_SHOW_ALL_STARTUP IDC_FIRST_CHECK    // Display Secret Startup Locations
#define IDC_NOTIFY_MISSING_RUN IDC_SECOND_CHECK // Notify me if a Startup Auto Setting is Removed

// Delayed Start page
#define IDC_DELAY_OPTIONS 1197    // Delay Options button (the menu's Delay Start Options...)

// Services page, Active Tasks page, ActiveX page: their check boxes are the shared ones
#define IDC_NON_MICROSOFT_ONLY IDC_FIRST_CHECK  // Services, ActiveX
#define IDC_ACTIVEX_LIST_ALL IDC_SECOND_CHECK   // ActiveX
#define IDC_SHOW_ALL_FILES IDC_FIRST_CHECK      // Active Tasks (hidden)

// Cookies page
#define IDC_ALWAYS_VIEW_COOKIES IDC_FIRST_CHECK
#define IDC_VIEW_COOKIES 1270
#define IDC_BROWSER_IE 1271
#define IDC_BROWSER_MOZILLA 1272
#define IDC_BROWSER_CHROME 1273
#define IDC_COOKIE_FOLDER_BUTTON 1274
#define IDC_COOKIE_FOLDER 1275    // the cookie folder in use (read-only line)
#define IDC_NEW_FILTER 1276       // edit: a new filter text
#define IDC_FILTER_SHOWN 1277     // edit: the filter last clicked
#define IDC_FILTER_LABEL 1278     // "Cookie Filters"
#define IDC_COOKIE_WARNING 1279   // close the browsers before editing cookies
#define IDC_PAGE_TEXT3 1280       // third explanatory text (Cookies page)

// Hidden Files page
#define IDC_UNHIDE 1281

// Recent page
#define IDC_RECENT_ACTION 1246    // Kill Task / Delete / Remove / Stop, by the row's kind

// Registry Monitoring page
#define IDC_SUGGESTIONS 1065

// Options page
#define IDC_OPTIONS_TEXT 1049     // explanatory text 251
#define IDC_TOOLTIPS_LABEL 1050
#define IDC_TOOLTIPS_STYLE 1090   // drop-down list: None, Default, Balloon
#define IDC_START_PAGE_TEXT 1140
#define IDC_START_PAGE_PATROL 1136
#define IDC_HOSTS_TEXT 1141
#define IDC_HOSTS_PATROL 1137
#define IDC_START_MONITOR 1017
#define IDC_PLAY_SOUNDS 1020
#define IDC_TRACK_HISTORY 1024
#define IDC_HIDE_TRAY_ICON 1025
#define IDC_LOCK_FILE_TYPES 1026
#define IDC_CONFIRM_EXIT 1027
#define IDC_EXPLORER_MENU 1018
#define IDC_CLOUD_DATA 1203
#define IDC_REPORT_LOG 1108
#define IDC_SPREADSHEET_REPORT 1110
#define IDC_HIJACK_LOG 1109
#define IDC_VIEW_HISTORY 1104
#define IDC_EXPORT_SETTINGS 1106
#define IDC_VIEW_HOSTS 1105
#define IDC_HIDE_ALERTS 1236
// (Repair and Reset Tools is IDC_REPAIR_TOOLS, as on the About page)

// History dialog; the buttons have the identifiers of the history list's menu commands
#define IDC_HISTORY_TEXT 1282
#define IDC_HISTORY_RESTORE 1104
#define IDC_HISTORY_CLEAR 1106
#define IDC_HISTORY_CLOSE 1       // IDOK, the menu's Close

// Message dialog (OK and Cancel are IDOK and IDCANCEL)
#define IDC_MESSAGE_TEXT 1025

// Delay options dialog (OK and Cancel are IDOK and IDCANCEL)
#define IDC_DELAY_LABEL 1291
#define IDC_DELAY_MINUTES 1285    // drop-down list 0 .. 60
#define IDC_DELAY_MINUTES_LABEL 1292
#define IDC_DELAY_SECONDS 1286    // drop-down list 0, 10, .. 50
#define IDC_DELAY_SECONDS_LABEL 1293
#define IDC_OPEN_AS_LABEL 1294
#define IDC_OPEN_AS 1287          // drop-down list: normal, minimized, maximized
#define IDC_PARAMETERS_LABEL 1295
#define IDC_PARAMETERS 1288
#define IDC_DELAY_TITLE_LABEL 1296
#define IDC_DELAY_TITLE 1289
#define IDC_RUN_AS_ADMIN 1290

// Startup Program Type dialog (OK, captioned Apply, is IDOK)
#define IDC_STARTUP_TYPE_TEXT 1297
#define IDC_ALL_USERS 1199
#define IDC_CURRENT_USER 1200

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

// Identifiers shared by the resource script and the code that loads from it.
#pragma once

// The document template's resources: menu, accelerators, toolbar (type
// 241 and its bitmap), the document string.
#define IDR_MAINFRAME 2
#define IDS_APP_TITLE 1000

#define IDD_ABOUTBOX 100
#define IDD_SPLASH 140
#define IDB_SPLASH_TITLE 286
#define IDB_SPLASH_SUBTITLE 287
#define IDB_SPLASH_CALENDAR 144
#define IDC_SPLASH_PICTURE1 1001
#define IDC_SPLASH_PICTURE2 1002
#define IDC_SPLASH_PICTURE3 1003
#define IDC_SPLASH_PICTURE4 1004
#define IDC_ABOUT_EMAIL 1345
#define IDC_ABOUT_WEBSITE 1346

// Commands: menus, toolbar, accelerators and the notification-area menu.
#define ID_CALENDAR_CONVERT 32790
#define ID_CALENDAR_BACKUP 32804
#define ID_CALENDAR_RESTORE 32805
#define ID_CALENDAR_MANAGER 339
#define ID_CALENDAR_MANAGER_KEY 32905
#define ID_CALENDAR_MANAGER_BUTTON 32780
#define ID_CALENDAR_SEARCH 32906
#define ID_CALENDAR_WIZARD 349
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_CALENDAR_MOVE 32851
#define ID_CALENDAR_SUBSCRIBE 354
#define ID_CALENDAR_SUBSCRIBE_KEY 32901
#define ID_CALENDAR_CLOSE 32888
#define ID_CALENDAR_IMPORT 32849
#define ID_CALENDAR_EXPORT 32848
#define ID_CALENDAR_PRINT 32841
#define ID_CALENDAR_PRINT_EVENT 32910
#define ID_CALENDAR_HIDE 32793
#define ID_APP_EXIT 57665
#define ID_ALT_F4 32893
#define ID_QUICK_TIMER 332
#define ID_QUICK_TIMER_KEY 32897
#define ID_EVENT_MANAGER 355
#define ID_EVENT_WIZARD 32852
#define ID_EVENT_ACKNOWLEDGE 32814
#define ID_EVENT_ADD 32777
#define ID_EVENT_ADD_COPY 32885
#define ID_EVENT_MODIFY 32778
#define ID_EVENT_DELETE 32779
#define ID_EVENT_EXPORT 353
#define ID_EVENT_SEARCH 32853
#define ID_EVENT_RESET 32845
#define ID_EVENT_RESET_ALL 32846
#define ID_VIEW_NEW_DATE 32854
#define ID_VIEW_OLD_IN_LIST 32857
#define ID_VIEW_OLD_IN_CALENDAR 32858
#define ID_VIEW_DAY 32886
#define ID_VIEW_DAY_KEY 32911
#define ID_VIEW_MONTH 32860
#define ID_VIEW_WEEK 32861
#define ID_VIEW_ALL 32800
#define ID_VIEW_ALL_KEY 32839
#define ID_VIEW_UPCOMING 32799
#define ID_VIEW_UPCOMING_KEY 32840
#define ID_VIEW_CALENDAR_AND_LIST 32811
#define ID_VIEW_LIST_ONLY 32812
#define ID_VIEW_CALENDAR_ONLY 32813
#define ID_VIEW_RESIZE 32870
#define ID_ALARM_LOG 330
#define ID_VIEW_TOOLBAR 32782
#define ID_EVENT_COUNT 32792
#define ID_SORT_DATE_TIME 32788
#define ID_SORT_TYPE_NAME 32785
#define ID_SORT_TYPE_DATE_TIME 32786
#define ID_SORT_TYPE_AGE 32787
#define ID_SORT_NAME_DATE_TIME 32838
#define ID_VIEW_FILTER 32843
#define ID_SETUP_OPTIONS 32773
#define ID_SETUP_DATE_TIME 32797
#define ID_SETUP_REGIONAL 32798
#define ID_HELP_FINDER 57666
#define ID_HELP_WEB_SITE 32806
#define ID_APP_ABOUT 57664
#define ID_HELP 57670
#define ID_VIEW_TODAY 32794
#define ID_TRAY_RESTORE 40010
#define ID_PREVIEW_PRINT 1196

// Accelerator ids beside the menu ids they stand for.
#define ID_KEY_ADD 101
#define ID_KEY_NEW_DATE 102
#define ID_KEY_BACKUP 103
#define ID_KEY_DELETE 104
#define ID_KEY_SEARCH 105
#define ID_KEY_MANAGER 106
#define ID_KEY_ACKNOWLEDGE 107
#define ID_KEY_MODIFY 108
#define ID_KEY_NEW 109
#define ID_KEY_OPEN 110
#define ID_KEY_PRINT 111
#define ID_KEY_HELP 112
#define ID_KEY_WEEK 113
#define ID_KEY_MONTH 114
#define ID_KEY_HIDE 115
#define ID_KEY_WIZARD 116
// Extra ids of the same handlers (notification-area menu, old toolbars).
#define ID_EXTRA_MANAGER 1006
#define ID_EXTRA_ADD 1007
#define ID_EXTRA_CALENDAR_AND_LIST 1010
#define ID_EXTRA_HIDE 1011
#define ID_EXTRA_OPTIONS 1012
#define ID_EXTRA_LIST_ONLY 1013
#define ID_EXTRA_CALENDAR_ONLY 1014

// Status-bar panes.
#define ID_INDICATOR_TIME 59143
#define ID_INDICATOR_DATE 59144

// ---- Shared small dialogs (warning, upcoming days, log, select month,
// backup, preview prompt) and their controls. Block kept together to ease
// merging with other folders' additions.
#define IDD_WARNING 149
#define IDD_UPCOMING_DAYS 300
#define IDD_LOG 238
#define IDD_SELECT_MONTH 234
#define IDD_BACKUP 210
#define IDD_PREVIEW_PROMPT 361
#define IDC_WARNING_CHECK 1127
#define IDC_WARNING_TEXT 1128
#define IDC_WARNING_HELP 8
#define IDC_UPCOMING_SPIN 1120
#define IDC_UPCOMING_DAYS 1021
#define IDC_UPCOMING_HELP 3
#define IDC_LOG_TEXT 1105
#define IDC_SELECT_MONTH_LIST 1025
#define IDC_SELECT_MONTH_YEAR 1023
#define IDC_SELECT_MONTH_SPIN 1307
#define IDC_SELECT_MONTH_CURRENT 1306
#define IDC_BACKUP_DIR 1105
#define IDC_BACKUP_BROWSE 1252

// ---- Each window area's identifiers.
#include "res/ids/list_view.h"
#include "res/ids/event_edit.h"
#include "res/ids/alarm_window.h"
#include "res/ids/alarm_actions.h"
#include "res/ids/calendar_views.h"
#include "res/ids/day_views.h"
#include "res/ids/printing.h"
#include "res/ids/options.h"
#include "res/ids/wizard_backup.h"
#include "res/ids/sharing.h"
#include "res/ids/calendar_dialogs.h"

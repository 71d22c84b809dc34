// The program's private window messages and the view hints of the
// all-views update. Other programs use WM_MONTHPICTURE, WM_SETPICTURESIZE,
// WM_QUERYSEARCHOWNER and WM_APPSTEST, so the numbers never change.
#pragma once

#include <windows.h>

constexpr UINT WM_TRAYNOTIFY = WM_USER + 2;
constexpr UINT WM_GRIDCHECKCHANGED = WM_USER + 6;
constexpr UINT WM_APPSTEST = WM_USER + 2001;
constexpr UINT WM_MONTHPICTURE = WM_USER + 3000;
constexpr UINT WM_SETPICTURESIZE = WM_USER + 3001;
constexpr UINT WM_SHOWALARMLOG = WM_USER + 3002;
constexpr UINT WM_QUERYSEARCHOWNER = WM_USER + 3003;
// WM_USER + 3004 to + 3006: progress of Internet transfers (not the frame's).
// Posted by the frame to itself once it was raised: the windows it owns go
// back above it.
constexpr UINT WM_RAISEOWNED = WM_USER + 3300;

// lHint values of UpdateAllViews.
enum ViewHint : LPARAM {
  kHintListSelection = 2,
  kHintReload = 3,
  kHintSelectEvent = 4,
  kHintSelectionCleared = 5,
  kHintSaveState = 6,
  kHintGoToDate = 7,
  kHintDayChanged = 8,
  kHintEventModified = 9,
  kHintEventDeleted = 10,
  kHintTypesChanged = 11,
  kHintFontsChanged = 13,
  kHintDropEvent = 14,  // object: the event's serial number (INT_PTR), not a pointer
  kHintMarkInCalendar = 15,
  kHintWriteListFile = 16,
  kHintListReloaded = 17,
  kHintMonthWeek = 18,
};

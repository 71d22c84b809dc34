// CDateTimePicker: the platform's date-and-time picker control, either a
// drop-down date picker in the user's short date format with a four-digit
// year, or an up-down time picker in hours and minutes. Dialogs create it
// at run time in place of a template item and learn of changes through the
// standard date-time-change notification (DTN_DATETIMECHANGE).
#pragma once

#include <windows.h>

#include <string>

#include "framework/window.h"
#include "model/dates/date_time.h"

namespace dialogs {

class CDateTimePicker : public framework::CWindow {
 public:
  // False when the control could not be created.
  bool CreateDatePicker(HWND parent, const RECT& rect, int id);
  bool CreateTimePicker(HWND parent, const RECT& rect, int id);

  // The control's day into the value's date (its seconds become 0, so read
  // the date before the time).
  void GetDate(CDateTime& value) const;
  // The value's date at 00:00:00; an empty value shows today.
  void SetDate(const CDateTime& value);
  // The control's hour, minute and second into the value's time of day.
  void GetTime(CDateTime& value) const;
  // The whole value as local time; no date shows today, no time of day
  // 00:00.
  void SetTime(const CDateTime& value);

  // A short-date pattern with "yy" but no "yyyy" gets a four-digit year.
  static std::string WidenShortDatePattern(const std::string& pattern);
  // The picker's format for the user's time pattern (the locale's, as
  // "HH:mm:ss" or "h:mm:ss tt"): its hours, minutes and am/pm as they are
  // written there, the seconds and the separator before them left out, the
  // separators quoted. An empty pattern gives "HH':'mm".
  static std::string TimeFormat(const std::string& localePattern);
  // The parent calls this on DTN_DROPDOWN: the month calendar starts its
  // weeks on Monday when the setting CalendarStartDay is 1, else Sunday.
  void OnDropDown();

 private:
  bool CreateControl(HWND parent, const RECT& rect, int id, DWORD style);
};

}  // namespace dialogs

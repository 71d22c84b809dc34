// CEventInfoDlg: dialog 179 "Event Information", the details of one
// occurrence, read-only, with Modify, Delete and Print handing the
// occurrence to the main window's operations. Modify or Delete that report
// success close the dialog with IDOK; otherwise it stays open.
#pragma once

#include <string>

#include "dialogs/event/event_operations.h"
#include "framework/dialogs/dialog.h"
#include "model/events/occurrence_ref.h"

namespace dialogs {

class CEventInfoDlg : public framework::CDialog {
 public:
  CEventInfoDlg(IEventOperations* operations, HWND parent = nullptr);

  // Fills the texts from the occurrence (kept as a copy); `today` is the
  // day the days-left text counts from (today when empty).
  void SetOccurrence(const COccurrenceRef& occurrence, const CDateTime& today = CDateTime());

  std::string daysLeft, name, notes, startTime, type, startDate, originalYear, age, endDate, endTime, endLabel;
  std::string calendar;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  void DoDataExchange(framework::CDataExchange& dx) override;

 private:
  void OnModify();
  void OnDelete();
  void OnPrint();

  IEventOperations* operations_;
  COccurrenceRef occurrence_;
};

// ": " + the long week-day name + ", " + the short date.
std::string WeekdayAndShortDate(const CDateTime& value);
// The time of day in the user's format without seconds.
std::string ShortTimeText(const CDateTime& value);
// The date in the user's long date format.
std::string LongDateText(const CDateTime& value);

}  // namespace dialogs

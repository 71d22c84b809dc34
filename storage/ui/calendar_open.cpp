#include "storage/ui/calendar_open.h"

#include "model/settings/program_settings.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/ui/cal_subscribe_dlg.h"

bool OpenListedCalendar(CAlmacoraDoc& doc, CCalendarFile* calendar, HWND owner) {
  if (calendar == nullptr) return false;
  HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  bool opened = false;
  if (calendar->previewFlag && !calendar->address.empty()) {
    CCalSubscribeDlg dlg(doc, owner);
    dlg.SetCalendar(calendar);
    if (dlg.DoModal() == IDOK) doc.RecountAndRefresh();
  } else {
    calendar->previewFlag = 0;
    calendar->openState = CCalendarFile::kOpen;
    if (calendar->OpenFile(&doc.events(), calendar->path) != 0) {
      opened = true;
      doc.RecountAndRefresh();
    } else {
      calendar->openState = CCalendarFile::kClosed;
    }
  }
  doc.calendars().UpdateMainWindowTitle();
  g_Settings.SaveSettings();
  ::SetCursor(previous);
  return opened;
}

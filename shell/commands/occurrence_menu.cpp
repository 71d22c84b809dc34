#include "shell/commands/occurrence_menu.h"

#include "model/events/cal_event.h"
#include "res/resource.h"
#include "shell/calendar/cal_view.h"
#include "shell/commands/event_commands.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

namespace {
IEventCommands* g_commands = nullptr;

class WaitCursor {
 public:
  WaitCursor() : old_(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(old_); }

 private:
  HCURSOR old_;
};

bool LaterThanTodayMidnight(const CDateTime& date) {
  const int32_t today = CDateTime::Today().GetJulianDay();
  const int32_t day = date.GetJulianDay(CDateTime::kAsLocal);
  return day > today || (day == today && date.HasTimeOfDay() && date.GetSecondsOfDay(CDateTime::kAsLocal) > 0);
}
}  // namespace

IEventCommands* GetEventCommands() { return g_commands ? g_commands : FrameEventCommands(); }
void SetEventCommands(IEventCommands* commands) { g_commands = commands; }

namespace occmenu {

UINT (*trackHook)(HMENU, POINT, UINT, HWND) = nullptr;

UINT Track(HMENU menu, POINT screen, UINT flags, HWND owner) {
  if (trackHook) return trackHook(menu, screen, flags, owner);
  return static_cast<UINT>(
      ::TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y, 0, owner, nullptr));
}

bool CalendarOnly() { return CCalView::layoutModeHook && CCalView::layoutModeHook() == 2; }

HMENU Build(const COccurrenceRef* ref, Style style, bool calendarOnly) {
  HMENU menu = ::CreatePopupMenu();
  IEventCommands* commands = GetEventCommands();
  const UINT frame = commands ? MF_STRING : (MF_STRING | MF_GRAYED);
  if (!ref || !ref->event) {
    ::AppendMenuA(menu, frame, ID_OCC_ADD, "Add");
    return menu;
  }
  if (style == Style::kDayViews) ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  if (ref->IsAcknowledged()) {
    if (ref->event->alarmOn || LaterThanTodayMidnight(ref->date))
      ::AppendMenuA(menu, MF_STRING, ID_OCC_UNACKNOWLEDGE, "Un-Acknowledge");
  } else {
    ::AppendMenuA(menu, frame, ID_OCC_ACKNOWLEDGE, "Acknowledge");  // asks the frame first
  }
  ::AppendMenuA(menu, frame, ID_OCC_DETAILS, "Details");
  ::AppendMenuA(menu, frame, ID_OCC_PRINT, "Print Event");
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  if (style == Style::kDayViews)
    ::AppendMenuA(menu, frame, ID_OCC_ADD, "Add");
  else
    ::AppendMenuA(menu, frame, ID_OCC_ADD_COPY, "Add Copy");
  ::AppendMenuA(menu, frame, ID_OCC_MODIFY, "Modify");
  ::AppendMenuA(menu, frame, ID_OCC_DELETE, "Delete");
  ::AppendMenuA(menu, frame, ID_OCC_EXPORT, "Export");
  ::AppendMenuA(menu, MF_STRING, ID_OCC_RESET, "Reset");
  if (!calendarOnly) {
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, ID_OCC_SHOW_IN_LIST, "Show in Event List");
  }
  return menu;
}

bool Run(UINT id, COccurrenceRef ref, CShellDocument* doc) {
  if (!ref.event) return id != ID_OCC_ADD && id >= ID_OCC_ADD && id <= ID_OCC_EXPORT;
  CCalEvent& event = *ref.event;
  IEventCommands* commands = GetEventCommands();
  switch (id) {
    case ID_OCC_MODIFY:
      if (commands) commands->ModifyEvent(ref);
      return true;
    case ID_OCC_DELETE:
      if (commands) commands->DeleteEvent(ref);
      return true;
    case ID_OCC_ACKNOWLEDGE: {
      WaitCursor wait;
      if (commands && commands->ConfirmAcknowledge(event.oneTime != 0)) event.Acknowledge(ref.date, true);
      return true;
    }
    case ID_OCC_DETAILS:
      if (commands) commands->ShowDetails(ref);
      return true;
    case ID_OCC_SHOW_IN_LIST:
      if (doc) doc->UpdateAllViews(nullptr, kHintSelectEvent, &ref);
      return true;
    case ID_OCC_RESET: {
      WaitCursor wait;
      event.ResetOccurrences();
      if (doc) doc->Core().SaveEventAndRefresh(event, 0, 0, 1);
      return true;
    }
    case ID_OCC_UNACKNOWLEDGE: {
      WaitCursor wait;
      event.Unacknowledge(ref.date);
      return true;
    }
    case ID_OCC_ADD_COPY:
      if (commands) commands->AddCopy(event);
      return true;
    case ID_OCC_PRINT:
      if (commands) commands->PrintEvent(ref);
      return true;
    case ID_OCC_EXPORT:
      if (commands) commands->ExportEvent(ref);
      return true;
    default:
      return false;
  }
}

}  // namespace occmenu

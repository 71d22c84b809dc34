// What the event model asks of the reminder window (the alarm list): taking
// an event's rows out of it when the event is deleted, put into the editor,
// or loses an occurrence. The window implements IReminderWindow; each event
// keeps a pointer to the window that lists it. Tests use a fake.
#pragma once

class CCalEvent;
class CDateTime;

class IReminderWindow {
 public:
  virtual ~IReminderWindow() = default;

  // Removes the event's row `row`, or, with row -1, the rows found from the
  // event and the occurrence's scheduled date. A null date removes every
  // row of the event. The event's due-alarm list is emptied and its listed
  // flag cleared only when no row of the event is left; when the grid is
  // empty the window stops its sound and hides itself. No result.
  virtual void RemoveAlarm(CCalEvent* event, int row, const CDateTime* date) = 0;
};

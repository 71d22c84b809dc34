// What the event information dialog asks of the main window: the event
// operations it offers as buttons. The main frame implements it; tests fake
// it. Each takes its own copy of the reference, since the view rebuild an
// operation triggers frees the rows the caller's reference came from.
#pragma once

#include <windows.h>

#include "model/events/occurrence_ref.h"

namespace dialogs {

class IEventOperations {
 public:
  virtual ~IEventOperations() = default;
  // TRUE when the event was saved.
  virtual BOOL ModifyEvent(COccurrenceRef occurrence) = 0;
  // TRUE when the whole event was removed.
  virtual BOOL DeleteEvent(COccurrenceRef occurrence) = 0;
  virtual void PrintEvent(COccurrenceRef occurrence) = 0;
};

}  // namespace dialogs

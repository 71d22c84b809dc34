// The occurrence menu shared by the day schedule, the all-day strip and the
// day pop-up, and the commands it offers. A command acts on a copy of the
// occurrence: Acknowledge, Reset and the rest save, and the save reloads
// every view, which frees the page the menu was opened over.
#pragma once

#include <windows.h>

#include "model/events/occurrence_ref.h"

class CShellDocument;

namespace occmenu {

enum class Style {
  kDayViews,  // leading separator, "Add"
  kPopup,     // no leading separator, "Add Copy"
};

// A new pop-up menu for `ref` (null: only "Add"). "Show in Event List" is
// left out when `calendarOnly`. Commands of the main frame are grey while
// none is installed. The caller destroys the menu.
HMENU Build(const COccurrenceRef* ref, Style style, bool calendarOnly);

// Runs command `id` (ID_OCC_*) on the occurrence; Add and unknown ids are
// the caller's. True when the id was one of the occurrence commands.
bool Run(UINT id, COccurrenceRef ref, CShellDocument* doc);

// Tracks the menu at a screen point and returns the chosen id (0 none).
// Tests replace `trackHook` to read the menu and pick an item.
UINT Track(HMENU menu, POINT screen, UINT flags, HWND owner);
extern UINT (*trackHook)(HMENU menu, POINT screen, UINT flags, HWND owner);

// Whether the main window shows the calendar only (no list to follow).
bool CalendarOnly();

}  // namespace occmenu

// Opening a listed calendar again, as the calendar manager does (its Open
// tick, the frame's OpenCalendar).
#pragma once

#include <windows.h>

class CAlmacoraDoc;
class CCalendarFile;

// A preview of an address turns into a subscription through the subscribe
// dialog (the document recounts unless it was cancelled) and answers
// false. Any other calendar leaves preview, takes open state 1 and opens
// its file: on success the document recounts; on failure open state 0.
// Then the title is updated and the settings saved. True when it opened.
bool OpenListedCalendar(CAlmacoraDoc& doc, CCalendarFile* calendar, HWND owner);

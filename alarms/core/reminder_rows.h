// What the reminder window decides about its rows without a window: its
// title, the order of rows, which row the sound repeat plays next, and how
// often the task-bar button flashes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/dates/date_time.h"

class CCalEvent;

namespace alarmcore {

// "Alarm Reminders  (1 alarm)", "(0 alarm)", "(2 alarms)": two blanks
// before the parenthesis.
std::string ReminderTitle(int rows);

// One row as the sound repeat sees it; a row without data is skipped.
struct SoundRow {
  bool present = false;
  bool soundOn = false;
  int lengthMinutes = 0;  // -1: until acknowledged
  std::string file;
};

// The effective sound values of an event (its own, else the settings).
SoundRow EventSoundRow(const CCalEvent& event);
// The effective auto-acknowledge of an event.
bool EventAutoAcknowledges(const CCalEvent& event);

// One repeat tick: starting at *nextIndex (wrapped into the rows), the
// first row whose sound is on and whose length has not run out after
// `elapsedSeconds` since the window was last filled. Returns that row with
// *nextIndex just past it, or -1 when a full pass found nothing (the timer
// stops); -1 also for no rows.
int PickRepeatRow(const std::vector<SoundRow>& rows, int* nextIndex, int64_t elapsedSeconds);

// A sound-file name without a backslash lives in the program's folder
// (`programFolder` ends in a backslash).
std::string SoundFilePath(const std::string& file, const std::string& programFolder);

// How many times the task-bar button flashes: the system's count, or once
// when it could not be read or is 0.
unsigned FlashCount(bool readOk, unsigned count);

// Row order: earlier occurrence first; rows without a date sort first.
bool OccurrenceBefore(const CDateTime* a, const CDateTime* b);

}  // namespace alarmcore

#include "alarms/core/reminder_rows.h"

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"

namespace alarmcore {

std::string ReminderTitle(int rows) {
  return "Alarm Reminders  (" + std::to_string(rows) + (rows < 2 ? " alarm)" : " alarms)");
}

SoundRow EventSoundRow(const CCalEvent& event) {
  SoundRow row;
  row.present = true;
  row.soundOn = ResolveInherited(event.soundOn, g_Settings.AlarmSoundEnabled) != 0;
  row.lengthMinutes = ResolveInherited(event.soundLength, static_cast<int16_t>(g_Settings.AlarmLength));
  row.file = ResolveInheritedText(event.alarmSoundFile, g_Settings.AlarmSoundFile);
  return row;
}

bool EventAutoAcknowledges(const CCalEvent& event) {
  return ResolveInherited(event.autoAcknowledge, g_Settings.AutoAcknowledge) != 0;
}

int PickRepeatRow(const std::vector<SoundRow>& rows, int* nextIndex, int64_t elapsedSeconds) {
  const int count = static_cast<int>(rows.size());
  if (count == 0) return -1;
  // Rows may have gone since the last tick.
  if (*nextIndex < 0 || *nextIndex >= count) *nextIndex = 0;
  const int64_t minutes = elapsedSeconds / 60;
  for (int step = 0; step < count; ++step) {
    const int row = *nextIndex;
    *nextIndex = (row + 1) % count;
    const SoundRow& r = rows[static_cast<size_t>(row)];
    if (r.present && r.soundOn && (r.lengthMinutes == -1 || minutes < r.lengthMinutes)) return row;
  }
  return -1;
}

std::string SoundFilePath(const std::string& file, const std::string& programFolder) {
  if (file.find('\\') != std::string::npos) return file;
  return programFolder + file;
}

unsigned FlashCount(bool readOk, unsigned count) { return readOk && count > 0 ? count : 1; }

bool OccurrenceBefore(const CDateTime* a, const CDateTime* b) {
  if (!a || !b) return !a && b;
  return *a < *b;
}

}  // namespace alarmcore

// What the Options pages convert between their controls and the settings,
// without a window: radio indexes and drop-list positions to stored values
// and back, the 12- and 24-hour clock forms of the reminder and warning
// times, and font heights for the font dialog.
//
// A stored value no control stands for selects nothing (index -1); reading
// back index -1 keeps the stored value, so opening a page and pressing OK
// never rewrites what the user could not see.
#pragma once

#include <cstdint>

namespace options_rules {

// WinStartupMode: radio 0..3 stands for 1, 4, 2, 3. -1 outside 1..4.
int StartupModeToIndex(int32_t mode);
// The mode of radio `index`; `stored` for -1 or an index outside 0..3.
int32_t IndexToStartupMode(int index, int32_t stored);

// DefaultNotifyType: 0 -> 0, 5 -> 1, 1 -> 2, 2 -> 3, 3 and 4 -> 4; -1 for
// every other value.
int NotifyTypeToIndex(int32_t type);
// Back: 0 -> 0, 1 -> 5, 2 -> 1, 3 -> 2, 4 -> 3; `stored` for -1 or beyond.
int16_t IndexToNotifyType(int index, int16_t stored);

// DailyScale: the six scales of the drop list, in list order.
constexpr int kDailyScaleCount = 6;
extern const int32_t kDailyScales[kDailyScaleCount];
// The list position of a scale, -1 when it is not one of the six.
int DailyScaleToIndex(int32_t scale);
// The scale at `index`; `stored` for -1 or an index outside the list.
int32_t IndexToDailyScale(int index, int32_t stored);

// A time of day as a clock shows it. In 12-hour form the hour is 1..12
// and `pm` tells the half; in 24-hour form the hour is 0..23, pm false.
struct ClockTime {
  int hour = 0;
  int minute = 0;
  bool pm = false;
};

// Minutes since midnight (0..1439) as the Alarm page shows them.
ClockTime MinutesToClock(int32_t minutesOfDay, bool hours24);
// The typed hour and minute back as minutes since midnight; -1 when the
// hour is outside 0..23 (24-hour) or 1..12 (12-hour), or the minute
// outside 0..59. 12 AM is midnight, 12 PM noon.
int32_t ClockToMinutes(int hour, int minute, bool pm, bool hours24);

// An hour 0..23 as the Warnings page shows it (12-hour: 0 is 12 AM, 13 is
// 1 PM).
ClockTime HourToClock(int32_t hour, bool hours24);
// The typed hour back as 0..23; -1 outside 0..23 (24-hour) or 1..12.
int32_t ClockToHour(int typed, bool pm, bool hours24);

// The font dialog's starting height for a stored height in tenths of a
// point: the points (tenths / 10, truncated) negated and scaled to the
// screen's pixels per inch, rounded as the system's MulDiv rounds.
int32_t TenthsToFontDialogHeight(int32_t tenths, int pixelsPerInch);

}  // namespace options_rules

// The day schedule's arithmetic, without a window: the day cut into lines
// of `DailyScale` minutes, the lines an occurrence covers, the columns of
// overlapping occurrences, the boxes, the line under a point, the overflow
// markers and the time scale's labels. CDailyView draws and hit-tests with
// these; coordinates are document pixels (the scroll position already
// added).
#pragma once

#include <cstdint>
#include <vector>

#include "model/dates/date_time.h"

class COccurrenceRef;

namespace dayline {

// Minutes per line: `dailyScale` when it divides the 1440 minutes of a day
// (1..1440), else 30. A zero or odd value from the registry would divide by
// zero or leave a partial last line.
int EffectiveScale(int dailyScale);
// 1440 / scale (scale passed through EffectiveScale first).
int LineCount(int dailyScale);

// Start and end line (1-based, inclusive) of one item; both 0 for none.
struct Rows {
  int start = 0;
  int end = 0;
};
// The lines of an occurrence from its start and end as Julian day and
// seconds of day (local time): a start before `shownDay` begins on line 1;
// an end on the shown day ends on the line holding its last minute (an end
// at a line boundary ends on the line before, an end at 00:00 on line 1), an
// end on a later day on the last line; without a shown end the item is
// one line high. A missing time of day counts as 00:00.
Rows RowsOfSpan(int32_t startDay, int32_t startSeconds, bool showEnd, int32_t endDay, int32_t endSeconds,
                int32_t shownDay, int dailyScale);
// The same for an occurrence of an event (both 0 for an all-day one).
Rows RowsOfOccurrence(const COccurrenceRef& ref, const CDateTime& shownDay, int dailyScale);

// One item of the layout: its lines in, its columns out.
struct Item {
  Rows rows;
  int firstColumn = 0;
  int lastColumn = 0;
  bool fixed = false;
};

// Sorts by start line ascending, then end line descending (stable).
void SortItems(std::vector<Item>& items);
// Places the items (in their order) in columns: each takes the first free
// run of columns among the earlier items its lines meet, a new column when
// all are taken (then the earlier items it meets are fixed and every
// unfixed earlier item widens to the new last column). Returns the column
// count (0 without items) and sets the first and last event lines (0, 0
// without items).
int LayoutColumns(std::vector<Item>& items, int* firstLine, int* lastLine);

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
// An item's box for `columns` columns over a client `clientWidth` wide with
// a time scale `scaleWidth` wide and lines `lineHeight` high.
Box ItemBox(const Item& item, int columns, int clientWidth, int scaleWidth, int lineHeight);
// Index of the first box containing the point, or -1.
int HitTest(const std::vector<Box>& boxes, int x, int y);

// The line under document y (the scroll position added once), clamped to
// 1..lineCount so that a point below a short day's last line is the last
// line, never a time of 24:00 or later.
int LineAt(int y, int lineHeight, int lineCount);
// Seconds of day at which a line begins.
int32_t LineSeconds(int line, int dailyScale);

// The top marker: an item begins above the visible part, which needs a
// scroll position above 0. The bottom marker: an item ends at or below the
// line just past the visible part.
bool ShowsTopMarker(int firstEventLine, int scrollY, int lineHeight);
bool ShowsBottomMarker(int lastEventLine, int scrollY, int clientHeight, int lineHeight);

// Whether the scale labels line r (1-based): on whole hours and odd lines.
bool LabelsLine(int line, int dailyScale);
// Whether the separator under line i (1..count-1) is an hour line.
bool IsHourSeparator(int line, int dailyScale);

}  // namespace dayline

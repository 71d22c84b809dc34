#include "shell/core/day_schedule.h"

#include <algorithm>
#include <set>

#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"

namespace dayline {

namespace {
constexpr int kMinutesPerDay = 1440;
}

int EffectiveScale(int dailyScale) {
  if (dailyScale <= 0 || dailyScale > kMinutesPerDay || kMinutesPerDay % dailyScale != 0) return 30;
  return dailyScale;
}

int LineCount(int dailyScale) { return kMinutesPerDay / EffectiveScale(dailyScale); }

Rows RowsOfSpan(int32_t startDay, int32_t startSeconds, bool showEnd, int32_t endDay, int32_t endSeconds,
                int32_t shownDay, int dailyScale) {
  const int scale = EffectiveScale(dailyScale);
  Rows rows;
  if (startSeconds < 0) startSeconds = 0;
  if (endSeconds < 0) endSeconds = 0;
  rows.start = startDay == shownDay ? startSeconds / 60 / scale + 1 : 1;
  if (!showEnd) {
    rows.end = rows.start;
    return rows;
  }
  if (endDay == shownDay) {
    rows.end = endSeconds <= 0 ? 1 : (endSeconds - 60) / 60 / scale + 1;
    if (rows.end < 1) rows.end = 1;
  } else {
    rows.end = (kMinutesPerDay - 1) / scale + 1;
  }
  return rows;
}

Rows RowsOfOccurrence(const COccurrenceRef& ref, const CDateTime& shownDay, int dailyScale) {
  if (!ref.event || ref.event->IsAllDay(ref.date)) return Rows{};
  const CDateRange range = ref.event->GetOccurrenceRange(ref.date);
  const bool showEnd = ref.event->GetShowEnd(ref.date) && range.HasEnd();
  const CDateTime& end = range.HasEnd() ? range.end : range.start;
  return RowsOfSpan(range.start.GetJulianDay(CDateTime::kAsLocal), range.start.GetSecondsOfDay(CDateTime::kAsLocal),
                    showEnd, end.GetJulianDay(CDateTime::kAsLocal), end.GetSecondsOfDay(CDateTime::kAsLocal),
                    shownDay.GetJulianDay(CDateTime::kAsLocal), dailyScale);
}

void SortItems(std::vector<Item>& items) {
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    if (a.rows.start != b.rows.start) return a.rows.start < b.rows.start;
    return a.rows.end > b.rows.end;
  });
}

namespace {
bool Meets(const Rows& a, const Rows& b) { return !(a.end < b.start || b.end < a.start); }
}  // namespace

int LayoutColumns(std::vector<Item>& items, int* firstLine, int* lastLine) {
  *firstLine = 0;
  *lastLine = 0;
  if (items.empty()) return 0;
  int columns = 1;
  items[0].firstColumn = items[0].lastColumn = 1;
  *firstLine = items[0].rows.start;
  *lastLine = items[0].rows.end;
  for (size_t p = 1; p < items.size(); ++p) {
    Item& item = items[p];
    std::set<int> taken;
    for (size_t q = 0; q < p; ++q)
      if (Meets(items[q].rows, item.rows))
        for (int c = items[q].firstColumn; c <= items[q].lastColumn; ++c) taken.insert(c);
    if (static_cast<int>(taken.size()) >= columns) {
      ++columns;
      item.firstColumn = item.lastColumn = columns;
      for (size_t q = 0; q < p; ++q) {
        if (Meets(items[q].rows, item.rows)) items[q].fixed = true;
        if (!items[q].fixed) items[q].lastColumn = columns;
      }
    } else {
      int i = 0;
      int first = 0, last = columns;
      bool gap = false;
      for (int c : taken) {
        if (c != i + 1) {
          first = i + 1;
          last = c - 1;
          gap = true;
          break;
        }
        ++i;
      }
      if (!gap) first = i + 1;
      item.firstColumn = first;
      item.lastColumn = last;
    }
    *firstLine = std::min(*firstLine, item.rows.start);
    *lastLine = std::max(*lastLine, item.rows.end);
  }
  return columns;
}

Box ItemBox(const Item& item, int columns, int clientWidth, int scaleWidth, int lineHeight) {
  Box box;
  if (columns <= 0) return box;
  const int w = (clientWidth - scaleWidth - 5) / columns;
  box.left = w * (item.firstColumn - 1) + scaleWidth + 3;
  box.right = w * item.lastColumn + scaleWidth + 1;
  box.top = (item.rows.start - 1) * lineHeight;
  box.bottom = item.rows.end * lineHeight;
  return box;
}

int HitTest(const std::vector<Box>& boxes, int x, int y) {
  for (size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i].Contains(x, y)) return static_cast<int>(i);
  return -1;
}

int LineAt(int y, int lineHeight, int lineCount) {
  if (lineHeight <= 0 || lineCount <= 0) return 1;
  const int line = y < 0 ? 1 : y / lineHeight + 1;
  return std::clamp(line, 1, lineCount);
}

int32_t LineSeconds(int line, int dailyScale) {
  return static_cast<int32_t>(std::max(line - 1, 0)) * EffectiveScale(dailyScale) * 60;
}

bool ShowsTopMarker(int firstEventLine, int scrollY, int lineHeight) {
  if (firstEventLine <= 0 || scrollY <= 0 || lineHeight <= 0) return false;
  return (scrollY - 1) / lineHeight + 1 >= firstEventLine;
}

bool ShowsBottomMarker(int lastEventLine, int scrollY, int clientHeight, int lineHeight) {
  if (lastEventLine <= 0 || lineHeight <= 0) return false;
  return lastEventLine >= (scrollY + clientHeight) / lineHeight + 1;
}

bool LabelsLine(int line, int dailyScale) {
  const int m = (line - 1) * EffectiveScale(dailyScale);
  return m % 60 == 0 || line % 2 == 1;
}

bool IsHourSeparator(int line, int dailyScale) { return line * EffectiveScale(dailyScale) % 60 == 0; }

}  // namespace dayline

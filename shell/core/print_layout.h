// Print layout without a device: the printable rectangle from the margin
// settings, rows and pages of a list, the column width setting, the lines of
// a text and the first page of one event. Shared by calendar, list and event
// printing; GDI only measures and draws what these decide.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace printcore {

// What the printer DC reports (GetDeviceCaps), in device pixels.
struct PrinterMetrics {
  int logPixelsX = 0, logPixelsY = 0;
  int offsetX = 0, offsetY = 0;  // PHYSICALOFFSETX/Y
  int physicalWidth = 0, physicalHeight = 0;
  int horzRes = 0, vertRes = 0;
};

// Margins as the settings keep them: hundredths of a millimetre when metric,
// else thousandths of an inch (the Page Setup dialog's units).
struct Margins {
  int left = 1000, top = 1000, right = 1000, bottom = 1000;
};

struct PageRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// One margin in device pixels (before the offset is subtracted): the margin
// in millimetres or inches times the pixels per unit, in floating point,
// the product truncated.
int MarginPixels(int margin, bool metric, int logPixels);

// The printable rectangle relative to the printable area's origin: left and
// top are the margins less the physical offsets, at least 0 and within the
// page; right and
// bottom are the paper size less offset and margin, at most HORZRES and
// VERTRES; right is never left of left, bottom never above top.
PageRect PrintableRect(const PrinterMetrics& printer, const Margins& margins, bool metric);

// Whole rows of `rowHeight` in `available` pixels, at least 1 (a row
// height of 0 or less counts as 1 pixel).
int RowsPerPage(int available, int rowHeight);
// Pages for `entries` rows, `rowsPerPage` each: at least 1 (a list with no
// rows still prints its heading).
int PageCount(int entries, int rowsPerPage);

// List column widths: stored in thousandths of an inch, entered in inches
// or (metric) millimetres. ParseColumnWidth accepts 0 to 20 inches (508 mm)
// and stores entered x 1000 (/ 25.4 when metric), cut to an integer; false
// for text that is no number or out of range (*stored unchanged).
bool ParseColumnWidth(const std::string& text, bool metric, int* stored);
// "%.0f" millimetres or "%.1f" inches.
std::string FormatColumnWidth(int stored, bool metric);
// The caption above the width boxes.
const char* ColumnWidthCaption(bool metric);

// The event list's printed columns in their fixed order (Name, Day, Date,
// Days Left, Time, Age, Type), each only when shown: a gap of 50/1000 in
// stands before each; widths are in thousandths of an inch. A column is
// never narrower than `needed` (device pixels: its widest text in the
// printer's fonts; null for none), so no text is cut off by the setting.
// x is relative to the printable rectangle's left edge, in device pixels.
constexpr int kListColumnCount = 7;
extern const char* const kListHeadings[kListColumnCount];
struct ListColumn {
  int field;  // index into kListHeadings
  int x;
  int width;
};
std::vector<ListColumn> LayOutListColumns(const bool shown[kListColumnCount], const int widths[kListColumnCount],
                                          int logPixelsX, const int* needed = nullptr);

// Breaks `text` into lines no wider than `width` as `measure` reports the
// width of a piece of text: at line ends ("\n", "\r\n"), else after the
// last blank that fits; a word wider than the line is cut where it stops
// fitting (at least one character per line, so every call ends).
using MeasureText = std::function<int(const std::string&)>;
std::vector<std::string> BreakLines(const std::string& text, int width, const MeasureText& measure);

// Lines of `lineHeight` that fit in `available` pixels; 0 when none does
// (the caller then ends the job rather than print empty pages forever).
int LinesThatFit(int available, int lineHeight);

// The labelled rows of one event's first page, in rows of the value line
// height: "Event Name:" at 0, "Calendar:" 2, "Event Type:" 3, "Start:" 5,
// "End:" 6 when the end is shown, then after a blank row "Original Year:"
// and "Age on This Date:" when ages are counted. The notes start one blank
// row after the last filled row (notesRow).
struct EventRow {
  int row;
  std::string label;
  std::string value;
};
struct EventFields {
  std::string name, calendar, type, startDate, startTime, endDate, endTime, age;
  bool showsEnd = false;
  bool calculateAge = false;
  int originalYear = 0;
};
struct EventPage {
  std::vector<EventRow> rows;
  int notesRow = 0;
};
EventPage LayOutEventPage(const EventFields& fields);

}  // namespace printcore

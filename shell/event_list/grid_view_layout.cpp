// CGridView: the grid's set-up, fonts, headings and the stored column
// order and widths.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "shell/event_list/event_list_rows.h"
#include "shell/event_list/grid_view.h"

namespace {

// The width setting of each grid position, with its default for a stored
// width that is negative.
struct WidthSetting {
  int32_t CProgramSettings::*member;
  int fallback;
};
const WidthSetting kWidths[eventlist::kColumnCount] = {
    {&CProgramSettings::width_alarm_flag, 17}, {&CProgramSettings::width_name, 170},
    {&CProgramSettings::width_day, 35},        {&CProgramSettings::width_date, 75},
    {&CProgramSettings::width_days_left, 60},  {&CProgramSettings::width_time, 65},
    {&CProgramSettings::width_age, 35},        {&CProgramSettings::width_type, 120},
    {&CProgramSettings::width_notes_flag, 17},
};

const char* const kHeadingTexts[eventlist::kColumnCount] = {"",    "Name", "Day",  "Date", "Days Left",
                                                            "Time", "Age", "Type", ""};

std::string ColumnKey(int gridColumn) {
  char key[16];
  std::snprintf(key, sizeof key, "Column%02d", gridColumn);
  return key;
}

// The height of a font's text on the screen.
int TextHeight(HFONT font) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

// The width of `text` drawn in `font` on the screen.
int TextWidth(HDC dc, HFONT font, const std::string& text) {
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  return size.cx;
}

// What a cell adds around its text: the text margin on both sides and the
// heading's raised frame.
constexpr int kCellPadding = 8;

bool MakeFont(const LogFont& stored, framework::CFont* font) {
  LOGFONTA lf{};
  static_assert(sizeof lf == sizeof stored, "the stored font is the platform's LOGFONTA");
  std::memcpy(&lf, &stored, sizeof lf);
  return font->CreatePointFontIndirect(lf);
}

}  // namespace

void CGridView::SetUpGrid(int cx, int cy) {
  grid_.SetOwner(this);
  if (!grid_.CreateGrid(WS_CHILD | WS_VISIBLE, RECT{0, 0, cx, cy}, GetSafeHwnd(), kGridId)) return;
  grid_.EnableColumnMove(1);
  grid_.ShowGridLines(0);
  grid_.SetColumnCount(eventlist::kColumnCount, 0);
  grid_.SetSideHeadingWidth(0);
  SetUpColors();
  MakeFonts(false);
  ApplyStoredColumns();
  SetHeadings();
  ColorSortHeadings();
  grid_.SetUniformRowHeight(1);
  grid_.SetHighlightStyle(2);
  grid_.SelectWholeRows(1);
  // Whole rows would select ranges of rows: the list selects one only, so
  // a key moving the row with Ctrl held cannot leave another painted.
  grid_.EnableMultiSelect(0);
  grid_.ShowCellTips(1);
}

void CGridView::SetUpColors() {
  CGridCell cell;
  cell.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  cell.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
  cell.SetSelectedBackColor(::GetSysColor(COLOR_HIGHLIGHT));
  cell.SetSelectedTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
  cell.SetBorder(0);
  if (itemFont_.Get()) cell.SetFont(itemFont_);
  grid_.SetDefaultCell(cell);
  CGridCell heading;
  grid_.GetHeadingDefaultCell(&heading);
  heading.SetBackColor(::GetSysColor(COLOR_BTNFACE));
  heading.SetBorder(0x2000);
  grid_.SetHeadingDefaultCell(heading);
}

void CGridView::MakeFonts(bool rebuild) {
  framework::CFont heading, item;
  if (!MakeFont(g_Settings.ListHeadingLogFont, &heading) || !MakeFont(g_Settings.ListItemLogFont, &item)) return;
  if (rebuild) grid_.EnableRedraw(0);
  CGridCell headingCell;
  grid_.GetHeadingDefaultCell(&headingCell);
  headingCell.SetFont(heading);
  grid_.SetHeadingDefaultCell(headingCell);
  const int headingHeight = TextHeight(heading) * (rebuild ? 14 : 13) / 10;
  grid_.SetTopHeadingHeight(std::max(headingHeight, rebuild ? 18 : 17));
  grid_.SetDefaultFont(item);
  grid_.SetDefaultRowHeight(std::max(TextHeight(item) * 13 / 10, 16));
  // The grid now draws with the new fonts: the old ones may go.
  headingFont_.Attach(heading.Detach());
  itemFont_.Attach(item.Detach());
  if (rebuild) {
    grid_.AdjustLayout();
    grid_.EnableRedraw(1);
    grid_.RedrawAll();
  }
}

void CGridView::FitColumnsToFonts() {
  if (!grid_.IsWindow() || !headingFont_.Get() || !itemFont_.Get()) return;
  int needed[eventlist::kColumnCount] = {};
  HDC dc = ::GetDC(nullptr);
  for (int column = 0; column < eventlist::kColumnCount; ++column)
    needed[column] = TextWidth(dc, headingFont_.Get(), kHeadingTexts[column]);
  for (const COccurrenceRef& row : rows_) {
    EventTextFields f;
    row.GetTextFields(f);
    for (int column = 0; column < eventlist::kColumnCount; ++column)
      if (const std::string* text = eventlist::ColumnText(f, column))
        needed[column] = std::max(needed[column], TextWidth(dc, itemFont_.Get(), *text));
  }
  ::ReleaseDC(nullptr, dc);
  for (int column = 0; column < eventlist::kColumnCount; ++column)
    neededWidths_[column] = needed[column] == 0 ? 0 : needed[column] + kCellPadding;
  LayOutColumns();
}

void CGridView::LayOutColumns() {
  if (!grid_.IsWindow()) return;
  int widths[eventlist::kColumnCount] = {};
  int total = 0, nameAt = -1;
  for (int g = 0; g < eventlist::kColumnCount; ++g) {
    const int column = grid_.GetColumnMapping(g);
    const int current = grid_.ColumnWidth(g);
    // A width the user set since the last layout is the column's own.
    if (laidWidths_[g] == 0 || current != laidWidths_[g]) ownWidths_[g] = current;
    const bool known = column >= 0 && column < eventlist::kColumnCount;
    widths[g] = std::max(ownWidths_[g], known ? neededWidths_[column] : 0);
    fittedWidths_[g] = widths[g];
    if (column == eventlist::kColumnName) nameAt = g;
    total += widths[g];
  }
  // The name takes the room the columns leave in the pane.
  const int room = grid_.Sheet().cellAreaWidth - total;
  if (nameAt >= 0 && room > 0) widths[nameAt] += room;
  bool changed = false;
  for (int g = 0; g < eventlist::kColumnCount; ++g) {
    laidWidths_[g] = widths[g];
    if (widths[g] == grid_.ColumnWidth(g)) continue;
    grid_.SetColumnWidth(g, widths[g]);
    changed = true;
  }
  if (changed) {
    grid_.AdjustLayout();
    grid_.RedrawAll();
  }
}

int CGridView::GridColumnOf(int dataColumn) {
  for (int g = 0; g < grid_.GetColumnCount(); ++g)
    if (grid_.GetColumnMapping(g) == dataColumn) return g;
  return -1;
}

void CGridView::SetHeadings() {
  for (int column = 0; column < eventlist::kColumnCount; ++column) {
    const int g = GridColumnOf(column);
    if (g < 0) continue;
    CGridCell cell;
    grid_.GetCellData(g, -1, &cell);
    if (column == eventlist::kColumnAlarm) {
      cell.SetBitmap(alarmMark_);
    } else if (column == eventlist::kColumnNotes) {
      cell.SetBitmap(notesMark_);
    } else {
      cell.SetText(kHeadingTexts[column]);
    }
    if (column == eventlist::kColumnName || column == eventlist::kColumnDay || column == eventlist::kColumnType)
      cell.SetAlignment(0x21);
    grid_.SetCell(g, -1, cell);
  }
}

void CGridView::ColorSortHeadings() {
  for (int g = 0; g < eventlist::kColumnCount; ++g) grid_.SetCellTextColor(g, -1, 0);
  for (int key : sortKeys_) {
    const int g = GridColumnOf(key);
    if (g >= 0) grid_.SetCellTextColor(g, -1, 0xFF2020);
  }
  grid_.RedrawAll();
}

void CGridView::ApplyStoredColumns() {
  for (int g = 0; g < eventlist::kColumnCount; ++g) {
    const int width = g_Settings.*kWidths[g].member;
    grid_.SetColumnWidth(g, width >= 0 ? width : kWidths[g].fallback);
  }
  // The stored order counts only when it is an order of the nine columns.
  int order[eventlist::kColumnCount];
  bool seen[eventlist::kColumnCount] = {};
  bool valid = true;
  platform::ProfileStore* profile = g_Settings.GetProfile();
  for (int g = 0; g < eventlist::kColumnCount; ++g) {
    std::int32_t value = g;
    if (profile && !profile->ReadInt(CProgramSettings::kSection, ColumnKey(g), &value)) value = g;
    if (value < 0 || value >= eventlist::kColumnCount || seen[value]) {
      valid = false;
      break;
    }
    seen[value] = true;
    order[g] = value;
  }
  for (int g = 0; g < eventlist::kColumnCount; ++g) grid_.SetColumnMapping(g, valid ? order[g] : g);
}

void CGridView::SaveColumns() {
  if (!grid_.IsWindow()) return;
  for (int g = 0; g < eventlist::kColumnCount; ++g) {
    g_Settings.WriteInt(ColumnKey(g), grid_.GetColumnMapping(g));
    // Without the room the pane gave the name: a width of the column's own.
    const int width = grid_.ColumnWidth(g);
    g_Settings.*kWidths[g].member = laidWidths_[g] != 0 && width == laidWidths_[g] ? fittedWidths_[g] : width;
  }
  g_Settings.SaveSettings();
}

#include "shell/printing/list_print_job.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "framework/printing/app_printer.h"
#include "framework/printing/print_job.h"
#include "framework/printing/print_preview.h"
#include "model/events/event_text_fields.h"
#include "model/settings/program_settings.h"
#include "shell/printing/print_metrics.h"

namespace {
// An entry's texts in the column order of printcore::kListHeadings.
std::array<const std::string*, printcore::kListColumnCount> ColumnTexts(const EventTextFields& f) {
  return {&f.name, &f.dayName, &f.startDate, &f.daysLeft, &f.startTime, &f.age, &f.type};
}

int TextWidth(HDC dc, const std::string& text) {
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}
}  // namespace

CListPrintJob::CListPrintJob(std::vector<COccurrenceRef> entries, HWND owner)
    : entries_(std::move(entries)), owner_(owner) {}

bool CListPrintJob::Print() {
  framework::CPrintInfo info;
  return framework::RunPrintJob(*this, info, owner_);
}

bool CListPrintJob::OnPreparePrinting(framework::CPrintInfo& info) {
  info.direct = direct_;
  if (framework::ThePrinter().HasPrinter()) framework::ThePrinter().SetOrientation(g_Settings.list_orientation);
  return DoPreparePrinting(info, owner_);
}

void CListPrintJob::OnBeginPrinting(HDC dc, framework::CPrintInfo& info) {
  const CProgramSettings& s = g_Settings;
  CreatePrintFont(headingFont_, s.PrintListHeadingLogFont, dc);
  CreatePrintFont(textFont_, s.PrintListItemLogFont, dc);
  rect_ = ListPrintableRect(dc);
  headingHeight_ = LineHeight(dc, headingFont_);
  rowHeight_ = LineHeight(dc, textFont_);
  rowsPerPage_ = printcore::RowsPerPage(rect_.Height() - headingHeight_, rowHeight_);
  const bool shown[printcore::kListColumnCount] = {s.print_name != 0, s.print_day != 0,  s.print_date != 0,
                                                   s.print_days_left != 0, s.print_time != 0, s.print_age != 0,
                                                   s.print_type != 0};
  const int widths[printcore::kListColumnCount] = {s.print_width_name, s.print_width_day,  s.print_width_date,
                                                   s.print_width_days_left, s.print_width_time, s.print_width_age,
                                                   s.print_width_type};
  // The widths are the user's, widened where this printer's fonts need
  // more room for a heading or an entry (a date would otherwise lose its
  // last figure and "Days Left" run into "Time").
  int needed[printcore::kListColumnCount] = {};
  HGDIOBJ old = ::SelectObject(dc, headingFont_);
  for (int i = 0; i < printcore::kListColumnCount; ++i) needed[i] = TextWidth(dc, printcore::kListHeadings[i]);
  ::SelectObject(dc, textFont_);
  for (const COccurrenceRef& entry : entries_) {
    EventTextFields f;
    entry.GetTextFields(f);
    const auto texts = ColumnTexts(f);
    for (int i = 0; i < printcore::kListColumnCount; ++i)
      if (shown[i]) needed[i] = std::max(needed[i], TextWidth(dc, *texts[static_cast<size_t>(i)]));
  }
  ::SelectObject(dc, old);
  columns_ = printcore::LayOutListColumns(shown, widths, ::GetDeviceCaps(dc, LOGPIXELSX), needed);
  info.SetMaxPage(static_cast<UINT>(printcore::PageCount(static_cast<int>(entries_.size()), rowsPerPage_)));
}

void CListPrintJob::OnPrepareDC(HDC dc, framework::CPrintInfo& info) {
  framework::CPrintClient::OnPrepareDC(dc, info);
  ::SetMapMode(dc, MM_TEXT);
  ::SetViewportOrgEx(dc, rect_.left, rect_.top, nullptr);
}

void CListPrintJob::OnPrint(HDC dc, framework::CPrintInfo& info) {
  const UINT format = DT_SINGLELINE | DT_LEFT | DT_BOTTOM | DT_NOPREFIX;
  auto cell = [&](const printcore::ListColumn& c, int top, int height, const std::string& text) {
    RECT r{c.x, top, std::min(c.x + c.width, rect_.Width()), top + height};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  };
  ::SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = ::SelectObject(dc, headingFont_);
  for (const printcore::ListColumn& c : columns_) cell(c, 0, headingHeight_, printcore::kListHeadings[c.field]);
  ::SelectObject(dc, textFont_);
  const size_t first = static_cast<size_t>(info.currentPage - 1) * static_cast<size_t>(rowsPerPage_);
  for (int line = 0; line < rowsPerPage_ && first + line < entries_.size(); ++line) {
    EventTextFields f;
    entries_[first + line].GetTextFields(f);
    const auto texts = ColumnTexts(f);
    for (const printcore::ListColumn& c : columns_)
      cell(c, headingHeight_ + rowHeight_ * line, rowHeight_, *texts[static_cast<size_t>(c.field)]);
  }
  ::SelectObject(dc, old);
}

void CListPrintJob::OnEndPrinting(HDC /*dc*/, framework::CPrintInfo& /*info*/) {
  headingFont_.DeleteObject();
  textFont_.DeleteObject();
}

void CListPrintJob::OnEndPrintPreview(HDC dc, framework::CPrintInfo& info, framework::CPreviewView& view) {
  framework::CPrintClient::OnEndPrintPreview(dc, info, view);
  if (afterPreview_) afterPreview_();
}

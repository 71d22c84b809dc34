#include "shell/printing/print_event.h"

#include <algorithm>

#include "framework/printing/app_printer.h"
#include "framework/printing/print_job.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/printing/print_metrics.h"
#include "storage/calendar_file.h"

CPrintEvent::CPrintEvent(HWND parent) : framework::CDialog(IDD_PRINT_EVENT, parent), parentHwnd_(parent) {}

bool CPrintEvent::PrintLoop() {
  pagesPrinted_ = 0;
  if (!occurrence_.event) return false;
  if (!GetSafeHwnd()) Create(parentHwnd_);
  if (GetSafeHwnd()) {
    Show(SW_SHOW);
    ::UpdateWindow(GetSafeHwnd());
  }
  framework::CPrintInfo info;
  bool ok = framework::RunPrintJob(*this, info, GetSafeHwnd());
  if (GetSafeHwnd()) Show(SW_HIDE);
  return ok;
}

bool CPrintEvent::OnPreparePrinting(framework::CPrintInfo& info) {
  info.direct = true;
  info.docName = "Almacora";
  // The event prints with the list's orientation; the next calendar print
  // applies its own when "Print" opens.
  if (framework::ThePrinter().HasPrinter()) framework::ThePrinter().SetOrientation(g_Settings.list_orientation);
  return DoPreparePrinting(info, parentHwnd_);
}

void CPrintEvent::OnBeginPrinting(HDC dc, framework::CPrintInfo& info) {
  EventTextFields text;
  occurrence_.GetTextFields(text);
  CCalEvent* event = occurrence_.event;
  fields_ = printcore::EventFields{};
  fields_.name = text.name;
  fields_.calendar = event->calendar ? event->calendar->name : std::string();
  fields_.type = text.type;
  fields_.startDate = text.startDate;
  fields_.startTime = text.startTime;
  fields_.endDate = text.endDate;
  fields_.endTime = text.endTime;
  fields_.showsEnd = !text.endDate.empty();
  fields_.calculateAge = event->calculateAge != 0;
  fields_.originalYear = event->start.GetYear();
  fields_.age = text.age;
  notes_ = occurrence_.GetNotes();
  page_ = printcore::LayOutEventPage(fields_);

  CreatePrintFont(labelFont_, g_Settings.PrintListHeadingLogFont, dc);
  CreatePrintFont(valueFont_, g_Settings.PrintListItemLogFont, dc);
  rect_ = ListPrintableRect(dc);
  labelHeight_ = LineHeight(dc, labelFont_);
  valueHeight_ = LineHeight(dc, valueFont_);

  HGDIOBJ old = ::SelectObject(dc, valueFont_);
  noteLines_ = printcore::BreakLines(notes_, rect_.Width(), [dc](const std::string& s) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return static_cast<int>(size.cx);
  });
  ::SelectObject(dc, old);

  // A page that places nothing ends the job instead of printing empty
  // pages for ever.
  firstPageLines_ = static_cast<size_t>(
      printcore::LinesThatFit(rect_.Height() - page_.notesRow * valueHeight_, valueHeight_));
  linesPerPage_ = static_cast<size_t>(printcore::LinesThatFit(rect_.Height(), valueHeight_));
  UINT pages = 1;
  if (noteLines_.size() > firstPageLines_ && linesPerPage_ > 0)
    pages += static_cast<UINT>((noteLines_.size() - firstPageLines_ + linesPerPage_ - 1) / linesPerPage_);
  info.SetMaxPage(pages);
}

void CPrintEvent::OnPrepareDC(HDC dc, framework::CPrintInfo& /*info*/) {
  ::SetMapMode(dc, MM_TEXT);
  ::SetViewportOrgEx(dc, rect_.left, rect_.top, nullptr);
  ::SetBkMode(dc, TRANSPARENT);
}

void CPrintEvent::OnPrint(HDC dc, framework::CPrintInfo& info) {
  if (info.currentPage == 1) {
    PrintFields(dc);
    PrintNotes(dc, 0, firstPageLines_, page_.notesRow * valueHeight_);
  } else {
    size_t first = firstPageLines_ + (info.currentPage - 2) * linesPerPage_;
    PrintNotes(dc, first, linesPerPage_, 0);
  }
  pagesPrinted_ = info.currentPage;
}

void CPrintEvent::OnEndPrinting(HDC /*dc*/, framework::CPrintInfo& /*info*/) {
  labelFont_.DeleteObject();
  valueFont_.DeleteObject();
}

void CPrintEvent::PrintFields(HDC dc) {
  const int h = valueHeight_;
  HGDIOBJ old = ::SelectObject(dc, labelFont_);
  int valueX = 0;
  for (const printcore::EventRow& row : page_.rows) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, row.label.c_str(), static_cast<int>(row.label.size()), &size);
    valueX = std::max(valueX, static_cast<int>(size.cx));
  }
  const UINT format = DT_SINGLELINE | DT_BOTTOM | DT_LEFT | DT_NOPREFIX | DT_NOCLIP;
  for (const printcore::EventRow& row : page_.rows) {
    RECT r{0, row.row * h, valueX, (row.row + 1) * h};
    ::DrawTextA(dc, row.label.c_str(), static_cast<int>(row.label.size()), &r, format);
  }
  ::SelectObject(dc, valueFont_);
  for (const printcore::EventRow& row : page_.rows) {
    RECT r{valueX, row.row * h, rect_.Width(), (row.row + 1) * h};
    ::DrawTextA(dc, row.value.c_str(), static_cast<int>(row.value.size()), &r, format);
  }
  ::SelectObject(dc, old);
}

void CPrintEvent::PrintNotes(HDC dc, size_t first, size_t count, int top) {
  HGDIOBJ old = ::SelectObject(dc, valueFont_);
  for (size_t i = 0; i < count && first + i < noteLines_.size(); ++i) {
    const std::string& line = noteLines_[first + i];
    ::TextOutA(dc, 0, top + static_cast<int>(i) * valueHeight_, line.c_str(), static_cast<int>(line.size()));
  }
  ::SelectObject(dc, old);
}

// CGridView: creation, filling the rows, the view hints, selection and
// sorting.
#include "shell/event_list/grid_view.h"

#include "framework/cmd_ui.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/event_list/event_list_rows.h"
#include "shell/event_list/find_dialog_window.h"
#include "shell/event_list/list_text_file.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

namespace {

HBITMAP LoadMark(int id) {
  // Light grey in the pictures becomes the button face, as the rows are.
  return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                           LR_LOADMAP3DCOLORS));
}

}  // namespace

CGridView::CGridView()
    : alarmMark_(LoadMark(IDB_LIST_ALARM_MARK)),
      notesMark_(LoadMark(IDB_LIST_NOTES_MARK)),
      snoozedMark_(LoadMark(IDB_LIST_SNOOZED_MARK)),
      acknowledgedMark_(LoadMark(IDB_LIST_ACKNOWLEDGED_MARK)),
      sortKeys_(eventlist::DefaultSortOrder().keys),
      sortMode_(eventlist::DefaultSortOrder().mode) {}

CGridView::~CGridView() {
  if (HWND find = GetFindDialog()) ::DestroyWindow(find);
  for (HBITMAP b : {alarmMark_, notesMark_, snoozedMark_, acknowledgedMark_})
    if (b) ::DeleteObject(b);
}

CShellDocument* CGridView::ShellDoc() const { return dynamic_cast<CShellDocument*>(GetDocument()); }

CAlmacoraDoc* CGridView::Core() const {
  CShellDocument* doc = ShellDoc();
  return doc ? &doc->Core() : nullptr;
}

bool CGridView::OnCreate(const CREATESTRUCTA& cs) {
  SetUpGrid(cs.cx, cs.cy);
  return grid_.IsWindow();
}

void CGridView::OnSize(UINT, int cx, int cy) {
  if (cx > 0 && cy > 0 && grid_.IsWindow()) {
    ::MoveWindow(grid_.GetSafeHwnd(), 0, 0, cx, cy, TRUE);
    LayOutColumns();
  }
}

LRESULT CGridView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == framework::CFindReplaceDialog::GetFindReplaceMessage()) return OnFindMessage(wParam, lParam);
  if (message == WM_SYSCOLORCHANGE && grid_.IsWindow()) {
    SetUpColors();
    Refill();
  }
  return framework::CView::WindowProc(message, wParam, lParam);
}

void CGridView::OnInitialUpdate() { Refill(); }

int CGridView::GetSelectedRow() const {
  const int row = grid_.GetCurrentRow();
  return row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

const COccurrenceRef* CGridView::RowOccurrence(int row) const {
  return row >= 0 && row < static_cast<int>(rows_.size()) ? &rows_[static_cast<size_t>(row)] : nullptr;
}

int CGridView::RowOfSerial(int serial) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].event && rows_[i].event->serial == serial) return static_cast<int>(i);
  return -1;
}

void CGridView::Remember(const CCalEvent* event) { remembered_ = event; }

void CGridView::Send(LPARAM hint, void* object) {
  if (framework::CDocument* doc = GetDocument()) doc->UpdateAllViews(this, hint, object);
}

void CGridView::SendSelectionHint(bool mark) {
  const int row = GetSelectedRow();
  if (row >= 0 && rows_[static_cast<size_t>(row)].event->hasNext) {
    Send(mark ? kHintMarkInCalendar : kHintListSelection, &rows_[static_cast<size_t>(row)]);
  } else {
    Send(kHintSelectionCleared);
  }
}

void CGridView::SelectRowQuietly(int row) {
  grid_.SetQuiet(true);
  grid_.MoveToRow(row);
  grid_.SetQuiet(false);
}

void CGridView::Refill() {
  CAlmacoraDoc* core = Core();
  if (!grid_.IsWindow()) return;
  grid_.EnableRedraw(0);
  rows_ = core ? eventlist::BuildRows(*core, sortKeys_, g_Settings.ShowAcknowledgedList != 0)
               : std::vector<COccurrenceRef>();
  const int count = static_cast<int>(rows_.size());
  grid_.SetRowCount(count, 0);
  int select = 0;
  for (int row = 0; row < count; ++row) {
    SetRowCells(row);
    if (remembered_ && rows_[static_cast<size_t>(row)].event == remembered_) select = row;
  }
  if (count > 0) SelectRowQuietly(select);
  remembered_ = nullptr;
  // The rows may have brought or taken the scroll bar: the name fills again.
  grid_.AdjustLayout();
  LayOutColumns();
  grid_.EnableRedraw(1);
  grid_.RedrawAll();
}

void CGridView::SetRowCells(int row) {
  const COccurrenceRef& occurrence = rows_[static_cast<size_t>(row)];
  EventTextFields f;
  occurrence.GetTextFields(f);
  for (int g = 0; g < eventlist::kColumnCount; ++g) {
    CGridCell cell;
    std::uint16_t align = 0x21;
    switch (grid_.GetColumnMapping(g)) {
      case eventlist::kColumnAlarm:
        if (occurrence.IsAcknowledged()) {
          cell.SetBitmap(acknowledgedMark_);
        } else if (f.alarmOn) {
          cell.SetBitmap(f.snoozed ? snoozedMark_ : alarmMark_);
        }
        break;
      case eventlist::kColumnNotes:
        if (f.hasNotes) cell.SetBitmap(notesMark_);
        break;
      case eventlist::kColumnDate:
      case eventlist::kColumnDaysLeft:
      case eventlist::kColumnTime:
      case eventlist::kColumnAge: align = 0x22; break;
      default: break;
    }
    if (const std::string* text = eventlist::ColumnText(f, grid_.GetColumnMapping(g))) cell.SetText(*text);
    cell.SetAlignment(align);
    grid_.SetCell(g, row, cell);
  }
}

void CGridView::OnUpdate(framework::CView*, LPARAM hint, void* object) {
  CAlmacoraDoc* core = Core();
  switch (hint) {
    case kHintReload: {
      if (!core) return;
      core->shownCount = core->RollForwardEvents(core->viewMode);
      Send(kHintListReloaded, object);
      if (object) {
        Remember(static_cast<COccurrenceRef*>(object)->event);
      } else if (!remembered_ && GetSelectedRow() >= 0) {
        Remember(rows_[static_cast<size_t>(GetSelectedRow())].event);
      }
      Refill();
      SendSelectionHint(false);
      break;
    }
    case kHintSelectEvent: {
      auto* wanted = static_cast<COccurrenceRef*>(object);
      if (!wanted || !wanted->event) return;
      for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].event == wanted->event && rows_[i].event->hasNext) {
          SelectRowQuietly(static_cast<int>(i));
          break;
        }
      }
      break;
    }
    case kHintSaveState: SaveColumns(); break;
    case kHintEventModified:
      if (auto* ref = static_cast<COccurrenceRef*>(object)) {
        IEventOperations* ops = GetEventOperations();
        if (ops && ops->IsAvailable(IEventOperations::kModify)) {
          const COccurrenceRef copy = *ref;
          framework::CWaitCursor wait;
          Remember(copy.event);
          if (!ops->ModifyEvent(copy)) remembered_ = nullptr;
        }
      }
      break;
    case kHintEventDeleted: {
      auto* ref = static_cast<COccurrenceRef*>(object);
      const int row = ref && ref->event ? RowOfSerial(ref->event->serial) : -1;
      if (row < 0) {
        framework::MessageBox("Event Already Deleted", MB_OK | MB_ICONEXCLAMATION, "Delete Event");
      } else {
        DeleteRow(row);
      }
      break;
    }
    case kHintFontsChanged:
      MakeFonts(true);
      FitColumnsToFonts();
      break;
    case kHintDropEvent: {
      const int row = RowOfSerial(static_cast<int>(reinterpret_cast<INT_PTR>(object)));
      if (row >= 0) RemoveRow(row);
      break;
    }
    case kHintWriteListFile: WriteTextFile(); break;
    default: break;
  }
}

void CGridView::OnRowSelected(int row, bool mark) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const COccurrenceRef& occurrence = rows_[static_cast<size_t>(row)];
  if (occurrence.event->hasNext) {
    Send(mark ? kHintMarkInCalendar : kHintListSelection, const_cast<COccurrenceRef*>(&occurrence));
  } else {
    Send(kHintSelectionCleared);
  }
}

void CGridView::OnRowDoubleClicked(int row) {
  SelectRowQuietly(row);
  OnModify();
}

void CGridView::ApplySort(const std::vector<int>& keys, int mode) {
  sortKeys_ = keys;
  sortMode_ = mode;
  g_Settings.ListSortMode = mode;
  ColorSortHeadings();
  if (rows_.empty()) return;
  const int row = GetSelectedRow();
  if (row >= 0 && rows_[static_cast<size_t>(row)].event->shown) Remember(rows_[static_cast<size_t>(row)].event);
  Refill();
  SendSelectionHint(false);
}

void CGridView::OnHeadingClicked(int gridColumn) {
  const int column = grid_.GetColumnMapping(gridColumn);
  if (!eventlist::IsSortColumn(column)) return;
  ApplySort({column}, 0);
}

void CGridView::OnSortCommand(UINT id) {
  if (const eventlist::SortOrder* order = eventlist::FindSortOrder(id)) ApplySort(order->keys, order->mode);
}

void CGridView::OnUpdateSort(framework::CCmdUI* ui) {
  const eventlist::SortOrder* order = eventlist::FindSortOrder(ui->id);
  ui->Enable(true);
  ui->SetCheck(order && order->mode == sortMode_ ? 1 : 0);
}

void CGridView::WriteTextFile() {
  eventlist::ListTextFormat format;
  format.headings = g_Settings.ExportHeadings != 0;
  format.fileFormat = g_Settings.ExportFileFormat;
  format.delimiter = g_Settings.ExportDelimiter;
  format.showAge = g_Settings.ExportShowAge != 0;
  eventlist::WriteListTextFile(g_Settings.ExportFilename, rows_, format);
}

// CGridView: the command table and the commands on the selected row.
#include "framework/cmd_ui.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "res/resource.h"
#include "shell/event_list/grid_view.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"

using framework::OnCommand;
using framework::OnCommandRange;
using framework::OnUpdateUi;

namespace {

// The row menu's commands, shared with the calendar views.
enum : UINT {
  kRowModify = 40002,
  kRowDelete = 40003,
  kRowAcknowledge = 40004,
  kRowDetails = 40005,
  kRowReset = 40007,
  kRowUnacknowledge = 40008,
  kRowAddCopy = 40009,
  kRowPrint = 40010,
  kRowExport = 40011,
};

// The operation a menu or key command needs, or -1 for one the view does
// alone.
int OperationOf(UINT id) {
  switch (id) {
    case ID_EVENT_ADD_COPY: return IEventOperations::kAddCopy;
    case ID_CALENDAR_PRINT_EVENT: return IEventOperations::kPrintEvent;
    case ID_EVENT_ACKNOWLEDGE:
    case ID_KEY_ACKNOWLEDGE: return IEventOperations::kConfirmAcknowledge;
    case ID_EVENT_MODIFY:
    case ID_KEY_MODIFY: return IEventOperations::kModify;
    case ID_EVENT_EXPORT: return IEventOperations::kExport;
    default: return -1;
  }
}

int RowOperationOf(UINT id) {
  switch (id) {
    case kRowModify: return IEventOperations::kModify;
    case kRowAcknowledge: return IEventOperations::kConfirmAcknowledge;
    case kRowDetails: return IEventOperations::kDetails;
    case kRowAddCopy: return IEventOperations::kAddCopy;
    case kRowPrint: return IEventOperations::kPrintEvent;
    case kRowExport: return IEventOperations::kExport;
    default: return -1;
  }
}

bool OperationReady(int operation) {
  if (operation < 0) return true;
  IEventOperations* ops = GetEventOperations();
  return ops && ops->IsAvailable(static_cast<IEventOperations::Operation>(operation));
}

}  // namespace

FRAMEWORK_BEGIN_MESSAGE_MAP(CGridView, framework::CView)
  OnCommand<&CGridView::OnAddCopy>(ID_EVENT_ADD_COPY),
  OnCommand<&CGridView::OnPrintEvent>(ID_CALENDAR_PRINT_EVENT),
  OnCommand<&CGridView::OnAcknowledge>(ID_EVENT_ACKNOWLEDGE),
  OnCommand<&CGridView::OnAcknowledge>(ID_KEY_ACKNOWLEDGE),
  OnCommand<&CGridView::OnReset>(ID_EVENT_RESET),
  OnCommand<&CGridView::OnSearch>(ID_EVENT_SEARCH),
  OnCommand<&CGridView::OnSearch>(ID_KEY_SEARCH),
  OnCommand<&CGridView::OnDelete>(ID_EVENT_DELETE),
  OnCommand<&CGridView::OnDelete>(ID_KEY_DELETE),
  OnCommand<&CGridView::OnModify>(ID_EVENT_MODIFY),
  OnCommand<&CGridView::OnModify>(ID_KEY_MODIFY),
  OnCommand<&CGridView::OnExport>(ID_EVENT_EXPORT),
  OnCommand<&CGridView::OnFilePrint>(ID_FILE_PRINT),
  OnCommand<&CGridView::OnFilePrintPreview>(ID_FILE_PRINT_PREVIEW),
  OnCommandRange<&CGridView::OnSortCommand>(32785, 32788),
  OnCommandRange<&CGridView::OnSortCommand>(32838, 32838),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_EVENT_ADD_COPY),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_CALENDAR_PRINT_EVENT),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_EVENT_ACKNOWLEDGE),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_KEY_ACKNOWLEDGE),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_EVENT_RESET),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_EVENT_DELETE),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_KEY_DELETE),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_EVENT_MODIFY),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_KEY_MODIFY),
  OnUpdateUi<&CGridView::OnUpdateOperation>(ID_EVENT_EXPORT),
  OnUpdateUi<&CGridView::OnUpdateSort>(32785),
  OnUpdateUi<&CGridView::OnUpdateSort>(32786),
  OnUpdateUi<&CGridView::OnUpdateSort>(32787),
  OnUpdateUi<&CGridView::OnUpdateSort>(32788),
  OnUpdateUi<&CGridView::OnUpdateSort>(32838),
FRAMEWORK_END_MESSAGE_MAP()

void CGridView::OnUpdateOperation(framework::CCmdUI* ui) {
  ui->Enable(GetSelectedRow() >= 0 && OperationReady(OperationOf(ui->id)));
}

bool CGridView::IsRowCommandEnabled(UINT command) const { return OperationReady(RowOperationOf(command)); }

void CGridView::OnRowCommand(int row, UINT command) {
  SelectRowQuietly(row);
  switch (command) {
    case kRowModify: OnModify(); break;
    case kRowDelete: OnDelete(); break;
    case kRowAcknowledge: OnAcknowledge(); break;
    case kRowDetails: OnDetails(); break;
    case kRowReset: OnReset(); break;
    case kRowUnacknowledge: OnUnacknowledge(); break;
    case kRowAddCopy: OnAddCopy(); break;
    case kRowPrint: OnPrintEvent(); break;
    case kRowExport: OnExport(); break;
    default: break;
  }
}

// The selected row's occurrence as a copy (a command may refill the rows
// while it runs), or false without a selection.
bool CGridView::SelectedOccurrence(COccurrenceRef* out) const {
  const int row = GetSelectedRow();
  if (row < 0) return false;
  *out = rows_[static_cast<size_t>(row)];
  return out->event != nullptr;
}

void CGridView::OnAcknowledge() {
  COccurrenceRef occurrence;
  IEventOperations* ops = GetEventOperations();
  if (!SelectedOccurrence(&occurrence) || !ops) return;
  if (!ops->ConfirmAcknowledge(occurrence.event->oneTime != 0)) return;
  framework::CWaitCursor wait;
  Remember(occurrence.event);
  occurrence.event->AcknowledgeNext(true);
}

void CGridView::OnUnacknowledge() {
  COccurrenceRef occurrence;
  if (!SelectedOccurrence(&occurrence)) return;
  framework::CWaitCursor wait;
  Remember(occurrence.event);
  occurrence.event->Unacknowledge(occurrence.date);
}

void CGridView::OnReset() {
  COccurrenceRef occurrence;
  CAlmacoraDoc* core = Core();
  if (!SelectedOccurrence(&occurrence) || !core) return;
  framework::CWaitCursor wait;
  Remember(occurrence.event);
  occurrence.event->ResetOccurrences();
  core->SaveEventAndRefresh(*occurrence.event, 1, 1, 1);
}

void CGridView::OnDelete() {
  const int row = GetSelectedRow();
  if (row >= 0) DeleteRow(row);
}

void CGridView::DeleteRow(int row) {
  CAlmacoraDoc* core = Core();
  if (!core) return;
  framework::CWaitCursor wait;
  CCalEvent* event = rows_[static_cast<size_t>(row)].event;
  const CDateTime date = rows_[static_cast<size_t>(row)].date;
  if (!event->DeleteWithPrompt(date)) return;
  // The prompt may have refilled the list: find the row again.
  row = RowOfSerial(event->serial);
  if (!core->DeleteEvent(event->arrayIndex, true)) return;
  // The row goes before anything else can reach the event again; the
  // document frees the event once no view holds it.
  if (row >= 0) RemoveRow(row);
  Send(kHintListReloaded);
  SendSelectionHint(false);
}

void CGridView::RemoveRow(int row) {
  rows_.erase(rows_.begin() + row);
  grid_.SetQuiet(true);
  grid_.DeleteRow(row);
  const int count = static_cast<int>(rows_.size());
  if (count > 0 && grid_.GetCurrentRow() >= count) grid_.MoveToRow(count - 1);
  grid_.SetQuiet(false);
  grid_.RedrawAll();
}

void CGridView::OnModify() {
  COccurrenceRef occurrence;
  IEventOperations* ops = GetEventOperations();
  if (!SelectedOccurrence(&occurrence) || !ops || !ops->IsAvailable(IEventOperations::kModify)) return;
  framework::CWaitCursor wait;
  Remember(occurrence.event);
  if (!ops->ModifyEvent(occurrence)) remembered_ = nullptr;
}

void CGridView::OnDetails() {
  COccurrenceRef occurrence;
  IEventOperations* ops = GetEventOperations();
  if (SelectedOccurrence(&occurrence) && ops && ops->IsAvailable(IEventOperations::kDetails))
    ops->ShowEventDetails(occurrence);
}

void CGridView::OnAddCopy() {
  COccurrenceRef occurrence;
  IEventOperations* ops = GetEventOperations();
  if (SelectedOccurrence(&occurrence) && ops && ops->IsAvailable(IEventOperations::kAddCopy))
    ops->AddCopy(*occurrence.event);
}

void CGridView::OnPrintEvent() {
  COccurrenceRef occurrence;
  IEventOperations* ops = GetEventOperations();
  if (SelectedOccurrence(&occurrence) && ops && ops->IsAvailable(IEventOperations::kPrintEvent))
    ops->PrintEvent(occurrence);
}

void CGridView::OnExport() {
  COccurrenceRef occurrence;
  IEventOperations* ops = GetEventOperations();
  if (SelectedOccurrence(&occurrence) && ops && ops->IsAvailable(IEventOperations::kExport))
    ops->ExportEvent(occurrence);
}

#include "storage/ui/calendars_dialog.h"

#include "framework/dialogs/message_box.h"
#include "grid/cell/grid_cell.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/services/storage_prompts.h"
#include "storage/services/storage_services.h"
#include "storage/services/transfer_progress.h"
#include "storage/sharing/sharing.h"
#include "storage/ui/cal_new_dlg.h"
#include "storage/ui/cal_publish_dlg.h"
#include "storage/ui/cal_subscribe_dlg.h"
#include "storage/ui/calendar_open.h"
#include "storage/ui/sharing_hooks.h"

namespace {

constexpr DWORD kHelpTopic = 145;
// Posted to itself by RefillLater.
constexpr UINT kWmRefill = WM_APP + 3301;

HFONT MakeFont(int weight) {
  return ::CreateFontA(12, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

const char* StatusOf(const CCalendarFile& c) {
  if (c.published) return "Published";
  if (c.subscribed) return "Subscribed";
  if (c.previewFlag) return "Preview";
  return "Local";
}

bool IsOpen(const CCalendarFile& c) {
  return c.openState == CCalendarFile::kOpen || c.openState == CCalendarFile::kPreview;
}

// Shows the wait cursor while it lives.
struct WaitCursor {
  HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  ~WaitCursor() { ::SetCursor(previous); }
};

}  // namespace

CCalendarsDialog::CCalendarsDialog(CAlmacoraDoc& doc) : CDialog(IDD_CALENDARS), doc_(doc) {
  normalFont_ = MakeFont(FW_NORMAL);
  boldFont_ = MakeFont(FW_BOLD);
}

CCalendarsDialog::~CCalendarsDialog() {
  if (GetSafeHwnd()) ::DestroyWindow(GetSafeHwnd());
  ::DeleteObject(normalFont_);
  ::DeleteObject(boldFont_);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalendarsDialog, framework::CDialog)
  framework::OnCommand<&CCalendarsDialog::OnNew>(IDC_CALENDARS_NEW),
  framework::OnCommand<&CCalendarsDialog::OnOpen>(IDC_CALENDARS_OPEN),
  framework::OnCommand<&CCalendarsDialog::OnSubscribe>(IDC_CALENDARS_SUBSCRIBE),
  framework::OnCommand<&CCalendarsDialog::OnPublish>(IDC_CALENDARS_PUBLISH),
  framework::OnCommand<&CCalendarsDialog::OnEdit>(IDC_CALENDARS_EDIT),
  framework::OnCommand<&CCalendarsDialog::OnRemove>(IDC_CALENDARS_REMOVE),
  framework::OnCommand<&CCalendarsDialog::OnRefresh>(IDC_CALENDARS_REFRESH),
  framework::OnCommand<&CCalendarsDialog::OnRefreshAll>(IDC_CALENDARS_REFRESH_ALL),
  framework::OnCommand<&CCalendarsDialog::OnSetDefault>(IDC_CALENDARS_SET_DEFAULT),
  framework::OnCommand<&CCalendarsDialog::OnListEvents>(IDC_CALENDARS_LIST_EVENTS),
  framework::OnCommand<&CCalendarsDialog::OnHelpButton>(IDC_CALENDARS_HELP),
  framework::OnMessage<&CCalendarsDialog::OnHelpKey>(WM_HELP),
  framework::OnMessage<&CCalendarsDialog::OnGridCheckChanged>(shellcontrols::WM_GRIDCHECKCHANGED),
  framework::OnMessage<&CCalendarsDialog::OnRefill>(kWmRefill),
FRAMEWORK_END_MESSAGE_MAP()

bool CCalendarsDialog::CreateHidden(HWND owner) { return Create(owner); }

BOOL CCalendarsDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  grid_.SetUpInDialog(GetSafeHwnd(), IDC_CALENDARS_GRID, normalFont_,
                      {{40, "Open"}, {160, "Calendar Name"}, {60, "Status"}});
  FillCalendarGrid();
  return TRUE;
}

// The manager stays for later use: its ways out only hide it.
void CCalendarsDialog::OnOK() { ::ShowWindow(GetSafeHwnd(), SW_HIDE); }
void CCalendarsDialog::OnCancel() { ::ShowWindow(GetSafeHwnd(), SW_HIDE); }

int CCalendarsDialog::RowCalendarId(int row) const {
  return row >= 0 && static_cast<size_t>(row) < rowIds_.size() ? rowIds_[static_cast<size_t>(row)] : -1;
}

void CCalendarsDialog::FillCalendarGrid() {
  if (!GetSafeHwnd()) return;
  const int current = grid_.GetCurrentRow();
  const auto& calendars = doc_.calendars();
  const int count = static_cast<int>(calendars.size());
  grid_.EnableRedraw(0);
  grid_.SetRowCount(count, 0);
  rowIds_.clear();
  for (int row = 0; row < count; ++row) {
    const CCalendarFile& c = *calendars.items()[static_cast<size_t>(row)];
    rowIds_.push_back(c.listId);
    CGridCell check;
    check.SetCellType(CGridCore::kTypeCheckBox);
    check.SetNumber(IsOpen(c) ? 1 : 0);
    grid_.SetCell(0, row, check);
    const bool isDefault = calendars.defaultId == c.listId;
    CGridCell name;
    name.SetText(isDefault ? c.name + " (default)" : c.name);
    name.SetFont(isDefault ? boldFont_ : normalFont_);
    grid_.SetCell(1, row, name);
    grid_.SetCellText(2, row, StatusOf(c));
  }
  if (count > 0) grid_.MoveToCell(0, current < 0 ? 0 : (current >= count ? count - 1 : current));
  grid_.EnableRedraw(1);
  grid_.RedrawAll();
}

void CCalendarsDialog::RefillLater() {
  if (refillPosted_ || !GetSafeHwnd()) return;
  refillPosted_ = PostMsg(kWmRefill);
}

LRESULT CCalendarsDialog::OnRefill(WPARAM, LPARAM) {
  refillPosted_ = false;
  FillCalendarGrid();
  return 0;
}

CCalendarFile* CCalendarsDialog::Selected() {
  return doc_.calendars().FindById(RowCalendarId(grid_.GetCurrentRow()));
}

bool CCalendarsDialog::OpenCalendar(CCalendarFile* calendar) {
  const bool opened = OpenListedCalendar(doc_, calendar, GetSafeHwnd());
  FillCalendarGrid();
  return opened;
}

bool CCalendarsDialog::EnsureOpen(CCalendarFile* calendar) {
  if (calendar->openState != CCalendarFile::kClosed && calendar->openState != 2) return true;
  return OpenCalendar(calendar);
}

bool CCalendarsDialog::RefreshCalendar(CCalendarFile* calendar) {
  if (calendar == nullptr) return false;
  WaitCursor wait;
  return RefreshInWindow(doc_, *calendar);
}

void CCalendarsDialog::CloseCalendar(CCalendarFile* calendar) {
  calendar->Close(&doc_.events());
  calendar->openState = CCalendarFile::kClosed;
  doc_.RecountAndRefresh();
  g_Settings.SaveSettings();
  doc_.calendars().UpdateMainWindowTitle();
}

void CCalendarsDialog::OnNew() {
  if (hooks.newCalendar) hooks.newCalendar();
  FillCalendarGrid();
}

void CCalendarsDialog::OnOpen() {
  if (hooks.openFile) hooks.openFile();
  FillCalendarGrid();
}

void CCalendarsDialog::OnSubscribe() {
  CCalSubscribeDlg dlg(doc_, GetSafeHwnd());
  if (dlg.DoModal() == IDOK) {
    FillCalendarGrid();
    doc_.RecountAndRefresh();
  }
}

void CCalendarsDialog::OnPublish() {
  CCalendarFile* c = Selected();
  if (c == nullptr || !EnsureOpen(c)) return FillCalendarGrid();
  if (c->openState == CCalendarFile::kPreview || c->previewFlag) {
    framework::MessageBox("The current calendar is in preview mode and cannot be published");
    return;
  }
  CCalPublishDlg dlg(doc_, *c, GetSafeHwnd());
  if (dlg.DoModal() == IDOK) FillCalendarGrid();
}

void CCalendarsDialog::OnEdit() {
  CCalendarFile* c = Selected();
  if (c == nullptr || !EnsureOpen(c)) return FillCalendarGrid();
  if (c->openState != CCalendarFile::kPreview && !c->subscribed && !c->published) {
    CCalNewDlg dlg(doc_, GetSafeHwnd());
    dlg.SetCalendar(c);
    if (dlg.DoModal() != IDOK) return;
  } else {
    CCalSubscribeDlg dlg(doc_, GetSafeHwnd());
    dlg.SetCalendar(c);
    if (dlg.DoModal() != IDOK) return;
  }
  FillCalendarGrid();
  doc_.RecountAndRefresh();
}

void CCalendarsDialog::OnRemove() {
  if (CCalendarFile* c = Selected()) {
    doc_.CloseEventFile(c);
    g_Settings.SaveSettings();
  }
  FillCalendarGrid();
}

void CCalendarsDialog::OnRefresh() {
  CCalendarFile* c = Selected();
  if (c == nullptr) return FillCalendarGrid();
  if (!c->subscribed) {
    framework::MessageBox(
        "This calendar was not created from a subscription.  Only subscription calendar can be refreshed");
    return;
  }
  if (c->previewFlag) {
    framework::MessageBox(
        "This calendar is currently being previewed.  Please subscribe to calendar before refreshing");
    return;
  }
  if (!EnsureOpen(c)) return;
  RefreshCalendar(c);
  FillCalendarGrid();
}

void CCalendarsDialog::OnRefreshAll() {
  WaitCursor wait;
  // Ids first: a refresh may change the list under the loop.
  std::vector<int> ids;
  for (const CCalendarFile* c : doc_.calendars().items())
    if (c->subscribed && !c->previewFlag && c->openState != CCalendarFile::kClosed) ids.push_back(c->listId);
  for (int id : ids) {
    CCalendarFile* c = doc_.calendars().FindById(id);
    if (c == nullptr) continue;
    IStoragePrompts* prompts = GetStorageServices().prompts;
    IProgressWindow* window = prompts ? prompts->OpenProgressWindow("Refreshing " + c->name) : nullptr;
    bool closeNow = true;
    RefreshWithResults(doc_, *c, window, &closeNow);
    if (window) window->Done(closeNow);
  }
  doc_.RecountAndRefresh();
  FillCalendarGrid();
}

void CCalendarsDialog::OnSetDefault() {
  CCalendarFile* c = Selected();
  // A calendar held in memory keeps no new events: it never becomes the
  // default.
  if (c != nullptr && c->fileType != CCalendarFile::kMemoryOnly) {
    doc_.calendars().defaultId = c->listId;
    g_Settings.SaveSettings();
    doc_.calendars().UpdateMainWindowTitle();
  }
  FillCalendarGrid();
}

void CCalendarsDialog::OnListEvents() {
  CCalendarFile* c = Selected();
  if (c == nullptr || !EnsureOpen(c)) return FillCalendarGrid();
  if (hooks.listEvents) hooks.listEvents(c->listId);
  FillCalendarGrid();
}

void CCalendarsDialog::OnHelpButton() { ShowSharingHelp(kHelpTopic); }

LRESULT CCalendarsDialog::OnHelpKey(WPARAM, LPARAM) {
  ShowSharingHelp(kHelpTopic);
  return TRUE;
}

LRESULT CCalendarsDialog::OnGridCheckChanged(WPARAM, LPARAM lParam) {
  const int row = static_cast<int>(lParam);
  CCalendarFile* c = doc_.calendars().FindById(RowCalendarId(row));
  if (c == nullptr) {
    FillCalendarGrid();
    return 0;
  }
  CGridCell cell;
  grid_.GetCell(0, row, &cell);
  const bool ticked = cell.GetNumber() != 0;
  if (ticked && !IsOpen(*c)) {
    OpenCalendar(c);
  } else if (!ticked && IsOpen(*c)) {
    CloseCalendar(c);
    FillCalendarGrid();
  }
  return 0;
}

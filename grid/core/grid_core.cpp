// Construction, window creation and the grid window's own messages.
#include "grid/core/grid_core.h"

#include <commdlg.h>
#undef FindText   // the grid operation, not the dialog function

#include "grid/parts/cell_area.h"
#include "grid/parts/corner_button.h"
#include "grid/parts/drop_list.h"
#include "grid/parts/grid_edit.h"
#include "grid/parts/hint_wnd.h"
#include "grid/parts/h_scroll_bar.h"
#include "grid/parts/v_scroll_bar.h"
#include "grid/parts/sheet_tabs.h"
#include "grid/parts/side_heading.h"
#include "grid/parts/top_heading.h"

namespace {
const char* const kGridClass = "AlmacoraGrid";

UINT FindMessageId() {
  static const UINT id = ::RegisterWindowMessageA(FINDMSGSTRINGA);
  return id;
}
}  // namespace

CGridCore::CGridCore() {
  sources_.push_back(nullptr);   // index 0 stands for the current sheet's own source
  for (CGridCellType* t : {static_cast<CGridCellType*>(&normalType_), static_cast<CGridCellType*>(&dropListType_),
                           static_cast<CGridCellType*>(&checkBoxType_), static_cast<CGridCellType*>(&arrowType_)}) {
    AddCellType(t);
  }
  popupMenu_ = ::CreatePopupMenu();
  lightPen_ = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  shadowPen_ = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
  cellArea_.reset(new CGridCellArea(this));
  topHeading_.reset(new CGridTopHeading(this));
  sideHeading_.reset(new CGridSideHeading(this));
  corner_.reset(new CGridCornerButton(this));
  vScroll_.reset(new CGridVScrollBar(this));
  hScroll_.reset(new CGridHScrollBar(this));
  tabs_.reset(new CGridSheetTabs(this));
  hint_.reset(new CGridHintWnd(this));
  editor_.reset(new CGridEdit(this));
  substitute_.reset(new CGridEdit(this));
  sheets_.emplace_back(new CGridSheetInfo);
  sheet_ = sheets_[0].get();
  WireSheet(sheet_);
}

CGridCore::~CGridCore() {
  // The window goes first, while every part object still exists; the
  // registries only reference what others own, so nothing in them is freed.
  DestroyWindow();
  if (popupMenu_) ::DestroyMenu(popupMenu_);
  if (lightPen_) ::DeleteObject(lightPen_);
  if (shadowPen_) ::DeleteObject(shadowPen_);
}

void CGridCore::WireSheet(CGridSheetInfo* sheet) {
  sheet->ownSource->SetOwner(this, this);
  sheet->selection.SetHost(this);
}

BOOL CGridCore::CreateGrid(DWORD style, const RECT& rect, HWND parent, UINT id) {
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  if (!RegisterClass(inst, kGridClass, nullptr, nullptr, CS_DBLCLKS)) return FALSE;
  const bool ok = Create(kGridClass, "", style | WS_CLIPCHILDREN, 0, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), inst);
  if (!ok) return FALSE;
  OnGridCreated();
  OnSheetCreated(0);
  return TRUE;
}

int CGridCore::CreateFromDialogItem(HWND parent, int id) {
  HWND item = parent ? ::GetDlgItem(parent, id) : nullptr;
  if (!item) return 1;
  RECT r;
  ::GetWindowRect(item, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const DWORD style = static_cast<DWORD>(::GetWindowLongA(item, GWL_STYLE)) | WS_CLIPCHILDREN | WS_BORDER | WS_TABSTOP;
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  if (!RegisterClass(inst, kGridClass, nullptr, nullptr, CS_DBLCLKS)) return 1;
  // The grid takes the control's place, size, id and tab order.
  ::SetWindowLongPtrA(item, GWLP_ID, 0);
  if (!Create(kGridClass, "", style | WS_CHILD, 0, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst)) {
    ::SetWindowLongPtrA(item, GWLP_ID, id);
    return 1;
  }
  ::SetWindowPos(GetSafeHwnd(), item, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::DestroyWindow(item);
  OnGridCreated();
  return 0;
}

bool CGridCore::OnCreate(const CREATESTRUCTA&) {
  if (!CreateParts()) return false;
  AdjustLayout();
  return true;
}

bool CGridCore::CreateParts() {
  HWND h = GetSafeHwnd();
  bool ok = cellArea_->CreateArea(h) && topHeading_->CreateHeading(h) && sideHeading_->CreateHeading(h) &&
            corner_->CreateHeading(h) && tabs_->CreateBar(h) && vScroll_->Create(h) && hScroll_->Create(h) &&
            hint_->CreateHint(h) && editor_->Create(h);
  return ok;
}

HWND CGridCore::GetPartWindow(int id) const {
  switch (id) {
    case kCellAreaId: return cellArea_->GetSafeHwnd();
    case kTopHeadingId: return topHeading_->GetSafeHwnd();
    case kSideHeadingId: return sideHeading_->GetSafeHwnd();
    case kCornerId: return corner_->GetSafeHwnd();
    case kTabBarId: return tabs_->GetSafeHwnd();
    case kVScrollId: return vScroll_->GetSafeHwnd();
    case kHScrollId: return hScroll_->GetSafeHwnd();
    case kEditorId: return editor_->GetSafeHwnd();
    default: return nullptr;
  }
}

void CGridCore::OnSize(UINT, int, int) {
  // Keep an owner's EnableRedraw(0) in force across the layout.
  const int saved = redraw_;
  redraw_ = 0;
  AdjustLayout();
  redraw_ = saved;
  RedrawAll();
}

void CGridCore::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
  ::FillRect(dc, &ps.rcPaint, face);
  vScroll_->Update();
  hScroll_->Update();
}

// The scroll bars' codes move the first visible row or column; the bars
// map thumb positions to rows and columns.
void CGridCore::OnScrollBar(bool vertical, int code, int position) {
  if (cellArea_->GetSafeHwnd() && !editing_) ::SetFocus(cellArea_->GetSafeHwnd());
  vertical ? vScroll_->OnScroll(code, position) : hScroll_->OnScroll(code, position);
}

bool CGridCore::IsDropListOpen() const { return dropListType_.IsListOpen(); }

bool CGridCore::CurrentCellWantsKey(UINT vk) {
  if (sheet_->currentCol < 0 || sheet_->currentRow < 0) return false;
  CGridCell cell;
  GetCell(sheet_->currentCol, sheet_->currentRow, &cell);
  return GetCellType(cell.GetCellType())->WantsKey(vk) != 0;
}

LRESULT CGridCore::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      // While an edit goes on (a refused end, the next cell's edit) the
      // editor keeps the focus.
      if (editing_ && editorInUse_ && ::IsWindowVisible(editorInUse_)) {
        ::SetFocus(editorInUse_);
      } else if (cellArea_->GetSafeHwnd()) {
        ::SetFocus(cellArea_->GetSafeHwnd());
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_VSCROLL:
    case WM_HSCROLL:
      OnScrollBar(message == WM_VSCROLL, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_SYSCOLORCHANGE: {
      LRESULT r = Default(message, wParam, lParam);
      for (int i = 0; i < cellTypes_.Capacity(); ++i) {
        if (auto* t = static_cast<CGridCellType*>(cellTypes_.Get(i))) t->OnSysColorChange();
      }
      return r;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) >= 1000) OnPopupMenuCommand(popupCol_, popupRow_, popupPart_, LOWORD(wParam));
      return Default(message, wParam, lParam);
    default:
      if (message == FindMessageId()) {
        OnFindMessage(lParam);
        return 0;
      }
      return CWindow::WindowProc(message, wParam, lParam);
  }
}

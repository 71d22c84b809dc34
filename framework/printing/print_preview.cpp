#include "framework/printing/print_preview.h"

#include <algorithm>

#include "framework/controls/status_bar.h"
#include "framework/controls/tool_bar.h"
#include "framework/dialogs/dialog.h"
#include "framework/frame_window.h"
#include "framework/printing/app_printer.h"

namespace framework {

const char kCommandFailedMessage[] = "Command failed.";

namespace {
// Pages beyond this end a preview whose client never says it is done.
constexpr UINT kMaxPreviewPages = 10000;
constexpr int kSheetGap = 8;     // screen pixels around the sheet
constexpr int kShadow = 3;
constexpr double kZoomFactors[CPreviewView::kMaxZoom + 1] = {1.0, 2.0, 3.0};
}  // namespace

void CPrintClient::OnEndPrintPreview(HDC /*dc*/, CPrintInfo& /*info*/, CPreviewView& view) { view.RestoreFrame(); }

// The tool bar dialog: a child dialog whose buttons become the frame's
// commands (Enter and Escape mean nothing here).
class CPreviewView::CBar : public CDialog {
 public:
  CBar(UINT templateId, HWND frame) : CDialog(templateId, frame), frame_(frame) {}

 protected:
  bool OnCommandMessage(WPARAM wParam, LPARAM lParam) override {
    const UINT id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) return true;
    if (HIWORD(wParam) == BN_CLICKED) ::SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(id, 0), lParam);
    return true;
  }

 private:
  HWND frame_;
};

FRAMEWORK_BEGIN_MESSAGE_MAP(CPreviewView, CView)
  OnCommand<&CPreviewView::NextPage>(kIdPreviewNext),
  OnCommand<&CPreviewView::PrevPage>(kIdPreviewPrev),
  OnCommand<&CPreviewView::ZoomIn>(kIdPreviewZoomIn),
  OnCommand<&CPreviewView::ZoomOut>(kIdPreviewZoomOut),
  OnCommand<&CPreviewView::ClosePreview>(kIdPreviewClose),
  OnMessage<&CPreviewView::OnHScroll>(WM_HSCROLL),
  OnMessage<&CPreviewView::OnVScroll>(WM_VSCROLL),
  OnMessage<&CPreviewView::OnEraseBackground>(WM_ERASEBKGND),
FRAMEWORK_END_MESSAGE_MAP()

CPreviewView::CPreviewView() { SetAutoDelete(false); }

CPreviewView::~CPreviewView() {
  if (!closed_ && begun_ && client_) client_->OnEndPrinting(printerDC_, info_);
  if (bar_ && bar_->GetSafeHwnd()) bar_->DestroyWindow();
  if (GetSafeHwnd()) DestroyWindow();
  for (HENHMETAFILE page : pages_) ::DeleteEnhMetaFile(page);
  if (printerDC_) ::DeleteDC(printerDC_);
}

bool CPreviewView::Render() {
  info_.preview = true;
  if (!client_->OnPreparePrinting(info_)) return false;
  printerDC_ = ThePrinter().CreateDC();
  if (!printerDC_) return false;
  dpi_ = SIZE{::GetDeviceCaps(printerDC_, LOGPIXELSX), ::GetDeviceCaps(printerDC_, LOGPIXELSY)};
  paper_ = SIZE{::GetDeviceCaps(printerDC_, PHYSICALWIDTH), ::GetDeviceCaps(printerDC_, PHYSICALHEIGHT)};
  offset_ = SIZE{::GetDeviceCaps(printerDC_, PHYSICALOFFSETX), ::GetDeviceCaps(printerDC_, PHYSICALOFFSETY)};
  if (paper_.cx <= 0 || paper_.cy <= 0) {
    paper_ = SIZE{::GetDeviceCaps(printerDC_, HORZRES), ::GetDeviceCaps(printerDC_, VERTRES)};
    offset_ = SIZE{0, 0};
  }
  if (dpi_.cx <= 0 || dpi_.cy <= 0 || paper_.cx <= 0 || paper_.cy <= 0) return false;
  client_->OnBeginPrinting(printerDC_, info_);
  begun_ = true;
  // The picture frame in hundredths of a millimetre covers the whole sheet;
  // the recorded device origin is the printable area's corner. Pixels turn
  // into hundredths at the printer's own HORZSIZE/HORZRES ratio, the one
  // the metafile maps back with, so a played page lands pixel for pixel
  // even where the driver rounds its size in millimetres.
  const double perPixelX = 100.0 * ::GetDeviceCaps(printerDC_, HORZSIZE) / ::GetDeviceCaps(printerDC_, HORZRES);
  const double perPixelY = 100.0 * ::GetDeviceCaps(printerDC_, VERTSIZE) / ::GetDeviceCaps(printerDC_, VERTRES);
  auto hundredths = [](LONG pixels, double perPixel) { return static_cast<LONG>(pixels * perPixel + 0.5); };
  RECT frame{-hundredths(offset_.cx, perPixelX), -hundredths(offset_.cy, perPixelY),
             hundredths(paper_.cx - offset_.cx, perPixelX), hundredths(paper_.cy - offset_.cy, perPixelY)};
  const UINT last = std::min<UINT>(info_.maxPage, info_.minPage + kMaxPreviewPages - 1);
  for (info_.currentPage = info_.minPage; info_.currentPage <= last; ++info_.currentPage) {
    HDC page = ::CreateEnhMetaFileA(printerDC_, nullptr, &frame, nullptr);
    if (!page) break;
    info_.continuePrinting = true;
    client_->OnPrepareDC(page, info_);
    if (!info_.continuePrinting) {
      ::DeleteEnhMetaFile(::CloseEnhMetaFile(page));
      break;
    }
    info_.drawRect = RECT{0, 0, ::GetDeviceCaps(printerDC_, HORZRES), ::GetDeviceCaps(printerDC_, VERTRES)};
    client_->OnPrint(page, info_);
    if (HENHMETAFILE done = ::CloseEnhMetaFile(page)) pages_.push_back(done);
  }
  return !pages_.empty();
}

bool CPreviewView::Open(UINT toolBarId) {
  HWND frameWnd = frame_->GetSafeHwnd();
  bar_ = std::make_unique<CBar>(toolBarId, frameWnd);
  if (!bar_->Create(frameWnd)) return false;
  ::SetWindowLongPtrA(bar_->GetSafeHwnd(), GWLP_ID, kIdPreviewBar);
  if (!CreateView(frameWnd, kIdPreviewBar + 1, nullptr)) {
    bar_->DestroyWindow();
    return false;
  }
  // Hide what the frame showed: menu, bars and panes.
  restored_ = false;
  menu_ = ::GetMenu(frameWnd);
  if (menu_) ::SetMenu(frameWnd, nullptr);
  for (HWND child = ::GetWindow(frameWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (child == GetSafeHwnd() || child == bar_->GetSafeHwnd() || !::IsWindowVisible(child)) continue;
    hidden_.push_back(child);
  }
  for (HWND child : hidden_) ::ShowWindow(child, SW_HIDE);
  activeView_ = frame_->GetActiveView();
  ::ShowWindow(bar_->GetSafeHwnd(), SW_SHOW);
  frame_->SetActiveView(this);
  UpdateButtons();
  frame_->RecalcLayout();
  ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
  return true;
}

void CPreviewView::RestoreFrame() {
  if (restored_) return;
  restored_ = true;
  HWND frameWnd = frame_->GetSafeHwnd();
  if (bar_ && bar_->GetSafeHwnd()) ::ShowWindow(bar_->GetSafeHwnd(), SW_HIDE);
  if (GetSafeHwnd()) ::ShowWindow(GetSafeHwnd(), SW_HIDE);
  if (::IsWindow(frameWnd)) {
    if (menu_) ::SetMenu(frameWnd, menu_);
    for (HWND child : hidden_)
      if (::IsWindow(child)) ::ShowWindow(child, SW_SHOW);
    frame_->SetActiveView(activeView_);
  }
  hidden_.clear();
  frame_->RetirePreview(this);
  if (::IsWindow(frameWnd)) {
    frame_->RecalcLayout();
    ::DrawMenuBar(frameWnd);
  }
  // The windows go now; this object lives on until the frame drops it, as
  // its handlers may still be on the stack.
  if (bar_ && bar_->GetSafeHwnd()) bar_->DestroyWindow();
  if (GetSafeHwnd()) DestroyWindow();
}

void CPreviewView::ClosePreview() {
  if (closed_) return;
  closed_ = true;
  if (begun_) client_->OnEndPrinting(printerDC_, info_);
  client_->OnEndPrintPreview(printerDC_, info_, *this);
  RestoreFrame();
}

HWND CPreviewView::GetToolBar() const { return bar_ ? bar_->GetSafeHwnd() : nullptr; }

void CPreviewView::Layout(RECT client) {
  int top = client.top;
  if (HWND bar = GetToolBar()) {
    RECT r;
    ::GetWindowRect(bar, &r);
    const int height = r.bottom - r.top;
    ::MoveWindow(bar, client.left, client.top, client.right - client.left, height, TRUE);
    top += height;
  }
  if (GetSafeHwnd())
    ::MoveWindow(GetSafeHwnd(), client.left, top, client.right - client.left, std::max<LONG>(0, client.bottom - top),
                 TRUE);
}

bool CPreviewView::PlayPage(HDC dc, UINT index, const RECT& sheet) const {
  if (index >= pages_.size()) return false;
  return ::PlayEnhMetaFile(dc, pages_[index], &sheet) != FALSE;
}

RECT CPreviewView::SheetRect() const {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  const double fitX = (client.right - 2.0 * kSheetGap) / paper_.cx;
  const double fitY = (client.bottom - 2.0 * kSheetGap) / paper_.cy;
  const double scale = std::max(0.01, std::min(fitX, fitY)) * kZoomFactors[zoom_];
  const int width = static_cast<int>(paper_.cx * scale), height = static_cast<int>(paper_.cy * scale);
  const int left = std::max(kSheetGap, (static_cast<int>(client.right) - width) / 2) - scroll_.x;
  const int top = std::max(kSheetGap, (static_cast<int>(client.bottom) - height) / 2) - scroll_.y;
  return RECT{left, top, left + width, top + height};
}

void CPreviewView::OnDraw(HDC dc) {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
  if (pages_.empty()) return;
  RECT sheet = SheetRect();
  RECT shadow = sheet;
  ::OffsetRect(&shadow, kShadow, kShadow);
  ::FillRect(dc, &shadow, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::FillRect(dc, &sheet, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
  PlayPage(dc, current_, sheet);
  ::RestoreDC(dc, saved);
}

LRESULT CPreviewView::OnEraseBackground(WPARAM, LPARAM) { return 1; }  // OnDraw fills everything

void CPreviewView::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {
  UpdateScrollBars();
  ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
}

void CPreviewView::UpdateScrollBars() {
  if (!GetSafeHwnd() || pages_.empty()) return;
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  POINT keep = scroll_;
  scroll_ = POINT{0, 0};
  RECT sheet = SheetRect();
  const int needX = sheet.right - sheet.left + 2 * kSheetGap, needY = sheet.bottom - sheet.top + 2 * kSheetGap;
  scroll_.x = std::max(0, std::min<int>(keep.x, needX - client.right));
  scroll_.y = std::max(0, std::min<int>(keep.y, needY - client.bottom));
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMax = zoom_ > 0 ? needX - 1 : 0;
  si.nPage = static_cast<UINT>(client.right);
  si.nPos = scroll_.x;
  ::SetScrollInfo(GetSafeHwnd(), SB_HORZ, &si, TRUE);
  si.nMax = zoom_ > 0 ? needY - 1 : 0;
  si.nPage = static_cast<UINT>(client.bottom);
  si.nPos = scroll_.y;
  ::SetScrollInfo(GetSafeHwnd(), SB_VERT, &si, TRUE);
}

void CPreviewView::Scroll(int bar, WPARAM wParam) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ::GetScrollInfo(GetSafeHwnd(), bar, &si);
  int pos = si.nPos;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: pos -= 20; break;
    case SB_LINEDOWN: pos += 20; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    default: return;
  }
  pos = std::max(0, std::min(pos, si.nMax - static_cast<int>(si.nPage) + 1));
  (bar == SB_HORZ ? scroll_.x : scroll_.y) = pos;
  UpdateScrollBars();
  ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
}

LRESULT CPreviewView::OnHScroll(WPARAM wParam, LPARAM) {
  Scroll(SB_HORZ, wParam);
  return 0;
}

LRESULT CPreviewView::OnVScroll(WPARAM wParam, LPARAM) {
  Scroll(SB_VERT, wParam);
  return 0;
}

void CPreviewView::UpdateButtons() {
  HWND bar = GetToolBar();
  if (!bar) return;
  ::EnableWindow(::GetDlgItem(bar, kIdPreviewNext), current_ + 1 < pages_.size());
  ::EnableWindow(::GetDlgItem(bar, kIdPreviewPrev), current_ > 0);
  ::EnableWindow(::GetDlgItem(bar, kIdPreviewZoomIn), zoom_ < kMaxZoom);
  ::EnableWindow(::GetDlgItem(bar, kIdPreviewZoomOut), zoom_ > 0);
}

void CPreviewView::NextPage() {
  if (current_ + 1 >= pages_.size()) return;
  ++current_;
  UpdateButtons();
  ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
}

void CPreviewView::PrevPage() {
  if (current_ == 0) return;
  --current_;
  UpdateButtons();
  ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
}

void CPreviewView::ZoomIn() {
  if (zoom_ >= kMaxZoom) return;
  ++zoom_;
  UpdateButtons();
  UpdateScrollBars();
  ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
}

void CPreviewView::ZoomOut() {
  if (zoom_ <= 0) return;
  --zoom_;
  scroll_ = POINT{0, 0};
  UpdateButtons();
  UpdateScrollBars();
  ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
}

bool DoPrintPreview(UINT toolBarId, CFrameWindow& frame, std::shared_ptr<CPrintClient> client,
                    std::unique_ptr<CPreviewView> view) {
  if (!client || !view || !frame.GetSafeHwnd() || frame.GetPreview()) return false;
  view->frame_ = &frame;
  view->client_ = std::move(client);
  // On failure the view's destructor ends what was begun (OnEndPrinting)
  // and frees the DC and the pages.
  if (!view->Render()) return false;
  CPreviewView* shown = view.get();
  frame.AdoptPreview(std::move(view));
  if (!shown->Open(toolBarId)) {
    frame.DropPreview();
    return false;
  }
  return true;
}

}  // namespace framework

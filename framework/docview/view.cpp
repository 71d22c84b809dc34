#include "framework/docview/view.h"

#include "framework/application.h"
#include "framework/docview/document.h"

namespace framework {

namespace {
const char* const kViewClass = "AlmacoraView";
}

CView::~CView() {
  if (document_) document_->RemoveView(this);
}

bool CView::CreateView(HWND parent, UINT id, CDocument* document) {
  CApplication* app = TheApp();
  HINSTANCE inst = app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  if (!RegisterClass(inst, kViewClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                     CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW))
    return false;
  if (document) document->AddView(this);
  if (!Create(kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, parent,
              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), inst)) {
    if (document) document->RemoveView(this);
    return false;
  }
  return true;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView* /*sender*/, LPARAM /*hint*/, void* /*object*/) {
  if (GetSafeHwnd()) ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

bool CView::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
  if (CWindow::OnCmdMsg(id, code, ui)) return true;
  return document_ && document_->OnCmdMsg(id, code, ui);
}

void CView::OnPaint(HDC dc, const PAINTSTRUCT& /*ps*/) { OnDraw(dc); }

void CView::PostNcDestroy() {
  if (document_) document_->RemoveView(this);
  if (autoDelete_) delete this;
}

}  // namespace framework

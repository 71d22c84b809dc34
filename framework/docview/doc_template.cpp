#include "framework/docview/doc_template.h"

#include "framework/application.h"
#include "framework/docview/document.h"
#include "framework/frame_window.h"

namespace framework {

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, std::function<std::unique_ptr<CDocument>()> newDocument,
                                       std::function<CFrameWindow*()> newFrame, std::function<CView*()> newView)
    : resourceId_(resourceId),
      newDocument_(std::move(newDocument)),
      newFrame_(std::move(newFrame)),
      newView_(std::move(newView)) {}

CSingleDocTemplate::~CSingleDocTemplate() = default;

CDocument* CSingleDocTemplate::OpenDocumentFile() {
  if (!document_) {
    document_ = newDocument_();
    if (!document_) return nullptr;
  }
  CFrameWindow* frame = newFrame_();
  if (!frame) return nullptr;
  // Not yet: a creation that fails destroys the window, and the object is
  // then ours to delete.
  frame->SetAutoDelete(false);
  CCreateContext context;
  context.document = document_.get();
  context.newView = newView_;
  if (!frame->LoadFrame(resourceId_, kFrameStyle, nullptr, &context)) {
    delete frame;
    return nullptr;
  }
  frame->SetAutoDelete(true);
  CApplication* app = TheApp();
  if (app && !app->GetMainWindow()) app->SetMainWindow(frame->GetSafeHwnd());
  if (!document_->OnNewDocument()) {
    if (app && app->GetMainWindow() == frame->GetSafeHwnd()) app->SetMainWindow(nullptr);
    frame->DestroyWindow();
    return nullptr;
  }
  frame->InitialUpdateFrame(document_.get(), true);
  return document_.get();
}

}  // namespace framework

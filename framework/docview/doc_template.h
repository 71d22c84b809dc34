// The single-document template: one resource id (menu, accelerators,
// toolbar, icon and document string), and factories for the document, the
// frame and the view. It owns the one document.
//
// OpenDocumentFile (File New) runs in this order: construct the document;
// construct the frame and create its window with its views; make it the
// main window when there is none; OnNewDocument; the views' initial
// updates; show the frame with the application's show command (SW_HIDE
// included). Returns the document, or null when a step failed (a frame
// already made is destroyed).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace framework {

class CDocument;
class CFrameWindow;
class CView;

class CSingleDocTemplate {
 public:
  CSingleDocTemplate(UINT resourceId, std::function<std::unique_ptr<CDocument>()> newDocument,
                     std::function<CFrameWindow*()> newFrame, std::function<CView*()> newView);
  ~CSingleDocTemplate();
  CSingleDocTemplate(const CSingleDocTemplate&) = delete;
  CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;

  CDocument* OpenDocumentFile();
  CDocument* GetDocument() const { return document_.get(); }
  UINT GetResourceId() const { return resourceId_; }

  // The frame style File New creates.
  static constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW;

 private:
  UINT resourceId_;
  std::function<std::unique_ptr<CDocument>()> newDocument_;
  std::function<CFrameWindow*()> newFrame_;
  std::function<CView*()> newView_;
  std::unique_ptr<CDocument> document_;
};

}  // namespace framework

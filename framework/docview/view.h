// CView: a child window that shows its document. OnUpdate is told of
// document changes (a hint number and an object, both the program's own
// vocabulary); OnDraw paints. Commands the view does not handle go on to
// its document.
#pragma once

#include "framework/window.h"

namespace framework {

class CDocument;

class CView : public CWindow {
 public:
  ~CView() override;

  // Creates the view window as child `id` of `parent` and adds it to the
  // document. Views are deleted when their window goes unless
  // SetAutoDelete(false).
  bool CreateView(HWND parent, UINT id, CDocument* document);

  CDocument* GetDocument() const { return document_; }
  void SetAutoDelete(bool on) { autoDelete_ = on; }

  // Once, after the frame is complete; by default OnUpdate(null, 0, null).
  virtual void OnInitialUpdate();
  // A document change; by default repaints the whole view.
  virtual void OnUpdate(CView* sender, LPARAM hint, void* object);

  bool OnCmdMsg(UINT id, int code, CCmdUI* ui) override;

 protected:
  virtual void OnDraw(HDC /*dc*/) {}
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void PostNcDestroy() override;

 private:
  friend class CDocument;
  CDocument* document_ = nullptr;
  bool autoDelete_ = true;
};

}  // namespace framework

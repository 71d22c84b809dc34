// A top-level frame: the program's main window. It carries the menu and
// accelerators of its resource, optional toolbar and status bar, and the
// views of its document in the client area (the first pane has id 0xE900).
//
// Commands reaching the frame are routed: active view (which passes them
// to its document), then the frame's own map, then the application. Menu
// items are updated through that route when their popup opens and toolbar
// buttons at idle time; an item nothing handles is greyed.
//
// Destroying the frame ends the message loop with exit code 0.
#pragma once

#include <functional>
#include <memory>

#include "framework/window.h"

namespace framework {

class CDocument;
class CView;
class CToolBar;
class CStatusBar;
class CPreviewView;

constexpr UINT kIdPaneFirst = 0xE900;
constexpr UINT kIdToolBar = 0xE800;
constexpr UINT kIdStatusBar = 0xE801;

// What the document template hands the frame for building its views.
struct CCreateContext {
  CDocument* document = nullptr;
  std::function<CView*()> newView;
};

class CFrameWindow : public CWindow {
 public:
  CFrameWindow();
  ~CFrameWindow() override;
  // Loads menu and accelerators of `resourceId`, lets PreCreateWindow
  // adjust the creation values, creates the window and its client views.
  bool LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context);

  CView* GetActiveView() const { return activeView_; }
  void SetActiveView(CView* view);
  // Initial update of every view of the document (creation order), then
  // shows the frame with the application's show command.
  void InitialUpdateFrame(CDocument* document, bool makeVisible);
  // Toolbar buttons through the command route (called at idle).
  virtual void OnIdleUpdateCmdUI();
  // Places the bars and the first pane.
  virtual void RecalcLayout();
  // Frames made by the document template delete themselves when destroyed.
  void SetAutoDelete(bool on) { autoDelete_ = on; }
  HACCEL GetAccelerators() const { return accel_; }
  // The print preview shown in this frame (printing/print_preview.h), or
  // null. While it shows, the layout is the preview's and the frame's
  // accelerators are off.
  CPreviewView* GetPreview() const { return preview_.get(); }
  // For the preview itself: takes it over, drops it, or keeps a closed one
  // aside until the next preview (its handlers may still be running).
  void AdoptPreview(std::unique_ptr<CPreviewView> preview);
  void DropPreview();
  void RetirePreview(CPreviewView* preview);
  UINT GetResourceId() const { return resourceId_; }

  bool OnCmdMsg(UINT id, int code, CCmdUI* ui) override;
  bool PreTranslateMessage(MSG& msg) override;

 protected:
  // Adjusts class, style, place and size before creation.
  virtual bool PreCreateWindow(CREATESTRUCTA& cs);
  // Creates the first view (id 0xE900) from the context; false fails the
  // creation.
  virtual bool OnCreateClient(const CREATESTRUCTA& cs, CCreateContext* context);
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnDestroy() override;
  void OnSize(UINT type, int cx, int cy) override;
  void PostNcDestroy() override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // Runs a CCmdUI for every command item of a popup about to open.
  virtual void OnInitMenuPopup(HMENU popup, UINT index, BOOL systemMenu);

  // Bars the layout and the idle update know about.
  CToolBar* toolBar_ = nullptr;
  CStatusBar* statusBar_ = nullptr;

 private:
  CView* activeView_ = nullptr;
  HACCEL accel_ = nullptr;
  UINT resourceId_ = 0;
  CCreateContext* context_ = nullptr;
  bool autoDelete_ = false;
  std::unique_ptr<CPreviewView> preview_, retiredPreview_;
};

}  // namespace framework

// Print preview, always shown in a frame window: the frame's menu, bars and
// panes are hidden, a tool bar dialog sits at the top and CPreviewView
// fills the rest. Every page is rendered once, when the preview opens, into
// an enhanced metafile recorded against the printer DC (so the client
// measures fonts and reads GetDeviceCaps from the printer); repaints and
// zooms only play those pages, so a document change while the preview is
// open cannot reach the client's data.
//
// The tool bar dialog's buttons reach the frame as commands, which the
// frame routes to the preview view first: Next Page, Prev Page, Zoom In,
// Zoom Out and Close (the ids below). Any other button (a print button)
// goes on to the frame's own handlers. Close runs the client's
// OnEndPrinting, then OnEndPrintPreview, whose default restores the frame
// (menu, bars, panes and active view as they were).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/docview/view.h"
#include "framework/printing/print_client.h"
#include "framework/printing/print_info.h"

namespace framework {

class CFrameWindow;

constexpr UINT kIdPreviewClose = 0xE300;
constexpr UINT kIdPreviewNext = 0xE301;
constexpr UINT kIdPreviewPrev = 0xE302;
constexpr UINT kIdPreviewZoomIn = 0xE304;
constexpr UINT kIdPreviewZoomOut = 0xE305;
// The tool bar dialog's child id in the frame.
constexpr UINT kIdPreviewBar = 0xE810;

// The library's message when a command could not be carried out.
extern const char kCommandFailedMessage[];

class CPreviewView : public CView {
 public:
  static constexpr int kMaxZoom = 2;

  CPreviewView();
  ~CPreviewView() override;

  UINT GetPageCount() const { return static_cast<UINT>(pages_.size()); }
  // 0-based index of the page shown.
  UINT GetCurrentPage() const { return current_; }
  int GetZoom() const { return zoom_; }
  // The printer page size in printer pixels (PHYSICALWIDTH/HEIGHT) and
  // resolution the pages were recorded at.
  SIZE GetPaperSize() const { return paper_; }
  SIZE GetPrinterDpi() const { return dpi_; }
  // Plays page `index` so that the whole sheet of paper fills `sheet`.
  bool PlayPage(HDC dc, UINT index, const RECT& sheet) const;
  HWND GetToolBar() const;

  void NextPage();
  void PrevPage();
  void ZoomIn();
  void ZoomOut();
  // Ends the preview: OnEndPrinting, OnEndPrintPreview, the frame restored.
  void ClosePreview();
  // Puts the frame back as it was before the preview (the default of
  // CPrintClient::OnEndPrintPreview); a second call does nothing.
  void RestoreFrame();
  // The frame's layout while the preview shows: bar on top, view below.
  void Layout(RECT client);

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  void OnDraw(HDC dc) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  friend bool DoPrintPreview(UINT, CFrameWindow&, std::shared_ptr<CPrintClient>, std::unique_ptr<CPreviewView>);
  class CBar;

  bool Render();
  bool Open(UINT toolBarId);
  RECT SheetRect() const;  // the sheet in client coordinates, scrolled
  void UpdateScrollBars();
  void UpdateButtons();
  LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  void Scroll(int bar, WPARAM wParam);

  CFrameWindow* frame_ = nullptr;
  std::shared_ptr<CPrintClient> client_;
  CPrintInfo info_;
  HDC printerDC_ = nullptr;
  bool begun_ = false, closed_ = false, restored_ = true;
  std::vector<HENHMETAFILE> pages_;
  SIZE paper_{}, dpi_{}, offset_{};
  UINT current_ = 0;
  int zoom_ = 0;
  POINT scroll_{};
  std::unique_ptr<CBar> bar_;
  // The frame before the preview.
  HMENU menu_ = nullptr;
  std::vector<HWND> hidden_;
  CView* activeView_ = nullptr;
};

// Opens the preview of `client` in `frame`, shown by `view` (which the
// frame keeps from then on) under the tool bar dialog `toolBarId` (a child
// dialog template). Steps: info.preview set, OnPreparePrinting (false:
// stop), the printer DC (none: stop), OnBeginPrinting, each page from
// minPage while continuePrinting and up to maxPage recorded through
// OnPrepareDC and OnPrint; then the frame is switched to the preview.
// False when it could not open (the frame is then untouched, and
// OnEndPrinting has run if OnBeginPrinting had); the caller reports it.
bool DoPrintPreview(UINT toolBarId, CFrameWindow& frame, std::shared_ptr<CPrintClient> client,
                    std::unique_ptr<CPreviewView> view);

}  // namespace framework

// CDayEventsPopup: the hover window of the month and week calendar. Over a
// day cell it shows the cell's heading and every occurrence of the day on
// its own line, the line under the mouse highlighted with the occurrence's
// notes as a tip, an add button in the heading, a triangle on lines whose
// occurrence runs on past the day. It holds the mouse capture while shown
// and hides as soon as the mouse leaves it or anything else takes the
// capture. A click selects the line's occurrence in the list (hint 4); a
// double-click modifies it (on the heading: adds an event on the day); a
// right-click offers the occurrence menu.
//
// It is the month grid's IDayPopupPlacer: a top-level window created on
// first use, kept inside the work area of the cell's monitor. Its lines are
// copies of the day's occurrences, and the grid hides it before every
// refill of its page.
#pragma once

#include <string>
#include <vector>

#include "framework/gdi/gdi.h"
#include "framework/window.h"
#include "model/dates/date_time.h"
#include "model/events/occurrence_ref.h"
#include "controls/hover_bitmap_button.h"
#include "shell/calendar/month_grid_ctrl.h"

class CShellDocument;

class CDayEventsPopup : public framework::CWindow, public IDayPopupPlacer {
 public:
  static constexpr UINT kAddButtonId = 3;

  CDayEventsPopup();
  ~CDayEventsPopup() override;

  void SetDocument(CShellDocument* doc) { doc_ = doc; }

  // IDayPopupPlacer.
  void ShowDayPopup(CGridCore& grid, int col, int row, const RECT& cellRect, const CDateTime& day) override;
  void HideDayPopup() override;

  // Shows `lines` under `heading` over the screen rectangle `cell` (back
  // colour `cellBack`, heading colour `headingColour`).
  void Show(const RECT& cell, const CDateTime& day, const std::string& heading, const std::vector<COccurrenceRef>& lines,
            COLORREF cellBack, COLORREF headingColour, bool week);
  bool IsShown() const { return GetSafeHwnd() && ::IsWindowVisible(GetSafeHwnd()); }
  // The line under client y, or -1.
  int HitTest(int y) const;
  // The tip text for a client point: the notes of the line's occurrence.
  std::string TipTextAt(POINT client) const;
  int GetHotLine() const { return hot_; }
  int GetLineHeight() const { return lineHeight_; }
  int GetHeadingHeight() const { return headingHeight_; }
  const std::vector<COccurrenceRef>& GetLines() const { return lines_; }
  const CDateTime& GetDay() const { return day_; }
  HWND GetAddButton() const { return add_.GetSafeHwnd(); }

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  bool EnsureCreated(HWND owner);
  void Measure();
  void Hide();
  void DrawLine(HDC dc, int index, bool hot);
  RECT LineRect(int index) const;
  void OnMouseMove(POINT pt);
  void OnLButtonDown();
  void OnLButtonDblClk();
  void OnRButtonDown(POINT pt);
  void AddOnDay();

  CShellDocument* doc_ = nullptr;
  std::string tipText_;
  HWND tip_ = nullptr;
  shellcontrols::CHoverBitmapButton add_;
  COLORREF cellBack_ = 0xFFFFFF;
  COLORREF headingColour_ = 0;
  bool menuOpen_ = false;
  std::vector<COccurrenceRef> lines_;
  int hot_ = -1;
  int lineHeight_ = 13;
  int headingHeight_ = 13;
  CDateTime day_;
  std::string heading_;
  bool week_ = false;
  int width_ = 0;
  int height_ = 0;
  framework::CFont headingFont_;
  framework::CFont eventFont_;
};

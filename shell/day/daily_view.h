// CDailyView: the day schedule, the left pane of the day layout. One day on
// a scale of `DailyScale`-minute lines: the time of day in a column on the
// left, every timed occurrence of the day a box in its colour over the
// lines it covers, side by side where they overlap (shell/core/
// day_schedule.h), with a marker at the top or bottom right while an
// occurrence lies above or below the visible part.
//
// A click on a box selects it (hint 4: the list follows); a drag over empty
// lines or a double-click on one adds an event for that time; a double-click
// on a box modifies it; a right-click on a box offers the occurrence menu
// (shell/commands/occurrence_menu.h). The add, modify and other frame commands go
// through IEventCommands.
//
// Hints: 7 loads the given day (today without one), 17 reloads the shown
// day, 11 measures again, 15 follows the list's event to its next
// occurrence, 14 drops the items of the event being freed. Items hold
// copies of the occurrences; every load rebuilds them and clears the
// selection.
#pragma once

#include <vector>

#include "framework/docview/scroll_view.h"
#include "framework/gdi/gdi.h"
#include "model/dates/date_time.h"
#include "model/events/occurrence_ref.h"
#include "shell/core/day_schedule.h"

class CShellDocument;

// One timed occurrence of the shown day.
class CDailyViewItem {
 public:
  virtual ~CDailyViewItem() = default;
  bool selected = false;
  dayline::Item layout;  // lines and columns
  dayline::Box box;      // document pixels
  COccurrenceRef occurrence;
};

class CDailyView : public framework::CScrollView {
 public:
  CDailyView();
  ~CDailyView() override;

  void OnInitialUpdate() override;
  void OnUpdate(framework::CView* sender, LPARAM hint, void* object) override;

  // Loads the timed occurrences of `date`'s day and scrolls to the first of
  // them (to 08:00 without one) when the day is taller than the pane.
  void LoadDay(const CDateTime& date);
  // The shown day at the start of `line` (1-based).
  CDateTime LineTime(int line) const;
  void ScrollToTime(int32_t secondsOfDay);
  // The first item whose box holds the document point, or -1.
  int HitTest(POINT doc) const;

  const CDateTime& GetShownDay() const { return shownDay_; }
  const std::vector<CDailyViewItem>& GetItems() const { return items_; }
  int GetSelectedIndex() const { return selected_; }
  int GetColumnCount() const { return columns_; }
  int GetLineHeight() const { return lineHeight_; }
  int GetLineCount() const { return lineCount_; }
  int GetScaleWidth() const { return scaleWidth_; }
  int GetAnchorLine() const { return anchorLine_; }
  int GetCurrentLine() const { return currentLine_; }
  int GetFirstEventLine() const { return firstLine_; }
  int GetLastEventLine() const { return lastLine_; }

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnDraw(HDC dc) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  bool OnScrollBy(SIZE by, bool doScroll = true) override;

 private:
  CShellDocument* Doc() const;
  void CalcMetrics();
  void LayoutColumns();
  void CalcItemRects();
  void SetClientScrollSizes(int cx, int cy);
  void Paint(HDC dc, int bandTop, int bandBottom);
  void DrawItem(HDC dc, const CDailyViewItem& item, bool selected, POINT offset);
  void DrawMoreMarker(HDC dc, bool atBottom);
  void RedrawNow();
  POINT ToDoc(LPARAM lParam) const;
  void OnLButtonDown(POINT doc);
  void OnRButtonDown(POINT doc, POINT client);
  void OnMouseMove(POINT doc, WPARAM keys);
  void OnLButtonUp();
  void OnLButtonDblClk();
  void AddForSelection();
  void OnOccurrenceCommand(UINT id);
  void DropEvent(int serial);

  int firstLine_ = 0;
  int lastLine_ = 0;
  int currentLine_ = 0;
  int anchorLine_ = 0;
  bool menuOpen_ = false;
  int selected_ = -1;
  int columns_ = 0;
  CDateTime shownDay_;
  std::vector<CDailyViewItem> items_;
  framework::CFont font_;
  int scale_ = 30;
  int scaleWidth_ = 0;
  int clientWidth_ = 0;
  int lineCount_ = 48;
  int lineHeight_ = 15;
  int totalHeight_ = 48 * 15;
};

// CMonthGridCtrl: the month and week calendar of CCalView, a grid with two
// sheets. Row 0 holds the navigation buttons and the title; each day is a
// cell drawn by CEventTextCellType from the control's month or week page.
// Day cells carry their date as a Julian day in the user data (a copy of
// a date value with its zone text would be freed twice).
//
// The day pop-up is placed through IDayPopupPlacer; until one is
// installed, hovering and clicking a day do nothing. Only a move of the
// pointer opens it: the move the system sends when a page changes under a
// resting pointer does not, or the pop-up, wider than its day, would cover
// the neighbours' numbers without the user asking for it.
#pragma once

#include <string>

#include "grid/celltypes/button_type.h"
#include "grid/core/grid_core.h"
#include "controls/triangle_button_type.h"
#include "shell/core/cal_page.h"
#include "shell/calendar/event_text_cell_type.h"

class CCalView;

// Shows the day pop-up of a day cell (the next issue's CDayEventsPopup).
class IDayPopupPlacer {
 public:
  virtual ~IDayPopupPlacer() = default;
  virtual void ShowDayPopup(CGridCore& grid, int col, int row, const RECT& cellRect, const CDateTime& day) = 0;
  // Hides a shown pop-up: its lines come from the page a refill rebuilds.
  virtual void HideDayPopup() {}
};

class CMonthGridCtrl : public CGridCore {
 public:
  static constexpr COLORREF kTodayColour = 200;
  static constexpr COLORREF kMarkColour = 0x010101;
  static constexpr COLORREF kWhite = 0xFFFFFF;

  CMonthGridCtrl();
  ~CMonthGridCtrl() override;

  void SetOwnerView(CCalView* view) { owner_ = view; }
  void SetPageSource(const ICalPageSource* source) { source_ = source; }
  void SetPopupPlacer(IDayPopupPlacer* placer) { popupPlacer_ = placer; }

  virtual void GoToDate(const CDateTime& date);
  virtual void GoTo(int day, int month, int year);
  virtual int Reserved() { return 0; }

  // 0 month, 1 week (above 1 counts as 1).
  void SetMode(int mode);
  int GetMode() const { return mode_; }
  int GetDay() const { return day_; }
  int GetMonth() const { return month_; }
  int GetYear() const { return year_; }
  int GetMonthRowCount() const { return rowCount_; }
  bool IsFirstFillPending() const { return firstFill_; }
  CDateTime GetWeekStart() const;
  // The date of a cell (Julian day 0 when it has none).
  CDateTime GetCellDate(int col, int row);
  bool FindDateCell(const CDateTime& date, int* col, int* row) const;
  // The occurrences of a date from the page of the mode, or null.
  const CCalPage::DayList* GetDayOccurrences(const CDateTime& date) const;
  const CCalPage& GetMonthPage() const { return monthPage_; }
  const CCalPage& GetWeekPage() const { return weekPage_; }

  void MarkDate(int day, int month, int year);
  void ClearMark();
  bool GetMarkedCell(int* col, int* row) const {
    *col = markCol_;
    *row = markRow_;
    return markCol_ >= 0;
  }
  void UpdateToday();
  void Refresh();
  // The calendar fonts changed: the day cells are drawn again in them.
  void FontsChanged();
  void SizeCells();
  // Rebuilds the page of the mode and writes every day cell's label.
  void FillEventTexts();
  void SetupMonthSheet();
  void SetupWeekSheet();

  // Grid notifications.
  void OnGridCreated() override;
  int OnCanMoveCurrentCell(int oldCol, int oldRow, int newCol, int newRow) override;
  void DrawCurrentCellFrame(HDC dc, const RECT* rect) override;
  void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  void OnCellRightClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  void OnCellMouseMove(int col, int row, POINT pt, UINT keyFlags, int processed) override;
  int OnCellTypeEvent(int typeIndex, int col, int row, int code, void* param) override;
  int OnGetCellTip(int col, int row, int part, std::string* text) override;

 protected:
  void OnSize(UINT type, int cx, int cy) override;

 private:
  void FillMonth();
  void FillWeek();
  void SetDayCell(int col, int row, const CDateTime& date, const std::string& text, bool today);
  void SetBlankCell(int col, int row);
  void SetTitle(const std::string& text);
  void SetupNavigation(const int* styles, const int* cols);
  void OnDayCellEvent(int col, int row, const RECT& rect, bool buttonUp);
  void AfterFill();
  int StartDay() const;

  int mode_ = 0;
  CCalView* owner_ = nullptr;
  const ICalPageSource* source_ = nullptr;
  IDayPopupPlacer* popupPlacer_ = nullptr;
  int markCol_ = -1, markRow_ = -1;
  int day_ = 0, month_ = 0, year_ = 0;
  int markDay_ = -1, markMonth_ = -1, markYear_ = -1;
  HFONT titleFont_ = nullptr;
  HPEN borderPen_ = nullptr;
  CEventTextCellType eventType_;
  CGridButtonType buttonType_;
  shellcontrols::CTriangleButtonType triangleType_;
  int eventIndex_ = -1, buttonIndex_ = -1, triangleIndex_ = -1;
  CDateTime today_;
  int rowCount_ = 0;
  bool firstFill_ = true;
  // Where the pointer rested when the page was last filled (screen); a
  // mouse move there is no move of the user's.
  POINT restingAt_{-32768, -32768};
  CCalPage monthPage_;
  CCalPage weekPage_;
};

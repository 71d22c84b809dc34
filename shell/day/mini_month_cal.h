// CMiniMonthCal: the small month calendar of the day mode. One sheet:
// navigation and the title in row 0, weekday names in row 1, the weeks
// below. Days with occurrences on the document's calendar page are bold,
// today is red, the picked day is the current cell. A day the user picks
// or a month the user moves to is announced to every view with hint 7;
// moves the control makes itself are not announced.
#pragma once

#include "framework/docview/view.h"
#include "grid/celltypes/button_type.h"
#include "grid/core/grid_core.h"
#include "model/dates/date_time.h"
#include "controls/triangle_button_type.h"

class CCalPage;

class CMiniMonthCal : public CGridCore {
 public:
  static constexpr COLORREF kTodayColour = 200;

  CMiniMonthCal();
  ~CMiniMonthCal() override;

  // The view whose document hears of picked days.
  void SetOwnerView(framework::CView* view) { owner_ = view; }
  // The page whose days are drawn bold (not owned; may be null).
  void SetPage(const CCalPage* page) { page_ = page; }

  virtual void GoToDate(const CDateTime& date);
  virtual void GoTo(int day, int month, int year);
  void Refresh();
  void SizeCells();
  int GetMonth() const { return month_; }
  int GetYear() const { return year_; }
  int GetMonthRowCount() const { return rowCount_; }
  std::string GetTitle();
  CDateTime GetCellDate(int col, int row);
  bool FindDateCell(const CDateTime& date, int* col, int* row) const;

  void OnGridCreated() override;
  int OnCanMoveCurrentCell(int oldCol, int oldRow, int newCol, int newRow) override;
  void OnCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow) override;
  void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  int OnCellTypeEvent(int typeIndex, int col, int row, int code, void* param) override;
  int OnGetCellTip(int col, int row, int part, std::string* text) override;
  void DrawCurrentCellFrame(HDC dc, const RECT* rect) override;

 protected:
  void OnSize(UINT type, int cx, int cy) override;

 private:
  void Fill();
  void SelectDate(int day, int month, int year);
  void Announce(const CDateTime& date);
  void SetupSheet();

  bool notify_ = true;
  framework::CView* owner_ = nullptr;
  const CCalPage* page_ = nullptr;
  int month_ = 0, day_ = 0, year_ = 0;
  HPEN borderPen_ = nullptr;
  HFONT normalFont_ = nullptr;
  HFONT boldFont_ = nullptr;
  CGridButtonType buttonType_;
  shellcontrols::CTriangleButtonType triangleType_;
  int buttonIndex_ = -1, triangleIndex_ = -1;
  CDateTime today_;
  int rowCount_ = 0;
  bool firstFill_ = true;
};

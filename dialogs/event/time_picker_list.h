// CTimePickerList: the pop-up table of the 48 half-hour times of a day that
// a time field's drop button opens. Column c (0..3) and row r (0..11)
// stand for c * 6 hours + r * 30 minutes; on a 12-hour clock a heading row
// "AM" / "PM" sits above them. The cell equal to the current time is
// highlighted; releasing the button on a cell writes that time and sends
// WM_USER+5 to the owner; deactivating the list hides it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/window.h"
#include "model/dates/date_time.h"

namespace dialogs {

class CTimePickerList : public framework::CWindow {
 public:
  static constexpr UINT kChosenMessage = WM_USER + 5;
  static constexpr int kColumns = 4;
  static constexpr int kRows = 12;

  CTimePickerList();
  ~CTimePickerList() override;

  // Opens (or moves and shows) the list under `below` (screen coordinates),
  // or above it when it would pass the bottom of the screen.
  void ShowAt(const RECT& below, HWND owner, const CDateTime& current);

  // The current / chosen time.
  CDateTime time;

  // ---- Layout, also for tests.
  bool IsTwelveHour() const { return twelveHour_; }
  int RowCount() const { return kRows + (twelveHour_ ? 1 : 0); }
  // The cell highlighted for the time, false when none is (to the second).
  static bool CellOfTime(const CDateTime& time, int* column, int* row);
  // "%d:%02d" of the cell; hour 0 as 12 and 13..23 as 1..11 on a 12-hour
  // clock.
  static std::string CellText(int column, int row, bool twelveHour);
  // The client rectangle of a cell (rows counted below the heading).
  RECT CellRect(int column, int row) const;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void DrawCell(HDC dc, int column, int row);
  bool HitTest(POINT p, int* column, int* row) const;
  void OnMouseMove(POINT p);
  void OnButtonUp(POINT p);

  HWND owner_ = nullptr;
  short hoverColumn_ = -1, hoverRow_ = -1;
  int rowHeight_ = 0, columnWidth_ = 0;
  bool twelveHour_ = false;
  HFONT font_ = nullptr;
};

}  // namespace dialogs

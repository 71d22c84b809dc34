// CEventListGrid: the grid of the event list view. It turns mouse and key
// input into the few things the view cares about (a row selected, a
// heading clicked, a row double-clicked, a command of a row's right-click
// menu) and shows the row menu and the row tips. Every section has the
// button face for background; no frame is drawn round the current cell.
#pragma once

#include <windows.h>

#include <string>

#include "grid/core/grid_core.h"

class COccurrenceRef;

namespace eventlist {

class IEventListGridOwner {
 public:
  virtual ~IEventListGridOwner() = default;
  // A row became the selected one; `mark` when a mouse press or a key in
  // the cells caused it.
  virtual void OnRowSelected(int row, bool mark) = 0;
  // A press and release on the same top heading (grid column).
  virtual void OnHeadingClicked(int gridColumn) = 0;
  virtual void OnRowDoubleClicked(int row) = 0;
  // A command (40002 ..) chosen in the row's menu.
  virtual void OnRowCommand(int row, UINT command) = 0;
  // Whether a command of the row menu can run now (else it is grey).
  virtual bool IsRowCommandEnabled(UINT command) const = 0;
  // The occurrence shown in a row, or null.
  virtual const COccurrenceRef* RowOccurrence(int row) const = 0;
};

// The right-click menu of an occurrence: Acknowledge (40004) or, for an
// acknowledged one only when its alarm is on or it lies after now,
// Un-Acknowledge (40008); Details, Print Event, separator, Add Copy,
// Modify, Delete, Export, separator, Reset. The caller destroys it.
HMENU BuildRowMenu(const COccurrenceRef& occurrence);

class CEventListGrid : public CGridCore {
 public:
  void SetOwner(IEventListGridOwner* owner) { owner_ = owner; }
  // While set, changes of the current row are not reported (the view
  // selecting rows itself while it fills the list).
  void SetQuiet(bool quiet) { quiet_ = quiet; }

  COLORREF GetBackgroundColor(int part) override;
  void DrawCurrentCellFrame(HDC dc, const RECT* rect) override;

 protected:
  void OnCurrentRowChanged(int oldRow, int newRow) override;
  void OnCellLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  void OnCellRightClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  void OnCellDoubleClick(int col, int row, const RECT* rect, POINT pt, int processed) override;
  void OnTopHeadingLeftClick(int col, int row, int down, const RECT* rect, POINT pt, int processed) override;
  void OnCellAreaKeyDown(UINT* key, int processed) override;
  int OnGetCellTip(int col, int row, int part, std::string* text) override;

 private:
  IEventListGridOwner* owner_ = nullptr;
  bool quiet_ = false;
  bool keyPressed_ = false;
  int pressedHeading_ = -1;
};

}  // namespace eventlist
